#include "support/RunKolva.h"

#include <cstdio>
#include <sys/wait.h>

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

} // namespace kolva::test
