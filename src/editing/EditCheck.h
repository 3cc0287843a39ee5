// What keeps an edit from breaking a unit. The engine works on a staged copy of the unit's
// lines; before the first line reaches the real text, the staged text is parsed again and
// compared with the model as it was when the edit began. Every item that the operation did
// not mean to change must still be there with the same kind, name, owner and declaration,
// every item it did change must still read as the same kind under the same owner, and the
// parser must find no more unreadable declarations, implied items or members declared below
// a property that names them than before.
//
// "Meant to change" is learnt from the edit primitives themselves: an item whose lines an
// operation deleted, inserted or rewrote is marked, together with everything inside it. So
// every operation built on the primitives is checked without doing anything for it.
//
// The unit also offers the token view of source lines that rewriting a declaration relies
// on: the code tokens of a range of lines with their positions, comments left out.
#pragma once

#include "model/ModuleExplorer.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace kolva {

/// An edit that would damage the unit: nothing has been written.
class EEditRefused : public Exception {
public:
    using Exception::Exception;
};

/// A code token of source text: its text as written and where it starts (0-based).
struct TSourceToken {
    std::string Text;
    TTokenKind Kind;
    int Line;
    int Column;
};

/// The tokens of lines First..Last of Lines (clamped to the list), comments left out and
/// directives kept; a malformed comment or string gives a tkError token.
std::vector<TSourceToken> SourceTokens(const TStringList& Lines, int First, int Last);
/// The tokens of a declaration text as the module editor renders it (lines split at CR LF).
std::vector<TSourceToken> SourceTokens(const std::string& Text);

class TEditCheck {
public:
    /// Takes the snapshot of Explorer's model that a later Verify compares with.
    void Start(TModuleExplorer& Explorer);
    /// Drops the snapshot and the marks.
    void Stop();
    bool Active() const { return FActive; }

    /// Item, and everything inside it as it was at Start, is what the operation changes.
    void MarkChanged(const TCodeItem* Item);
    /// Item's lines were taken out of the text: it is no longer expected to read back,
    /// until a later mark says it was written again.
    void MarkDeleted(const TCodeItem* Item);
    /// The declaration Item had at Start; null for an item made since.
    const std::string* OldDeclaration(const TCodeItem* Item) const;

    /// Parses Lines as Explorer parses its unit and compares the result with the snapshot;
    /// Model is the explorer's model as the operation left it (its changed items hold what
    /// they should read as). Raises EEditRefused naming the first damage found.
    void Verify(TModuleExplorer& Model, TStringList& Lines) const;

private:
    struct TEntry {
        const TCodeItem* Item;
        std::string Key;
        std::string Declaration;
        std::string Description;
        size_t SubtreeEnd; // index past the last entry inside this item
    };
    void Collect(TCodeItem& Item, const std::string& Owner);
    bool IsChanged(size_t Index) const;

    bool FActive = false;
    std::vector<TEntry> FEntries;
    std::unordered_map<const TCodeItem*, size_t> FIndex;
    std::unordered_set<const TCodeItem*> FChanged;
    std::unordered_set<const TCodeItem*> FDeleted;
    int FErrorCount = 0;
    std::vector<std::string> FErrors;
    int FImpliedCount = 0;
    int FLateUses = 0;
};

} // namespace kolva
