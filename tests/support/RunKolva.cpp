#include "support/RunKolva.h"

#include "platform/Files.h"
#include "support/TempPrefix.h"

#include <cstdio>
#include <sys/wait.h>

#include <gtest/gtest.h>

namespace kolva::test {

TRun RunKolva(const std::string& Args, const std::string& Before) {
    const std::string command = Before + KOLVA_EXE + " " + Args;
    FILE* pipe = popen(command.c_str(), "r");
    TRun run{-1, {}};
    if (!pipe) return run;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        run.Output.append(buf, n);
    const int status = pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

void PrintTo(const TCase& Case, std::ostream* Out) {
    *Out << Case.Args;
}

std::string RunCase(const TCase& Case, const std::string& Name, const std::string& Unit) {
    const std::string file = TempPrefix() + "/" + Name;
    WriteNative(file, Unit);
    std::string args = Case.Args;
    if (const size_t at = args.find(" F"); at != std::string::npos) args.replace(at + 1, 1, file);
    const TRun run = RunKolva(args + " 2>&1");
    EXPECT_EQ(run.Status, Case.Status) << run.Output;
    EXPECT_NE(run.Output.find(Case.Output), std::string::npos) << run.Output;
    return file;
}

} // namespace kolva::test
