// The three doors through which the source model and the editing engine reach the edited
// unit, so that neither ever talks to an IDE: the edit lock with the only operations that
// change the text, the editor (reading the source, showing a place), and the form designer.
//
// The protocol every synchroniser honours: `BeginEdit(true)` for operations that only read,
// `BeginEdit(false)` for ones that write; nested calls only count and return the same list.
// Line numbers are 0-based indexes into that list. `DeleteLines` and `InsertLines` change
// the text and the list alike, each call one undoable step. Every `BeginEdit` is paired with
// an `EndEdit` (see TEditGuard), also when an error is raised; closing the outermost level
// makes the model be parsed again at once. A refused edit raises the silent abort.
#pragma once

#include "platform/System.h"

#include <cstdint>
#include <string>

namespace kolva {

class TStringList;

class TEditSynchronizer {
public:
    virtual ~TEditSynchronizer() = default;
    /// Opens or nests an edit and returns the unit's lines as they are now.
    virtual TStringList& BeginEdit(bool SkipReadOnlyCheck) = 0;
    /// Drops every nesting level at once.
    virtual void CancelEdit() = 0;
    virtual void DeleteLines(int StartLine, int Count) = 0;
    virtual void EndEdit() = 0;
    /// The list returned by BeginEdit. EXPECTS: IsEditing().
    virtual TStringList& Lines() = 0;
    virtual bool IsEditing() const = 0;
    /// Inserts all of NewLines before Line; Line equal to the line count appends.
    virtual void InsertLines(int Line, const TStringList& NewLines) = 0;
};

/// Opens an edit for its lifetime, so no path out of an operation can forget to close it.
class TEditGuard {
public:
    TEditGuard(TEditSynchronizer& Sync, bool SkipReadOnlyCheck)
        : FSync(Sync), FLines(Sync.BeginEdit(SkipReadOnlyCheck)) {}
    /// Closes the edit; what closing raises (a failed re-parse) reaches the caller here.
    void Close() {
        FOpen = false;
        FSync.EndEdit();
    }
    /// A guard not closed (an error on its way out) closes quietly: that error is the one the
    /// caller must see.
    ~TEditGuard() {
        if (!FOpen) return;
        try {
            FSync.EndEdit();
        } catch (...) {
        }
    }
    TEditGuard(const TEditGuard&) = delete;
    TEditGuard& operator=(const TEditGuard&) = delete;
    TStringList& Lines() const { return FLines; }

private:
    TEditSynchronizer& FSync;
    TStringList& FLines;
    bool FOpen = true;
};

class TEditorInterface {
public:
    virtual ~TEditorInterface() = default;
    /// Fills Lines with the unit's text and FileName with its name; both empty when there is
    /// no unit to explore.
    virtual void GetSource(TStringList& Lines, std::string& FileName) = 0;
    virtual void ShowLine(int FirstLine, int Line) = 0;
    /// Puts the cursor on Line and scrolls FirstLine to the top unless Line would then
    /// fall below the view.
    virtual void ShowLines(int FirstLine, int Line) = 0;
    /// False when the editor cannot take the focus.
    virtual bool FocusEditor() = 0;
    /// False when there is no editor view.
    virtual bool GetCursorLine(int& Line) = 0;
    /// Asks for an immediate re-read of the source.
    virtual void RequestSync() {}
};

/// What the user forbids the engine to do to a designer class (an option; the layer that owns
/// the options hands the current value to the editor).
enum TDesignerRestriction : uint8_t {
    drHideFields,
    drHideMethods,
    drDeleteMethod,
    drEditMethod,
    drMethodVisibility,
    drSelectComponent,
    drDeleteComponent,
    drSelectClass
};
using TDesignerRestrictions = TSet<TDesignerRestriction, drSelectClass + 1>;

/// Questions and commands about the form designer of the unit. The base class has no
/// designer: every operation but IsDesignerClass answers false and does nothing.
class TDesignerInterface {
public:
    virtual ~TDesignerInterface() = default;
    /// Base rule: begins with "T" and ends with "Form" with something between, ignoring case
    /// (TMainForm yes, TForm no).
    virtual bool IsDesignerClass(const std::string& ClassName);
    virtual bool DeleteComponent(const std::string& ClassName, const std::string& ComponentName);
    virtual bool IsComponent(const std::string& ClassName, const std::string& ComponentName);
    virtual bool IsEventHandler(const std::string& ClassName, const std::string& MethodName);
    virtual bool RenameClass(const std::string& OldClassName, const std::string& NewClassName);
    virtual bool RenameComponent(const std::string& ClassName, const std::string& OldName,
                                 const std::string& NewName);
    virtual bool RenameEventHandler(const std::string& ClassName, const std::string& OldName,
                                    const std::string& NewName);
    /// Tells the designer that the handler MethodName is being deleted, so that no event
    /// stays bound to it; false when none was.
    virtual bool DeleteEventHandler(const std::string& ClassName, const std::string& MethodName);
    virtual void SelectComponent(const std::string& ClassName, const std::string& ComponentName);
    virtual void SelectRoot(const std::string& ClassName);
};

} // namespace kolva
