#include "platform/HiveFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kolva {

namespace {

[[noreturn]] void RaiseFileError(const char* What, const std::string& FileName, int Err) {
    throw ERegistryException(
        Format("Cannot %s registry file \"%s\": %s", What, FileName, std::strerror(Err)));
}

// Closes a descriptor on every way out.
class TFd {
public:
    explicit TFd(int Fd) : FFd(Fd) {}
    ~TFd() {
        if (FFd >= 0) close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }

private:
    int FFd;
};

// The text last seen in a file and the hive read from it. Comparing the whole text is
// cheaper than parsing it again and, unlike comparing sizes and times, cannot miss an edit.
struct TCacheEntry {
    std::string Text;
    std::shared_ptr<const THive> Hive;
};

std::mutex CacheMutex;

std::map<std::string, TCacheEntry>& Cache() {
    static auto* cache = new std::map<std::string, TCacheEntry>;
    return *cache;
}

void Remember(const std::string& FileName, std::string Text, std::shared_ptr<const THive> Hive) {
    std::lock_guard guard(CacheMutex);
    Cache().insert_or_assign(FileName, TCacheEntry{std::move(Text), std::move(Hive)});
}

bool WriteAll(int Fd, std::string_view Data) {
    while (!Data.empty()) {
        const ssize_t n = write(Fd, Data.data(), Data.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        Data.remove_prefix(size_t(n));
    }
    return true;
}

std::string FolderOf(const std::string& FileName) {
    const size_t slash = FileName.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : FileName.substr(0, slash);
}

// Creates the folder and its missing parents. Native paths only: the prefix is a native
// folder, and the path layer's case-insensitive matching must not move the hive elsewhere.
bool MakeFolders(const std::string& Folder) {
    for (size_t i = 1; i <= Folder.size(); ++i) {
        if (i < Folder.size() && Folder[i] != '/') continue;
        const std::string part = Folder.substr(0, i);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return true;
}

// A hive that is a symbolic link (kept with the user's other settings, say) is replaced at
// the place it points to, so that the link survives.
std::string WriteTarget(const std::string& FileName) {
    struct stat st;
    if (lstat(FileName.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return FileName;
    char resolved[PATH_MAX];
    return realpath(FileName.c_str(), resolved) ? std::string(resolved) : FileName;
}

// Step 4 of the protocol; the caller holds the lock, so the temporary name is ours alone.
// The data is flushed before the rename, so that after a system crash the hive is the old or
// the new one, never a torn or empty one. The folder is not flushed after the rename: a crash
// may then bring back the previous hive, as the registry itself may lose its latest changes,
// and a save of many settings does not wait for the disk twice per value.
void WriteAtomically(const std::string& FileName, std::string_view Content) {
    const std::string temp = FileName + ".tmp";
    TFd fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.Get() < 0) RaiseFileError("write", FileName, errno);
    struct stat st;
    if (stat(FileName.c_str(), &st) == 0) fchmod(fd.Get(), st.st_mode & 07777);
    if (!WriteAll(fd.Get(), Content) || fsync(fd.Get()) != 0 ||
        rename(temp.c_str(), FileName.c_str()) != 0) {
        const int err = errno;
        unlink(temp.c_str());
        RaiseFileError("write", FileName, err);
    }
}

std::string ReadAll(int Fd, const std::string& FileName) {
    std::string content;
    char buf[65536];
    for (;;) {
        const ssize_t n = read(Fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) RaiseFileError("read", FileName, errno);
        if (n == 0) return content;
        content.append(buf, size_t(n));
    }
}

} // namespace

std::shared_ptr<const THive> ReadHiveFile(const std::string& FileName, std::string_view RootName) {
    TFd fd(open(FileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT) return std::make_shared<const THive>(std::string(RootName));
        RaiseFileError("read", FileName, errno);
    }
    std::string text = ReadAll(fd.Get(), FileName);
    {
        std::lock_guard guard(CacheMutex);
        const auto it = Cache().find(FileName);
        if (it != Cache().end() && it->second.Text == text &&
            it->second.Hive->Root.Name() == RootName)
            return it->second.Hive;
    }
    auto hive = std::make_shared<const THive>(ReadHive(text, RootName, FileName));
    Remember(FileName, std::move(text), hive);
    return hive;
}

bool UpdateHiveFile(const std::string& FileName, std::string_view RootName,
                    const std::function<bool(THive&)>& Change) {
    const std::string target = WriteTarget(FileName);
    const std::string folder = FolderOf(target);
    if (!MakeFolders(folder)) RaiseFileError("create the folder of the", target, errno);

    TFd lock(open((target + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (lock.Get() < 0) RaiseFileError("lock", target, errno);
    while (flock(lock.Get(), LOCK_EX) != 0)
        if (errno != EINTR) RaiseFileError("lock", target, errno);

    THive hive = *ReadHiveFile(target, RootName);
    if (!Change(hive)) return false;
    std::string text = WriteHive(hive);
    WriteAtomically(target, text);
    Remember(target, std::move(text), std::make_shared<const THive>(std::move(hive)));
    return true;
    // Closing the lock file releases the lock.
}

} // namespace kolva
