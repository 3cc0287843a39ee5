// kolva outline and kolva check over many files: the order given kept whatever the threads,
// folders searched for Pascal sources, output that grows linearly with the nesting depth,
// and problems reported as FILE:LINE:COL: MESSAGE.
#include "platform/Files.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::RunKolva;

std::string Write(const std::string& Name, const std::string& Text) {
    const std::string path = test::TempPrefix() + "/" + Name;
    test::WriteNative(path, Text);
    return path;
}

std::string UnitNamed(const std::string& Name) {
    return "unit " + Name + ";\ninterface\nprocedure " + Name + "Proc;\nimplementation\n" +
           "procedure " + Name + "Proc;\nbegin\nend;\nend.\n";
}

// N routines, each declared inside the one before.
std::string Nested(int N) {
    std::string text = "program P;\n";
    for (int i = 0; i < N; ++i)
        text += "procedure P" + std::to_string(i) + ";\n";
    for (int i = 0; i < N; ++i)
        text += "begin end;\n";
    return text + "begin end.\n";
}

TEST(OutlineCommand, ManyFilesAndFoldersKeepTheOrderGiven) {
    const std::string root = test::TempPrefix();
    for (const char* name : {"d/b.pas", "d/sub/a.pp", "d/notes.txt", "c.pas", "e.pas"})
        Write(name, UnitNamed(std::string(name).substr(name[1] == '/' ? 2 : 0, 1)));
    const std::string args = "outline --json c.pas d e.pas";
    const test::TRun one = RunKolva(args + " --jobs 1", "cd '" + root + "' && ");
    EXPECT_EQ(one.Status, 0);
    std::string files;
    for (size_t at = 0; (at = one.Output.find("{\"file\":\"", at)) != std::string::npos; ++at)
        files += one.Output.substr(at + 9, one.Output.find('"', at + 9) - at - 9) + " ";
    EXPECT_EQ(files, "c.pas d/b.pas d/sub/a.pp e.pas ");
    EXPECT_EQ(std::count(one.Output.begin(), one.Output.end(), '\n'), 4) << "JSON Lines";
    for (int jobs = 2; jobs <= 4; ++jobs)
        EXPECT_EQ(
            RunKolva(args + " --jobs=" + std::to_string(jobs), "cd '" + root + "' && ").Output,
            one.Output);
    const test::TRun text =
        RunKolva("outline c.pas missing.pas e.pas 2>&1", "cd '" + root + "' && ");
    EXPECT_EQ(text.Status, 1);
    EXPECT_EQ(text.Output, "==> c.pas <==\nckProcedure cProc scPublic lines 2-2\n"
                           "ckProcedure cProc scPrivate lines 4-6\n"
                           "kolva: missing.pas: Cannot open file \"missing.pas\": No such file or "
                           "directory\n==> e.pas <==\nckProcedure eProc scPublic lines 2-2\n"
                           "ckProcedure eProc scPrivate lines 4-6\n");
}

TEST(OutlineCommand, OutputGrowsLinearlyWithTheNesting) {
    for (const char* format : {"--json", "--json --pretty", ""}) {
        SCOPED_TRACE(format);
        size_t sizes[2];
        for (int i = 0; i < 2; ++i)
            sizes[i] = RunKolva(std::string("outline ") + format + " " +
                                Write("N.pas", Nested(1000 * (i + 1))))
                           .Output.size();
        EXPECT_LT(double(sizes[1]) / double(sizes[0]), 2.1);
    }
}

TEST(OutlineCommand, CheckReportsWhereEditorsLook) {
    const std::string good = Write("Good.pas", UnitNamed("Good"));
    const std::string bad = Write("Bad.pas", "unit Bad;\ninterface\ntype\n  T = class\n"
                                             "    procedure A(X: Integer;\n  end;\n"
                                             "implementation\nend.\n");
    EXPECT_EQ(RunKolva("check " + good).Status, 0);
    EXPECT_EQ(RunKolva("check " + good).Output, "");
    const test::TRun run = RunKolva("check " + good + " " + bad);
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Output, bad + ":6:3: Unexpected token \"end\"\n");
}

} // namespace
} // namespace kolva
