// Test support: runs the built `kolva` program as a user would.
#pragma once

#include <string>

namespace kolva::test {

struct TRun {
    int Status;
    std::string Output;
};

/// Runs `kolva ARGS` through the shell and collects its standard output; standard error is
/// kept apart unless Args redirect it. Before goes in front of the command: "cd DIR && ",
/// "ulimit -f 16; ", a program that runs kolva as another user.
TRun RunKolva(const std::string& Args, const std::string& Before = "");

} // namespace kolva::test
