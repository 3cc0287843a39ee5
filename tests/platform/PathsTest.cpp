#include "platform/Paths.h"

#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "support/TempPrefix.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::TempPrefix;

TEST(Paths, DrivesMapLikeWine) {
    const std::string c = TempPrefix() + "/drive_c";
    EXPECT_EQ(NativePath("C:\\Program Files\\Fernwright"), c + "/Program Files/Fernwright");
    EXPECT_EQ(NativePath("c:/x"), c + "/x");
    EXPECT_EQ(NativePath("C:\\"), c);
    EXPECT_EQ(NativePath("Z:\\usr\\lib"), "/usr/lib");
    EXPECT_EQ(NativePath("D:\\data"), TempPrefix() + "/dosdevices/d:/data");
    EXPECT_EQ(NativePath("/usr/./lib/../bin"), "/usr/bin");
    EXPECT_EQ(NativePath("C:\\..\\..\\etc"), c + "/etc") << "no escape from a drive";
}

TEST(Paths, NativePathsReadAsDriveZ) {
    EXPECT_EQ(WindowsPath("/usr/lib/kolva"), "Z:\\usr\\lib\\kolva");
    EXPECT_EQ(WindowsPath("/"), "Z:\\");
    EXPECT_EQ(WindowsPath(TempPrefix() + "/drive_c/Windows/x.ini"), "C:\\Windows\\x.ini");
    EXPECT_EQ(WindowsPath(TempPrefix() + "/drive_c"), "C:\\");
}

TEST(Paths, ExistingComponentsAreFoundWithoutRegardToCase) {
    test::WriteNative(TempPrefix() + "/drive_c/Program Files/Kolva/KolvaD5.dll", "x");
    EXPECT_EQ(NativePath("C:\\PROGRAM FILES\\kolva\\kolvad5.DLL"),
              TempPrefix() + "/drive_c/Program Files/Kolva/KolvaD5.dll");
    EXPECT_TRUE(FileExists("c:\\program files\\KOLVA\\KolvaD5.dll"));
    EXPECT_TRUE(DirectoryExists("C:\\Program files"));
    // A missing tail keeps its spelling, so a new file lands where it was named.
    EXPECT_EQ(NativePath("C:\\program files\\New\\A.txt"),
              TempPrefix() + "/drive_c/Program Files/New/A.txt");
}

// Never a folder that others could write to, such as /tmp.
TEST(Paths, ThePrefixWithoutHomeIsTheUsersHomeFromTheUserDatabase) {
    const char* home = std::getenv("HOME");
    const std::string saved = home ? home : "";
    unsetenv("KOLVA_PREFIX");
    unsetenv("HOME");
    const struct passwd* user = getpwuid(getuid());
    ASSERT_TRUE(user);
    EXPECT_EQ(KolvaPrefix(), std::string(user->pw_dir) + "/.kolva");
    if (home) setenv("HOME", saved.c_str(), 1);
    setenv("KOLVA_PREFIX", TempPrefix().c_str(), 1);
}

TEST(Files, WritesAtomicallyAndReportsFailures) {
    ASSERT_TRUE(ForceDirectories("C:\\a\\b"));
    WriteFileText("C:\\a\\b\\f.txt", "one");
    WriteFileText("C:\\A\\B\\F.TXT", "two");
    EXPECT_EQ(ReadFileText("c:\\a\\b\\f.txt"), "two");
    EXPECT_THROW(ReadFileText("C:\\missing.txt"), EInOutError);
    EXPECT_THROW(WriteFileText("C:\\missing\\dir\\f.txt", "x"), EInOutError);
}

} // namespace
} // namespace kolva
