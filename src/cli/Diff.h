// Unified diffs for `--diff` on the command line's edits, in git's form so that `git apply`
// and `patch -p1` take them: lines as those tools see them (each ended by its LF), bytes as
// they stand (a CR LF file's lines keep their CR), "\ No newline at end of file" where the
// last line has no LF, and the file named "a/NAME" and "b/NAME".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolva::cli {

enum TDiffOp : char { opKeep = ' ', opDelete = '-', opInsert = '+' };

/// One line of either text: kept (both indexes), deleted (OldIndex) or inserted (NewIndex).
struct TDiffEdit {
    TDiffOp Op;
    int OldIndex;
    int NewIndex;
};

/// The shortest edit script turning A into B, in order of both texts; lines are compared
/// exactly.
std::vector<TDiffEdit> EditScript(const std::vector<std::string_view>& A,
                                  const std::vector<std::string_view>& B);

/// The name a diff gives File: its path relative to the current folder when it lies inside
/// it, else its absolute path without the leading slash.
std::string DiffPathName(const std::string& File);

/// The diff of one file whose bytes go from Old to New, with three lines of context, named
/// Name (see DiffPathName); empty when the texts are equal.
std::string UnifiedDiff(std::string_view Old, std::string_view New, const std::string& Name);

} // namespace kolva::cli
