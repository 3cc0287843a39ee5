// Test support: a deterministic sample of the command line's editing operations on the items of
// one parsed unit, for runs over real code. Each kind of operation takes its own item, spread
// evenly over the items it may apply to, so a unit gets every kind of operation once at most.
#pragma once

#include "model/ModuleExplorer.h"

#include <string>
#include <vector>

namespace kolva::test {

struct TEditOperation {
    /// What was tried, such as "rename method" or "add-procedure local".
    std::string Label;
    /// The item it was tried on, qualified, with its 0-based start line ("TFoo.Bar@12").
    std::string Item;
    /// The command and its arguments; "FILE" stands for the unit's file.
    std::vector<std::string> Args;
    /// For a rename: the old name, which references elsewhere in the unit keep.
    std::string RenamedFrom;
    /// Source text the operation takes out by design (an interface declaration that is no
    /// longer wanted), so its words may be gone from the result.
    std::string Removes;
    /// For a paste: the copy buffer, written to a file that the argument "BUFFER" stands for.
    std::string Buffer;
};

/// Whether C may stand in an identifier.
bool IsIdentChar(char C);

/// Where Word is written in Text as a whole identifier, from From on; npos when nowhere. Case
/// counts: lower-case both to ignore it.
size_t FindWord(const std::string& Text, const std::string& Word, size_t From = 0);

/// The operations to try on the unit that Explorer parsed from Lines, whose include files hold
/// Included. Deletions, moves and changes of a routine's signature only take items whose uses
/// elsewhere (in the unit or its include files) cannot break, so that a sound result still
/// compiles.
std::vector<TEditOperation> SampleEdits(TModuleExplorer& Explorer, const TStringList& Lines,
                                        const std::string& Included);

} // namespace kolva::test
