#include "platform/Files.h"
#include "platform/Paths.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

const char* const Shop = "unit Shop;\n\ninterface\n\ntype\n"
                         "  TItem = class\n"
                         "  private\n"
                         "    FName: string;\n"
                         "    FCount: Integer;\n"
                         "  public\n"
                         "    property Name: string read FName write FName;\n"
                         "    procedure Clear;\n"
                         "  end;\n\n"
                         "implementation\n\n"
                         "procedure TItem.Clear;\nbegin\n  FName := '';\nend;\n\nend.\n";

// One session of commands in the same prefix, run from its folder; "P" stands for the
// folder's Windows name in what the commands print.
TEST(TemplateCommandsTest, TemplatesAreCreatedListedReplacedAndRemoved) {
    const std::string dir = test::TempPrefix();
    test::WriteNative(dir + "/Shop.pas", Shop);
    const test::TCase session[] = {
        {"create-template Shop.pas TItem Name Clear --out Name.pas --page Props", 0,
         "Template Name has been added to the palette\n"},
        {"templates add Name.pas --name X", 0, "Template X has been added"},
        {"templates add Name.pas", 3,
         "A template named Name already exists. Replace?\n(answered Cancel; --yes answers OK)\n"},
        {"templates add Name.pas --yes --page props", 0, "create bitmap\nP\\Name.bmp\n"},
        {"templates list", 0, "X\tTemplates\tP\\Name.pas\nName\tprops\tP\\Name.pas\n"},
        {"templates pages", 0, "Templates\nprops\n"},
        {"templates remove name", 0, ""},
        {"templates remove name", 1, "kolva: no template named \"name\"\n"},
        {"templates add Missing.pas", 1, "kolva: Missing.pas: no such file\n"},
        {"create-template Shop.pas TItem.Clear --out C.pas", 1, "TItem.Clear is not a class"},
        {"create-template Shop.pas TItem --out C.pas --no-register", 0, ""},
        {"templates list", 0, "X\tTemplates\tP\\Name.pas\n"},
        {"templates add " KOLVA_SOURCE_DIR "/templates/NotifyEvent.pas --name Event", 0, ""},
        {"apply Shop.pas TItem event --param EVENT=Changed", 0, ""},
        {"apply Shop.pas TItem Event --param Nope=1", 1, "declares no parameter \"Nope\""},
        {"apply Shop.pas TItem C.pas --as-is --param A=1", 2, "--as-is takes no --param"},
        {"apply Shop.pas TItem C.pas --as-is --stdout", 0, "    FCount1: Integer;\n"},
    };
    for (const test::TCase& c : session) {
        SCOPED_TRACE(c.Args);
        test::TRun run = test::RunKolva(c.Args + std::string(" 2>&1"), "cd " + dir + " && ");
        const std::string folder = WindowsPath(dir);
        for (size_t at; (at = run.Output.find(folder)) != std::string::npos;)
            run.Output.replace(at, folder.size(), "P");
        EXPECT_EQ(run.Status, c.Status) << run.Output;
        EXPECT_NE(run.Output.find(c.Output), std::string::npos) << run.Output;
    }
    EXPECT_TRUE(ReadFileText(dir + "/Name.pas").starts_with("//FWWIN:MEMBERSCOPY\r\n"));
    EXPECT_TRUE(ReadFileText(dir + "/C.pas").find("FCount: Integer;") != std::string::npos);
    EXPECT_TRUE(ReadFileText(dir + "/Shop.pas").find("property OnChanged: TNotifyEvent") !=
                std::string::npos);
}

} // namespace
} // namespace kolva
