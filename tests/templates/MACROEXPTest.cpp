#include "templates/MACROEXP.h"

#include "support/Raised.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::ErrorOf;

// A macro as "Name" or "Name(p, q)" and its body, lines ending in "\n".
struct TMacroDef {
    const char* Head;
    const char* Body;
};

// The macros every row of the tables below may call.
const TMacroDef Library[] = {
    {"A", "alpha\n"},
    {"B", "beta\n"},
    {"CallsB", "<!B!>\n"},
    {"X", "outer\n"},
    {"Lt", "<\n"},
    {"Empty", "\n"},
    {"Gone", "<!Nope!>\n"},
    {"L2", "one\ntwo\n"},
    {"L3", "L1\nL2\nL3\n"},
    {"Tail", "one\n\n"},
    {"Inner", "[<!L2!>]\n"},
    {"Self", "me <!Self!>\n"},
    {"Ping", "<!Pong!>\n"},
    {"Pong", "<!Ping!>\n"},
    {"P(x)", "[<!x!>]\n"},
    {"PX(X)", "[<!X!>]\n"},
    {"Q(v)", "<!R!>\n"},
    {"R", "<!v!>\n"},
    {"Dup(x,X)", "\n"},
    {"Nameless( )", "\n"},
    {"Semi(x)", "<!x!>;\n"},
    {"Two(first,second)", "<!first!><!second!>\n"},
    {"T3(x,y,z)", "<!x!>;<!y!>;<!z!>\n"},
};

std::unique_ptr<TMacro> MakeMacro(const TMacroDef& Def) {
    const std::string head = Def.Head;
    const size_t paren = head.find('(');
    auto macro = std::make_unique<TMacro>(head.substr(0, paren));
    for (size_t p = paren, next; p != std::string::npos; p = next) {
        next = head.find(',', p + 1);
        macro->Params().Add(Trim(head.substr(p + 1, std::min(next, head.size() - 1) - p - 1)));
    }
    macro->Lines().SetText(Def.Body);
    return macro;
}

// The library's macros in a top-level expander with the template tags.
class TLibraryExpander {
public:
    TLibraryExpander() {
        for (const TMacroDef& def : Library) {
            FMacros.push_back(MakeMacro(def));
            FTop.AddMacro(*FMacros.back());
        }
    }
    // Text split into lines; the output lines joined with "\n", or the error's message.
    std::string Expand(std::string_view Text) {
        TStringList lines;
        lines.SetText(Text);
        try {
            for (int i = 0; i < lines.Count(); ++i)
                FTop.ExpandLine(lines[i]);
        } catch (const EMacroExpansionError& e) {
            return e.Message();
        }
        std::string out;
        for (int i = 0; i < FTop.Output().Count(); ++i)
            out += (i ? "\n" : "") + FTop.Output()[i];
        return out;
    }

private:
    std::vector<std::unique_ptr<TMacro>> FMacros; // outlive the expander
    TMacroExpander FTop{nullptr, "<!", "!>"};
};

struct TExpandCase {
    const char* Line;
    const char* Expected;
};

// An expected text that begins with "\r" is the error message for the row's own line.
void CheckTable(std::initializer_list<TExpandCase> Cases) {
    for (const TExpandCase& c : Cases) {
        SCOPED_TRACE(c.Line);
        const std::string expected = c.Expected;
        EXPECT_EQ(TLibraryExpander().Expand(c.Line),
                  expected.starts_with('\r') ? "Error expanding line\r" + (c.Line + expected)
                                             : expected);
    }
}

TEST(MacroExpanderTest, LookupAndCase) {
    CheckTable({
        {"x := <!A!>;", "x := alpha;"},
        {"x := <! A !>;", "x := alpha;"},
        {"x := <!a!>;", "x := alpha;"},
        {"<!A!>-<!b!>-<!A!>", "alpha-beta-alpha"},
        // The text a call produced is not read again for calls.
        {"<!Lt!>!A!>", "<!A!>"},
        {"half a tag <", "half a tag <"},
    });
}

TEST(MacroExpanderTest, UndefinedMacrosAndDroppedLines) {
    CheckTable({
        {"<!Nope!>", ""},
        {"begin <!Nope!> end", "begin  end"},
        {"  <!Nope!>\t", ""},
        {"<!Nope(a, (b), 'c,d')!>", ""},
        {"<!Nope(a, (b), 'c)')!>", "\rSyntax error in parameter list for macro Nope"},
        {"<!Empty!><!Gone!>", ""},
        {"x<!Empty!>y<!Gone!>z", "xyz"},
        {"\n", ""},
        {"   ", "   "},
        {"a\n<!Nope!>\n\nb", "a\n\nb"},
        // Tail's last line is empty, so the call's last line is what follows the call, and
        // is dropped when that is blank.
        {"<!Tail!>", "one"},
        {"  <!Tail!>;", "  one\n  ;"},
    });
}

TEST(MacroExpanderTest, NestingAndScope) {
    CheckTable({
        {"<!CallsB!>", "beta"},
        {"<!P(<!A!>)!>", "[alpha]"},
        {"<!P(<!P(1)!>)!>", "Error expanding line\r<!P(1)!>\rCyclic references in macro P"},
        {"<!PX(inner)!>", "[inner]"},
        {"<!PX(<!X!>)!>", "[outer]"},
        // A called macro sees the parameters of the calls it runs in.
        {"<!Q(deep)!>", "deep"},
        {"<!R!>", ""},
        // Arguments see the caller's macros, never the other parameters of the call.
        {"<!Two(1, <!first!>)!>", "1"},
        {"<!Two(<!A!>, <!CallsB!>)!>", "alphabeta"},
    });
}

TEST(MacroExpanderTest, ArgumentLists) {
    CheckTable({
        {"<!T3(a, [b, c], 'd, e')!>", "a;[b, c];'d, e'"},
        {"<!T3( a ,b,  c )!>", "a;b;c"},
        {"<!T3(f(1, 2), [x], y)!>", "f(1, 2);[x];y"},
        {"<!T3(,,)!>", ";;"},
        {"<!P()!>", "[]"},
        {"<!P (a) !>", "[a]"},
        {"<!P(x!>y)!>", "[x!>y]"},
        {"<!P(a], b)!>", "[a], b]"},
        {"<!P('a,b')!>", "['a,b']"},
        // Parentheses count inside quotes too.
        {"<!T3('(', ')', x)!>", "\rNot enough parameters (2) for macro T3"},
        {"<!P('(')!>", "\rSyntax error in parameter list for macro P"},
    });
}

TEST(MacroExpanderTest, ErrorTexts) {
    CheckTable({
        // The line shown is the one in which the error was found.
        {"x <!Self!>", "Error expanding line\rme <!Self!>\rCyclic references in macro Self"},
        {"<!Ping!>", "\rCyclic references in macro Ping"},
        {"<!A()!>", "\rToo many parameters (1) for macro A"},
        {"<!p!>", "\rNot enough parameters (0) for macro p"},
        {"a <!A", "\rNo end tag !> found"},
        {"<!P(1) x !>", "\rNo end tag !> found"},
        {"<!Nope(1) x!>", "\rNo end tag !> found"},
        {"<! !>", "\rEmpty macro name defined"},
        // A defined macro is named as defined, an undefined one as written.
        {"<!p(a!>", "\rSyntax error in parameter list for macro P"},
        {"<!nope(a!>", "\rSyntax error in parameter list for macro nope"},
        {"<!P('a)!>", "\rSyntax error in parameter list for macro P"},
        // An error inside an argument names the argument.
        {"<!P(<!A()!>)!>", "Error expanding line\r<!A()!>\rToo many parameters (1) for macro A"},
        {"<!Dup(1, 2)!>", "\rContainer error: 0"},
        {"<!Nameless(1)!>", "\rEmpty macro identifiers not allowed"},
        // 63 characters are shown whole, 64 cut to 60 and "...".
        {"123456789012345678901234567890123456789012345678901234567890<!A",
         "Error expanding line\r123456789012345678901234567890123456789012345678901234567890<!A"
         "\rNo end tag !> found"},
        {"123456789012345678901234567890123456789012345678901234567890<!AB",
         "Error expanding line\r123456789012345678901234567890123456789012345678901234567890..."
         "\rNo end tag !> found"},
    });
}

TEST(MacroExpanderTest, MultiLineSplice) {
    CheckTable({
        {"  foo(<!L3!>);", "  foo(L1\n      L2\n      L3);"},
        {"x <!L2!> y", "x one\n  two y"},
        {"<!L2!>-<!L2!>", "one\ntwo-one\n    two"},
        {"x <!Inner!>", "x [one\n   two]"},
        {"<!Semi(<!L2!>)!>", "one\ntwo;"},
        {"  <!L2!>", "  one\n  two"},
    });
}

// Calls are possible in expanders with up to 15 ancestors: a chain of 16 calls expands, the
// 17th is refused.
TEST(MacroExpanderTest, DepthLimit) {
    std::vector<std::unique_ptr<TMacro>> chain;
    TMacroExpander top(nullptr, "<!", "!>");
    for (int i = 1; i <= 17; ++i) {
        chain.push_back(std::make_unique<TMacro>("M" + std::to_string(i)));
        chain.back()->Lines().Add(i == 16 ? "end<!M17!>" : "<!M" + std::to_string(i + 1) + "!>");
        top.AddMacro(*chain.back());
    }
    top.ExpandLine("<!M2!>");
    EXPECT_EQ(top.Output().Text(), "end\r\n");
    EXPECT_EQ(ErrorOf<EMacroExpansionError>([&] { top.ExpandLine("<!M1!>"); }),
              "Error expanding line\rend<!M17!>\rToo many levels (16) in macro M17");
}

// Each level doubles the text of the one below, or calls it ten times to produce nothing;
// either way the expansion stops at the bound instead of running for ages.
TEST(MacroExpanderTest, GrowthIsBounded) {
    struct TGrowth {
        int Calls;
        int LeafLength;
    };
    for (const TGrowth& g : {TGrowth{2, 600}, TGrowth{10, 0}}) {
        SCOPED_TRACE(g.Calls);
        std::vector<std::unique_ptr<TMacro>> levels;
        TMacroExpander top(nullptr, "<!", "!>");
        for (int i = 0; i <= 15; ++i) {
            levels.push_back(std::make_unique<TMacro>("D" + std::to_string(i)));
            std::string body(size_t(g.LeafLength), 'x');
            for (int c = 0; i > 0 && c < g.Calls; ++c)
                body += "<!D" + std::to_string(i - 1) + "!>";
            levels.back()->Lines().Add(body);
            top.AddMacro(*levels.back());
        }
        const std::string error = ErrorOf<EMacroExpansionError>([&] { top.ExpandLine("<!D15!>"); });
        EXPECT_TRUE(error.starts_with("Error expanding line\r")) << error;
        EXPECT_TRUE(error.ends_with("\rExpansion exceeds 4194304 characters")) << error;
    }
}

TEST(MacroExpanderTest, DefinitionErrors) {
    EXPECT_EQ(ErrorOf([] { TMacroExpander(nullptr, "", "!>"); }), "Empty StartTag");
    EXPECT_EQ(ErrorOf([] { TMacroExpander(nullptr, "<!", ""); }), "Illegal EndTag ");
    EXPECT_EQ(ErrorOf([] { TMacroExpander(nullptr, "<!", "(!>"); }), "Illegal EndTag (!>");
    EXPECT_EQ(ErrorOf([] { TMacro(" \t"); }), "Empty macro identifiers not allowed");

    TMacroExpander top(nullptr, "<!", "!>");
    EXPECT_EQ(top.DefineMacro(" Name ", "v").Name(), "Name");
    EXPECT_EQ(ErrorOf([&] { top.DefineMacro("NAME", "w"); }), "Container error: 0");
    TMacro mine("name");
    EXPECT_EQ(ErrorOf([&] { top.AddMacro(mine); }), "Container error: 0");
    EXPECT_EQ(mine.Name(), "name"); // still the caller's, alive
    TMacro* found = top.LookupMacro("nAmE");
    EXPECT_EQ(found, top.CurrentMacro());
    EXPECT_EQ(found->Lines().Text(), "v\r\n");
    EXPECT_EQ(top.LookupMacro("Other"), nullptr);
    EXPECT_EQ(top.CurrentMacro(), nullptr);
}

TEST(MacroTest, CloneKeepsBodyNameAndParameters) {
    const std::unique_ptr<TMacro> macro = MakeMacro({"Wrap(a, b)", "begin\n  <!a!>\nend"});
    const auto copy = As<TMacro>(macro->Clone());
    EXPECT_EQ(copy->Name(), "Wrap");
    EXPECT_EQ(copy->Params().Text(), "a\r\nb\r\n");
    EXPECT_EQ(copy->Lines().Text(), "begin\r\n  <!a!>\r\nend\r\n");
}

} // namespace
} // namespace kolva
