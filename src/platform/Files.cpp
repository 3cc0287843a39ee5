#include "platform/Files.h"

#include "platform/FileReplace.h"
#include "platform/Paths.h"
#include "platform/SysUtils.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolva {

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
    const TFileHandle fd(open(NativePath(FileName).c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) RaiseFileError("Cannot open file", FileName, errno);
    std::string content;
    // Room for the whole file at once; a file that grows meanwhile is still read to its end.
    struct stat info;
    if (fstat(fd.Get(), &info) == 0 && info.st_size > 0) content.reserve(size_t(info.st_size));
    if (!ReadAll(fd.Get(), content)) RaiseFileError("Cannot read file", FileName, errno);
    return content;
}

void WriteFileText(std::string_view FileName, std::string_view Content) {
    TReplacement(WriteTarget(NativePath(FileName)), Content).Commit();
}

} // namespace kolva
