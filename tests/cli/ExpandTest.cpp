#include "platform/Files.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Template = "// DEFINEMACRO:Cls=the class\r\n"
                             "// DEFINEMACRO:Fld=the field=its name\r\n"
                             "procedure <!Cls!>.Set<!Fld!>(Value: <!Typ!>);\r\n"
                             "begin\r\n"
                             "  <!Nope!>\r\n"
                             "  F<!fld!> := Value;\r\n"
                             "end;\r\n";

std::string WriteTemplate(const std::string& Text) {
    const std::string path = test::TempPrefix() + "/Setter.pas";
    test::WriteNative(path, Text);
    return path;
}

TEST(ExpandCommandTest, PrintsTheExpandedTemplate) {
    const std::string file = WriteTemplate(Template);
    const char* const body = "procedure TFoo.SetFld(Value: );\n"
                             "begin\n"
                             "  FFld := Value;\n"
                             "end;\n";
    const test::TRun run = test::RunKolva("expand " + file + " --param cls=TFoo 2>&1");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Output, std::string("// DEFINEMACRO:Cls=the class\n"
                                      "// DEFINEMACRO:Fld=the field=its name\n") +
                              body);

    const test::TRun list = test::RunKolva("expand --list " + file + " 2>&1");
    EXPECT_EQ(list.Status, 0);
    EXPECT_EQ(list.Output, "Cls\tthe class\nFld\tthe field=its name\n");
}

TEST(ExpandCommandTest, Failures) {
    struct TCase {
        const char* Template;
        const char* Args;
        int Status;
        const char* Stderr;
    };
    const TCase cases[] = {
        {"x <!Cls(1)!>\r\nDEFINEMACRO:Cls=c\r\n", "", 1,
         "Error expanding line\nx <!Cls(1)!>\nToo many parameters (1) for macro Cls\n"},
        {"DEFINEMACRO:Cls=c\r\n", " --param Other=1", 1,
         "Setter.pas declares no parameter \"Other\"\n"},
        {"", " --param NoEquals", 2, "usage: kolva expand FILE [--param NAME=VALUE]... [--list]\n"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Template);
        const std::string file = WriteTemplate(c.Template);
        const test::TRun run =
            test::RunKolva("expand " + file + c.Args + " 2>" + test::TempPrefix() + "/err");
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_EQ(run.Output, "");
        const std::string err = ReadFileText(test::TempPrefix() + "/err");
        EXPECT_TRUE(err.ends_with(c.Stderr)) << err;
    }
}

} // namespace
} // namespace kolva
