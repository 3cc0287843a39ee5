#include "platform/Paths.h"

#include "platform/SysUtils.h"

#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kolva {

namespace {

bool Exists(const std::string& native) {
    struct stat st;
    return lstat(native.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` ignoring case, or `name` itself when the
// folder has none (so that paths of files yet to be created map predictably).
std::string FindEntry(const std::string& folder, const std::string& name) {
    const std::string candidate = folder == "/" ? "/" + name : folder + "/" + name;
    if (Exists(candidate)) return name;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return name;
    std::string found = name;
    while (const dirent* entry = readdir(dir)) {
        if (SameText(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

std::vector<std::string> SplitComponents(std::string_view path) {
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= path.size()) {
        size_t end = path.find_first_of("/\\", i);
        if (end == std::string_view::npos) end = path.size();
        if (end > i) parts.emplace_back(path.substr(i, end - i));
        i = end + 1;
    }
    return parts;
}

// Joins components onto a native root, resolving "." and "..", and matching existing
// entries without regard to case.
std::string Resolve(std::string root, std::string_view rest) {
    std::string path = root;
    for (const std::string& part : SplitComponents(rest)) {
        if (part == ".") continue;
        if (part == "..") {
            const size_t slash = path.find_last_of('/');
            path = slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
            if (path.size() < root.size()) path = root;
            continue;
        }
        const std::string entry = FindEntry(path, part);
        path = path == "/" ? "/" + entry : path + "/" + entry;
    }
    return path;
}

std::string DriveRoot(char letter) {
    letter = LoCase(letter);
    if (letter == 'c') return KolvaPrefix() + "/drive_c";
    if (letter == 'z') return "/";
    return KolvaPrefix() + "/dosdevices/" + std::string(1, letter) + ":";
}

bool IsDriveLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string CurrentFolder() {
    std::vector<char> buf(4096);
    if (!getcwd(buf.data(), buf.size())) return "/";
    return buf.data();
}

} // namespace

std::string KolvaPrefix() {
    if (const char* prefix = std::getenv("KOLVA_PREFIX"); prefix && *prefix) {
        std::string p = prefix;
        while (p.size() > 1 && p.back() == '/')
            p.pop_back();
        return p;
    }
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.kolva";
    // Without HOME (a service, a cron job): the user's own home from the user database, never
    // a folder others can write to, where they could plant settings or read them.
    std::vector<char> buf(16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buf.data(), buf.size(), &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/')
        return std::string(found->pw_dir == std::string("/") ? "" : found->pw_dir) + "/.kolva";
    throw EInOutError("No folder for the per-user state: set KOLVA_PREFIX or HOME");
}

std::string NativePath(std::string_view Path) {
    if (Path.size() >= 2 && IsDriveLetter(Path[0]) && Path[1] == ':')
        return Resolve(DriveRoot(Path[0]), Path.substr(2));
    if (!Path.empty() && (Path[0] == '/' || Path[0] == '\\')) return Resolve("/", Path);
    return Resolve(CurrentFolder(), Path);
}

std::string WindowsPath(std::string_view Native) {
    std::string path = Native.empty() || Native[0] != '/' ? Resolve(CurrentFolder(), Native)
                                                          : Resolve("/", Native);
    const std::string driveC = KolvaPrefix() + "/drive_c";
    std::string drive = "Z:";
    if (path == driveC || path.starts_with(driveC + "/")) {
        drive = "C:";
        path = path.substr(driveC.size());
    }
    if (path.empty() || path == "/") return drive + "\\";
    for (char& c : path)
        if (c == '/') c = '\\';
    return drive + path;
}

std::string ExecutablePath() {
    std::vector<char> buf(4096);
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return std::string();
    return std::string(buf.data(), n);
}

} // namespace kolva
