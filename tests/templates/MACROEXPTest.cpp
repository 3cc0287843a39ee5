#include "templates/MACROEXP.h"

#include "support/Raised.h"

#include <functional>

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
// clang-format off
const TMacroDef Library[] = {
    {"A", "alpha\n"},       {"B", "beta\n"},         {"CallsB", "<!B!>\n"},  {"X", "outer\n"},
    {"Lt", "<\n"},          {"Empty", "\n"},         {"Gone", "<!Nope!>\n"}, {"L2", "one\ntwo\n"},
    {"L3", "L1\nL2\nL3\n"}, {"Tail", "one\n\n"},    {"Inner", "[<!L2!>]\n"},
    {"Self", "me <!Self!>\n"}, {"Ping", "<!Pong!>\n"}, {"Pong", "<!Ping!>\n"},
    {"P(x)", "[<!x!>]\n"},  {"PX(X)", "[<!X!>]\n"},  {"Q(v)", "<!R!>\n"},     {"R", "<!v!>\n"},
    {"Dup(x,X)", "\n"},     {"Nameless( )", "\n"},   {"Semi(x)", "<!x!>;\n"},
    {"Two(first,second)", "<!first!><!second!>\n"},  {"T3(x,y,z)", "<!x!>;<!y!>;<!z!>\n"},
};
// clang-format on

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

// Text split into lines and expanded with the library's macros: the output lines joined
// with "\n", or the error's message.
std::string Expand(std::string_view Text) {
    std::vector<std::unique_ptr<TMacro>> macros; // outlive the expander
    TMacroExpander top(nullptr, "<!", "!>");
    for (const TMacroDef& def : Library) {
        macros.push_back(MakeMacro(def));
        top.AddMacro(*macros.back());
    }
    TStringList lines;
    lines.SetText(Text);
    try {
        for (int i = 0; i < lines.Count(); ++i)
            top.ExpandLine(lines[i]);
    } catch (const EMacroExpansionError& e) {
        return e.Message();
    }
    std::string out;
    for (int i = 0; i < top.Output().Count(); ++i)
        out += (i ? "\n" : "") + top.Output()[i];
    return out;
}

struct TExpandCase {
    const char* Line;
    const char* Expected;
};

// An expected text that begins with "\r" is the error message for the row's own line.
void CheckTable(std::initializer_list<TExpandCase> Cases) {
    for (const TExpandCase& c : Cases) {
        SCOPED_TRACE(c.Line);
        const std::string expected = c.Expected;
        EXPECT_EQ(Expand(c.Line), expected.starts_with('\r')
                                      ? "Error expanding line\r" + (c.Line + expected)
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
        {"<!Nope(a, (b), 'c,d')!>", ""},
        {"<!Nope(a, (b), 'c)')!>", "\rSyntax error in parameter list for macro Nope"},
        {"<!Empty!><!Gone!>", ""},
        {"x<!Empty!>y<!Gone!>z", "xyz"},
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
        {"<!T3(f(1, 2), [x], y)!>", "f(1, 2);[x];y"},
        {"<!T3(,,)!>", ";;"},
        {"<!P()!>", "[]"},
        {"<!P (a) !>", "[a]"},
        {"<!P(x!>y)!>", "[x!>y]"},
        {"<!P(a], b)!>", "[a], b]"},
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

// Macros Name0 .. Name<Count-1> in Top, the body of each made by Body from its number.
void AddChain(TMacroExpander& Top, std::vector<std::unique_ptr<TMacro>>& Macros, int Count,
              const std::function<std::string(const std::string& Below, int I)>& Body) {
    for (int i = 0; i < Count; ++i) {
        Macros.push_back(std::make_unique<TMacro>("M" + std::to_string(i)));
        Macros.back()->Lines().Add(Body("<!M" + std::to_string(i - 1) + "!>", i));
        Top.AddMacro(*Macros.back());
    }
}

// Calls are possible in expanders with up to 15 ancestors: a chain of 16 calls expands, the
// 17th is refused. Levels that double the text of the level below, or call it ten times to
// produce nothing, stop at the bound instead of running for ages.
TEST(MacroExpanderTest, Limits) {
    std::vector<std::unique_ptr<TMacro>> macros;
    TMacroExpander depth(nullptr, "<!", "!>");
    AddChain(depth, macros, 17,
             [](const std::string& Below, int I) { return I == 0 ? std::string("end") : Below; });
    depth.ExpandLine("<!M15!>");
    EXPECT_EQ(depth.Output().Text(), "end\r\n");
    EXPECT_EQ(ErrorOf<EMacroExpansionError>([&] { depth.ExpandLine("<!M16!>"); }),
              "Error expanding line\r<!M0!>\rToo many levels (16) in macro M0");

    for (int calls : {2, 10}) {
        TMacroExpander growth(nullptr, "<!", "!>");
        AddChain(growth, macros, 16, [&](const std::string& Below, int I) {
            std::string body(calls == 2 ? 600 : 0, 'x');
            for (int c = 0; I > 0 && c < calls; ++c)
                body += Below;
            return body;
        });
        if (calls == 10) growth.SetMaxOutput(1 << 18); // as bounded, but sooner
        const std::string error =
            ErrorOf<EMacroExpansionError>([&] { growth.ExpandLine("<!M15!>"); });
        EXPECT_TRUE(error.ends_with(calls == 2 ? "\rExpansion exceeds 4194304 characters"
                                               : "\rExpansion exceeds 262144 characters"))
            << error;
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
    EXPECT_EQ(top.LookupMacro("nAmE")->Lines().Text(), "v\r\n");
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
