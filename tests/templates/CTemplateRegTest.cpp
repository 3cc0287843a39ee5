#include "templates/CTemplateReg.h"

#include "foundation/FileUtil.h"
#include "platform/Files.h"
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

std::string ReadValue(const std::string& Key, const std::string& Name) {
    TRegistry reg;
    return reg.OpenKeyReadOnly(Key) ? reg.ReadString(Name) : "(no key)";
}

// The message boxes go into the same log as the observer calls.
class TLoggedDialogs : public test::TScriptedDialogs {
public:
    explicit TLoggedDialogs(std::string& Log) : FLog(Log) {}
    TModalResult MessageDlg(const std::string& Msg, TMsgDlgType Type,
                            TMsgDlgButtons Buttons) override {
        FLog += "box " + Msg + "\n";
        return TScriptedDialogs::MessageDlg(Msg, Type, Buttons);
    }

private:
    std::string& FLog;
};

// The observer calls and the message boxes, in order, as one text.
class CTemplateRegTest : public testing::Test {
protected:
    CTemplateRegTest() {
        Observer.OnTemplateAdded = [this](const std::string& F, const std::string& N,
                                          const std::string& P) {
            Log += "added " + N + " " + F + " [" + P + "]\n";
        };
        Observer.OnTemplateRemoved = [this](const std::string& N) { Log += "removed " + N + "\n"; };
    }
    std::string Events() { return std::exchange(Log, ""); }
    std::string Names() {
        TStringList names;
        Registry.GetTemplateNames(names);
        return names.CommaText();
    }

    std::string Log;
    TLoggedDialogs Dialogs{Log};
    TCodeTemplateRegistry Registry;
    TCTRegObserver Observer{Registry};
};

TEST_F(CTemplateRegTest, ListKeyFallsBackToTheSharedKeyAndIsKeptUntilReset) {
    EXPECT_EQ(Registry.GetRegKey(), "Software\\Fernwright\\Shared\\Templates");
    const std::string toolKey = FWRegKey(5) + "\\Templates";
    WriteValue(HKEY_CURRENT_USER, toolKey, "x", "y");
    EXPECT_EQ(Registry.GetRegKey(), "Software\\Fernwright\\Shared\\Templates");
    Registry.ResetCache();
    EXPECT_EQ(Registry.GetRegKey(), toolKey);
    WriteValue(HKEY_LOCAL_MACHINE, SharedTemplatesKey, "RegKey", "Software\\Mine");
    Registry.ResetCache();
    EXPECT_EQ(Registry.GetRegKey(), "Software\\Mine"); // taken as it stands
}

TEST_F(CTemplateRegTest, RootFolderIsTheRegisteredOneOrTheTemplateFolderBesideTheProgram) {
    EXPECT_EQ(DefaultTemplateDir("C:\\Tools\\Bin\\"), "");
    ASSERT_TRUE(ForceDirectories("C:\\Tools\\Template"));
    ASSERT_TRUE(ForceDirectories("C:\\Apps\\Template"));
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Tools\\Bin\\", "C:\\Tools\\Template"},
        {"C:\\Tools\\bin\\x\\", "C:\\Tools\\Template"},
        {"C:\\Apps\\", "C:\\Apps\\Template"},
        {"C:\\Apps\\Binary\\", ""},
    };
    for (const auto& [folder, dir] : cases)
        EXPECT_EQ(DefaultTemplateDir(folder), dir) << folder;
    WriteValue(HKEY_LOCAL_MACHINE, SharedTemplatesKey, "RootDir", "C:\\Shared\\Templates");
    EXPECT_EQ(Registry.GetRootDir(), "C:\\Shared\\Templates");
    WriteValue(HKEY_LOCAL_MACHINE, SharedTemplatesKey, "RootDir", "");
    EXPECT_EQ(Registry.GetRootDir(), "C:\\Shared\\Templates");
    Registry.ResetCache();
    EXPECT_EQ(Registry.GetRootDir(), DefaultTemplateDir(ProgramFolder()));
}

TEST_F(CTemplateRegTest, AddingNamesTheTemplateAfterItsFileAndQuotesWhatNeedsIt) {
    ASSERT_TRUE(ForceDirectories("C:\\T"));
    WriteFileText("C:\\T\\With Image.bmp", "BM");
    Registry.AddTemplate("C:\\T\\Loop.pas", "  ", "Loops");
    Registry.AddTemplate("C:\\T\\With Image.pas", " Framed ", "");
    EXPECT_EQ(Events(), "added Loop C:\\T\\Loop.pas [Loops]\n"
                        "box Template Loop has been added to the palette\r"
                        "To replace the default image, create bitmap\rC:\\T\\Loop.bmp\n"
                        "added Framed C:\\T\\With Image.pas []\n"
                        "box Template Framed has been added to the palette\n");
    const std::string key = Registry.GetRegKey();
    EXPECT_EQ(ReadValue(key, "Loop"), "C:\\T\\Loop.pas,Loops");
    EXPECT_EQ(ReadValue(key, "Framed"), "\"C:\\T\\With Image.pas\",\"\"");
    std::string file = "?", page = "?";
    EXPECT_TRUE(Registry.ReadTemplate("FRAMED", file, page));
    EXPECT_EQ(file + "|" + page, "C:\\T\\With Image.pas|");
    EXPECT_EQ(test::ErrorOf([&] { Registry.AddTemplate("C:\\T\\", "", "x"); }),
              "Undefined Template is not registered");
}

TEST_F(CTemplateRegTest, ReplacingAsksAndCancelChangesNothing) {
    Registry.WriteTemplate("C:\\Old.pas", "Loop", "A");
    Events();
    EXPECT_THROW(Registry.AddTemplate("C:\\New.pas", "loop", "B"), EAbort);
    EXPECT_EQ(Events(), "box A template named loop already exists. Replace?\n");
    EXPECT_EQ(ReadValue(Registry.GetRegKey(), "Loop"), "C:\\Old.pas,A");

    Dialogs.Answers = {mrOk};
    Registry.AddTemplate("C:\\New.pas", "loop", "B");
    EXPECT_EQ(Events(), "box A template named loop already exists. Replace?\n"
                        "removed loop\nadded loop C:\\New.pas [B]\n"
                        "box Template loop has been added to the palette\r"
                        "To replace the default image, create bitmap\rC:\\New.bmp\n");
    EXPECT_EQ(Names(), "loop");

    Registry.Silent = true;
    EXPECT_THROW(Registry.AddTemplate("C:\\Other.pas", "Loop", ""), EAbort);
    Registry.AddTemplate("C:\\Quiet.pas", "", "");
    EXPECT_EQ(Events(), "added Quiet C:\\Quiet.pas []\n");
}

TEST_F(CTemplateRegTest, PagesComeOnceEachSpelledAsMetFirst) {
    const char* rows[][2] = {
        {"A", "Templates"}, {"B", "Classes"}, {"C", "templates"}, {"D", ""}, {"E", "CLASSES"}};
    for (const auto& [name, page] : rows)
        Registry.WriteTemplate(std::string("C:\\") + name + ".pas", name, page);
    WriteValue(HKEY_CURRENT_USER, Registry.GetRegKey(), "F", ""); // no item: not readable
    TStringList pages;
    Registry.GetPages(pages);
    EXPECT_EQ(pages.CommaText(), "Templates,Classes,\"\"");
    EXPECT_EQ(Names(), "A,B,C,D,E,F");
}

TEST_F(CTemplateRegTest, ObserversAreToldOnceEachWhileTheyLive) {
    Registry.AddObserver(Observer);     // a second add is ignored
    Registry.DeleteTemplate("Missing"); // told even when there was nothing to delete
    {
        TCTRegObserver second(Registry);
        second.OnTemplateRemoved = [this](const std::string& N) { Log += "second " + N + "\n"; };
        Registry.DeleteTemplate("X");
    }
    Registry.DeleteTemplate("Y");
    EXPECT_EQ(Events(), "removed Missing\nremoved X\nsecond X\nremoved Y\n");
    auto registry = std::make_unique<TCodeTemplateRegistry>();
    TCTRegObserver orphan(*registry);
    registry.reset(); // the observer outlives its registry and leaves quietly
}

} // namespace
} // namespace kolva
