#include "model/TextStrm.h"

#include "platform/Clipboard.h"
#include "platform/SysUtils.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

std::string Joined(const TStringList& Lines) {
    std::string out;
    for (int i = 0; i < Lines.Count(); ++i)
        out += (i ? "|" : "") + Lines[i];
    return out;
}

TEST(StringsTextTest, ReadsWritesAndBracketsUpdates) {
    TStringList lines = {"a", "b"};
    int changes = 0;
    lines.OnChange = [&](TObject*) { ++changes; };
    {
        TStringsText text(lines);
        EXPECT_EQ(text.ReadLine(), "a");
        EXPECT_EQ(text.LineNumber(), 1);
        text.WriteLine("B"); // replaces the line at the index
        EXPECT_TRUE(text.EndOfStream());
        EXPECT_EQ(text.ReadLine(), ""); // beyond the end, and no advance
        EXPECT_EQ(text.LineNumber(), 2);
        text.Write("c"); // a new line; the index stays on it
        text.Write("d");
        text.WriteLine("e"); // replaces the partial line
        text.WriteLine("f"); // appends
        text.WriteEmptyLine();
        EXPECT_EQ(text.LineNumber(), 5);
        EXPECT_EQ(changes, 0);
    }
    EXPECT_EQ(Joined(lines), "a|B|e|f|");
    EXPECT_EQ(changes, 1);
}

TEST(StringsTextTest, AllTextAndReattaching) {
    TStringList first = {"x", "y"}, second;
    TStringsText text(first);
    text.ReadLine();
    EXPECT_EQ(text.ReadAllText(), "x\r\ny\r\n"); // from the start
    text.SetStrings(second);
    EXPECT_EQ(first.UpdateCount(), 0);
    EXPECT_EQ(second.UpdateCount(), 1);
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},          {"a", "a"},        {"a\r\n", "a"},
        {"a\r\nb", "a|b"}, {"\r\n\r\n", "|"}, {"a\nb", "a\nb"},
    };
    for (const auto& [input, expected] : cases) {
        second.Clear();
        text.WriteAllText(input);
        EXPECT_EQ(Joined(second), expected) << input;
    }
    TStringList more = {"1", "2"};
    text.Reset();
    text.WriteStrings(more);
    EXPECT_EQ(Joined(second), "1|2");
}

class TClipboardStreamTest : public testing::Test {
protected:
    void SetUp() override { Clipboard().Clear(); }
    void TearDown() override { Clipboard().Clear(); }
};

TEST_F(TClipboardStreamTest, ReadsTheClipboardOnce) {
    Clipboard().SetText("one\r\ntwo\nthree");
    TClipbrdTextStream stream(tmRead);
    Clipboard().SetText("changed");
    EXPECT_EQ(stream.ReadAllText(), "one\r\ntwo\r\nthree\r\n");
    EXPECT_TRUE(stream.EndOfStream());
    EXPECT_EQ(stream.ReadLine(), "");
    stream.Reset();
    EXPECT_EQ(stream.ReadLine(), "one");
    EXPECT_THROW(stream.WriteLine("x"), EInOutError);
    Clipboard().SetText(std::string(20000, 'x'));
    EXPECT_EQ(TClipbrdTextStream(tmRead).ReadLine().size(), 16383u) << "long text is cut";
}

TEST_F(TClipboardStreamTest, WritingModesAndErrors) {
    {
        TClipbrdTextStream stream(tmWrite);
        EXPECT_TRUE(stream.EndOfStream());
        stream.Write("a");
        stream.Write("b");
        stream.WriteLine("c");
        EXPECT_EQ(Clipboard().GetText(), "");
    }
    EXPECT_EQ(Clipboard().GetText(), "ab\r\nc\r\n");
    {
        TClipbrdTextStream stream(tmAppend);
        EXPECT_EQ(stream.LineNumber(), 2);
        stream.WriteLine("d");
    }
    EXPECT_EQ(Clipboard().GetText(), "ab\r\nc\r\nd\r\n");
    {
        TClipbrdTextStream stream(tmCreate);
        stream.WriteLine("x");
        stream.Reset(); // drops what was written, so the clipboard stays as it was
    }
    EXPECT_EQ(Clipboard().GetText(), "ab\r\nc\r\nd\r\n");
    EXPECT_EQ(test::ErrorOf<EInOutError>([] { TClipbrdTextStream s(tmReadWrite); }),
              "Illegal mode for clipboard text stream");
    EXPECT_EQ(test::ErrorOf<EInOutError>([] { TClipbrdTextStream(tmAppend).ReadLine(); }),
              "Can not read from write only stream");
    EXPECT_EQ(test::ErrorOf<EInOutError>([] { TClipbrdTextStream(tmRead).Write("x"); }),
              "Can not read from to write only stream");
}

// A stream that notes its own end, for ownership checks.
class TProbeStream : public TTextStream {
public:
    explicit TProbeStream(bool* Freed = nullptr) : FFreed(Freed) {}
    ~TProbeStream() override {
        if (FFreed) *FFreed = true;
    }
    bool EndOfStream() override { return true; }
    void ReadLineInto(std::string& Line) override { Line.clear(); }
    void Reset() override {}
    void WriteLine(std::string_view S) override { Lines.Add(std::string(S)); }
    TStringList Lines;

private:
    bool* FFreed;
};

TEST(TextFilterTest, ForwardsAndOwns) {
    bool firstFreed = false, secondFreed = false;
    auto owned = std::make_unique<TProbeStream>(&firstFreed);
    TProbeStream* first = owned.get();
    {
        TTextFilter filter(std::move(owned));
        filter.WriteAllText("a\r\nb");
        EXPECT_EQ(Joined(first->Lines), "a|b");
        EXPECT_EQ(test::ErrorOf([&] { filter.Write("x"); }), "Write not supported on this device");
        filter.SetTarget(std::make_unique<TProbeStream>(&secondFreed));
        EXPECT_TRUE(firstFreed);
        EXPECT_FALSE(secondFreed);
    }
    EXPECT_TRUE(secondFreed);

    TProbeStream kept;
    { TTextFilter filter(kept); }
    EXPECT_TRUE(kept.Lines.Count() == 0); // still alive
}

TEST(WrapFilterTest, ClampsWidthAndIndent) {
    TProbeStream target;
    const struct {
        int Width, Indent, ExpectedWidth, ExpectedIndent;
    } cases[] = {{5, 2, 20, 2}, {40, 30, 40, 20}, {40, -3, 40, 0}, {21, 11, 21, 10}};
    for (const auto& c : cases) {
        TWrapFilter filter(target, c.Width, c.Indent);
        EXPECT_EQ(filter.MaxWidth(), c.ExpectedWidth);
        EXPECT_EQ(filter.Indent(), c.ExpectedIndent);
    }
}

TEST(WrapFilterTest, WrapsLines) {
    const struct {
        const char* Name;
        int Width;
        int Indent;
        bool IgnoreQuotes;
        const char* Line;
        const char* Expected;
    } cases[] = {
        {"fits", 30, 2, false, "procedure Foo(A: Integer);", "procedure Foo(A: Integer);"},
        {"break at the last break character", 30, 2, false,
         "  procedure Foo(A: Integer; B: string; C: Char);",
         "  procedure Foo(A: Integer; |    B: string; C: Char);"},
        {"several pieces", 20, 4, false, "Foo(Alpha, Beta, Gamma, Delta, Epsilon);",
         "Foo(Alpha, Beta, |    Gamma, Delta, |    Epsilon);"},
        {"only before a comment", 30, 2, false,
         "x := Foo(1); // a long comment, with commas, that goes on",
         "x := Foo(1); |  // a long comment, with commas, that goes on"},
        {"no break character", 20, 2, false, "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
         "ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
        {"quoted comma kept", 20, 2, false, "Show('one, two, three, four');",
         "Show(|  'one, two, three, four');"},
        {"quoted comma split when quotes are ignored", 20, 2, true,
         "Show('one, two, three, four');", "Show('one, two, |  three, four');"},
        {"slashes ignored with quotes", 20, 2, true, "Open('http://host/a, b');",
         "Open('http://host/a,|  b');"},
        {"doubled quotes", 20, 2, false, "S := 'it''s, I, think';", "S := |  'it''s, I, think';"},
    };
    for (const auto& c : cases) {
        TProbeStream target;
        TWrapFilter filter(target, c.Width, c.Indent);
        filter.SetIgnoreQuotes(c.IgnoreQuotes);
        filter.WriteLine(c.Line);
        EXPECT_EQ(Joined(target.Lines), c.Expected) << c.Name;
        for (int i = 0; i + 1 < target.Lines.Count(); ++i)
            EXPECT_LE(int(target.Lines[i].size()), c.Width) << c.Name;
    }

    TProbeStream target;
    TWrapFilter filter(target, 20, 2);
    filter.SetEnabled(false);
    filter.WriteLine("Foo(Alpha, Beta, Gamma, Delta, Epsilon);");
    EXPECT_EQ(target.Lines.Count(), 1);
}

} // namespace
} // namespace kolva
