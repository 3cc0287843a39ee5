// How an edited unit reaches the disk: only the lines the edit changed differ from the file
// read, byte for byte; and the --diff of an edit, applied by git and by patch, gives the same
// file as the edit itself.
#include "platform/Files.h"
#include "support/FormSample.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::RunKolva;

const char* const AddB = "add-procedure F --decl 'procedure B;'";

std::string Kolva(const std::string& Operation, const std::string& File,
                  const std::string& Before = "") {
    std::string args = Operation;
    args.replace(args.find(" F") + 1, 1, "'" + File + "'");
    const test::TRun run = RunKolva(args + " 2>&1", Before);
    EXPECT_EQ(run.Status, 0) << run.Output;
    return run.Output;
}

TEST(WriteBack, LinesTheEditKeptKeepTheirBytes) {
    struct TCase {
        const char* Operation;
        std::string Before, After;
    };
    const TCase cases[] = {
        // Mixed breaks: new lines take their neighbours' CR LF; the lone CR in the comment and
        // the LF lines stay.
        {AddB,
         "unit U;\r\ninterface\nprocedure A;\r\n{ one\rtwo }\nimplementation\r\nprocedure A;\n"
         "begin\r\nend;\r\nend.\r\n",
         "unit U;\r\ninterface\nprocedure A;\r\n\r\nprocedure B;\r\n\r\n{ one\rtwo }\n"
         "implementation\r\nprocedure A;\nbegin\r\nend;\r\n\r\nprocedure B;\r\nbegin\r\n  \r\n"
         "end;\r\n\r\nend.\r\n"},
        // A changed line keeps its own break.
        {"rename F A Cee",
         "unit U;\r\ninterface\nprocedure A;\r\nimplementation\r\nprocedure A;\nbegin\r\nend;\r\n"
         "end.\r\n",
         "unit U;\r\ninterface\nprocedure Cee;\r\nimplementation\r\nprocedure Cee;\nbegin\r\n"
         "end;\r\nend.\r\n"},
        // The byte-order mark stays, once; no final break is added.
        {AddB, "\xEF\xBB\xBFunit U;\ninterface\nimplementation\nend.",
         "\xEF\xBB\xBFunit U;\ninterface\n\nprocedure B;\n\nimplementation\n\nprocedure B;\n"
         "begin\n  \nend;\n\nend."},
        {AddB, "unit U;\rinterface\rimplementation\rend.\r",
         "unit U;\rinterface\r\rprocedure B;\r\rimplementation\r\rprocedure B;\rbegin\r  \r"
         "end;\r\rend.\r"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Before);
        const std::string file = test::TempPrefix() + "/U.pas";
        test::WriteNative(file, c.Before);
        Kolva(c.Operation, file);
        EXPECT_EQ(ReadFileText(file), c.After);
    }
}

// A file of lone CRs is one line to diff; the mixed file has no final break.
TEST(WriteBack, DiffsApplyWithGitAndPatch) {
    const std::string root = test::TempPrefix(), name = "my dir/U V.pas";
    for (const std::string text :
         {"unit U;\rinterface\rprocedure A;\rimplementation\rprocedure A;\rbegin\rend;\rend.\r",
          "unit U;\r\ninterface\nprocedure A;\r{ x\ry }\nimplementation\r\nprocedure A;\nbegin\n"
          "end;\r\nend.",
          "\xEF\xBB\xBFunit U;\r\ninterface\r\nimplementation\r\nend.\r\n"}) {
        SCOPED_TRACE(text);
        test::WriteNative(root + "/edited/" + name, text);
        Kolva(AddB, root + "/edited/" + name);
        const std::string expected = ReadFileText(root + "/edited/" + name);
        test::WriteNative(root + "/p/" + name, text);
        test::WriteNative(root + "/p.diff",
                          Kolva(AddB + std::string(" --diff"), name, "cd '" + root + "/p' && "));
        for (const char* apply :
             {"git apply --whitespace=nowarn ../p.diff", "patch -p1 -s --batch <../p.diff"}) {
            test::WriteNative(root + "/p/" + name, text);
            EXPECT_EQ(std::system(("cd '" + root + "/p' && " + apply).c_str()), 0) << apply;
            EXPECT_EQ(ReadFileText(root + "/p/" + name), expected) << apply;
        }
    }
}

TEST(WriteBack, TheDiffNamesTheFileAsGitDoes) {
    const std::string root = test::TempPrefix();
    test::WriteNative(root + "/U.pas", "unit U;\r\ninterface\r\nimplementation\r\nend.");
    EXPECT_EQ(
        Kolva("add-procedure F --decl 'procedure B;' --diff", "U.pas", "cd '" + root + "' && "),
        "diff --git a/U.pas b/U.pas\n--- a/U.pas\n+++ b/U.pas\n@@ -1,4 +1,13 @@\n"
        " unit U;\r\n interface\r\n+\r\n+procedure B;\r\n+\r\n implementation\r\n+\r\n"
        "+procedure B;\r\n+begin\r\n+  \r\n+end;\r\n+\r\n end.\n\\ No newline at end of "
        "file\n");
    EXPECT_EQ(ReadFileText(root + "/U.pas"), "unit U;\r\ninterface\r\nimplementation\r\nend.");
    // The unit and its form in one patch.
    test::WriteNative(root + "/a/MainUnit.pas", test::MainUnitPas);
    test::WriteNative(root + "/a/MainUnit.dfm", test::MainFormDfm);
    const std::string diff =
        Kolva("rename F TMainForm.NameEdit CustomerEdit --form a/MainUnit.dfm --diff",
              "a/MainUnit.pas", "cd '" + root + "' && ");
    test::WriteNative(root + "/p.diff", diff);
    EXPECT_EQ(std::system(("cd '" + root + "' && git apply --whitespace=nowarn p.diff").c_str()), 0)
        << diff;
    EXPECT_NE(ReadFileText(root + "/a/MainUnit.dfm").find("object CustomerEdit"),
              std::string::npos);
    EXPECT_NE(ReadFileText(root + "/a/MainUnit.pas").find("CustomerEdit: TEdit"),
              std::string::npos);
}

} // namespace
} // namespace kolva
