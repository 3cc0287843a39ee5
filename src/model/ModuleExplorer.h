// The module parser: turns the lines of one Object Pascal unit (or program, library,
// package, or a code fragment) into the code model.
//
// It is a one-pass, keyword-driven recogniser on top of the tokenizer, not a full grammar:
// it reacts to the words that open or close declarations and blocks, reads member
// declarations in detail and skips everything else (statements, expressions, constants,
// variables, records). A malformed declaration raises EBadFormat, which is discarded per
// token: the parse goes on and the model keeps what was read. After every parse the method
// implementations and global procedures are linked to their declarations.
//
// Positions are 0-based line indexes into the given list (blank lines included) and 0-based
// columns (a tab counts as one).
#pragma once

#include "model/CodeItems.h"
#include "model/Tokenizers.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kolva {

/// A malformed declaration; the message ends in " in line %d col %d" (1-based).
class EBadFormat : public ETokenError {
public:
    using ETokenError::ETokenError;
};

/// Module kinds: what the heading says the text is.
enum TModuleKind : uint8_t { mkCleared, mkNoHeading, mkProgram, mkUnit, mkLibrary, mkPackage };

class TModuleExplorer;
using TExplorerEvent = std::function<void(TModuleExplorer& Sender)>;

class TModuleExplorer {
public:
    /// Parser option that turns tag lines into tag items.
    static constexpr int poTagItems = 3;
    using TParserOptions = TSet<int, 16>;

    TModuleExplorer();
    ~TModuleExplorer();
    TModuleExplorer(const TModuleExplorer&) = delete;
    TModuleExplorer& operator=(const TModuleExplorer&) = delete;

    /// Rebuilds the model from Lines (null parses nothing) and links it; ignored while
    /// updates are locked. OnChange fires once per parse, also when an error other than a
    /// discarded EBadFormat or ETokenError ends the parse and passes to the caller. Lines
    /// must not change during the call.
    void Parse(TStringList* Lines);
    /// Frees every item and sets the module kind to mkCleared.
    void Clear();

    TModuleItem& Module() { return *FModule; }
    int ItemCount() const { return FModule->ChildCount(); }
    TCodeItem* Item(int Index) const { return FModule->Child(Index); }
    /// The deepest item whose lines cover Line, searching from the module's children; null
    /// when no top-level item covers it.
    TCodeItem* ItemAtLine(int Line) const;

    TModuleKind ModuleKind() const { return FModuleKind; }
    /// The 0-based line of "implementation"; 0 for programs, libraries, packages, text
    /// without a heading and fragments; -1 when there is none.
    int ImplementationLine() const { return FImplementationLine; }

    /// Moves the model's positions after Count lines were deleted or inserted at Line; the
    /// implementation line moves by the same rule.
    void ShiftLinesDeleted(const TCodeItem* Changed, int Line, int Count);
    void ShiftLinesInserted(const TCodeItem* Changed, int Line, int Count);

    /// The linked partner when there is one, else the item itself.
    static TCodeItem* DeclarationOf(TCodeItem* Item);
    static TCodeItem* ImplementationOf(TCodeItem* Item);

    /// While locked, parse requests are ignored; OnUpdateEnd fires when the lock ends.
    void BeginUpdate() { ++FUpdateLock; }
    void EndUpdate();
    bool Locked() const { return FUpdateLock > 0; }

    TParserOptions Options = {6};
    /// The text is a fragment without module heading: all of it is implementation.
    bool ImplementationOnly = false;
    TExplorerEvent OnChange;
    TExplorerEvent OnUpdateEnd;

    /// Discarded errors of the last parse: their count and the first few messages.
    int ErrorCount() const { return FErrorCount; }
    const std::vector<std::string>& Errors() const { return FErrors; }

    /// The state of one parse; defined only in the parser's own sources.
    class TParser;
    /// Links routines after a parse, keeping its buffers for the next; defined only in the
    /// parser's own sources.
    class TLinker;

private:
    friend class TParser;

    void BeginChange() { ++FChangeCount; }
    void EndChange();
    void Reset();
    void LinkImplementations();

    std::unique_ptr<TModuleItem> FModule;
    std::unique_ptr<TLinker> FLinker;
    TModuleKind FModuleKind = mkCleared;
    int FImplementationLine = -1;
    int FChangeCount = 0;
    int FUpdateLock = 0;
    int FErrorCount = 0;
    std::vector<std::string> FErrors;
};

} // namespace kolva
