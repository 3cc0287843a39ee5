// The IDE stand-in as an add-in sees it: the names it looks for, buffers whose writers are one
// undo step each, files saved in their own line-break style, the question before unsaved
// changes are lost, and the add-in's editor working on a real buffer.
#include "host/EditWindow.h"
#include "host/HostIDE.h"
#include "ide/IDEEditor.h"
#include "platform/Files.h"
#include "platform/StringList.h"
#include "support/ScriptedDialogs.h"
#include "support/TempPrefix.h"
#include "toolsapi/ClassNames.h"

#include <climits>
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

namespace kolva::test {
namespace {

struct THostFixture : testing::Test {
    TScriptedDialogs Dialogs;
    THostIDE IDE;

    TIntf<THostModule> Open(const std::string& Name, const std::string& Bytes) {
        std::string path = TempPrefix() + "/src/" + Name;
        WriteNative(path, Bytes);
        return IDE.OpenFile(path);
    }
    std::string BufferText(IOTAEditBuffer& Buffer) { return ReadEditBuffer(Buffer); }
    /// One writer that replaces From..To with Text.
    void Replace(IOTAEditBuffer& Buffer, int From, int To, const std::string& Text) {
        TIntf<IOTAEditWriter> writer = Buffer.CreateUndoableWriter();
        writer->CopyTo(From);
        writer->DeleteTo(To);
        writer->Insert(Text);
        writer->CopyTo(INT_MAX);
    }
};

TEST_F(THostFixture, NamesTheAddInLooksFor) {
    QWidget& window = IDE.Window();
    EXPECT_EQ(ClassNameOf(&window), "TEditWindow");
    QMenuBar* menu = IDE.NTAServices().GetMainMenu();
    auto* views = menu->findChild<QMenu*>("ViewsMenu");
    ASSERT_TRUE(views);
    bool inspector = false;
    for (QAction* item : views->actions())
        inspector |= item->objectName() == "ViewObjInspItem";
    EXPECT_TRUE(inspector);
    EXPECT_TRUE(window.findChild<QMenu*>("EditorLocalMenu"));
    QObject* actions = IDE.NTAServices().GetActionList();
    ASSERT_TRUE(actions);
    EXPECT_TRUE(actions->findChild<QAction*>("FileOpenCommand"));

    Open("Orders.pas", "unit Orders;\n");
    TIntf<IOTAEditWindow> editWindow =
        IDE.EditorServices().TopBuffer()->GetTopView()->GetEditWindow();
    EXPECT_EQ(editWindow->GetForm(), &window);
    EXPECT_TRUE(FindControlOfClass(&window, "teditcontrol"));
}

TEST_F(THostFixture, EachWriterIsOneUndoStepThatRestoresTheBytes) {
    const std::string original = "unit A;\r\n\r\ninterface\r\n\r\nimplementation\r\nend.\r\n";
    TIntf<THostModule> module = Open("A.pas", original);
    TIntf<IOTAEditBuffer> buffer = IDE.EditorServices().TopBuffer();
    ASSERT_EQ(buffer.Get(), module->Buffer().Get());
    Replace(*buffer, 0, 4, "program");
    Replace(*buffer, 12, 14, "uses X;\r\n");
    const std::string changed =
        "program A;\r\nuses X;\r\ninterface\r\n\r\nimplementation\r\nend.\r\n";
    EXPECT_EQ(BufferText(*buffer), changed);
    TEditControl* control = module->Buffer()->Control();
    control->undo();
    EXPECT_EQ(BufferText(*buffer), "program A;\r\n\r\ninterface\r\n\r\nimplementation\r\nend.\r\n");
    control->undo();
    EXPECT_EQ(BufferText(*buffer), original);
    control->redo();
    control->redo();
    EXPECT_EQ(BufferText(*buffer), changed);
}

TEST_F(THostFixture, AReadOnlyBufferHasNoWriter) {
    TIntf<THostModule> module = Open("A.pas", "unit A;\n");
    TIntf<IOTAEditBuffer> buffer = module->Buffer();
    buffer->SetIsReadOnly(true);
    EXPECT_FALSE(buffer->CreateUndoableWriter());
    buffer->SetIsReadOnly(false);
    EXPECT_TRUE(buffer->CreateUndoableWriter());
}

TEST_F(THostFixture, SavingKeepsTheFilesLineBreaks) {
    struct {
        const char* Before;
        const char* After;
    } cases[] = {
        {"unit A;\nend.\n", "unit A;\n// new\nend.\n"},
        {"unit A;\r\nend.\r\n", "unit A;\r\n// new\r\nend.\r\n"},
        {"unit A;\nend.", "unit A;\n// new\nend."},
        {"\xEF\xBB\xBFunit A;\r\nend.\r\n", "\xEF\xBB\xBFunit A;\r\n// new\r\nend.\r\n"},
    };
    for (const auto& c : cases) {
        TIntf<THostModule> module = Open("A.pas", c.Before);
        TIntf<IOTAEditBuffer> buffer = module->Buffer();
        int at = buffer->GetTopView()->CharPosToPos({0, 2});
        Replace(*buffer, at, at, "// new\r\n");
        module->Save();
        EXPECT_EQ(ReadFileText(module->NativeFileName()), c.After) << c.Before;
        ASSERT_TRUE(IDE.CloseModule(*module));
    }
}

TEST_F(THostFixture, ClosingAModifiedFileAsksFirst) {
    TIntf<THostModule> module = Open("A.pas", "unit A;\n");
    Replace(*module->Buffer(), 0, 0, "{x}");
    Dialogs.Answers = {mrCancel, mrNo};
    EXPECT_FALSE(IDE.CloseModule(*module));
    EXPECT_EQ(IDE.OpenModules().size(), 1u);
    EXPECT_TRUE(IDE.CloseModule(*module));
    EXPECT_TRUE(IDE.OpenModules().empty());
    EXPECT_EQ(ReadFileText(module->NativeFileName()), "unit A;\n");
    ASSERT_EQ(Dialogs.Texts.size(), 2u);
    EXPECT_EQ(IDE.Window().ClosedFiles().at(0), module->GetFileName());
    EXPECT_FALSE(module->Buffer()->GetTopView()) << "a closed buffer has no view";
}

TEST_F(THostFixture, ModulesAreFoundByAnySpellingOfTheirName) {
    TIntf<THostModule> module = Open("Orders.pas", "unit Orders;\n");
    std::string name = module->GetFileName();
    EXPECT_EQ(IDE.ModuleServices().FindModule(name).Get(), module.Get());
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(IDE.ModuleServices().FindModule(name).Get(), module.Get());
    EXPECT_FALSE(IDE.ModuleServices().FindModule(name + "x"));
}

/// The add-in's editor on a real buffer: its line primitives and the buffer's undo agree.
struct TFrontBuffer : TIDEEditorHost {
    THostIDE& IDE;
    explicit TFrontBuffer(THostIDE& IDE) : IDE(IDE) {}
    TIntf<IOTAEditBuffer> CurrentBuffer() override { return IDE.EditorServices().TopBuffer(); }
    void SyncNow() override {}
};

TEST_F(THostFixture, EditorLinePrimitivesOnARealBufferUndoByteForByte) {
    const std::string original = "unit A;\r\ninterface\r\nimplementation\r\nend.\r\n";
    TIntf<THostModule> module = Open("A.pas", original);
    TFrontBuffer host(IDE);
    TIDEEditor editor(host);
    TStringList copy;
    std::string fileName;
    editor.GetSource(copy, fileName);
    editor.InsertLines(copy, 0, TStringList{"{ one }", "{ two }", "{ three }"});
    editor.DeleteLines(copy, 5, 9);
    EXPECT_EQ(ReadEditBuffer(*module->Buffer()),
              "{ one }\r\n{ two }\r\n{ three }\r\nunit A;\r\ninterface\r\n");
    EXPECT_EQ(copy.Text(), ReadEditBuffer(*module->Buffer()));
    module->Buffer()->Control()->undo();
    module->Buffer()->Control()->undo();
    EXPECT_EQ(ReadEditBuffer(*module->Buffer()), original);
}

} // namespace
} // namespace kolva::test
