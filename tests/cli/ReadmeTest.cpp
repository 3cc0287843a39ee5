// The README's command-line examples run as written: each "$ kolva ..." block prints what
// the README shows (its lines in order, "..." standing for any lines), and each line of the
// examples block succeeds as a --diff on the sample unit.
#include "platform/Files.h"
#include "support/RunKolva.h"

#include <sstream>

#include <gtest/gtest.h>

namespace kolva {
namespace {

// The code blocks of the README, each as its lines.
std::vector<std::vector<std::string>> CodeBlocks() {
    std::istringstream in(ReadFileText(KOLVA_SOURCE_DIR "/README.md"));
    std::vector<std::vector<std::string>> blocks;
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("```")) {
            inside = !inside;
            if (inside) blocks.emplace_back();
        } else if (inside) {
            blocks.back().push_back(line);
        }
    }
    return blocks;
}

// Runs a shell line with the built program for "kolva", from the top of the sources.
test::TRun Shell(std::string Line) {
    for (size_t at = 0; (at = Line.find("kolva ", at)) != std::string::npos; at += 6)
        if (at == 0 || Line[at - 1] == ' ') Line.replace(at, 5, "\"$KOLVA\"");
    return test::RunKolva("", "cd " KOLVA_SOURCE_DIR " && KOLVA=" KOLVA_EXE " && " + Line +
                                  " 2>&1; exit $? ||");
}

TEST(Readme, SessionsPrintWhatTheReadmeShows) {
    int sessions = 0;
    for (const std::vector<std::string>& block : CodeBlocks()) {
        if (block.empty() || !block[0].starts_with("$ ")) continue;
        ++sessions;
        std::string output;
        for (const std::string& line : block) {
            if (line.starts_with("$ ")) {
                output = Shell(line.substr(2)).Output;
                continue;
            }
            SCOPED_TRACE(block[0]);
            if (line == "..." || line.starts_with("    ...")) continue;
            const size_t at = output.find(line + "\n");
            EXPECT_NE(at, std::string::npos) << line << "\nin:\n" << output;
            if (at != std::string::npos) output.erase(0, at + line.size() + 1);
        }
    }
    EXPECT_GE(sessions, 4);
}

TEST(Readme, ExamplesRunOnTheSample) {
    int examples = 0;
    for (const std::vector<std::string>& block : CodeBlocks()) {
        if (block.empty() || !block[0].starts_with("kolva add-procedure")) continue;
        for (const std::string& line : block) {
            ++examples;
            const test::TRun run = Shell(line + " --diff");
            EXPECT_EQ(run.Status, 0) << line << "\n" << run.Output;
            EXPECT_NE(run.Output.find("diff --git a/samples/Orders.pas"), std::string::npos)
                << line;
        }
    }
    EXPECT_GE(examples, 15);
}

} // namespace
} // namespace kolva
