#include "editing/FormDesigner.h"

#include "editing/KolvaEditors.h"
#include "support/EngineFixture.h"
#include "support/FormSample.h"
#include "support/Raised.h"

#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using test::TReplacements;

// Every occurrence replaced: a class renamed everywhere.
std::string Replaced(const std::string& Text, const TReplacements& Replacements) {
    return test::Replaced(Text, Replacements, true);
}

class FormDesignerTest : public test::TEngineTest {
protected:
    FormDesignerTest() { Load(test::MainUnitPas); }

    TFormFileDesigner Designer{TFormFile(test::MainFormDfm), Editor};
};

using TRun = std::function<bool(TFormFileDesigner&)>;

TEST_F(FormDesignerTest, AnswersFromTheFormFile) {
    const std::pair<TRun, bool> cases[] = {
        {[](auto& D) { return D.IsDesignerClass("tmainform"); }, true},
        {[](auto& D) { return D.IsDesignerClass("TOtherForm"); }, false},
        {[](auto& D) { return D.IsComponent("TMainForm", "nameedit"); }, true},
        {[](auto& D) { return D.IsComponent("TMainForm", "OkButton, CancelButton"); }, true},
        {[](auto& D) { return D.IsComponent("TMainForm", "MainForm"); }, false},
        {[](auto& D) { return D.IsComponent("TMainForm", "FChanged"); }, false},
        {[](auto& D) { return D.IsComponent("TOtherForm", "NameEdit"); }, false},
        {[](auto& D) { return D.IsEventHandler("TMainForm", "NameEditChange"); }, true},
        {[](auto& D) { return D.IsEventHandler("TMainForm", "Reset"); }, false},
        {[](auto& D) { return D.IsEventHandler("TOtherForm", "FormCreate"); }, false},
    };
    for (const auto& [ask, answer] : cases)
        EXPECT_EQ(ask(Designer), answer) << "case " << &ask - &cases[0].first;
    Designer.SelectComponent("TOtherForm", "NameEdit");
    EXPECT_EQ(Designer.Selection(), "");
    Designer.SelectComponent("TMainForm", "nameedit");
    EXPECT_EQ(Designer.Selection(), "NameEdit");
    Designer.SelectRoot("TMainForm");
    EXPECT_EQ(Designer.Selection(), "MainForm");
    EXPECT_FALSE(Designer.Modified());
}

// Each operation edits both texts, the unit still compiles, and undo gives the unit back.
// Deleting a component goes as a designer deletes a panel with the controls on it: their
// blocks, their fields and the references to them go; their event handlers stay.
TEST_F(FormDesignerTest, EditsTheUnitAndTheFormTogether) {
    const std::string topPanel = R"(  object TopPanel: TPanel
    Align = alTop
    object NameLabel: TLabel
      Caption = 'Customer:'#13#10'(as invoiced)'
      FocusControl = NameEdit
    end
    object NameEdit: TEdit
      Hint = 'Printed on every invoice and ' +
        'on every reminder'
      OnChange = NameEditChange
      OnExit = NameEditChange
    end
  end
)";
    const std::string okButton =
        "  object OkButton: TButton\n    Caption = '&OK'\n    Default = True\n"
        "    OnClick = OkButtonClick\n  end\n";
    const std::string cancelButton =
        "  object CancelButton: TButton\n    Anchors = [akRight, akBottom]\n"
        "    ModalResult = 2\n  end\n";
    const TReplacements classUnit = {{"TMainForm", "TOrderForm"},
                                     {"  MainForm: TOrderForm;", "  OrderForm: TOrderForm;"}};
    const TReplacements classForm = {
        {"object MainForm: TMainForm", "object OrderForm: TOrderForm"}};
    const struct {
        TRun Run;
        TReplacements Unit, Form;
    } cases[] = {
        {[](auto& D) { return D.RenameComponent("TMainForm", "NameEdit", "CustomerEdit"); },
         {{"    NameEdit: TEdit;", "    CustomerEdit: TEdit;"}},
         {{"= NameEdit\n", "= CustomerEdit\n"}, {"object NameEdit:", "object CustomerEdit:"}}},
        {[](auto& D) {
             return D.RenameComponent("TMainForm", "OkButton, CancelButton",
                                      "OkButton, CloseButton");
         },
         {{"OkButton, CancelButton:", "OkButton, CloseButton:"}},
         {{"object CancelButton:", "object CloseButton:"}}},
        {[](auto& D) {
             return D.RenameEventHandler("TMainForm", "NameEditChange", "CustomerChanged");
         },
         {{"NameEditChange(", "CustomerChanged("}},
         {{"= NameEditChange\n", "= CustomerChanged\n"}}},
        {[](auto& D) { return D.RenameClass("TMainForm", "TOrderForm"); }, classUnit, classForm},
        // The same after the caller renamed the class heading.
        {[this](auto& D) {
             TModuleEditor::TEdit edit(Editor, false);
             TCodeItem& form = Find("TMainForm");
             form.Name = "TOrderForm";
             Editor.UpdateDeclaration(&form);
             const bool renamed = D.RenameClass("TMainForm", "TOrderForm");
             edit.Commit();
             return renamed;
         },
         classUnit, classForm},
        {[](auto& D) { return D.DeleteComponent("TMainForm", "TopPanel"); },
         {{"    TopPanel: TPanel;\n    NameLabel: TLabel;\n    NameEdit: TEdit;\n", ""}},
         {{topPanel, ""}, {"  ActiveControl = NameEdit\n", ""}}},
        {[](auto& D) { return D.DeleteComponent("TMainForm", "cancelbutton"); },
         {{"OkButton, CancelButton:", "OkButton:"}},
         {{cancelButton, ""}}},
        {[](auto& D) { return D.DeleteComponent("TMainForm", "OkButton, CancelButton"); },
         {{"    OkButton, CancelButton: TButton;\n", ""}},
         {{okButton + cancelButton, ""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Load(test::MainUnitPas);
        TFormFileDesigner designer(TFormFile(test::MainFormDfm), Editor);
        ASSERT_TRUE(c.Run(designer));
        EXPECT_EQ(Text(), Replaced(test::MainUnitPas, c.Unit));
        EXPECT_EQ(designer.Text(), Replaced(test::MainFormDfm, c.Form));
        EXPECT_TRUE(designer.Modified());
        EXPECT_TRUE(Compiles("MainUnit"));
        ExpectUndoRestores();
    }
}

// Refused operations change neither text.
TEST_F(FormDesignerTest, RefusesWithoutChangingAnything) {
    const std::pair<TRun, const char*> cases[] = {
        // the error, or null: answers false
        {[](auto& D) { return D.RenameComponent("TOtherForm", "NameEdit", "X"); }, nullptr},
        {[](auto& D) { return D.RenameComponent("TMainForm", "FChanged", "FDirty"); }, nullptr},
        {[](auto& D) { return D.RenameComponent("TMainForm", "NameEdit", "okbutton"); },
         "A component named okbutton already exists"},
        {[](auto& D) { return D.RenameComponent("TMainForm", "NameEdit", "Name Edit"); },
         "'Name Edit' is not a valid component name"},
        {[](auto& D) { return D.RenameEventHandler("TMainForm", "Missing", "Found"); }, nullptr},
        {[](auto& D) { return D.RenameEventHandler("TMainForm", "FormCreate", "RESET"); },
         "\"RESET\" already exists"},
        {[](auto& D) { return D.DeleteComponent("TMainForm", "MainForm"); }, nullptr},
        {[](auto& D) { return D.DeleteComponent("TOtherForm", "NameEdit"); }, nullptr},
        {[](auto& D) { return D.RenameClass("TOtherForm", "TNewForm"); }, nullptr},
        {[](auto& D) { return D.RenameClass("TMainForm", "T"); },
         "'' is not a valid component name"},
        {[](auto& D) { return D.RenameClass("TMainForm", "TImages"); },
         "A component named Images already exists"},
    };
    for (const auto& [run, error] : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &run - &cases[0].first);
        bool answer = true;
        EXPECT_EQ(test::ErrorOf([&] { answer = run(Designer); }), error ? error : "(no error)");
        EXPECT_TRUE(error || !answer);
        EXPECT_EQ(Text(), test::MainUnitPas);
        EXPECT_EQ(Designer.Text(), test::MainFormDfm);
    }
    EXPECT_FALSE(Designer.Modified());
}

// A rename replaces the name where it stands, so the code beside it stays; components of an
// ancestor form have their fields in another unit.
TEST_F(FormDesignerTest, KeepsTheCodeBesideWhatItRenames) {
    const std::string ancestor =
        "inherited MainForm: TMainForm\n  inherited OkButton: TButton\n  end\nend\n";
    const struct {
        TReplacements Unit;
        std::string Form;
        TRun Run;
        const char* Error; // null: done, with After applied to the unit and FormAfter to the form
        TReplacements After, FormAfter;
    } cases[] = {
        {{{"    NameLabel: TLabel;\n    NameEdit: TEdit;",
           "    NameLabel: TLabel; NameEdit: TEdit;"}},
         test::MainFormDfm,
         [](auto& D) { return D.RenameComponent("TMainForm", "NameEdit", "CustomerEdit"); },
         nullptr,
         {{"NameEdit: TEdit;", "CustomerEdit: TEdit;"}},
         {{"= NameEdit\n", "= CustomerEdit\n"}, {"object NameEdit:", "object CustomerEdit:"}}},
        {{{"OkButtonClick(Sender: TObject);\nbegin", "OkButtonClick(Sender: TObject); begin"}},
         test::MainFormDfm,
         [](auto& D) { return D.RenameEventHandler("TMainForm", "OkButtonClick", "Confirm"); },
         nullptr,
         {{"OkButtonClick(", "Confirm("}},
         {{"= OkButtonClick\n", "= Confirm\n"}}},
        {{},
         ancestor,
         [](auto& D) { return D.DeleteComponent("TMainForm", "OkButton"); },
         "Component OkButton was introduced in an ancestor form and cannot be deleted",
         {},
         {}},
        {{},
         ancestor,
         [](auto& D) { return D.RenameComponent("TMainForm", "OkButton", "Ok"); },
         "Component OkButton was introduced in an ancestor form and cannot be renamed",
         {},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        Load(Replaced(test::MainUnitPas, c.Unit));
        TFormFileDesigner designer(TFormFile(c.Form), Editor);
        EXPECT_TRUE(designer.IsComponent("TMainForm", "OkButton"));
        EXPECT_EQ(test::ErrorOf([&] { c.Run(designer); }), c.Error ? c.Error : "(no error)");
        EXPECT_EQ(Text(), c.Error ? Original : Replaced(Original, c.After));
        EXPECT_EQ(designer.Text(), c.Error ? c.Form : Replaced(c.Form, c.FormAfter));
    }
}

// When the unit's edit is refused, the form stays as it was.
TEST_F(FormDesignerTest, TheFormFollowsARefusedEdit) {
    Load(Replaced(test::MainUnitPas,
                  {{"    NameEdit: TEdit;", "    NameEdit: TEdit; Extra: Integer;"}}));
    TFormFileDesigner designer(TFormFile(test::MainFormDfm), Editor);
    EXPECT_EQ(test::ErrorOf([&] { designer.DeleteComponent("TMainForm", "NameEdit"); }),
              "Cannot perform operation on bad formatted item NameEdit");
    EXPECT_EQ(Text(), Original);
    EXPECT_EQ(designer.Text(), test::MainFormDfm);
    EXPECT_EQ(Unit.UndoCount(), 0);
}

// A deleted handler takes the events bound to it along: a form naming a method that is gone
// does not load.
TEST_F(FormDesignerTest, ADeletedHandlerLeavesNoEventBoundToIt) {
    TKolvaEditor kolva(Explorer, &Unit, &Designer);
    kolva.SetDesignerRestrictions({});
    kolva.DeleteMethod(static_cast<TMethodItem&>(Find("TMainForm.NameEditChange")));
    EXPECT_EQ(Text().find("NameEditChange"), std::string::npos);
    EXPECT_EQ(Designer.Text(),
              Replaced(test::MainFormDfm, {{"      OnChange = NameEditChange\n", ""},
                                           {"      OnExit = NameEditChange\n", ""}}));
}

} // namespace
} // namespace kolva
