// An edited unit held in memory: its lines, an edit lock over them that keeps an undo log,
// and a view with a cursor. There is no designer. The command line edits files through it,
// and the engine's tests use it to check every edit and its undo.
#pragma once

#include "editing/EditInterfaces.h"
#include "platform/StringList.h"

#include <functional>
#include <string>
#include <vector>

namespace kolva {

class TMemoryEditor : public TEditSynchronizer, public TEditorInterface {
public:
    explicit TMemoryEditor(std::string FileName = std::string());

    /// The unit's text; between edits it may be replaced freely.
    TStringList& Text() { return FText; }
    const std::string& FileName() const { return FFileName; }
    /// Another unit comes into the editor, as when the user switches files.
    void SetFileName(std::string Value) { FFileName = std::move(Value); }

    /// Raises the silent abort while Refuse is set (an out-of-date model, say), or when
    /// writing to a read-only text; nests otherwise.
    TStringList& BeginEdit(bool SkipReadOnlyCheck) override;
    void CancelEdit() override;
    /// Raises EListError for a range outside the text.
    void DeleteLines(int StartLine, int Count) override;
    /// Closing the outermost level calls OnEditEnd.
    void EndEdit() override;
    TStringList& Lines() override { return FText; }
    bool IsEditing() const override { return FLevel > 0; }
    /// Raises EListError for a line outside 0..line count.
    void InsertLines(int Line, const TStringList& NewLines) override;

    void GetSource(TStringList& Lines, std::string& FileName) override;
    void ShowLine(int FirstLine, int Line) override { ShowLines(FirstLine, Line); }
    void ShowLines(int FirstLine, int Line) override;
    bool FocusEditor() override { return true; }
    bool GetCursorLine(int& Line) override;
    void RequestSync() override;

    /// A change of the text: lines inserted at Line, or the lines deleted there.
    struct TStep {
        bool Inserted;
        int Line;
        std::vector<std::string> Lines;
    };
    /// Steps that Undo can take back; each DeleteLines or InsertLines call is one.
    int UndoCount() const { return static_cast<int>(FUndo.size()); }
    /// Those steps, oldest first.
    const std::vector<TStep>& Steps() const { return FUndo; }
    /// Takes Lines as the text, with nothing to undo.
    void Reset(const TStringList& Lines);
    /// Takes back the last step. EXPECTS: not editing and UndoCount() > 0.
    void Undo();

    bool Refuse = false;
    bool ReadOnly = false;
    int CursorLine = 0;
    int TopLine = 0;
    int ViewRows = 40;
    /// Called when the outermost edit closes and on RequestSync: the owner parses again.
    std::function<void()> OnEditEnd;

private:
    TStringList FText;
    std::string FFileName;
    int FLevel = 0;
    std::vector<TStep> FUndo;
};

} // namespace kolva
