#include "platform/FileUpdate.h"

#include "platform/Paths.h"
#include "platform/SysUtils.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kolva {

namespace {

bool SameFile(const struct stat& A, const struct stat& B) {
    return A.st_dev == B.st_dev && A.st_ino == B.st_ino;
}

// Polls rather than blocks, so that a program that never lets go of the lock makes the edit
// fail with a message instead of hanging.
void Lock(int Fd, std::string_view Name) {
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(TFileUpdate::LockWaitMilliseconds);
    while (flock(Fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) RaiseFileError("Cannot lock file", Name, errno);
        if (steady_clock::now() >= deadline)
            throw EInOutError(
                Format("Cannot edit \"%s\": another program is editing it", std::string(Name)));
        std::this_thread::sleep_for(milliseconds(10));
    }
}

bool InGroup(gid_t Group) {
    if (getegid() == Group) return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(size_t(count > 0 ? count : 0));
    if (count > 0 && getgroups(count, groups.data()) == count)
        for (const gid_t g : groups)
            if (g == Group) return true;
    return false;
}

} // namespace

TFileUpdate::TFileUpdate(std::string_view FileName) : FName(FileName) {
    const std::string native = NativePath(FileName);
    // The lock is on the file read. When another edit replaced the file while this one
    // waited for the lock, the lock is on a file no longer there: take the new one's.
    for (;;) {
        FTarget = WriteTarget(native);
        // Without blocking, so that a FIFO is refused rather than waited on.
        FLock.Reset(open(FTarget.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (FLock.Get() < 0) RaiseFileError("Cannot open file", FName, errno);
        if (fstat(FLock.Get(), &FRead) != 0) RaiseFileError("Cannot open file", FName, errno);
        if (!S_ISREG(FRead.st_mode))
            throw EInOutError(Format("Cannot edit \"%s\": not a regular file", FName));
        Lock(FLock.Get(), FName);
        struct stat now;
        if (stat(FTarget.c_str(), &now) == 0 && SameFile(now, FRead)) break;
    }
    // The file as it is now that no other edit can change it.
    if (fstat(FLock.Get(), &FRead) != 0 || !ReadAll(FLock.Get(), FText))
        RaiseFileError("Cannot read file", FName, errno);
}

TFileUpdate::~TFileUpdate() = default;

bool TFileUpdate::IsReadOnly() const {
    const mode_t mode = FRead.st_mode;
    const uid_t user = geteuid();
    if (user == 0) return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    if (user == FRead.st_uid) return (mode & S_IWUSR) == 0;
    if (InGroup(FRead.st_gid)) return (mode & S_IWGRP) == 0;
    return (mode & S_IWOTH) == 0;
}

void TFileUpdate::MakeWritable() {
    if (fchmod(FLock.Get(), (FRead.st_mode & 07777) | S_IWUSR) != 0)
        throw EInOutError(Format("Cannot make \"%s\" writable: %s", FName, std::strerror(errno)));
    FRead.st_mode |= S_IWUSR;
}

void TFileUpdate::Prepare(std::string_view Content) {
    FReplacement.reset();
    FReplacement = std::make_unique<TReplacement>(FTarget, Content);
}

// Size and time catch most writers; the content catches one that wrote the same number of
// bytes within the file system's clock tick.
bool TFileUpdate::Unchanged() const {
    struct stat path, held;
    if (stat(FTarget.c_str(), &path) != 0 || !SameFile(path, FRead)) return false;
    if (fstat(FLock.Get(), &held) != 0 || held.st_size != FRead.st_size ||
        held.st_mtim.tv_sec != FRead.st_mtim.tv_sec ||
        held.st_mtim.tv_nsec != FRead.st_mtim.tv_nsec)
        return false;
    std::string now;
    return lseek(FLock.Get(), 0, SEEK_SET) == 0 && ReadAll(FLock.Get(), now) && now == FText;
}

void TFileUpdate::Commit() {
    if (!Unchanged())
        throw EInOutError(Format("Cannot write file \"%s\": another program changed it while "
                                 "it was being edited; nothing was written",
                                 FName));
    // The new file is locked before it takes the name, so the edit keeps its lock to the end.
    if (FReplacement->NewFileDescriptor() >= 0)
        flock(FReplacement->NewFileDescriptor(), LOCK_EX | LOCK_NB);
    FReplacement->Commit();
}

void TFileUpdate::Restore() {
    TReplacement(FTarget, FText).Commit();
}

void CommitAll(const std::vector<TFileUpdate*>& Updates) {
    for (size_t i = 0; i < Updates.size(); ++i) {
        try {
            Updates[i]->Commit();
        } catch (const Exception& e) {
            std::string message = e.Message();
            for (size_t k = i; k-- > 0;) {
                try {
                    Updates[k]->Restore();
                } catch (const Exception& r) {
                    message += "\n" + r.Message() + " (its edit could not be taken back)";
                }
            }
            throw EInOutError(message);
        }
    }
}

} // namespace kolva
