// Replacing the content of a file on disk so that it is never half-written and keeps what
// belongs to the file rather than to its content. Every writer of whole files (units, form
// files, registry hives) goes through here.
//
// The new content is first written completely to a temporary file in the same folder and
// flushed; only then does it replace the file, by renaming it over the old one. The rename
// makes a new file, so before it the new file gets the old one's mode, owner and group.
// Where a rename would lose something the file has (other hard links to it; an owner or group
// this process may not give away; a folder this process may not create files in), the
// content is written into the existing file instead, after the complete copy beside it (the
// copy remains when the program dies in the middle, and a failed write puts the old content
// back).
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace kolva {

/// Closes a file descriptor on every way out.
class TFileHandle {
public:
    explicit TFileHandle(int Fd = -1) : FFd(Fd) {}
    ~TFileHandle() { Reset(); }
    TFileHandle(TFileHandle&& Other) noexcept : FFd(Other.FFd) { Other.FFd = -1; }
    TFileHandle& operator=(TFileHandle&& Other) noexcept;
    int Get() const { return FFd; }
    /// Closes the descriptor held and takes Fd.
    void Reset(int Fd = -1);

private:
    int FFd;
};

/// Reads from Fd's offset to the end of the file; false with errno set on a failure.
bool ReadAll(int Fd, std::string& Content);
/// Writes everything at Fd's offset, retrying after interrupted or partial writes; false with
/// errno set on a failure.
bool WriteAll(int Fd, std::string_view Data);

/// Where a write to the native path Native must land so that a symbolic link survives it:
/// the file at the end of the chain of links, else Native itself.
std::string WriteTarget(const std::string& Native);

struct TReplaceOptions {
    /// The temporary file's name; it must be the caller's alone (the caller holds a lock).
    /// Empty: a new unique name beside the file.
    std::string TempName;
    /// Flushes the folder after the rename, so that a system crash cannot bring back the
    /// old content once Commit returned.
    bool SyncFolder = true;
};

/// A new content of one file, written beside it, that replaces the file on Commit.
class TReplacement {
public:
    /// Writes Content completely to a temporary file beside Target (a native path, no
    /// symbolic link), flushed to disk, with Target's mode, owner and group when Target exists.
    /// Raises EInOutError naming Target when that is impossible; nothing is changed then.
    TReplacement(std::string Target, std::string_view Content, TReplaceOptions Options = {});
    /// Removes the temporary file unless Commit used it.
    ~TReplacement();
    TReplacement(const TReplacement&) = delete;
    TReplacement& operator=(const TReplacement&) = delete;

    /// The content goes into the existing file instead of a rename (see the header).
    bool InPlace() const { return FInPlace; }
    /// The open temporary file before a renaming Commit, and the new file after it; -1 when
    /// writing in place.
    int NewFileDescriptor() const { return FInPlace ? -1 : FTemp.Get(); }

    /// Puts the content in place. Raises EInOutError naming Target on a failure, and then
    /// the file has its old content.
    void Commit();

private:
    void Prepare(std::string_view Content);
    void WriteInPlace();

    std::string FTarget;
    std::string FTempName;
    std::string FContent;
    TReplaceOptions FOptions;
    TFileHandle FTemp;     // the complete new copy; none when the folder refuses one
    TFileHandle FExisting; // writing in place: the existing file, opened for writing
    bool FInPlace = false;
    bool FCommitted = false;
};

/// Raises EInOutError "What "Name": the system's text for Err" ("Cannot write file").
[[noreturn]] void RaiseFileError(const char* What, std::string_view Name, int Err);

} // namespace kolva
