#include "platform/Files.h"

#include "platform/Paths.h"
#include "platform/SysUtils.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolva {

namespace {

[[noreturn]] void RaiseFileError(const char* what, std::string_view name) {
    throw EInOutError(Format("%s \"%s\": %s", what, std::string(name), std::strerror(errno)));
}

// Writes everything, retrying after interrupted or partial writes.
bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data.remove_prefix(size_t(n));
    }
    return true;
}

} // namespace

bool FileExists(std::string_view FileName) {
    struct stat st;
    return stat(NativePath(FileName).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(std::string_view Path) {
    struct stat st;
    return stat(NativePath(Path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(std::string_view Path) {
    const std::string native = NativePath(Path);
    for (size_t i = 1; i <= native.size(); ++i) {
        if (i < native.size() && native[i] != '/') continue;
        const std::string part = native.substr(0, i);
        struct stat st;
        if (stat(part.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return false;
        } else if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            return false;
        }
    }
    return true;
}

bool DeleteFile(std::string_view FileName) {
    return unlink(NativePath(FileName).c_str()) == 0;
}

std::string ReadFileText(std::string_view FileName) {
    const std::string native = NativePath(FileName);
    const int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) RaiseFileError("Cannot open file", FileName);
    std::string content;
    // Room for the whole file at once; a file that grows meanwhile is still read to its end.
    struct stat info;
    if (fstat(fd, &info) == 0 && info.st_size > 0) content.reserve(size_t(info.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int saved = errno;
            close(fd);
            errno = saved;
            RaiseFileError("Cannot read file", FileName);
        }
        if (n == 0) break;
        content.append(buf, size_t(n));
    }
    close(fd);
    return content;
}

void WriteFileText(std::string_view FileName, std::string_view Content) {
    const std::string native = NativePath(FileName);
    const std::string temp = native + ".kolva-tmp-" + std::to_string(getpid());
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) RaiseFileError("Cannot create file", FileName);
    // Keep the permissions of the file being replaced.
    struct stat st;
    if (stat(native.c_str(), &st) == 0) fchmod(fd, st.st_mode & 07777);
    const bool ok = WriteAll(fd, Content) && fsync(fd) == 0;
    const int saved = errno;
    close(fd);
    if (!ok || rename(temp.c_str(), native.c_str()) != 0) {
        const int err = ok ? errno : saved;
        unlink(temp.c_str());
        errno = err;
        RaiseFileError("Cannot write file", FileName);
    }
}

} // namespace kolva
