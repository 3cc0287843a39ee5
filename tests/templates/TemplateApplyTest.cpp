#include "templates/TemplateApply.h"

#include "platform/Files.h"
#include "support/Raised.h"
#include "support/TempPrefix.h"
#include "templates/MACROEXP.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

TStringList LinesOf(std::string_view Text) {
    TStringList lines;
    lines.SetText(Text);
    return lines;
}

TEST(TemplateParamsTest, DeclarationsGiveRowsInFirstPlace) {
    struct TCase {
        const char* Template;
        const char* Params;
    };
    const TCase cases[] = {
        {"// DEFINEMACRO:Cls=the class\n", "Cls=the class\r\n"},
        {"{ DEFINEMACRO: Name = a name }\n", "Name= a name }\r\n"},
        {"DEFINEMACRO:NoValue\n", ""},
        {"DEFINEMACRO:A=x=y\n", "A=x=y\r\n"},
        {"DEFINEMACRO: =nameless\n", ""},
        {"DEFINEMACRO:Cls=one\nDEFINEMACRO:B=b\nDEFINEMACRO:CLS=two\n", "CLS=two\r\nB=b\r\n"},
        {"DEFINEMACRO:A=x\nDEFINEMACRO:B=y\nDEFINEMACRO:a=\n", "B=y\r\n"},
        {"DEFINEMACRO:A=x\nDEFINEMACRO: a =y\n", "a=y\r\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Template);
        TStringList params;
        ReadTemplateParams(LinesOf(c.Template), params);
        EXPECT_EQ(params.Text(), c.Params);
    }
}

// A template, the values typed into the parameter rows, and the text it gives.
TEST(ApplyTemplateTest, WholeTexts) {
    struct TCase {
        const char* Template;
        std::vector<std::pair<std::string, std::string>> Values;
        const char* Expected;
    };
    const TCase cases[] = {
        {"begin\n  <!Nope!>\n  x := <!Nope!>1;\nend\n", {}, "begin\r\n  x := 1;\r\nend\r\n"},
        // Accepted without edits: every parameter is its own name.
        {"// DEFINEMACRO:Cls=class\n// DEFINEMACRO:Fld=field\nprocedure <!Cls!>.Set<!Fld!>;\n",
         {},
         "// DEFINEMACRO:Cls=class\r\n// DEFINEMACRO:Fld=field\r\nprocedure Cls.SetFld;\r\n"},
        {"<!DEFINEMACRO:Cls=class!>\nprocedure <!cls!>.Run;\n",
         {{"CLS", "TFoo"}},
         "procedure TFoo.Run;\r\n"},
        // No row for an empty description: its uses name no macro.
        {"// DEFINEMACRO:A=\n[<!A!>]\n", {}, "// DEFINEMACRO:A=\r\n[]\r\n"},
        // An emptied row defines an empty macro and the rows after it keep their own values.
        {"<!DEFINEMACRO:A=a!>\n<!DEFINEMACRO:B=b!>\n<!DEFINEMACRO:C=c!>\n<!A!>|<!B!>|<!C!>\n<!A!>"
         "\n",
         {{"a", ""}, {"C", "TC"}},
         "|B|TC\r\n"},
        // A value is expanded where the parameter is used.
        {"<!DEFINEMACRO:A=a!>\n<!DEFINEMACRO:B=b!>\n<!B!>\n",
         {{"A", "1"}, {"B", "<!A!>+<!A!>"}},
         "1+1\r\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Template);
        TPresetTemplateParams answers;
        for (const auto& [name, value] : c.Values)
            answers.SetValue(name, value);
        TStringList lines = LinesOf(c.Template);
        EXPECT_EQ(test::ResultOf<EMacroExpansionError>([&] {
                      ApplyTemplate(lines, answers);
                      return lines.Text();
                  }),
                  c.Expected);
    }
}

// The service is asked only when there are parameters; Cancel and errors leave the lines
// as they were.
TEST(ApplyTemplateTest, AsksOnlyForParametersAndChangesNothingOnFailure) {
    TPresetTemplateParams answers;
    TStringList plain = LinesOf("begin\nend\n"), lines = LinesOf("DEFINEMACRO:B=b\n<!A\n");
    ApplyTemplate(plain, answers);
    EXPECT_TRUE(answers.Requests().empty());
    EXPECT_THROW(ApplyTemplate(lines, answers), EMacroExpansionError);
    ASSERT_EQ(answers.Requests().size(), 1u);
    EXPECT_EQ(answers.Requests()[0].Text(), "B=b\r\n");
    answers.SetCancel(true);
    EXPECT_THROW(ApplyTemplate(lines, answers), EAbort);
    EXPECT_EQ(lines.Text(), "DEFINEMACRO:B=b\r\n<!A\r\n");
}

TEST(ApplyTemplateFileTest, ReadsTheFileAndAsksTheInstalledService) {
    const std::string file = test::TempPrefix() + "/Loop.pas";
    test::WriteNative(file, "{DEFINEMACRO:I=counter}\r\nfor <!I!> := 0 to 9 do\r\n");
    TStringList lines;
    EXPECT_THROW(ApplyTemplateFile(file, lines), EAbort); // nobody to ask: cancelled

    auto answers = std::make_unique<TPresetTemplateParams>();
    answers->SetValue("i", "J");
    auto previous = SetTemplateParamService(std::move(answers));
    ApplyTemplateFile(file, lines);
    SetTemplateParamService(std::move(previous));
    EXPECT_EQ(lines.Text(), "{DEFINEMACRO:I=counter}\r\nfor J := 0 to 9 do\r\n");
}

} // namespace
} // namespace kolva
