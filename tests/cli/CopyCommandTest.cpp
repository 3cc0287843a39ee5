// `kolva copy`: the buffer goes to standard output and the unit stays as it was.
#include "platform/Files.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

TEST(CopyCommand, WritesTheBufferOfAProcedureWithItsDeclaration) {
    const std::string unit = "unit U;\n\ninterface\n\nprocedure A;\n\nimplementation\n\n"
                             "type\n  TPart = class\n  end;\n\n"
                             "procedure A;\nbegin\nend;\n\nend.\n";
    const std::string path = test::TempPrefix() + "/U.pas";
    test::WriteNative(path, unit);
    const std::string before = ReadFileText(path);
    const test::TRun run = test::RunKolva("copy " + path + " A --line 12");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Output, "//FWWIN:MODULECOPY\nunit _FW_Copy_Buffer_;\n\ninterface\n\n"
                          "procedure A;\n\n\nimplementation\n\n"
                          "procedure A;\nbegin\nend;\n\n\nend.\n");
    EXPECT_EQ(ReadFileText(path), before);
}

} // namespace
} // namespace kolva
