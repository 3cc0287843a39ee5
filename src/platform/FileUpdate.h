// A file edited by reading it, changing its text in memory and writing it back, made safe
// against other programs doing the same at the same moment.
//
// The edit holds an exclusive flock on the file from the read to the end, so two programs
// that both use this unit edit one after the other, the second on the result of the first.
// Programs that take no lock (an editor, a script) are caught before the file is replaced:
// the file must still be the one read, with the same size, time and content, or nothing is
// written. Several files changed by one operation (a unit and its form) are written as one:
// all new contents are complete on disk before the first file is replaced, and the files
// already replaced get their old content back when a later one fails.
//
//   TFileUpdate unit(Name);                  // locks and reads
//   unit.Prepare(Edit(unit.Text()));         // writes the new copy beside the file
//   CommitAll({&unit});                      // checks and replaces
#pragma once

#include "platform/FileReplace.h"

#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace kolva {

class TFileUpdate {
public:
    /// How long an edit waits for another program's edit of the same file to end.
    static constexpr int LockWaitMilliseconds = 10000;

    /// Opens the file for an edit: follows symbolic links to the file they name, refuses
    /// anything but a regular file, takes the file's lock and reads it. Raises EInOutError
    /// naming FileName.
    explicit TFileUpdate(std::string_view FileName);
    ~TFileUpdate();
    TFileUpdate(const TFileUpdate&) = delete;
    TFileUpdate& operator=(const TFileUpdate&) = delete;

    /// The bytes read.
    const std::string& Text() const { return FText; }
    /// The native path written: the end of the chain of symbolic links.
    const std::string& Target() const { return FTarget; }

    /// The file's mode bits that apply to this process (the owner's, the group's or the
    /// others') allow no writing; for the superuser, no write bit is set at all.
    bool IsReadOnly() const;
    /// Gives the owner write permission. Raises EInOutError when the system refuses.
    void MakeWritable();

    /// Writes Content completely beside the file; the file itself is not changed yet.
    /// Raises EInOutError (a full disk, a folder that takes no new file).
    void Prepare(std::string_view Content);
    /// Replaces the file by the prepared content, after checking that the file is still
    /// what was read. Raises EInOutError, and then the file is as it was.
    /// EXPECTS: Prepare was called.
    void Commit();
    /// Puts back what was read. EXPECTS: Commit succeeded.
    void Restore();

private:
    bool Unchanged() const;

    std::string FName;
    std::string FTarget;
    TFileHandle FLock; // the file as read; its flock is the edit's
    struct stat FRead;
    std::string FText;
    std::unique_ptr<TReplacement> FReplacement;
};

/// Commits prepared updates in order as one change: when one fails, those committed before
/// it get their old content back, and the failure is raised (with any failure to restore).
void CommitAll(const std::vector<TFileUpdate*>& Updates);

} // namespace kolva
