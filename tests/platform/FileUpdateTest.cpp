// Read-modify-write of files: another program's change between the read and the write is never
// overwritten, and files written as one change are all replaced or all kept.
#include "platform/FileUpdate.h"

#include "platform/Files.h"
#include "support/Raised.h"
#include "support/TempPrefix.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <unistd.h>

#include <gtest/gtest.h>

namespace kolva {
namespace {

std::string Write(const std::string& Name, const std::string& Content) {
    const std::string path = test::TempPrefix() + "/" + Name;
    test::WriteNative(path, Content);
    return path;
}

TEST(FileUpdate, AFileChangedByAnotherProgramIsNotReplaced) {
    struct TCase {
        const char* What;
        std::function<void(const std::string&)> Change;
        const char* Left; // the file as the other program left it; null: no file
    };
    const TCase cases[] = {
        {"same size, same inode",
         [](const std::string& f) { std::ofstream(f, std::ios::in | std::ios::binary) << "B"; },
         "Bne\n"},
        {"longer", [](const std::string& f) { std::ofstream(f, std::ios::app) << "two\n"; },
         "one\ntwo\n"},
        {"replaced by a rename",
         [](const std::string& f) {
             test::WriteNative(f + ".new", "editor\n");
             std::rename((f + ".new").c_str(), f.c_str());
         },
         "editor\n"},
        {"deleted", [](const std::string& f) { unlink(f.c_str()); }, nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        const std::string file = Write("U.pas", "one\n");
        TFileUpdate update(file);
        c.Change(file);
        update.Prepare("mine\n");
        EXPECT_EQ(test::ErrorOf([&] { update.Commit(); }),
                  "Cannot write file \"" + file +
                      "\": another program changed it while it was being edited; nothing was "
                      "written");
        if (c.Left)
            EXPECT_EQ(ReadFileText(file), c.Left);
        else
            EXPECT_FALSE(FileExists(file));
    }
}

TEST(FileUpdate, FilesWrittenAsOneAreAllReplacedOrAllKept) {
    const std::string form = Write("U.dfm", "form\r\n"), unit = Write("U.pas", "unit\r\n");
    {
        TFileUpdate first(form), second(unit);
        first.Prepare("new form\r\n");
        second.Prepare("new unit\r\n");
        test::WriteNative(unit, "edited elsewhere\r\n");
        EXPECT_NE(test::ErrorOf([&] { CommitAll({&first, &second}); }), "(no error)");
    }
    EXPECT_EQ(ReadFileText(form), "form\r\n") << "the first file is put back";
    EXPECT_EQ(ReadFileText(unit), "edited elsewhere\r\n");
    {
        TFileUpdate first(form), second(unit);
        first.Prepare("new form\r\n");
        second.Prepare("new unit\r\n");
        CommitAll({&first, &second});
    }
    EXPECT_EQ(ReadFileText(form), "new form\r\n");
    EXPECT_EQ(ReadFileText(unit), "new unit\r\n");
}

} // namespace
} // namespace kolva
