#include "templates/CTemplateReg.h"

#include "foundation/FileUtil.h"
#include "platform/Registry.h"
#include "settings/KolvaReg.h"
#include "support/Raised.h"
#include "support/ScriptedDialogs.h"

#include <memory>
#include <utility>

#include <gtest/gtest.h>

namespace kolva {
namespace {

void WriteValue(HKEY Root, const std::string& Key, const char* Name, const std::string& Value) {
    TRegistry reg(Root);
    ASSERT_TRUE(reg.OpenKey(Key, true));
    reg.WriteString(Name, Value);
}

// The observer's calls and the message boxes, each in order.
class CTemplateRegTest : public testing::Test {
protected:
    CTemplateRegTest() {
        Observer.OnTemplateAdded = [this](auto& F, auto& N, auto& P) {
            Log += "added " + N + " " + F + " [" + P + "]\n";
        };
        Observer.OnTemplateRemoved = [this](auto& N) { Log += "removed " + N + "\n"; };
    }
    std::string Boxes() {
        std::string text;
        for (const std::string& box : std::exchange(Dialogs.Texts, {}))
            text += box + "\n";
        return text;
    }
    std::string Value(const std::string& Name) {
        TRegistry reg;
        return reg.OpenKeyReadOnly(Registry.GetRegKey()) ? reg.ReadString(Name) : "(no key)";
    }

    test::TScriptedDialogs Dialogs;
    TCodeTemplateRegistry Registry;
    TCTRegObserver Observer{Registry};
    std::string Log;
};

TEST_F(CTemplateRegTest, KeyAndFolderFallBackAndAreKeptUntilReset) {
    EXPECT_EQ(Registry.GetRegKey(), "Software\\Fernwright\\Shared\\Templates");
    WriteValue(HKEY_CURRENT_USER, FWRegKey(5) + "\\Templates", "x", "y");
    Registry.ResetCache();
    EXPECT_EQ(Registry.GetRegKey(), "Software\\Tovr\\Fernwright\\5.0\\Templates");
    WriteValue(HKEY_LOCAL_MACHINE, SharedTemplatesKey, "RegKey", "Software\\Mine");
    EXPECT_EQ(Registry.GetRegKey(), "Software\\Tovr\\Fernwright\\5.0\\Templates");
    Registry.ResetCache();
    EXPECT_EQ(Registry.GetRegKey(), "Software\\Mine"); // taken as it stands

    EXPECT_EQ(DefaultTemplateDir("C:\\Tools\\Bin\\"), "");
    ASSERT_TRUE(ForceDirectories("C:\\Tools\\Template") && ForceDirectories("C:\\A\\Template"));
    for (const auto& [folder, dir] : {std::pair{"C:\\Tools\\Bin\\", "C:\\Tools\\Template"},
                                      {"C:\\Tools\\bin\\x\\", "C:\\Tools\\Template"},
                                      {"C:\\A\\", "C:\\A\\Template"},
                                      {"C:\\A\\Binary\\", ""}})
        EXPECT_EQ(DefaultTemplateDir(folder), dir) << folder;
    EXPECT_EQ(Registry.GetRootDir(), DefaultTemplateDir(ProgramFolder()));
    WriteValue(HKEY_LOCAL_MACHINE, SharedTemplatesKey, "RootDir", "C:\\Shared");
    Registry.ResetCache();
    EXPECT_EQ(Registry.GetRootDir(), "C:\\Shared");
}

TEST_F(CTemplateRegTest, AddingNamesTheTemplateAfterItsFileAndQuotesWhatNeedsIt) {
    ASSERT_TRUE(ForceDirectories("C:\\T"));
    WriteFileText("C:\\T\\With Image.bmp", "BM");
    Registry.AddTemplate("C:\\T\\Loop.pas", "  ", "Loops");
    Registry.AddTemplate("C:\\T\\With Image.pas", " Framed ", "");
    EXPECT_EQ(Log, "added Loop C:\\T\\Loop.pas [Loops]\nadded Framed C:\\T\\With Image.pas []\n");
    EXPECT_EQ(Boxes(), "Template Loop has been added to the palette\r"
                       "To replace the default image, create bitmap\rC:\\T\\Loop.bmp\n"
                       "Template Framed has been added to the palette\n");
    EXPECT_EQ(Value("Loop"), "C:\\T\\Loop.pas,Loops");
    EXPECT_EQ(Value("Framed"), "\"C:\\T\\With Image.pas\",\"\"");
    std::string file = "?", page = "?";
    EXPECT_TRUE(Registry.ReadTemplate("FRAMED", file, page));
    EXPECT_EQ(file + "|" + page, "C:\\T\\With Image.pas|");
    EXPECT_EQ(test::ErrorOf([&] { Registry.AddTemplate("C:\\T\\", "", "x"); }),
              "Undefined Template is not registered");
}

TEST_F(CTemplateRegTest, ReplacingAsksAndCancelChangesNothing) {
    Registry.WriteTemplate("C:\\Old.pas", "Loop", "A");
    EXPECT_THROW(Registry.AddTemplate("C:\\New.pas", "loop", "B"), EAbort);
    EXPECT_EQ(Boxes(), "A template named loop already exists. Replace?\n");
    EXPECT_EQ(Value("Loop"), "C:\\Old.pas,A");
    Dialogs.Answers = {mrOk};
    Registry.AddTemplate("C:\\New.pas", "loop", "B");
    Registry.Silent = true;
    EXPECT_THROW(Registry.AddTemplate("C:\\Other.pas", "Loop", ""), EAbort);
    Registry.AddTemplate("C:\\Quiet.pas", "", "");
    EXPECT_EQ(Log, "added Loop C:\\Old.pas [A]\nremoved loop\nadded loop C:\\New.pas [B]\n"
                   "added Quiet C:\\Quiet.pas []\n");
    EXPECT_EQ(Boxes(), "A template named loop already exists. Replace?\n"
                       "Template loop has been added to the palette\r"
                       "To replace the default image, create bitmap\rC:\\New.bmp\n");
}

TEST_F(CTemplateRegTest, PagesComeOnceEachSpelledAsMetFirst) {
    for (const auto& [name, page] : {std::pair{"A", "Templates"},
                                     {"B", "Classes"},
                                     {"C", "templates"},
                                     {"D", ""},
                                     {"E", "CLASSES"}})
        Registry.WriteTemplate(std::string("C:\\") + name + ".pas", name, page);
    WriteValue(HKEY_CURRENT_USER, Registry.GetRegKey(), "F", ""); // no item: not readable
    TStringList pages, names;
    Registry.GetPages(pages);
    Registry.GetTemplateNames(names);
    EXPECT_EQ(pages.CommaText() + " " + names.CommaText(), "Templates,Classes,\"\" A,B,C,D,E,F");
}

TEST_F(CTemplateRegTest, ObserversAreToldOnceEachWhileTheyLive) {
    Registry.AddObserver(Observer);     // a second add is ignored
    Registry.DeleteTemplate("Missing"); // told even when there was nothing to delete
    {
        TCTRegObserver second(Registry);
        second.OnTemplateRemoved = [this](auto& N) { Log += "second " + N + "\n"; };
        Registry.DeleteTemplate("X");
    }
    Registry.DeleteTemplate("Y");
    EXPECT_EQ(Log, "removed Missing\nremoved X\nsecond X\nremoved Y\n");
    auto registry = std::make_unique<TCodeTemplateRegistry>();
    TCTRegObserver orphan(*registry);
    registry.reset(); // the observer outlives its registry and leaves quietly
}

} // namespace
} // namespace kolva
