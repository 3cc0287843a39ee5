#include "platform/Registry.h"

#include "platform/Files.h"
#include "support/Raised.h"
#include "support/TempPrefix.h"

#include <csignal>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kolva {
namespace {

std::string UserHive() {
    return test::TempPrefix() + "/user.reg";
}

ino_t Inode(const std::string& Path) {
    struct stat st;
    return stat(Path.c_str(), &st) == 0 ? st.st_ino : 0;
}

template <class F>
std::string ErrorOf(F&& Action) {
    return test::ErrorOf<ERegistryException>(Action);
}

TEST(Registry, ValuesReachTheHiveFilesOfTheirRoot) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\Software\\Fernwright\\Kolva\\1.0\\Options", true));
        reg.WriteString("ContentsDisplayMode", "dmHierarchy");
        reg.WriteString("Quoted", "C:\\x \"y\"");
        reg.WriteInteger("Delay", -5);
        reg.WriteBool("Flag", true);
        reg.WriteString("", "default");
        TRegistry machine(HKEY_LOCAL_MACHINE);
        ASSERT_TRUE(machine.OpenKey("Software\\Fernwright\\Kolva\\1.0", true));
        machine.WriteString("InstallDir", "C:\\Program Files\\Fernwright\\Kolva\\1.0");
    }
    EXPECT_EQ(ReadFileText(UserHive()),
              "REGEDIT4\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Fernwright]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Fernwright\\Kolva]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Fernwright\\Kolva\\1.0]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Fernwright\\Kolva\\1.0\\Options]\r\n"
              "\"ContentsDisplayMode\"=\"dmHierarchy\"\r\n"
              "\"Quoted\"=\"C:\\\\x \\\"y\\\"\"\r\n"
              "\"Delay\"=dword:fffffffb\r\n"
              "\"Flag\"=dword:00000001\r\n"
              "@=\"default\"\r\n\r\n");
    EXPECT_EQ(ReadFileText(test::TempPrefix() + "/system.reg"),
              "REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Fernwright]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Fernwright\\Kolva]\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Fernwright\\Kolva\\1.0]\r\n"
              "\"InstallDir\"=\"C:\\\\Program Files\\\\Fernwright\\\\Kolva\\\\1.0\"\r\n\r\n");

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Fernwright\\Kolva\\1.0\\Options"));
    EXPECT_EQ(reg.ReadString("Quoted"), "C:\\x \"y\"");
    EXPECT_EQ(reg.ReadString(""), "default");
    EXPECT_EQ(reg.ReadInteger("Delay"), -5);
    EXPECT_TRUE(reg.ReadBool("Flag"));
    EXPECT_FALSE(reg.KeyExists("\\Software\\Fernwright\\Kolva\\1.0\\Options\\Missing"));
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.HasCurrentKey());
    EXPECT_FALSE(reg.KeyExists("Software\\Fernwright\\Kolva\\1.0\\Options"));
}

struct TOpenCase {
    const char* Start; // key opened (with creation) first, or nullptr
    const char* Key;
    bool CanCreate;
    bool Opens;
    const char* Path; // CurrentPath afterwards
};

TEST(Registry, OpenKeyResolvesPathsLikeTheComponentLibrary) {
    const std::string tooLong(256, 'k');
    const TOpenCase cases[] = {
        {nullptr, "Software\\A", false, false, ""},
        {nullptr, "Software\\A", true, true, "Software\\A"},
        {"Software", "A\\B", true, true, "Software\\A\\B"},
        {"Software", "\\Other", true, true, "Other"},
        {"Software", "", false, true, "Software"},
        {"Software", "Missing", false, false, "Software"},
        {nullptr, "\\", false, true, ""},
        {"\\", "A", true, true, "A"},
        {nullptr, "Software\\", true, true, "Software"},
        {nullptr, "a\\\\b", true, false, ""},
        {nullptr, "\\\\a", true, false, ""},
        {nullptr, "a\nb", true, false, ""},
        {nullptr, tooLong.c_str(), true, false, ""},
    };
    for (const TOpenCase& c : cases) {
        unlink(UserHive().c_str());
        TRegistry reg;
        if (c.Start) {
            ASSERT_TRUE(reg.OpenKey(c.Start, true));
        }
        EXPECT_EQ(reg.OpenKey(c.Key, c.CanCreate), c.Opens) << c.Key;
        EXPECT_EQ(reg.CurrentPath(), c.Path) << c.Key;
        if (c.Opens) {
            EXPECT_TRUE(reg.KeyExists(std::string("\\") + c.Path)) << c.Key;
        }
    }
}

TEST(Registry, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Kolva", true));
    reg.WriteString("Name", "1");
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\KOLVA", false));
    EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\KOLVA");
    reg.WriteString("NAME", "2");
    EXPECT_EQ(reg.ReadString("name"), "2");
    TStringList names;
    reg.GetValueNames(names);
    EXPECT_EQ(names.Text(), "Name\r\n");
    EXPECT_EQ(ReadFileText(UserHive()),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Kolva]\r\n\"Name\"=\"2\"\r\n\r\n");
}

TEST(Registry, ReadsCheckTheTypeOfTheData) {
    test::WriteNative(UserHive(), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n"
                                  "\"Str\"=\"text\"\r\n\"Int\"=dword:0000002a\r\n"
                                  "\"Expand\"=hex(2):25,54,25,00,78\r\n\"SzHex\"=hex(1):41,00\r\n"
                                  "\"IntHex\"=hex(4):07,00,00,00\r\n\"Bin\"=hex:01\r\n"
                                  "\"Multi\"=hex(7):61,00,00\r\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("K", false));
    struct TRow {
        const char* Name;
        TRegDataType Type;
        const char* AsString; // text, or the error
        const char* AsInteger;
    };
    const TRow rows[] = {
        {"Str", rdString, "text", "Invalid data type for 'Str'"},
        {"Int", rdInteger, "Invalid data type for 'Int'", "42"},
        {"Expand", rdExpandString, "%T%", "Invalid data type for 'Expand'"},
        {"SzHex", rdString, "A", "Invalid data type for 'SzHex'"},
        {"IntHex", rdInteger, "Invalid data type for 'IntHex'", "7"},
        {"Bin", rdBinary, "Invalid data type for 'Bin'", "Invalid data type for 'Bin'"},
        {"Multi", rdUnknown, "Invalid data type for 'Multi'", "Invalid data type for 'Multi'"},
        {"Missing", rdUnknown, "", "Failed to get data for 'Missing'"},
    };
    for (const TRow& r : rows) {
        EXPECT_EQ(reg.GetDataType(r.Name), r.Type) << r.Name;
        EXPECT_EQ(test::ResultOf<ERegistryException>([&] { return reg.ReadString(r.Name); }),
                  r.AsString);
        EXPECT_EQ(
            test::ResultOf<ERegistryException>([&] { return IntToStr(reg.ReadInteger(r.Name)); }),
            r.AsInteger);
    }
    EXPECT_EQ(ErrorOf([&] { reg.ReadBool("Missing"); }), "Failed to get data for 'Missing'");
}

TEST(Registry, ChangesNeedAKeyOpenForWriting) {
    TRegistry reg;
    EXPECT_EQ(ErrorOf([&] { reg.WriteString("x", "1"); }), "Failed to set data for 'x'");
    EXPECT_FALSE(reg.ValueExists("x"));
    ASSERT_TRUE(reg.OpenKey("K", true));
    reg.WriteInteger("n", 1);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\K"));
    EXPECT_EQ(ErrorOf([&] { reg.WriteInteger("n", 2); }), "Failed to set data for 'n'");
    EXPECT_FALSE(reg.DeleteValue("n"));
    EXPECT_FALSE(reg.DeleteKey("\\K"));
    EXPECT_FALSE(reg.OpenKeyReadOnly("\\Missing"));
    EXPECT_EQ(reg.ReadInteger("n"), 1);
    ASSERT_TRUE(reg.OpenKey("", false));
    reg.WriteInteger("n", 2);
    EXPECT_EQ(reg.ReadInteger("n"), 2);

    // Like a handle to a deleted key: reads find nothing, writes fail, nothing comes back.
    ASSERT_TRUE(reg.OpenKey("Child", true));
    EXPECT_TRUE(TRegistry().DeleteKey("K"));
    EXPECT_FALSE(reg.ValueExists("n"));
    EXPECT_EQ(ErrorOf([&] { reg.WriteInteger("n", 3); }), "Failed to set data for 'n'");
    EXPECT_FALSE(reg.OpenKey("Sub", true));
    EXPECT_FALSE(reg.KeyExists("\\K"));
}

TEST(Registry, DeletingKeysAndValues) {
    TRegistry reg;
    for (const char* key : {"\\R\\b\\x\\y", "\\R\\A", "\\R\\C"})
        ASSERT_TRUE(reg.OpenKey(key, true));
    ASSERT_TRUE(reg.OpenKey("\\R", false));
    reg.WriteString("z", "1");
    reg.WriteString("a", "2");
    TStringList names;
    reg.GetKeyNames(names);
    EXPECT_EQ(names.Text(), "A\r\nb\r\nC\r\n");
    reg.GetValueNames(names);
    EXPECT_EQ(names.Text(), "z\r\na\r\n");
    EXPECT_TRUE(reg.HasSubKeys());

    EXPECT_TRUE(reg.DeleteKey("B"));
    EXPECT_FALSE(reg.KeyExists("b\\x"));
    EXPECT_FALSE(reg.DeleteKey("B"));
    EXPECT_FALSE(reg.DeleteKey(""));
    EXPECT_FALSE(reg.DeleteKey("\\"));
    EXPECT_TRUE(reg.DeleteValue("Z"));
    EXPECT_FALSE(reg.DeleteValue("Z"));
    EXPECT_TRUE(reg.DeleteKey("\\R\\A"));
    EXPECT_TRUE(reg.DeleteKey("C"));
    EXPECT_FALSE(reg.HasSubKeys());
    EXPECT_EQ(reg.ReadString("a"), "2");
}

TEST(Registry, SeesWhatOtherProgramsWrote) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("K", true));
    reg.WriteString("x", "1");
    // Edited in place, same size, possibly within the same clock tick.
    std::string text = ReadFileText(UserHive());
    text.replace(text.find("\"1\""), 3, "\"2\"");
    std::ofstream(UserHive(), std::ios::binary | std::ios::in) << text;
    EXPECT_EQ(reg.ReadString("x"), "2");
    test::WriteNative(UserHive(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"y\"=\"3\"\n");
    EXPECT_FALSE(reg.ValueExists("x"));
    EXPECT_EQ(reg.ReadString("y"), "3");
    reg.WriteString("z", "4"); // keeps the file's line breaks
    EXPECT_EQ(ReadFileText(UserHive()),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"y\"=\"3\"\n\"z\"=\"4\"\n\n");
}

TEST(Registry, UnchangedValuesAreNotWrittenAgain) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("K", true));
    reg.WriteString("x", "1");
    const ino_t before = Inode(UserHive());
    reg.WriteString("X", "1");
    ASSERT_TRUE(reg.OpenKey("\\k", true));
    EXPECT_EQ(Inode(UserHive()), before);
    reg.WriteString("x", "2");
    EXPECT_NE(Inode(UserHive()), before);
}

TEST(Registry, MalformedHiveIsReportedAndLeftAlone) {
    const std::string bad =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\"a\"=\"1\"\r\n\"b\"=dword:xyz\r\n";
    test::WriteNative(UserHive(), bad);
    const std::string expected =
        "Invalid registry file \"" + UserHive() + "\", line 5: invalid dword value";
    TRegistry reg;
    EXPECT_EQ(ErrorOf([&] { reg.OpenKey("K", true); }), expected);
    EXPECT_EQ(ErrorOf([&] { reg.OpenKey("New", true); }), expected);
    EXPECT_EQ(ErrorOf([&] { reg.KeyExists("K"); }), expected);
    EXPECT_THROW(reg.DeleteKey("K"), ERegHiveError);
    EXPECT_EQ(ReadFileText(UserHive()), bad);
    EXPECT_FALSE(std::ifstream(UserHive() + ".tmp").good());
}

TEST(Registry, SymbolicLinkToTheHiveSurvivesAWrite) {
    const std::string real = test::TempPrefix() + "/elsewhere/user.reg";
    test::WriteNative(real, "REGEDIT4\r\n\r\n");
    ASSERT_EQ(symlink(real.c_str(), UserHive().c_str()), 0);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("K", true));
    struct stat st;
    ASSERT_EQ(lstat(UserHive().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFileText(real), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n\r\n");
}

// --- Several programs -----------------------------------------------------------------------

// Runs Body in a child process, which ends with status 0, or 1 when Body throws.
template <class F>
pid_t Spawn(F&& Body) {
    const pid_t child = fork();
    if (child == 0) {
        try {
            Body();
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    return child;
}

int StatusOf(pid_t Child) {
    int status = 0;
    waitpid(Child, &status, 0);
    return status;
}

std::string Payload(int Generation) {
    return std::to_string(Generation) + ":" +
           std::string(6000 + Generation % 7 * 1000, char('a' + Generation % 26));
}

bool IsPayload(const std::string& Text) {
    int32_t generation;
    const size_t colon = Text.find(':');
    return colon != std::string::npos && TryStrToInt(Text.substr(0, colon), generation) &&
           Text == Payload(generation);
}

// A writer killed at a random moment of its saves leaves the old or the new hive, never a
// torn one, and the next writer is not disturbed by what it left behind.
TEST(Registry, KilledWriterLeavesAWholeHive) {
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 20; ++round) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = Spawn([&] {
            TRegistry reg;
            reg.OpenKey("Software\\Crash", true);
            for (int i = 0;; ++i) {
                reg.WriteString(Format("V%d", i % 8), Payload(round * 100000 + i));
                if (i == 0 && write(ready[1], "!", 1) != 1) _exit(2);
            }
        });
        ASSERT_GE(child, 0);
        close(ready[1]);
        char signal;
        const bool started = read(ready[0], &signal, 1) == 1; // the first save is done
        close(ready[0]);
        if (started) usleep(useconds_t(random() % 15000));
        kill(child, SIGKILL);
        ASSERT_TRUE(WIFSIGNALED(StatusOf(child)) && started) << "writer failed, round " << round;

        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Crash", false));
        TStringList names;
        reg.GetValueNames(names);
        ASSERT_GE(names.Count(), 1);
        for (int i = 0; i < names.Count(); ++i)
            ASSERT_TRUE(IsPayload(reg.ReadString(names[i]))) << names[i] << " round " << round;
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Crash", false));
    reg.WriteString("V0", Payload(1));
    EXPECT_EQ(reg.ReadString("v0"), Payload(1));
}

// Two programs adding values and keys to the same key at once lose nothing of each other.
TEST(Registry, ParallelWritersLoseNothing) {
    constexpr int Count = 25;
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t children[2];
    for (int k = 0; k < 2; ++k)
        children[k] = Spawn([&, k] {
            close(go[1]);
            char start;
            if (read(go[0], &start, 1) != 0) _exit(2); // released when the pipe closes
            const char tag = "AB"[k];
            TRegistry reg;
            for (int i = 0; i < Count; ++i) {
                reg.OpenKey("\\Software\\Race", true);
                reg.WriteString(Format("%s%d", tag, i), Format("%s-%d", tag, i));
                reg.OpenKey(Format("%s%d", tag, i % 5), true);
                reg.WriteInteger("Last", i);
            }
        });
    close(go[0]);
    close(go[1]);
    for (pid_t child : children) {
        const int status = StatusOf(child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Race", false));
    TStringList names;
    reg.GetValueNames(names);
    EXPECT_EQ(names.Count(), 2 * Count);
    reg.GetKeyNames(names);
    EXPECT_EQ(names.Count(), 10);
    for (const char tag : {'A', 'B'}) {
        for (int i = 0; i < Count; ++i)
            EXPECT_EQ(reg.ReadString(Format("%s%d", tag, i)), Format("%s-%d", tag, i));
        for (int j = 0; j < 5; ++j) {
            TRegistry sub;
            ASSERT_TRUE(sub.OpenKey(Format("Software\\Race\\%s%d", tag, j), false));
            EXPECT_EQ(sub.ReadInteger("Last"), Count - 5 + j);
        }
    }
}

} // namespace
} // namespace kolva
