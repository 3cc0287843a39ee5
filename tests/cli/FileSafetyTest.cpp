// What an edit does to the files it writes, as a user runs it: links written through, other
// programs' edits never lost, the unit and its form written together, read-only and special
// files left alone unless the user agrees, hard links, owner and group kept, output that does
// not arrive reported. Cases that depend on the user run as root and, from root, as nobody.
#include "platform/Files.h"
#include "platform/FileUpdate.h"
#include "platform/SysUtils.h"
#include "support/FormSample.h"
#include "support/RunKolva.h"
#include "support/TempPrefix.h"

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kolva {
namespace {

namespace fs = std::filesystem;
using test::RunKolva;
using test::TRun;

const std::string Unit = "unit U;\r\ninterface\r\nprocedure A;\r\nimplementation\r\n"
                         "procedure A;\r\nbegin\r\nend;\r\nend.\r\n";
const std::string UnitWithB =
    "unit U;\r\ninterface\r\nprocedure A;\r\n\r\nprocedure B;\r\n\r\nimplementation\r\n"
    "procedure A;\r\nbegin\r\nend;\r\n\r\nprocedure B;\r\nbegin\r\n  \r\nend;\r\n\r\nend.\r\n";

std::string Path(const std::string& Name) {
    return test::TempPrefix() + "/" + Name;
}

// A new file: its mode, owner and links do not come from an earlier one.
std::string Write(const std::string& Name, const std::string& Content) {
    fs::remove(Path(Name));
    test::WriteNative(Path(Name), Content);
    return Path(Name);
}

TRun AddB(const std::string& File, const std::string& Options = "",
          const std::string& Before = "") {
    return RunKolva("add-procedure '" + File + "' --decl 'procedure B;' " + Options + " 2>&1",
                    Before);
}

struct stat Lstat(const std::string& File) {
    struct stat st {};
    lstat(File.c_str(), &st);
    return st;
}

bool IsRoot() {
    return geteuid() == 0;
}

// Runs kolva as the unprivileged user nobody; the test prefix becomes open to everyone.
std::string AsNobody() {
    chmod(test::TempPrefix().c_str(), 0777);
    return "setpriv --reuid=65534 --regid=65534 --clear-groups ";
}

// A relative link to an absolute one: each hop is followed from the folder of its link.
TEST(FileSafety, SymbolicLinksAreWrittenThrough) {
    const std::string real = Write("real/U.pas", Unit);
    ASSERT_EQ(symlink(real.c_str(), Path("real/Absolute.pas").c_str()), 0);
    ASSERT_EQ(symlink("real/Absolute.pas", Path("Chain.pas").c_str()), 0);
    EXPECT_EQ(AddB(Path("Chain.pas")).Status, 0);
    EXPECT_TRUE(S_ISLNK(Lstat(Path("Chain.pas")).st_mode));
    EXPECT_TRUE(S_ISLNK(Lstat(Path("real/Absolute.pas")).st_mode));
    EXPECT_EQ(ReadFileText(real), UnitWithB);
}

// A second edit waits for the first to end and then works on its result.
TEST(FileSafety, AnEditWaitsForTheLockAndReadsTheFileAgain) {
    const std::string file = Write("U.pas", Unit);
    FILE* waiting;
    {
        TFileUpdate first(file);
        waiting = popen(("exec " + std::string(KOLVA_EXE) + " add-procedure '" + file +
                         "' --decl 'procedure B;' 2>&1")
                            .c_str(),
                        "r");
        ASSERT_TRUE(waiting);
        usleep(300000);
        EXPECT_EQ(ReadFileText(file), Unit);
        first.Prepare("{ first }\r\n" + Unit);
        CommitAll({&first});
    }
    char buf[256];
    while (fread(buf, 1, sizeof buf, waiting) > 0) {
    }
    EXPECT_EQ(pclose(waiting), 0);
    EXPECT_EQ(ReadFileText(file), "{ first }\r\n" + UnitWithB);
}

// The unit does not fit (the file size limit stands for a full disk): neither file changes.
TEST(FileSafety, TheFormAndTheUnitAreWrittenTogetherOrNotAtAll) {
    const std::string padding = "{" + std::string(20000, 'x') + "}\n";
    const std::string unit = Write("MainUnit.pas", padding + test::MainUnitPas);
    const std::string form = Write("MainUnit.dfm", test::MainFormDfm);
    const std::string rename =
        "rename '" + unit + "' TMainForm.NameEdit CustomerEdit --form '" + form + "' 2>&1";
    const TRun full = RunKolva(rename, "ulimit -f 16; "); // 16 blocks of 512 bytes
    EXPECT_EQ(full.Status, 1);
    EXPECT_NE(full.Output.find("File too large"), std::string::npos) << full.Output;
    EXPECT_EQ(ReadFileText(unit), padding + test::MainUnitPas);
    EXPECT_EQ(ReadFileText(form), test::MainFormDfm);
    EXPECT_EQ(std::distance(fs::directory_iterator(test::TempPrefix()), {}), 2)
        << "no temporary file is left";
}

TEST(FileSafety, ReadOnlyFilesAreWrittenOnlyWhenTheUserAgrees) {
    const std::string question = "Edit buffer is marked read only. Set to read/write to allow "
                                 "editing?\n";
    // Declined for the unit; accepted for the form, which then becomes writable.
    for (const bool yes : {false, true}) {
        SCOPED_TRACE(yes);
        const std::string unit = Write("MainUnit.pas", test::MainUnitPas);
        const std::string form = Write("MainUnit.dfm", test::MainFormDfm);
        const std::string readOnly = yes ? form : unit;
        ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
        const TRun run = RunKolva("rename '" + unit + "' TMainForm.NameEdit CustomerEdit --form '" +
                                  form + (yes ? "' --yes" : "'") + " 2>&1");
        EXPECT_EQ(run.Status, yes ? 0 : 3);
        EXPECT_EQ(run.Output, question + (yes ? "" : "(answered Cancel; --yes answers OK)\n"));
        EXPECT_EQ(ReadFileText(unit) != test::MainUnitPas, yes);
        EXPECT_EQ(ReadFileText(form) != test::MainFormDfm, yes);
        EXPECT_EQ(Lstat(readOnly).st_mode & 0777, yes ? 0644u : 0444u);
    }
    if (!IsRoot()) return;
    // A file others may not write is read-only to them, also in a folder they may write.
    const std::string unit = Write("U.pas", Unit);
    const TRun run = AddB(unit, "--yes", AsNobody());
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Output,
              question + "kolva: Cannot make \"" + unit + "\" writable: Operation not permitted\n");
    EXPECT_EQ(ReadFileText(unit), Unit);
}

TEST(FileSafety, OnlyRegularFilesAreEdited) {
    ASSERT_EQ(mkfifo(Path("Fifo.pas").c_str(), 0666), 0);
    ASSERT_EQ(mkdir(Path("Folder.pas").c_str(), 0777), 0);
    for (const std::string name : {"Fifo.pas", "Folder.pas"}) {
        SCOPED_TRACE(name);
        const mode_t type = Lstat(Path(name)).st_mode & S_IFMT;
        const TRun run = AddB(Path(name));
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Output, "kolva: Cannot edit \"" + Path(name) + "\": not a regular file\n");
        EXPECT_EQ(Lstat(Path(name)).st_mode & S_IFMT, type);
    }
}

TEST(FileSafety, HardLinksOwnerGroupAndModeAreKept) {
    const std::string file = Write("U.pas", Unit);
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(link(file.c_str(), Path("Other.pas").c_str()), 0);
    const struct stat before = Lstat(file);
    EXPECT_EQ(AddB(file).Status, 0);
    EXPECT_EQ(ReadFileText(Path("Other.pas")), UnitWithB);
    EXPECT_EQ(Lstat(file).st_ino, before.st_ino);
    EXPECT_EQ(Lstat(file).st_nlink, 2u);
    EXPECT_EQ(Lstat(file).st_mode & 07777, 0640u);
    if (!IsRoot()) return;
    // Owned by another user: root gives the new file back to the owner; nobody, who cannot,
    // writes the file in place.
    for (const uid_t owner : {65534u, 0u}) {
        SCOPED_TRACE(owner);
        const std::string single = Write("S.pas", Unit);
        ASSERT_EQ(chown(single.c_str(), owner, owner), 0);
        ASSERT_EQ(chmod(single.c_str(), 0666), 0);
        EXPECT_EQ(AddB(single, "", owner == 0 ? AsNobody() : "").Status, 0);
        EXPECT_EQ(ReadFileText(single), UnitWithB);
        EXPECT_EQ(Lstat(single).st_uid, owner);
        EXPECT_EQ(Lstat(single).st_gid, owner);
        EXPECT_EQ(Lstat(single).st_mode & 07777, 0666u);
    }
}

TEST(FileSafety, OutputThatCannotBeWrittenIsAnError) {
    const std::string unit = Write("U.pas", Unit);
    for (const std::string& args :
         {std::string("--help"), "tokens " + unit, std::string("settings list"),
          "add-procedure " + unit + " --decl 'procedure B;' --diff"}) {
        SCOPED_TRACE(args);
        const TRun run = RunKolva(args + " 2>&1 >/dev/full");
        EXPECT_EQ(run.Status, 1);
        EXPECT_EQ(run.Output, "kolva: write error: No space left on device\n");
    }
    EXPECT_EQ(ReadFileText(unit), Unit);
}

} // namespace
} // namespace kolva
