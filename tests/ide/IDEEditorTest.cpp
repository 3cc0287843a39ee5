// The editor over the IDE's tools interface: reading in chunks, showing lines in a view of a
// known height, and the two line primitives keeping buffer and local copy equal.
#include "ide/FakeEditBuffer.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace kolva::test {
namespace {

struct TEditorFixture : testing::Test {
    TIntf<TFakeEditBuffer> Buffer{new TFakeEditBuffer("C:\\src\\Orders.pas", "")};
    TFakeEditorHost Host;
    TIDEEditor Editor{Host};
    TEditorFixture() { Host.Buffer = Buffer.Get(); }
};

struct TReadCase {
    int Size;
    int Requests;
};
class ReadChunks : public TEditorFixture, public testing::WithParamInterface<TReadCase> {};

TEST_P(ReadChunks, ReadsTheWholeTextUntilAShortChunk) {
    std::string text;
    for (int i = 0; i < GetParam().Size; ++i)
        text += static_cast<char>('a' + i % 26);
    Buffer->Text = text;
    EXPECT_EQ(ReadEditBuffer(*Buffer), text);
    EXPECT_EQ(Buffer->ReadRequests, GetParam().Requests);
}

INSTANTIATE_TEST_SUITE_P(IDEEditor, ReadChunks,
                         testing::Values(TReadCase{0, 1}, TReadCase{100, 1}, TReadCase{8191, 1},
                                         TReadCase{8192, 2}, TReadCase{8193, 2},
                                         TReadCase{3 * 8192, 4}));

TEST_F(TEditorFixture, ImpossibleReaderCountsRaise) {
    Buffer->Text = "unit A;";
    for (int wrong : {-1, 8193}) {
        Buffer->WrongCount = wrong;
        try {
            ReadEditBuffer(*Buffer);
            ADD_FAILURE() << "no exception for count " << wrong;
        } catch (const Exception& E) {
            EXPECT_STREQ(E.what(), "Unexpected result from editor");
        }
    }
}

TEST_F(TEditorFixture, SourceOnlyFromSourceModulesWhateverTheCase) {
    struct {
        const char* FileName;
        bool Source;
    } cases[] = {{"C:\\src\\Orders.pas", true},
                 {"C:\\src\\ORDERS.PAS", true},
                 {"C:\\src\\Project1.Dpr", true},
                 {"C:\\src\\Main.dfm", false},
                 {"C:\\src.pas\\README", false}};
    Buffer->Text = "unit A;\r\ninterface\r\n";
    for (const auto& c : cases) {
        Buffer->FileName = c.FileName;
        TStringList lines{"old"};
        std::string fileName = "old";
        Editor.GetSource(lines, fileName);
        EXPECT_EQ(fileName, c.Source ? c.FileName : "") << c.FileName;
        EXPECT_EQ(lines.Text(), c.Source ? Buffer->Text : "") << c.FileName;
    }
    Host.Buffer = TIntf<IOTAEditBuffer>();
    TStringList lines{"old"};
    std::string fileName = "old";
    Editor.GetSource(lines, fileName);
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(fileName, "");
}

TEST_F(TEditorFixture, ShowLinesKeepsTheTargetLineInAThirtyRowView) {
    struct {
        int FirstLine, Line, Top;
    } cases[] = {{10, 12, 11}, {10, 80, 52}, {10, 39, 11}, {10, 40, 12}, {0, 0, 1}};
    for (const auto& c : cases) {
        Editor.ShowLines(c.FirstLine, c.Line);
        EXPECT_EQ(Buffer->TopLine, c.Top) << c.FirstLine << "," << c.Line;
        EXPECT_EQ(Buffer->Cursor.Line, c.Line + 1);
        EXPECT_EQ(Buffer->Cursor.Col, 1);
        Editor.ShowLine(c.FirstLine, c.Line);
        EXPECT_EQ(Buffer->TopLine, c.Top);
    }
}

TEST_F(TEditorFixture, CursorLineIsZeroBasedAndNeedsAView) {
    Buffer->Cursor = {7, 5};
    int line = -1;
    EXPECT_TRUE(Editor.GetCursorLine(line));
    EXPECT_EQ(line, 4);
    Buffer->HasView = false;
    EXPECT_FALSE(Editor.GetCursorLine(line));
    EXPECT_FALSE(Editor.FocusEditor());
}

TEST_F(TEditorFixture, DeletingPastTheEndRemovesWhatThereIs) {
    Buffer->Text = "l0\r\nl1\r\nl2\r\nl3\r\nl4\r\n";
    TStringList copy;
    copy.SetText(Buffer->Text);
    Editor.DeleteLines(copy, 3, 5);
    EXPECT_EQ(Buffer->Text, "l0\r\nl1\r\nl2\r\n");
    EXPECT_EQ(copy.Text(), Buffer->Text);
    EXPECT_EQ(Buffer->Writers, 1);
}

TEST_F(TEditorFixture, InsertedLinesKeepTheirOrder) {
    struct {
        const char* Before;
        int Line;
        const char* After;
    } cases[] = {
        {"a\r\nb\r\n", 0, "x\r\ny\r\nz\r\na\r\nb\r\n"},
        {"a\r\nb\r\n", 1, "a\r\nx\r\ny\r\nz\r\nb\r\n"},
        {"a\r\nb\r\n", 2, "a\r\nb\r\nx\r\ny\r\nz\r\n"},
        {"a\r\nb", 2, "a\r\nb\r\nx\r\ny\r\nz\r\n"},
        {"", 0, "x\r\ny\r\nz\r\n"},
    };
    for (const auto& c : cases) {
        Buffer->Text = c.Before;
        TStringList copy;
        copy.SetText(Buffer->Text);
        Editor.InsertLines(copy, c.Line, TStringList{"x", "y", "z"});
        EXPECT_EQ(Buffer->Text, c.After) << c.Before << " at " << c.Line;
        EXPECT_EQ(copy.Text(), c.After);
    }
}

TEST_F(TEditorFixture, WritingWithoutABufferOrViewAbortsSilently) {
    TStringList copy{"a"};
    Buffer->HasView = false;
    EXPECT_THROW(Editor.DeleteLines(copy, 0, 1), EAbort);
    Host.Buffer = TIntf<IOTAEditBuffer>();
    EXPECT_THROW(Editor.InsertLines(copy, 0, TStringList{"x"}), EAbort);
    EXPECT_EQ(copy.Text(), "a\r\n");
}

} // namespace
} // namespace kolva::test
