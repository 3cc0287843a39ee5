#include "platform/HiveFile.h"

#include "platform/FileReplace.h"

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

[[noreturn]] void RaiseHiveError(const char* What, const std::string& FileName, int Err) {
    throw ERegistryException(
        Format("Cannot %s registry file \"%s\": %s", What, FileName, std::strerror(Err)));
}

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

// Step 4 of the protocol; the caller holds the lock, so the temporary name is ours alone.
// The data is flushed before the rename, so that after a system crash the hive is the old or
// the new one, never a torn or empty one. The folder is not flushed after the rename: a crash
// may then bring back the previous hive, as the registry itself may lose its latest changes,
// and a save of many settings does not wait for the disk twice per value.
void WriteAtomically(const std::string& FileName, std::string_view Content) {
    try {
        TReplacement(FileName, Content, {FileName + ".tmp", false}).Commit();
    } catch (const EInOutError& e) {
        throw ERegistryException(e.Message());
    }
}

std::string ReadText(int Fd, const std::string& FileName) {
    std::string content;
    if (!ReadAll(Fd, content)) RaiseHiveError("read", FileName, errno);
    return content;
}

} // namespace

std::shared_ptr<const THive> ReadHiveFile(const std::string& FileName, std::string_view RootName) {
    TFileHandle fd(open(FileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT) return std::make_shared<const THive>(std::string(RootName));
        RaiseHiveError("read", FileName, errno);
    }
    std::string text = ReadText(fd.Get(), FileName);
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
    if (!MakeFolders(folder)) RaiseHiveError("create the folder of the", target, errno);

    TFileHandle lock(open((target + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (lock.Get() < 0) RaiseHiveError("lock", target, errno);
    while (flock(lock.Get(), LOCK_EX) != 0)
        if (errno != EINTR) RaiseHiveError("lock", target, errno);

    THive hive = *ReadHiveFile(target, RootName);
    if (!Change(hive)) return false;
    std::string text = WriteHive(hive);
    WriteAtomically(target, text);
    Remember(target, std::move(text), std::make_shared<const THive>(std::move(hive)));
    return true;
    // Closing the lock file releases the lock.
}

} // namespace kolva
