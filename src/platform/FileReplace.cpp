#include "platform/FileReplace.h"

#include "platform/SysUtils.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace kolva {

TFileHandle& TFileHandle::operator=(TFileHandle&& Other) noexcept {
    if (this != &Other) {
        Reset(Other.FFd);
        Other.FFd = -1;
    }
    return *this;
}

void TFileHandle::Reset(int Fd) {
    if (FFd >= 0) close(FFd);
    FFd = Fd;
}

void RaiseFileError(const char* What, std::string_view Name, int Err) {
    throw EInOutError(Format("%s \"%s\": %s", What, std::string(Name), std::strerror(Err)));
}

bool ReadAll(int Fd, std::string& Content) {
    char buf[65536];
    for (;;) {
        const ssize_t n = read(Fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        Content.append(buf, size_t(n));
    }
}

bool WriteAll(int Fd, std::string_view Data) {
    while (!Data.empty()) {
        const ssize_t n = write(Fd, Data.data(), Data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        Data.remove_prefix(size_t(n));
    }
    return true;
}

namespace {

std::string FolderOf(const std::string& Path) {
    const size_t slash = Path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : Path.substr(0, slash);
}

// A name nobody else uses: the file's name with a random tail, so that a leftover of a
// killed writer or a file planted there is never written through.
std::string UniqueName(const std::string& Target) {
    static std::mt19937 random(std::random_device{}());
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = Target + ".kolva-";
    for (int i = 0; i < 6; ++i)
        name += Letters[random() % (sizeof Letters - 1)];
    return name;
}

int CreateTemp(const std::string& Target, const TReplaceOptions& Options, mode_t Mode,
               std::string& Name) {
    if (!Options.TempName.empty()) {
        Name = Options.TempName;
        return open(Name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, Mode);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        Name = UniqueName(Target);
        const int fd = open(Name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

} // namespace

std::string WriteTarget(const std::string& Native) {
    std::string path = Native;
    // As many links as the system itself follows; a longer chain fails on writing (ELOOP).
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char link[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), link, sizeof link - 1);
        if (n <= 0) return path;
        const std::string to(link, size_t(n));
        path = to.starts_with('/') ? to : FolderOf(path) + "/" + to;
    }
    return path;
}

TReplacement::TReplacement(std::string Target, std::string_view Content, TReplaceOptions Options)
    : FTarget(std::move(Target)), FOptions(std::move(Options)) {
    try {
        Prepare(Content);
    } catch (...) {
        if (FTemp.Get() >= 0) unlink(FTempName.c_str());
        throw;
    }
}

void TReplacement::Prepare(std::string_view Content) {
    struct stat old;
    const bool exists = stat(FTarget.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode))
        throw EInOutError(Format("Cannot write file \"%s\": not a regular file", FTarget));
    // Another name of the file would keep the old content after a rename.
    FInPlace = exists && old.st_nlink > 1;
    // Until it gets the file's mode, the copy is private: it holds the file's content.
    FTemp.Reset(CreateTemp(FTarget, FOptions, exists ? 0600 : 0666, FTempName));
    if (FTemp.Get() < 0) {
        if (!exists || (errno != EACCES && errno != EPERM))
            RaiseFileError("Cannot write file", FTarget, errno);
        FInPlace = true;
    } else if (exists && !FInPlace) {
        struct stat temp;
        if (fstat(FTemp.Get(), &temp) != 0) RaiseFileError("Cannot write file", FTarget, errno);
        if ((temp.st_uid != old.st_uid || temp.st_gid != old.st_gid) &&
            fchown(FTemp.Get(), old.st_uid, old.st_gid) != 0)
            FInPlace = true;
        // After the owner: changing the owner clears the set-user-ID bits.
        else if (fchmod(FTemp.Get(), old.st_mode & 07777) != 0)
            RaiseFileError("Cannot write file", FTarget, errno);
    }
    if (FTemp.Get() >= 0 && (!WriteAll(FTemp.Get(), Content) || fsync(FTemp.Get()) != 0))
        RaiseFileError("Cannot write file", FTarget, errno);
    if (FInPlace) {
        FExisting.Reset(open(FTarget.c_str(), O_RDWR | O_CLOEXEC));
        if (FExisting.Get() < 0) RaiseFileError("Cannot write file", FTarget, errno);
        FContent = Content;
    }
}

TReplacement::~TReplacement() {
    if (FTemp.Get() >= 0 && (!FCommitted || FInPlace)) unlink(FTempName.c_str());
}

void TReplacement::Commit() {
    if (FInPlace) {
        WriteInPlace();
        FCommitted = true;
        return;
    }
    if (rename(FTempName.c_str(), FTarget.c_str()) != 0)
        RaiseFileError("Cannot write file", FTarget, errno);
    FCommitted = true;
    if (FOptions.SyncFolder) {
        const TFileHandle folder(
            open(FolderOf(FTarget).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.Get() >= 0) fsync(folder.Get());
    }
}

void TReplacement::WriteInPlace() {
    const int fd = FExisting.Get();
    std::string old;
    if (lseek(fd, 0, SEEK_SET) != 0 || !ReadAll(fd, old))
        RaiseFileError("Cannot write file", FTarget, errno);
    if (lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, FContent) &&
        ftruncate(fd, off_t(FContent.size())) == 0 && fsync(fd) == 0)
        return;
    const int err = errno;
    // The old content fitted before, so it fits again.
    if (lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, old)) {
        if (ftruncate(fd, off_t(old.size())) == 0) fsync(fd);
    }
    RaiseFileError("Cannot write file", FTarget, err);
}

} // namespace kolva
