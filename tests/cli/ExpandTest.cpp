#include "platform/Files.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

// Standard output and standard error kept apart, as a script sees them.
struct TExpandRun {
    int Status;
    std::string Out, Err;
};
TExpandRun RunExpand(const std::string& Template, const std::string& Args) {
    const std::string dir = test::TempPrefix();
    test::WriteNative(dir + "/Setter.pas", Template);
    const test::TRun run =
        test::RunKolva("expand " + dir + "/Setter.pas" + Args + " 2>" + dir + "/err");
    return {run.Status, run.Output, ReadFileText(dir + "/err")};
}

TEST(ExpandCommandTest, PrintsTheTemplateOrItsParameters) {
    const std::string setter = "// DEFINEMACRO:Cls=the class\r\n"
                               "// DEFINEMACRO:Fld=the field=its name\r\n"
                               "procedure <!Cls!>.Set<!Fld!>(Value: <!Typ!>);\r\n"
                               "  <!Nope!>\r\n"
                               "  F<!fld!> := Value;\r\n";
    struct TCase {
        std::string Template, Args;
        int Status;
        std::string Out, Err;
    };
    const TCase cases[] = {
        {setter, " --param cls=TFoo", 0,
         "// DEFINEMACRO:Cls=the class\n// DEFINEMACRO:Fld=the field=its name\n"
         "procedure TFoo.SetFld(Value: );\n  FFld := Value;\n",
         ""},
        {setter, " --list", 0, "Cls\tthe class\nFld\tthe field=its name\n", ""},
        {"x <!Cls(1)!>\r\nDEFINEMACRO:Cls=c\r\n", "", 1, "",
         "Error expanding line\nx <!Cls(1)!>\nToo many parameters (1) for macro Cls\n"},
        {setter, " --param Other=1", 1, "", "declares no parameter \"Other\"\n"},
        {setter, " --param NoEquals", 2, "",
         "Run 'kolva help expand' for its options.\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Args);
        const TExpandRun run = RunExpand(c.Template, c.Args);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Out, c.Out);
        EXPECT_TRUE(run.Err.ends_with(c.Err)) << run.Err;
    }
}

} // namespace
} // namespace kolva
