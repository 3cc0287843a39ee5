// Positions are computed from line numbers just before each write and never kept across
// writes: the buffer may have changed under the add-in between two calls.
#include "ide/IDEEditor.h"

#include "platform/StringList.h"
#include "platform/SysUtils.h"
#include "settings/KOLVAOpts.h"
#include "toolsapi/ClassNames.h"

#include <algorithm>
#include <climits>
#include <QWidget>

namespace kolva {

namespace {

std::string FileExtension(const std::string& FileName) {
    auto dot = FileName.find_last_of(".\\/");
    if (dot == std::string::npos || FileName[dot] != '.') return {};
    return FileName.substr(dot + 1);
}

/// The linear position of the start of a 0-based line.
int LineStart(IOTAEditView& View, int Line) {
    return View.CharPosToPos(TOTACharPos{0, Line + 1});
}

} // namespace

std::string ReadEditBuffer(IOTAEditBuffer& Buffer) {
    TIntf<IOTAEditReader> reader = Buffer.CreateReader();
    std::string text;
    if (!reader) return text;
    char chunk[EditorReadChunk];
    int count;
    do {
        count = reader->GetText(static_cast<int>(text.size()), chunk, EditorReadChunk);
        if (count < 0 || count > EditorReadChunk) throw Exception("Unexpected result from editor");
        text.append(chunk, count);
    } while (count == EditorReadChunk);
    return text;
}

void TIDEEditor::GetSource(TStringList& Lines, std::string& FileName) {
    FileName.clear();
    TIntf<IOTAEditBuffer> buffer = FHost.CurrentBuffer();
    if (buffer)
        if (TIntf<IOTAModule> module = buffer->GetModule()) FileName = module->GetFileName();
    if (buffer && KOLVAOptions().IsSourceModule(FileExtension(FileName))) {
        Lines.SetText(ReadEditBuffer(*buffer));
        return;
    }
    Lines.Clear();
    FileName.clear();
}

TIntf<IOTAEditView> TIDEEditor::TopView() {
    TIntf<IOTAEditBuffer> buffer = FHost.CurrentBuffer();
    return buffer ? buffer->GetTopView() : TIntf<IOTAEditView>();
}

void TIDEEditor::ShowLines(int FirstLine, int Line) {
    TIntf<IOTAEditView> view = TopView();
    if (!view) return;
    view->SetCursorPos(TOTAEditPos{1, Line + 1});
    int rows = view->GetViewSize().Rows;
    view->SetTopPos(TOTAEditPos{1, std::max(FirstLine + 1, (Line + 1) - rows + 1)});
    view->Paint();
}

bool TIDEEditor::FocusEditor() {
    TIntf<IOTAEditView> view = TopView();
    if (!view) return false;
    TIntf<IOTAEditWindow> window = view->GetEditWindow();
    QWidget* control = window ? FindControlOfClass(window->GetForm(), "TEditControl") : nullptr;
    if (!CanFocus(control)) return false;
    control->setFocus(Qt::OtherFocusReason);
    return true;
}

bool TIDEEditor::GetCursorLine(int& Line) {
    TIntf<IOTAEditView> view = TopView();
    if (!view) return false;
    Line = view->GetCursorPos().Line - 1;
    return true;
}

void TIDEEditor::DeleteLines(TStringList& LocalCopy, int StartLine, int Count) {
    TIntf<IOTAEditBuffer> buffer = FHost.CurrentBuffer();
    TIntf<IOTAEditView> view = buffer ? buffer->GetTopView() : TIntf<IOTAEditView>();
    if (!view) Abort();
    int from = LineStart(*view, StartLine);
    int to = LineStart(*view, StartLine + Count);
    {
        TIntf<IOTAEditWriter> writer = buffer->CreateUndoableWriter();
        if (!writer) Abort();
        writer->CopyTo(from);
        writer->DeleteTo(to);
        writer->CopyTo(INT_MAX);
    }
    for (int i = 0; i < Count && StartLine < LocalCopy.Count(); ++i)
        LocalCopy.Delete(StartLine);
}

void TIDEEditor::InsertLines(TStringList& LocalCopy, int Line, const TStringList& NewLines) {
    TIntf<IOTAEditBuffer> buffer = FHost.CurrentBuffer();
    TIntf<IOTAEditView> view = buffer ? buffer->GetTopView() : TIntf<IOTAEditView>();
    if (!view) Abort();
    int at = LineStart(*view, Line);
    std::string text = NewLines.Text();
    // Appending after a last line without a line break would glue the first new line to it.
    if (at > 0 && at == LineStart(*view, INT_MAX - 1)) {
        char last = 0;
        TIntf<IOTAEditReader> reader = buffer->CreateReader();
        if (reader && reader->GetText(at - 1, &last, 1) == 1 && last != '\n' && last != '\r')
            text.insert(0, "\r\n");
    }
    {
        TIntf<IOTAEditWriter> writer = buffer->CreateUndoableWriter();
        if (!writer) Abort();
        writer->CopyTo(at);
        writer->Insert(text);
        writer->CopyTo(INT_MAX);
    }
    for (int i = NewLines.Count() - 1; i >= 0; --i)
        LocalCopy.Insert(std::min(Line, LocalCopy.Count()), NewLines[i]);
}

} // namespace kolva
