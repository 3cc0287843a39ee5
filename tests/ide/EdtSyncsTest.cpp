// The synchronisation engine on a hand-driven clock over the IDE stand-in: when the model is
// read again, the edit lock's refusals, engine operations written into a buffer as undoable
// steps with the form kept in step, and the notifiers' rules.
#include "ide/EdtSyncs.h"

#include "editing/DeclarationText.h"
#include "editing/KolvaEditors.h"
#include "foundation/Editable.h"
#include "host/DockFrame.h"
#include "host/EditWindow.h"
#include "host/HostIDE.h"
#include "ide/KolvaDesigner.h"
#include "model/ModuleExplorer.h"
#include "platform/Files.h"
#include "platform/SysUtils.h"
#include "support/EngineForm.h"
#include "support/FormSample.h"
#include "support/ManualClock.h"
#include "support/ScriptedDialogs.h"
#include "support/SettingsReset.h"
#include "support/TempPrefix.h"

#include <map>
#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <regex>

#include <gtest/gtest.h>

namespace kolva::test {
namespace {

/// The explorer's side: reads through the engine's editor and parses.
struct TTestExplorer final : TSyncExplorer {
    explicit TTestExplorer(TKOLVASyncEngine& Engine) : Engine(Engine) {}
    void ReadSource() override {
        ++Reads;
        Engine.Editor().GetSource(Source, FileName);
        Model.Parse(&Source);
    }
    void SetOutOfStep(bool) override {}
    void BeginParserUpdate() override { Model.BeginUpdate(); }
    void EndParserUpdate() override { Model.EndUpdate(); }
    TKOLVASyncEngine& Engine;
    TModuleExplorer Model;
    TStringList Source;
    std::string FileName;
    int Reads = 0;
};

using TTestForm = TEngineForm;

/// A module the IDE reports under another file name, as right after opening a unit that is
/// shown as form text; it counts removed notifiers.
struct TFakeModule final : TInterfacedObject, IOTAModule {
    explicit TFakeModule(std::string Name) : Name(std::move(Name)) {}
    KOLVA_IMPLEMENT_REFCOUNT
    std::string GetFileName() noexcept override { return Name; }
    int GetModuleFileCount() noexcept override { return 0; }
    TIntf<IOTAEditor> GetModuleFileEditor(int) noexcept override { return {}; }
    int AddNotifier(IOTAModuleNotifier*) noexcept override { return -1; }
    void RemoveNotifier(int) noexcept override { ++Removes; }
    std::string Name;
    int Removes = 0;
};

/// The field dialog, answered.
struct TFieldAnswer final : TFWEditor {
    explicit TFieldAnswer(TEditable& Entity) : TFWEditor(Entity), Field(As<TCodeItem>(Entity)) {}
    bool Execute() override {
        ReadDeclaration(Field, "FCount: Integer;");
        Field.Visibility = scPrivate;
        return true;
    }
    TCodeItem& Field;
};

std::string Crlf(const std::string& Text) {
    return std::regex_replace(Text, std::regex("\n"), "\r\n");
}

class EdtSyncsTest : public testing::Test {
protected:
    EdtSyncsTest() {
        UnitPath = TempPrefix() + "/src/Main.pas";
        WriteNative(UnitPath, MainUnitPas);
        WriteNative(TempPrefix() + "/src/Main.dfm", MainFormDfm);
        WriteNative(TempPrefix() + "/src/Other.pas",
                    "unit Other;\ninterface\nimplementation\nend.\n");
        Module = IDE.OpenFile(UnitPath);
        IDE.Window().show();
        Engine = std::make_unique<TKOLVASyncEngine>(IDE);
        Explorer = std::make_unique<TTestExplorer>(*Engine);
        Engine->SetExplorer(Explorer.get());
        Form.Engine = Engine.get();
        IDE.DesktopServices().RegisterDesktopFormClass("KOLVAForm", &Form);
        IDE.DesktopServices().DockableForm("KOLVAForm")->Show();
        QCoreApplication::processEvents();
        Clock.Clock.Advance(1100);
    }
    ~EdtSyncsTest() override {
        Form.Engine = nullptr;
        for (auto& [name, frame] : IDE.DockFrames())
            frame->SetEvents({});
        Engine.reset();
    }
    TEditControl& Control() { return *Module->Buffer()->Control(); }
    void Type() { Control().insertAt("x", 0, 0); }
    TCodeItem& Member(const std::string& Class, const std::string& Name) {
        for (TCodeItem* type : Explorer->Model.Module().Children())
            if (type->Name == Class)
                for (TCodeItem* member : type->Children())
                    if (member->Name == Name) return *member;
        throw Exception("no member " + Name);
    }

    TManualClockScope Clock;
    TScriptedDialogs Dialogs;
    TSettingsReset Settings;
    THostIDE IDE;
    std::string UnitPath;
    TIntf<THostModule> Module;
    TTestForm Form;
    std::unique_ptr<TKOLVASyncEngine> Engine;
    std::unique_ptr<TTestExplorer> Explorer;
};

TEST_F(EdtSyncsTest, ReadsTheBufferAfterTheDelaysAndNeverWhileEditing) {
    ASSERT_EQ(Explorer->Reads, 1) << "shown: the front buffer after the change delay";
    EXPECT_FALSE(Engine->OutOfDate());
    EXPECT_EQ(Explorer->Source.Text(), Crlf(MainUnitPas));
    for (int key = 0; key < 3; ++key) {
        Type();
        Clock.Clock.Advance(500);
    }
    Clock.Clock.Advance(1500);
    EXPECT_EQ(Explorer->Reads, 1) << "every keystroke restarts the delay";
    Clock.Clock.Ticks(1);
    EXPECT_EQ(Explorer->Reads, 2);

    Engine->Synchronizer().BeginEdit(true);
    Engine->Synchronizer().BeginEdit(true);
    Type();
    Clock.Clock.Advance(2500);
    Engine->Synchronizer().EndEdit();
    EXPECT_TRUE(Engine->Synchronizer().IsEditing());
    EXPECT_EQ(Explorer->Reads, 2) << "no re-read while the lock is held";
    Engine->Synchronizer().EndEdit();
    EXPECT_EQ(Explorer->Reads, 3) << "the outermost EndEdit re-reads at once";
    EXPECT_FALSE(Engine->OutOfDate());
}

TEST_F(EdtSyncsTest, SyncOptionsChooseWhatMarksTheModelOutOfDate) {
    KOLVAOptions().SetSyncOptions({syManual});
    Type();
    Module->Save();
    EXPECT_FALSE(Engine->OutOfDate());
    KOLVAOptions().SetSyncOptions({syManual, syAfterSave});
    Type();
    EXPECT_FALSE(Engine->OutOfDate());
    Module->Save();
    EXPECT_TRUE(Engine->OutOfDate());
    KOLVAOptions().SetModifiedSyncDelay(300);
    EXPECT_EQ(Engine->ModifiedDelayTimer().Interval(), 300);
}

TEST_F(EdtSyncsTest, BeginEditRefusals) {
    IDE.OpenFile(TempPrefix() + "/src/Other.pas");
    EXPECT_THROW(Engine->Synchronizer().BeginEdit(false), EAbort) << "just switched: out of date";
    Clock.Clock.Advance(1100);
    EXPECT_NO_THROW(Engine->Synchronizer().BeginEdit(false));
    Engine->Synchronizer().EndEdit();

    IDE.Window().ShowTab(&Control());
    Clock.Clock.Advance(1100);
    Module->Buffer()->SetIsReadOnly(true);
    Dialogs.Answers = {mrCancel, mrOk};
    EXPECT_THROW(Engine->Synchronizer().BeginEdit(false), EAbort);
    EXPECT_TRUE(Module->Buffer()->IsReadOnly());
    EXPECT_EQ(Engine->LockCount(), 0);
    EXPECT_EQ(Engine->Synchronizer().BeginEdit(false).Text(), Crlf(MainUnitPas));
    EXPECT_FALSE(Module->Buffer()->IsReadOnly());
    Engine->Synchronizer().EndEdit();
    EXPECT_EQ(Dialogs.Texts, std::vector<std::string>(2, ReadOnlyQuestion));
}

TEST_F(EdtSyncsTest, EngineOperationsChangeTheBufferAsUndoableSteps) {
    TKolvaEditor editor(Explorer->Model, &Engine->Synchronizer(), &Engine->Designer());
    TFWEditorClass dialog{"TFieldDialog", 22, [](TEditable& Item) -> std::unique_ptr<TFWEditor> {
                              return std::make_unique<TFieldAnswer>(Item);
                          }};
    EditorFactory().RegisterEditor(dialog);
    ASSERT_TRUE(editor.AddField(static_cast<TClassItem&>(*Member("TMainForm", "Reset").Parent())));
    EditorFactory().UnregisterEditor(dialog);
    EXPECT_EQ(Explorer->Reads, 2) << "parsed again right after the edit";
    editor.RenameMember(Member("TMainForm", "Reset"), "Clear");
    editor.RenameMember(Member("TMainForm", "NameEdit"), "CustomerEdit");
    editor.RenameMember(Member("TMainForm", "NameEditChange"), "CustomerChange");

    std::string unit = std::regex_replace(
        MainUnitPas, std::regex("(procedure (TMainForm\\.)?)Reset;"), "$1Clear;");
    unit = std::regex_replace(unit, std::regex("\\bNameEdit(Change)?\\b"), "Customer$1");
    unit = std::regex_replace(unit, std::regex("\\bCustomer\\b"), "CustomerEdit");
    unit = std::regex_replace(unit, std::regex("FChanged: Boolean;\n"), "$&    FCount: Integer;\n");
    EXPECT_EQ(Control().Bytes(), Crlf(unit));
    EXPECT_EQ(ReadFileText(UnitPath), MainUnitPas) << "the buffer changes, not the file";
    std::string form = Module->Form()->Form().Text();
    EXPECT_NE(form.find("object CustomerEdit: TEdit"), std::string::npos);
    EXPECT_NE(form.find("OnChange = CustomerChange"), std::string::npos);
    EXPECT_EQ(Explorer->Source.Text(), Control().Bytes()) << "the model is the buffer's";
    EXPECT_EQ(Explorer->Source[Member("TMainForm", "FCount").StartLine], "    FCount: Integer;");

    editor.SetDesignerRestrictions({});
    Dialogs.Answers = {mrOk, mrOk};
    ASSERT_TRUE(editor.DeleteMember(Member("TMainForm", "OkButtonClick")));
    ASSERT_TRUE(editor.DeleteMember(Member("TMainForm", "Images")));
    for (const std::string& text : {Control().Bytes(), Module->Form()->Form().Text()})
        EXPECT_TRUE(text.find("OkButtonClick") == text.npos && text.find("Images") == text.npos);
    EXPECT_EQ(Explorer->Source.Text(), Control().Bytes());

    int steps = 0;
    for (; Control().isUndoAvailable(); ++steps)
        Control().undo();
    // The field's line inserted; two lines renamed, each deleted and inserted; the handler's
    // two places deleted; three designer operations: one step each.
    EXPECT_EQ(steps, 10);
    EXPECT_EQ(Control().Bytes(), Crlf(MainUnitPas));
}

TEST_F(EdtSyncsTest, FollowsTheEditWindowItIsDockedIntoAndNothingWhileHidden) {
    auto* locate = new QAction("Locate", IDE.Window().ActionList());
    locate->setObjectName("SyncKolvaExplorerAction");
    TDockFrame& frame = *IDE.DockFrames().at("KOLVAForm");
    EXPECT_EQ(Engine->TrackedEditWindow(), &IDE.Window());
    frame.SetFloating(true);
    EXPECT_EQ(Engine->TrackedEditWindow(), nullptr);
    EXPECT_EQ(Engine->CurrentBuffer().Get(), Module->Buffer().Get()) << "the front buffer stays";
    for (int dock = 0; dock < 2; ++dock) {
        frame.SetFloating(false);
        frame.SetFloating(dock == 0);
    }
    auto* menu = IDE.Window().findChild<QMenu*>("EditorLocalMenu");
    EXPECT_EQ(menu->findChildren<QAction*>("SyncKolvaExplorerActionItem").size(), 1);
    frame.Hide();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Engine->CurrentBuffer());
    EXPECT_TRUE(Engine->OutOfDate());
}

TEST_F(EdtSyncsTest, NotifiersFollowOpenedAndClosedUnits) {
    EXPECT_EQ(Engine->EditorNotifiers().size(), 1u) << "the form editor is not an edit buffer";
    EXPECT_EQ(Engine->ModuleNotifiers().size(), 1u);
    EXPECT_TRUE(Engine->CurrentDesigner());
    std::vector<TIntf<TOTANotifier>> kept(Engine->EditorNotifiers().begin(),
                                          Engine->EditorNotifiers().end());
    IDE.CloseModule(*Module);
    EXPECT_FALSE(Engine->CurrentBuffer()) << "follows nothing until another view is activated";
    EXPECT_TRUE(Engine->EditorNotifiers().empty() && Engine->ModuleNotifiers().empty());
    EXPECT_FALSE(kept[0]->Attached());
    IDE.OpenFile(TempPrefix() + "/src/Other.pas");
    EXPECT_EQ(Engine->CurrentBuffer()->GetFileName(), IDE.FrontModule()->GetFileName());
    kept.assign(Engine->ModuleNotifiers().begin(), Engine->ModuleNotifiers().end());
    Engine.reset();
    EXPECT_FALSE(kept[0]->Attached()) << "the engine detaches its notifiers as it goes";

    TIntf<TFakeModule> fake(new TFakeModule("X.pas"));
    TIntf<TOTAModuleNotifier> never(new TOTAModuleNotifier(fake));
    never->Register();
    never->Detach();
    EXPECT_EQ(never->Index(), -1);
    EXPECT_EQ(fake->Removes, 0) << "a notifier never registered is not unregistered";
}

/// Tool services whose module services report some files under their form text's name.
struct TFormTextServices final : TIToolServices, IOTAModuleServices {
    explicit TFormTextServices(THostIDE& IDE) : IDE(IDE) {}
    void AddRef() noexcept override {}
    void Release() noexcept override {}
    QWidget* GetParentHandle() noexcept override { return IDE.GetParentHandle(); }
    IOTAServices& Services() noexcept override { return IDE.Services(); }
    IOTAModuleServices& ModuleServices() noexcept override { return *this; }
    IOTAEditorServices& EditorServices() noexcept override { return IDE.EditorServices(); }
    IOTAWizardServices& WizardServices() noexcept override { return IDE.WizardServices(); }
    INTAServices& NTAServices() noexcept override { return IDE.NTAServices(); }
    INTADesktopServices& DesktopServices() noexcept override { return IDE.DesktopServices(); }
    TIntf<IOTAModule> FindModule(const std::string& Name) noexcept override {
        auto found = Reported.find(Name);
        if (found == Reported.end()) return IDE.ModuleServices().FindModule(Name);
        return TIntf<IOTAModule>(new TFakeModule(found->second));
    }
    int ModuleCount() noexcept override { return 0; }
    TIntf<IOTAModule> Modules(int) noexcept override { return {}; }
    THostIDE& IDE;
    std::map<std::string, std::string> Reported;
};

TEST_F(EdtSyncsTest, UnitsShownAsFormTextWaitUntilTheirNameIsReported) {
    TFormTextServices services(IDE);
    TKOLVASyncEngine engine(services);
    const std::string main = Module->GetFileName();
    services.Reported[main] = "Main.dfm";
    engine.FileOpened(main);
    EXPECT_EQ(engine.PendingFiles().Count(), 1);
    services.Reported.erase(main);
    Clock.Clock.Ticks(2);
    EXPECT_EQ(engine.PendingFiles().Count(), 0);
    EXPECT_EQ(engine.EditorNotifiers().size(), 2u) << "attached when reported as the unit";

    for (int count = 1; count <= 21; ++count) {
        std::string name = Format("C:\\u%d.pas", count);
        services.Reported[name] = "u.dfm";
        engine.FileOpened(name);
        Clock.Clock.Ticks(2);
        EXPECT_EQ(engine.PendingFiles().Count(), count <= 20 ? count : 0) << count;
    }
}

} // namespace
} // namespace kolva::test
