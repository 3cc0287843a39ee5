// kolva addin: the add-in's entry in the prefix's experts key, written, shown and taken out.
#include "platform/Paths.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::RunKolva;

TEST(AddinCommand, RegistersShowsAndUnregisters) {
    const std::string dll = test::TempPrefix() + "/lib/KolvaD5.dll";
    test::WriteNative(dll, "ELF");
    EXPECT_EQ(RunKolva("addin show").Status, 1) << "nothing registered yet";
    EXPECT_EQ(RunKolva("addin register " + dll + ".missing 2>/dev/null").Status, 1);
    EXPECT_EQ(RunKolva("addin register " + dll).Output, WindowsPath(dll) + "\n");
    const test::TRun shown = RunKolva("addin show");
    EXPECT_EQ(shown.Status, 0);
    EXPECT_EQ(shown.Output, WindowsPath(dll) + "\n");
    EXPECT_EQ(RunKolva("addin unregister").Status, 0);
    EXPECT_EQ(RunKolva("addin show").Status, 1);
    EXPECT_EQ(RunKolva("addin frob 2>/dev/null").Status, 2);
}

} // namespace
} // namespace kolva
