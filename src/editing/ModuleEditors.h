// The module editor and its layout options.
//
// `TModuleEditor` turns requests on the code model of one unit into line edits of the unit's
// source. It never edits inside a line: every change deletes whole lines or inserts whole
// lines before a line, through the edit synchroniser, and each call is one undoable step.
// New text is assembled in a scratch list, mostly from the items' own declaration texts
// passed through the wrap filter. Positions are always read from the model, which the two
// line primitives keep in step with the text until the outermost edit closes and the unit
// is parsed again. This class handles the module as a whole and its global and local
// procedures; its descendant adds classes and their members.
//
// `TModuleEditorOptions` holds the three layout settings that every piece of generated text
// follows: the indentation of a block level, and the margin and continuation indentation of
// wrapped declarations. The settings store loads and saves its published properties under
// "\Code Generation" (settings/KolvaReg.h).
#pragma once

#include "editing/EditCheck.h"
#include "editing/MemoryEditor.h"
#include "foundation/Propinfo.h"
#include "model/ModuleExplorer.h"
#include "platform/StringList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kolva {

class TModuleEditorOptions : public TObject, public IPublished {
public:
    static const TPropTable& PropTable();
    const TPropTable& PublishedProps() const override { return PropTable(); }

    TModuleEditorOptions() = default;
    /// Freeing the process-wide instance lets ModuleEditorOptions create a fresh one.
    ~TModuleEditorOptions() override;
    TModuleEditorOptions(const TModuleEditorOptions&) = delete;
    TModuleEditorOptions& operator=(const TModuleEditorOptions&) = delete;

    static constexpr int32_t MinBlockIndention = 1, MaxBlockIndention = 12;
    static constexpr int32_t MinWrapIndention = 0, MaxWrapIndention = 20;
    static constexpr int32_t MinWrapMargin = 40, MaxWrapMargin = 128;

    /// Spaces per block level: a local routine within its routine, members within a class,
    /// visibility keywords. The setters clamp into the ranges above, they never reject.
    int32_t BlockIndention() const { return FBlockIndention; }
    void SetBlockIndention(int32_t Value);
    /// Extra indentation of the continuation lines of a wrapped declaration.
    int32_t WrapIndention() const { return FWrapIndention; }
    void SetWrapIndention(int32_t Value);
    /// The right margin at which generated declarations are wrapped.
    int32_t WrapMargin() const { return FWrapMargin; }
    void SetWrapMargin(int32_t Value);

private:
    int32_t FBlockIndention = 2;
    int32_t FWrapIndention = 4;
    int32_t FWrapMargin = 80;
};

/// The process-wide layout options, created on first request, freed at exit.
TModuleEditorOptions& ModuleEditorOptions();

class TEditSynchronizer;
class TTextStream;

/// Items selected for an operation, in no particular order.
using TItemList = std::vector<TCodeItem*>;

/// What a rearrangement changes: the declarations (a class's members, or the procedures of
/// the interface part), the implementations, and whether declarations are written anew.
enum TRearrangeOption : uint8_t { roRearrangeInterface, roRearrangeImplementation, roReformat };
using TRearrangeOptions = TSet<TRearrangeOption, roReformat + 1>;

/// The items a rearrangement of one container reorders, each list in source order.
struct TRearrangeItems {
    /// A class's fields, methods, properties and resolution clauses; the procedures the
    /// interface part declares.
    TItemList Declarations;
    /// The implementations of a class's methods; the procedures only the implementation part
    /// holds.
    TItemList Implementations;
};

/// What a copy buffer holds; also chooses what a cut or a selection deletion covers.
enum TCopyKind : uint8_t { coClassCopy, coMembersCopy, coModuleCopy, coProcedureCopy };

class TModuleEditor : public TObject {
public:
    /// The synchroniser may be set later; neither it nor the parser is owned.
    TModuleEditor(TModuleExplorer& Explorer, TEditSynchronizer* Synchronizer);
    ~TModuleEditor() override;
    TModuleEditor(const TModuleEditor&) = delete;
    TModuleEditor& operator=(const TModuleEditor&) = delete;

    TModuleExplorer& Explorer() const { return FExplorer; }
    TEditSynchronizer* Synchronizer() const { return FSynchronizer; }
    /// Cancels the edit the old synchroniser has open before replacing it.
    void SetSynchronizer(TEditSynchronizer* Value);

    // --- The edit bracket: every operation opens one and closes it however it ends.
    //
    // The outermost bracket is a transaction. The line primitives change a staged copy of
    // the unit; when the bracket closes normally the staged text is checked (EditCheck.h)
    // and only then are its line changes replayed into the synchroniser, each still one
    // undoable step. When an error ends the operation, or the check refuses the result,
    // nothing reaches the text and the model is parsed again from the unchanged unit.
    /// ReadOnly for operations that only read (the read-only check of the text is skipped).
    void OpenEdit(bool ReadOnly);
    /// Closes one level; closing the outermost one commits the staged changes (raising
    /// EEditRefused when the check refuses them).
    void CloseEdit() { FinishEdit(true); }
    /// Opens an edit for its lifetime. An operation ends each of its successful paths with
    /// Commit(); an edit left without it (an error on its way out, a cancelled dialog) is
    /// abandoned, and nothing it staged reaches the text.
    class TEdit {
    public:
        TEdit(TModuleEditor& Editor, bool ReadOnly);
        /// Closes this level; closing the outermost one checks the staged text and writes it
        /// (raising EEditRefused, with the unit left as it was, when the check refuses it).
        void Commit();
        ~TEdit();
        TEdit(const TEdit&) = delete;
        TEdit& operator=(const TEdit&) = delete;

    private:
        TModuleEditor& FEditor;
        [[maybe_unused]] int FUncaught; // read by a debug check only
        bool FOpen = true;
    };
    /// The unit's lines as the open edit has staged them. EXPECTS: an edit is open.
    TStringList& Lines() const;
    /// Whether the staged text differs from the unit's text.
    bool HasStagedChanges() const { return FStage.UndoCount() > 0; }
    TStringList& Scratch() { return FScratch; }

    // --- The two line primitives; every text change goes through them.
    /// Deletes Count lines at First and moves the model's positions up; Item's own lines
    /// stay as they are.
    void RemoveLines(const TCodeItem* Item, int First, int Count);
    /// Inserts the scratch lines before Line and moves the model's positions down.
    void PutScratch(const TCodeItem* Item, int Line);

    // --- Helpers.
    /// A line inside the text that holds nothing but blanks.
    bool IsBlankLine(int Line) const;
    /// Indents lines First..Last of List by N spaces, or takes up to -N leading blanks away.
    static void IndentLines(TStringList& List, int First, int Last, int N);
    /// Appends Item's declaration to List, wrapped at the margin and indented by its start
    /// column.
    void WriteDeclaration(TCodeItem& Item, TStringList& List);
    /// Line, or when a conditional block opened within the same declaration (or part of the
    /// unit) is open there, the line after that block: new text never lands in one branch.
    int OutsideConditionals(int Line);
    /// Inserts Item's declaration at Line (moved out of conditional blocks) with the
    /// blank-line rules of its kind and places Item there.
    void InsertDeclaration(TCodeItem& Item, int Line);
    /// Inserts a routine's heading and, unless it is forward or external, an empty body.
    void InsertImplementation(TProcItem& Item, int Line);
    /// Rewrites Item's declaration in place, keeping its body. Raises "Cannot perform
    /// operation on bad formatted item %s" for an item without a place.
    void UpdateDeclaration(TCodeItem* Item);
    /// Deletes Item's lines and one blank line after them; Item is left without a place.
    void DeleteItem(TCodeItem& Item);
    /// Deletes the items from the bottom up, so earlier positions stay valid.
    void DeleteItems(TItemList Items);
    /// Where a new procedure declaration goes: after Item's heading when Item is a routine
    /// (the declaration is local to it); in the interface part or in the implementation
    /// part otherwise.
    int DeclarationLine(TCodeItem* Item, bool InInterface);
    /// Where a new implementation goes: before Item's body when Item is a routine; after
    /// the last procedure of the implementation part otherwise.
    int ImplementationLine(TCodeItem* Item);

    // --- Operations on procedures.
    /// Adds a global procedure, or a local one of Near when Near is a routine, through the
    /// procedure dialog; false when the dialog was cancelled.
    bool AddProcedure(TCodeItem* Near);
    /// Edits a procedure's declaration and implementation together through the dialog.
    bool EditProcedure(TCodeItem& Item);
    void DeleteProcedure(TCodeItem& Item);
    /// Moves a procedure after Target (moving down) or before it (moving up).
    void MoveProcedure(TCodeItem& Item, TCodeItem& Target);
    /// Renames every procedure of Item's parent named OldName (declaration and
    /// implementation).
    void RenameProcedures(TCodeItem& Item, const std::string& OldName, const std::string& NewName);
    /// Turns local procedures into what a selection deletion or copy covers.
    static void NormalizeSelection(TItemList& Items, TCopyKind& Kind);
    /// Raises "%s is not implemented yet"; an empty What says "This function".
    [[noreturn]] static void NotImplemented(const std::string& What);
    /// The kind word of "Delete %s %s?" for an item.
    static std::string KindWord(const TCodeItem& Item);

    // --- Rearranging (ModuleEditorRearrange.cpp).
    /// What Container (a type with members, or the module) lets a rearrangement reorder.
    TRearrangeItems RearrangeItems(TCodeItem& Container) const;
    /// Raises "Nothing to rearrange" when neither list of Container has two items.
    void CheckRearrange(TCodeItem& Container) const;
    /// Writes the implementations, then the declarations, in the orders given; each list
    /// holds items of RearrangeItems(Container) once (a class's members left out follow in
    /// their order; other items left out stay where they are). Whole blocks move with the comment
    /// lines right above them; a class is rebuilt from its heading, its members with
    /// visibility keyword lines where needed, and its "end;". Refuses what it cannot move
    /// without changing the meaning (members in conditional blocks, nested declarations,
    /// other declarations between the blocks, a procedure moved after one that uses it).
    void Rearrange(TCodeItem& Container, const TItemList& DeclarationOrder,
                   TRearrangeOptions Options, const TItemList& ImplementationOrder);

    // --- Operations that descendants refine, in this order.
    /// Deletes the listed items (or, for none, Container's procedures) with the
    /// declarations and implementations linked to them.
    virtual void DeleteSelection(TCopyKind Kind, TCodeItem* Container, const TItemList* Items);
    // The inserts of a paste. Each parses Text (a copy buffer without its signature line)
    // with a parser of its own and writes what it finds with the target's placement rules,
    // in one edit; the class and member inserts are the class editor's (NotImplemented here).
    /// The first type of Text beside the unit's types of its kind and part, named free in
    /// the unit, with its method implementations. Raises "No class or interface found to
    /// insert".
    virtual void InsertClasses(TCodeItem& Module, TStringList& Text);
    /// The members of Text's first type that Class's kind can hold, written anew, named free
    /// in Class, with implementations (a TODO body for those without). Raises "No members
    /// found to insert".
    virtual void InsertMembers(TCodeItem& Class, TStringList& Text);
    /// The methods of Text's first type as global procedures of the unit. Raises "No methods
    /// found to convert to procedures".
    virtual void InsertMethodsAsProcedures(TCodeItem& Module, TStringList& Text);
    /// Text's procedures as local procedures of Routine, before its body. Raises "Cannot
    /// paste local procedures in %s" where Routine has no body to hold them.
    virtual void InsertLocalProcedures(TCodeItem& Target, TCodeItem& Routine, TStringList& Text);
    /// Text's procedures as they are written (a clashing name made free, heading written anew),
    /// declarations to the interface part of a unit, the others to the implementation part.
    /// ProceduresOnly reads Text as a fragment. Raises "No procedures found to insert".
    virtual void InsertProcedures(TCodeItem& Module, TStringList& Text, bool ProceduresOnly);
    /// Text's procedure implementations as methods of Class, their bodies with the common
    /// indentation taken away. Raises "No procedures found to insert".
    virtual void InsertProceduresAsMethods(TCodeItem& Class, TStringList& Text,
                                           bool ProceduresOnly);
    virtual void CheckDelete(TCopyKind& Kind, TItemList& Items);
    virtual void PrepareDelete(TItemList& Items);
    /// For procedures: scPrivate moves them into the implementation part only, anything
    /// else declares them in the interface part.
    virtual void ChangeVisibility(TCodeItem* Container, const TItemList& Items,
                                  TVisibility Visibility);
    /// Asks "Delete %s %s?"; true for OK.
    virtual bool ConfirmDelete(TCodeItem& Item);
    /// Writes the copy buffer of Items (of Container) to Stream: its signature line, then
    /// for a module copy a pseudo-unit with the items' lines in its interface and
    /// implementation parts, for a procedure copy the local procedures' lines. No items in a
    /// module copy means every placed top-level procedure of the unit. This editor writes
    /// module and procedure copies; class and member copies are its descendant's.
    virtual void WriteItems(TCopyKind Kind, TCodeItem* Container, const TItemList& Items,
                            TTextStream& Stream);
    /// WriteItems into the clipboard, which takes the text only when there is some.
    void CopyItems(TCopyKind Kind, TCodeItem* Container, const TItemList& Items);
    /// Writes the copy buffer of Items and deletes them, in one edit; the buffer reaches
    /// Stream only when the deletion was written. No items: the class Container for a class
    /// copy, Container's members or procedures otherwise.
    virtual void CutItems(TCopyKind Kind, TCodeItem* Container, const TItemList& Items,
                          TTextStream& Stream);
    /// CutItems into the clipboard, which is left as it was when the cut is refused.
    void CutItems(TCopyKind Kind, TCodeItem* Container, const TItemList& Items);

    // --- Pasting (ModuleEditorPaste.cpp).
    /// PasteText with the clipboard's text.
    void PasteItems(TCodeItem* Reference, TCodeItem* Target);
    /// Pastes a copy buffer: its first line names what it holds (else the user is asked
    /// whether to paste it as members; Cancel ends silently). The class among Target and
    /// Reference takes members, the module classes and procedures, the routine Reference
    /// local procedures. Target must be a class or the module ("Pasting into this content is
    /// not implemented yet").
    void PasteText(TCodeItem* Reference, TCodeItem* Target, const TStringList& Lines);
    /// Items of Source (a class: as members; the module: as procedures) written into Target
    /// in one edit; Move cuts them from Source unless Target is Source.
    void CopyOrMoveItems(TCodeItem& Source, TCodeItem& Target, bool Move, const TItemList& Items);

protected:
    /// Puts Text in place of Line, keeping every position of the model.
    void ReplaceLine(const TCodeItem* Item, int Line, const std::string& Text);
    /// Refuses with the bad-format error when lines First..Last hold anything but Item (and,
    /// when Nested, what lies inside it).
    void CheckOwnLines(const TCodeItem& Item, int First, int Last, bool Nested);
    /// What follows the last of Written on line Last: a comment that belongs to it.
    std::string TrailingText(const std::vector<TSourceToken>& Written, int Last) const;
    /// The tokens of Item's lines up to Last, from its start column on.
    std::vector<TSourceToken> WrittenTokens(const TCodeItem& Item, int Last) const;
    bool IsUnit() const { return FExplorer.ModuleKind() == mkUnit; }
    /// Whether a routine's body holds anything between its first "begin" and its "end".
    bool BodyHasCode(const TProcItem& Item);
    int LineCount() const;

private:
    /// Closes one level; the outermost commits when Commit, else drops the staged changes.
    void FinishEdit(bool Commit);
    void Replay();
    /// When Item's declaration differs from OldDeclaration in words only, and the text has
    /// those words where the old declaration has them, replaces them where they stand.
    bool ReplaceWords(TCodeItem& Item, int Last, const std::string& OldDeclaration);
    void ProceduresToInterface(const TItemList& Items);
    void ProceduresToImplementation(const TItemList& Items);
    bool EditImplementationSide(TProcData& Copy, TProcData* Impl, bool WasExternal,
                                bool NeedsDeclaration, TCodeItem* Context);
    struct TBlock;
    /// The block of Item: its lines and the comment lines right above it, down from Floor.
    TBlock BlockOf(TCodeItem& Item, int Floor) const;
    void MoveBlocks(TCodeItem& Container, const TItemList& Order, bool Regenerate);
    void RebuildClass(TClassItem& Class, const TItemList& Order, bool Reformat);

    TModuleExplorer& FExplorer;
    TEditSynchronizer* FSynchronizer;
    TStringList* FLines = nullptr;
    TStringList FScratch;
    int FDepth = 0;
    /// The staged text; its undo steps are the changes replayed into the synchroniser.
    TMemoryEditor FStage;
    TEditCheck FCheck;
    /// Comments of deleted declarations that go with them when they are inserted again.
    std::unordered_map<const TCodeItem*, std::string> FTrailing;
};

/// The first line of a copy buffer of each kind.
const char* CopySignature(TCopyKind Kind);
/// Lines 2 to 5 and 7 to 9 of a pseudo-unit buffer are fixed; these write them around the
/// interface block (the part's heading) and after it (the implementation heading).
void WriteBufferHead(TTextStream& Stream, TCopyKind Kind);
void WriteBufferMiddle(TTextStream& Stream);
/// The empty line and "end." that close a pseudo-unit buffer.
void WriteBufferTail(TTextStream& Stream);

/// The last line of an item's heading (the larger of its start line and
/// declaration end line).
int HeadEnd(const TCodeItem& Item);
/// The line of a routine's body: the larger of HeadEnd and its body start line.
int BodyStart(const TCodeItem& Item);

} // namespace kolva
