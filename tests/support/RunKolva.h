// Test support: runs the built `kolva` program as a user would.
#pragma once

#include <ostream>
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

/// A row of a table of commands run on one unit.
struct TCase {
    const char* Args; ///< the first " F" stands for the unit's path
    int Status;
    const char* Output; ///< a piece of standard output and error together
};
void PrintTo(const TCase& Case, std::ostream* Out);
/// Writes Unit into the prefix as Name, runs Case with standard error joined to standard
/// output, and checks its status and output; returns the unit's path.
std::string RunCase(const TCase& Case, const std::string& Name, const std::string& Unit);

} // namespace kolva::test
