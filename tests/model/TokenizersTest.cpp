#include "model/Tokenizers.h"

#include "model/TextStrm.h"
#include "platform/StringList.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

enum TFlags { fNone = 0, fKeep = 1, fTolerant = 2 };

// Every token as "LINE:COL KIND TEXT", one a line; the form `kolva tokens` prints. Mark
// starts a mark before each token, which reads tokens another way.
std::string Dump(TPascalTokenizer& Tokenizer, bool Mark = false) {
    std::string out;
    for (;;) {
        if (Mark) Tokenizer.StartMark();
        if (Tokenizer.NextToken() == tkNone) return out;
        out += std::to_string(Tokenizer.TokenLine()) + ":" +
               std::to_string(Tokenizer.TokenColumn()) + " " +
               TokenKindName(Tokenizer.TokenKind()) + " " + std::string(Tokenizer.TokenText()) +
               "\n";
    }
}

std::string Dump(TStringList Lines, int Flags, TTokenKinds Skip = {}, bool Mark = false) {
    TStringsTokenizer tokenizer(Lines);
    tokenizer.SetKeepCommentText(Flags & fKeep);
    tokenizer.SetTolerant(Flags & fTolerant);
    tokenizer.SetSkipSet(Skip);
    return Dump(tokenizer, Mark);
}

struct TTokenCase {
    TStringList Lines;
    int Flags;
    const char* Expected;
};

TEST(TokenizerTest, TokenSequences) {
    // clang-format off
    const TTokenCase cases[] = {
        {{"a:=b"}, fNone, "1:1 tkWord a\n1:2 tkSymbol :=\n1:4 tkWord b\n"},
        {{"a : = b"}, fNone, "1:1 tkWord a\n1:3 tkSymbol :\n1:5 tkSymbol =\n1:7 tkWord b\n"},
        {{"  'It''s'#13#10'x';"}, fNone, "1:3 tkString 'It''s'#13#10'x'\n1:19 tkSymbol ;\n"},
        {{"'a' 'b'"}, fNone, "1:1 tkString 'a'\n1:5 tkString 'b'\n"},
        {{"'''' ''"}, fNone, "1:1 tkString ''''\n1:6 tkString ''\n"},
        // A hex character code is no part of a string.
        {{"#$0D"}, fNone, "1:1 tkString #\n1:2 tkSymbol $\n1:3 tkWord 0D\n"},
        {{"1.5 $FF"}, fNone,
         "1:1 tkWord 1\n1:2 tkSymbol .\n1:3 tkWord 5\n1:5 tkSymbol $\n1:6 tkWord FF\n"},
        {{"a'b' x#1"}, fNone, "1:1 tkWord a'b'\n1:6 tkWord x#1\n"},
        {{"\t\xC3\xA9t\xC3\xA9\t;"}, fNone, "1:2 tkWord \xC3\xA9t\xC3\xA9\n1:8 tkSymbol ;\n"},
        {{"{ c } x"}, fNone, "1:1 tkComment {\n1:7 tkWord x\n"},
        {{"x // c", "y"}, fNone, "1:1 tkWord x\n1:3 tkComment //\n2:1 tkWord y\n"},
        {{"x // c "}, fKeep, "1:1 tkWord x\n1:3 tkComment // c \n"},
        {{"(*)", "x *) y"}, fKeep, "1:1 tkComment (*)\r\nx *)\n2:6 tkWord y\n"},
        {{"x { one", "", "   two", " three } y"}, fKeep,
         "1:1 tkWord x\n1:3 tkComment { one\r\n   two\r\n three }\n4:10 tkWord y\n"},
        {{"(* one", "  ", "two", "*) y"}, fKeep,
         "1:1 tkComment (* one\r\ntwo\r\n*)\n4:4 tkWord y\n"},
        {{"{ one", "two }"}, fNone, "1:1 tkComment {\n"},
        {{"{$IFDEF X}"}, fNone, "1:1 tkDirective {$IFDEF X}\n"},
        {{"{$IFDEF", "  X}"}, fNone, "1:1 tkDirective {$IFDEF\r\n  X}\n"},
        {{"  fwwin:Tag text  "}, fNone, "1:3 tkTag fwwin:Tag text  \n"},
        {{"x FWWIN:y", "z"}, fNone, "1:1 tkWord x\n1:3 tkTag FWWIN:y\n2:1 tkWord z\n"},
        {{"FWWIN :"}, fNone, "1:1 tkWord FWWIN\n1:7 tkSymbol :\n"},
        {{"FWWINX:"}, fNone, "1:1 tkWord FWWINX\n1:7 tkSymbol :\n"},
        {{"", " \t ", "a", "", "b"}, fNone, "3:1 tkWord a\n5:1 tkWord b\n"},
        {{"x 'abc", "y"}, fTolerant, "1:1 tkWord x\n1:3 tkError \n2:1 tkWord y\n"},
        {{"x { abc", "y"}, fTolerant, "1:1 tkWord x\n1:3 tkError \n"},
    };
    // clang-format on
    for (const TTokenCase& c : cases)
        EXPECT_EQ(Dump(c.Lines, c.Flags), c.Expected) << c.Lines[0];
    for (char symbol : std::string_view("$&()*+,-./:;<=>@[]^}"))
        EXPECT_EQ(Dump({std::string(1, symbol) + "x"}, fNone),
                  "1:1 tkSymbol " + std::string(1, symbol) + "\n1:2 tkWord x\n");
}

TEST(TokenizerTest, SkipSetHidesKinds) {
    const TStringList lines = {"a {c} {$D} 'x' // z", "fwwin:t", "'open"};
    EXPECT_EQ(Dump(lines, fTolerant, {tkComment, tkDirective, tkString, tkTag, tkError}),
              "1:1 tkWord a\n");
}

TEST(TokenizerTest, MalformedInputRaisesUnlessTolerant) {
    const struct {
        TStringList Lines;
        const char* Message;
    } cases[] = {
        {{"x 'abc", "y"}, "Invalid string constant"},
        {{"x { abc", "", "y"}, "Invalid comment termination"},
        {{"x (* abc *", ")"}, "Invalid comment termination"},
    };
    for (const auto& c : cases) {
        TStringList lines = c.Lines;
        TStringsTokenizer tokenizer(lines);
        EXPECT_EQ(tokenizer.NextToken(), tkWord);
        EXPECT_EQ(test::ErrorOf<ETokenError>([&] { tokenizer.NextToken(); }), c.Message);
        // The tokenizer goes on behind the error, as the parser expects.
        const TTokenKind next = tokenizer.NextToken();
        EXPECT_TRUE(next == tkNone || (next == tkWord && tokenizer.TokenText() == "y"));
    }
}

TEST(TokenizerTest, RaiseAtEnd) {
    TStringList lines = {"a"};
    TStringsTokenizer tokenizer(lines);
    tokenizer.SetRaiseAtEnd(true);
    EXPECT_EQ(tokenizer.NextToken(), tkWord);
    EXPECT_THROW(tokenizer.NextToken(), ENoMoreTokens);
}

TEST(TokenizerTest, MarkRecordsConsumedText) {
    TStringList lines = {"procedure Foo(A: Integer;", "", "    B: string); // c", "  next;"};
    TStringsTokenizer tokenizer(lines);
    tokenizer.SetSkipSet({tkComment});
    EXPECT_THROW(tokenizer.GetMark(), Exception);
    tokenizer.NextToken();
    tokenizer.StartMark();
    while (tokenizer.TokenText() != "next")
        tokenizer.NextToken();
    EXPECT_EQ(tokenizer.GetMark(), " Foo(A: Integer;\r\n\r\nB: string); // c\r\nnext");
    EXPECT_EQ(test::ErrorOf([&] { tokenizer.GetMarkedText(true); }), "Illegal use of Mark")
        << "a mark is used once";

    tokenizer.SetLineNumber(0);
    tokenizer.StartMark();
    tokenizer.StartMark(); // discards the first
    do
        tokenizer.NextToken();
    while (tokenizer.TokenText() != "next");
    EXPECT_EQ(tokenizer.GetMarkedText(false), "procedure Foo(A: Integer; B: string); // c");
}

// Tokens are read one way while no mark runs and another way while one does: both must give
// the same tokens at the same places.
TEST(TokenizerTest, TokensAreTheSameWhileMarking) {
    const TStringList lines = {"unit U; {$H+} // c",
                               "",
                               "  procedure P(const A: Integer;",
                               "    B: string = 'x''y'#13); (* a",
                               " b *) fwwin: tag",
                               "FWWIN:tag text",
                               "\tX:=Y^.Z[1..2] { open",
                               "close }   "};
    for (const int flags : {fNone, fKeep})
        for (const TTokenKinds skip : {TTokenKinds{}, TTokenKinds{tkComment, tkDirective}})
            EXPECT_EQ(Dump(lines, flags, skip), Dump(lines, flags, skip, true));
}

// A mark takes what was consumed, also when the line changes between tokens: by the next
// line, a line number set or a line of text given.
TEST(TokenizerTest, MarkAcrossLineChangesBetweenTokens) {
    const TStringList source = {"a b c", "d e", "f"};
    enum TChange { chNextLine, chLineNumber, chSetLine };
    const struct {
        TChange Change;
        const char* Mark; // after one more token; right after the change, the marked text is
                          // "b" with the last token and "" without
    } cases[] = {{chNextLine, " b\r\nd"}, {chLineNumber, " b\r\nf"}, {chSetLine, " bx"}};
    for (const auto& c : cases) {
        for (const bool lent : {true, false}) {
            for (int read = 0; read < 3; ++read) {
                TStringList lines = source;
                int next = 0;
                TStringsTokenizer strings(lines);
                TPascalTokenizer reader([&](std::string& Line) {
                    if (next == lines.Count()) return false;
                    Line = lines[next++];
                    return true;
                });
                TPascalTokenizer& tokenizer = lent ? strings : reader;
                tokenizer.NextToken();
                tokenizer.StartMark();
                tokenizer.NextToken();
                switch (c.Change) {
                case chNextLine:
                    tokenizer.NextLine();
                    break;
                case chLineNumber:
                    if (lent) {
                        strings.SetLineNumber(2);
                    } else {
                        next = 2;
                        tokenizer.NextLine(); // the mark gets the line break all the same
                    }
                    break;
                case chSetLine:
                    tokenizer.SetLine("x y");
                    break;
                }
                const std::string what = std::to_string(c.Change) + (lent ? " lent" : " read");
                if (read == 0) {
                    tokenizer.NextToken();
                    EXPECT_EQ(tokenizer.GetMark(), c.Mark) << what;
                } else {
                    EXPECT_EQ(tokenizer.GetMarkedText(read == 2), read == 2 ? "b" : "") << what;
                }
            }
        }
    }
}

TEST(TokenizerTest, MarkedTextLeavesOutTheWholeLastToken) {
    const struct {
        TStringList Lines;
        bool Keep;
        int Tokens;
        const char* Expected;
    } cases[] = {
        {{"a b := c"}, false, 4, "a b :="},
        {{"a b :="}, false, 3, "a b"},
        {{"a 'x''y'"}, false, 2, "a"},
        {{"a { comment", "  more }"}, false, 2, "a"},
        {{"a { comment", "", "  more }"}, true, 2, "a"},
        {{"a // rest"}, false, 2, "a"},
        {{"a b"}, false, 3, "a b"}, // the end of input leaves nothing to cut
    };
    for (const auto& c : cases) {
        TStringList lines = c.Lines;
        TStringsTokenizer tokenizer(lines);
        tokenizer.SetKeepCommentText(c.Keep);
        tokenizer.StartMark();
        for (int i = 0; i < c.Tokens; ++i)
            tokenizer.NextToken();
        EXPECT_EQ(tokenizer.GetMarkedText(false), c.Expected) << c.Lines[0];
    }
}

// The text helpers over marked and declared text: each row a helper, its input and its result.
TEST(TokenizerTest, TextHelpers) {
    const auto N = NormalizeMarkedText, C = CompactWhiteSpace, P = ParamSignature;
    const struct {
        std::string (*Helper)(std::string_view);
        const char* In;
        const char* Out;
    } cases[] = {
        // clang-format off
        {N, "", ""}, {N, " \r\n  a", "a"}, {N, "a  \r\n\r\n   b \t", "a b"}, {N, "a\nb", "ab"},
        {N, "a\tb  c", "a\tb  c"}, {N, "\r\nx\r\n", "x"},
        {C, " array   of  Integer ", "array of Integer"}, {C, "Set [ 1 .. 2 ]", "Set[1..2]"},
        {C, "\tstring\r\n", "string"}, {C, "a # b", "a#b"}, {C, "", ""}, {C, "   ", ""},
        {P, "const A, B: Integer; var C", "+I+I+P"}, {P, "X: string = 'a'", "+S"}, {P, "", "+"},
        {P, "  ", "+"}, {P, "var A; out B: TObject", "+P+UTObject"},
        {P, "A: Integer; {$IFDEF X} B, C: string", "+I+S+S"},
        {P, "A:\r\n   Integer;\r\n  B: Boolean", "+I+B"},
        {P, "A, B", "+P+P"}, {P, "Values: array   of  Integer", "+Uarray of Integer"},
        {P, "const S: string = 'a;b'; N: Word = 1", "+S+W"},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.Helper(c.In), c.Out) << c.In;
    EXPECT_THROW(ParamSignature("A + B"), EAbort);
    EXPECT_THROW(ParamSignature("A := 1"), EAbort);
    EXPECT_THROW(ParamSignature("A: string = 'open"), ETokenError);
}

TEST(TokenizerTest, ReservedWordTables) {
    for (int i = 0; i < ReservedWordCount; ++i) {
        const auto word = static_cast<TReservedWord>(i);
        std::string lower = LowerCase(ReservedWordText(word));
        TReservedWord found = rwBegin;
        EXPECT_TRUE(FindDirectiveWord(lower, found) && found == word) << lower;
        EXPECT_EQ(FindStructureWord(lower, found), i <= LastStructureWord) << lower;
    }
    TReservedWord found;
    for (const char* word : {"dispid", "be", "", "Xyz", "beginx", "_end", "end_", "9end"})
        EXPECT_FALSE(FindDirectiveWord(word, found)) << word;
    // Words that share a reserved word's first, second and last letters and its length, or
    // differ from it only by a character that is no letter.
    for (int i = 0; i < ReservedWordCount; ++i) {
        const std::string word = ReservedWordText(static_cast<TReservedWord>(i));
        for (size_t k = 0; k < word.size(); ++k) {
            for (char replacement : {'_', '1', '@', '`', '\xC9'}) {
                std::string near = word;
                near[k] = replacement;
                EXPECT_FALSE(FindDirectiveWord(near, found)) << near;
            }
        }
        std::string mixed = word;
        for (size_t k = 0; k < mixed.size(); k += 2)
            mixed[k] = char(mixed[k] + ('a' - 'A'));
        EXPECT_TRUE(FindDirectiveWord(mixed, found) && found == i) << mixed;
    }
    EXPECT_FALSE(FindDirectiveWord("BEGUN", found));
    EXPECT_FALSE(FindDirectiveWord("PROPERLY", found));
    EXPECT_TRUE(FindStructureWord("ImPlEmEnTaTiOn", found));
    EXPECT_EQ(found, rwImplementation);
}

TEST(TokenizerTest, LineSources) {
    // The same text through a callback, a text stream and a string list.
    TStringList lines = {"a {", "", "b} c"};
    int next = 0;
    TPascalTokenizer callback([&](std::string& line) {
        if (next >= lines.Count()) return false;
        line = lines[next++];
        return true;
    });
    TStringList copy = lines;
    TStringsText stream(copy);
    TTextStreamTokenizer streamed(stream);
    TStringsTokenizer listed(lines);
    for (TPascalTokenizer* t : {&callback, static_cast<TPascalTokenizer*>(&streamed),
                                static_cast<TPascalTokenizer*>(&listed)}) {
        t->SetKeepCommentText(true);
        std::string seen;
        while (t->NextToken() != tkNone)
            seen += std::string(t->TokenText()) + "|";
        EXPECT_EQ(seen, "a|{\r\nb}|c|");
    }

    listed.SetLineNumber(2);
    EXPECT_EQ(listed.NextToken(), tkWord);
    EXPECT_EQ(listed.TokenText(), "b");
    EXPECT_EQ(listed.LineNumber(), 3);
    EXPECT_EQ(listed.TokenLine(), 3);

    listed.SetLine("  x y");
    EXPECT_EQ(listed.Column(), 3);
    EXPECT_EQ(listed.NextToken(), tkWord);
    EXPECT_EQ(listed.TokenText(), "x");
    listed.SetLine(listed.CurrentLine()); // a line may be set from itself
    EXPECT_EQ(listed.NextToken(), tkWord);
    EXPECT_EQ(listed.TokenText(), "x");
}

} // namespace
} // namespace kolva
