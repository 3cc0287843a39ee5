// What `cmake --install` puts in place: the program on the PATH, its manual page and a bash
// completion that completes commands and each command's own options.
#include "platform/Files.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

TEST(Install, ProgramManualPageAndCompletion) {
    const std::string prefix = test::TempPrefix() + "/usr";
    ASSERT_EQ(
        std::system(
            ("cmake --install '" KOLVA_BUILD_DIR "' --prefix '" + prefix + "' >/dev/null").c_str()),
        0);
    const test::TRun version = test::RunKolva("", "PATH='" + prefix + "/bin' kolva -V; true ||");
    EXPECT_EQ(version.Output.rfind("kolva 1.00 build ", 0), 0u) << version.Output;
    const std::string man = ReadFileText(prefix + "/share/man/man1/kolva.1");
    for (const char* piece :
         {".SS \"kolva delete FILE ITEM\"", ".B \\-\\-yes\n", ".SH EXIT STATUS", ".B KOLVA_PREFIX"})
        EXPECT_NE(man.find(piece), std::string::npos) << piece;
    const std::string completion = prefix + "/share/bash-completion/completions/kolva";
    struct TCase {
        const char* Words;
        const char* Replies;
    };
    for (const TCase& c : {TCase{"kolva del", "delete"}, TCase{"kolva delete F --d", "--diff"},
                           TCase{"kolva outline --j", "--json --jobs"},
                           TCase{"kolva edit F X --visibility pu", "public published"},
                           TCase{"kolva help ren", "rename"}}) {
        const std::string script = test::TempPrefix() + "/complete.sh";
        test::WriteNative(script, "source '" + completion + "'\nCOMP_WORDS=(" + c.Words +
                                      ")\nCOMP_CWORD=$((${#COMP_WORDS[@]}-1))\n_kolva\n"
                                      "echo \"${COMPREPLY[*]}\"\n");
        const test::TRun run = test::RunKolva("", "bash '" + script + "'; true ||");
        EXPECT_EQ(run.Output, std::string(c.Replies) + "\n") << c.Words;
    }
}

} // namespace
} // namespace kolva
