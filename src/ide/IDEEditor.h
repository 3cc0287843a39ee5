// The editor interface over the IDE: reads the unit of the edit buffer that the add-in's
// host window follows, shows places in it, and carries out the synchroniser's two line
// primitives, each one undoable change of the buffer.
//
// Line numbers here are 0-based, as the code model counts; the IDE's are 1-based.
#pragma once

#include "editing/EditInterfaces.h"
#include "toolsapi/ToolsAPI.h"

#include <string>

namespace kolva {

class TStringList;

/// What the editor needs of the host window that follows a buffer.
class TIDEEditorHost {
public:
    virtual ~TIDEEditorHost() = default;
    /// The edit buffer followed now; nil when none.
    virtual TIntf<IOTAEditBuffer> CurrentBuffer() = 0;
    /// Re-reads the followed buffer at once, as when the change delay runs out.
    virtual void SyncNow() = 0;
};

/// The reader's chunk: the buffer is read in requests of this many bytes.
inline constexpr int EditorReadChunk = 8192;

/// The whole text of Buffer, read in chunks until one comes back short. Raises Exception
/// "Unexpected result from editor" when the reader answers a count outside 0..8192.
std::string ReadEditBuffer(IOTAEditBuffer& Buffer);

class TIDEEditor : public TEditorInterface {
public:
    /// Host outlives the editor.
    explicit TIDEEditor(TIDEEditorHost& Host) : FHost(Host) {}

    /// FileName is the buffer's module file name; Lines its text. Both empty without a
    /// buffer or when the file's extension is not one of the options' source modules.
    void GetSource(TStringList& Lines, std::string& FileName) override;
    void ShowLine(int FirstLine, int Line) override { ShowLines(FirstLine, Line); }
    /// Cursor to the start of Line; FirstLine at the top unless Line would fall below the
    /// view, in which case Line is the bottom row. Nothing without a buffer or view.
    void ShowLines(int FirstLine, int Line) override;
    /// Focuses the edit window's first control of class "TEditControl" if it can take it.
    bool FocusEditor() override;
    bool GetCursorLine(int& Line) override;
    void RequestSync() override { FHost.SyncNow(); }

    /// Deletes Count lines from StartLine in the buffer as one undo step, and the same lines
    /// (as many as it has) from LocalCopy. Without a buffer, a view or a writer: silent abort.
    void DeleteLines(TStringList& LocalCopy, int StartLine, int Count);
    /// Inserts NewLines before Line (Line equal to the line count appends) in the buffer as
    /// one undo step, and into LocalCopy. Without a buffer, a view or a writer: silent abort.
    void InsertLines(TStringList& LocalCopy, int Line, const TStringList& NewLines);

private:
    TIDEEditorHost& FHost;

    TIntf<IOTAEditView> TopView();
};

} // namespace kolva
