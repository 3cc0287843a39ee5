#include "foundation/FileUtil.h"

#include "platform/Paths.h"
#include "platform/SysUtils.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/stat.h>

namespace kolva {

std::string FileNameWithoutExt(std::string_view Path) {
    const size_t sep = Path.find_last_of("\\/:");
    std::string_view name = sep == std::string_view::npos ? Path : Path.substr(sep + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return std::string(name);
}

std::string ProgramFolder() {
    const std::string exe = WindowsPath(ExecutablePath());
    return exe.substr(0, exe.find_last_of('\\') + 1);
}

std::string IncludeTrailingBackslash(std::string_view S) {
    std::string r(S);
    if (!r.empty() && r.back() != '\\') r += '\\';
    return r;
}

namespace {

// Whether both paths name one file (also through another spelling or a hard link).
bool SameFile(const std::string& A, const std::string& B) {
    struct stat a, b;
    return stat(A.c_str(), &a) == 0 && stat(B.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

} // namespace

bool CopyFile(std::string_view Source, std::string_view Dest) {
    const std::string source = NativePath(Source), dest = NativePath(Dest);
    std::ifstream in(source, std::ios::binary);
    if (!in || !FileExists(Source)) return false;
    // Opening the destination empties it, which would leave nothing to copy from.
    if (SameFile(source, dest)) return true;
    std::ofstream out(dest, std::ios::binary | std::ios::trunc);
    if (!out)
        throw EInOutError(
            Format("Cannot create file \"%s\": %s", std::string(Dest), std::strerror(errno)));
    char block[1024];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        out.write(block, in.gcount());
        if (!out) break;
    }
    out.flush();
    if (!out) throw EInOutError(Format("Cannot write file \"%s\"", std::string(Dest)));
    return true;
}

} // namespace kolva
