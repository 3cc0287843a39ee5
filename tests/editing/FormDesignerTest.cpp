#include "editing/FormDesigner.h"

#include "support/EngineFixture.h"
#include "support/FormSample.h"

#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace kolva {
namespace {

using TReplacements = std::vector<std::pair<std::string, std::string>>;

// Text with every occurrence of each Old replaced; an Old that does not occur is a fault of
// the test.
std::string Replaced(std::string Text, const TReplacements& Replacements) {
    for (const auto& [old, with] : Replacements) {
        size_t at = Text.find(old);
        EXPECT_NE(at, std::string::npos) << old;
        for (; at != std::string::npos; at = Text.find(old, at + with.size()))
            Text.replace(at, old.size(), with);
    }
    return Text;
}

class FormDesignerTest : public test::TEngineTest {
protected:
    FormDesignerTest() { Load(test::MainUnitPas); }

    // Both texts as expected, the unit still compiles, and undo gives the unit back.
    void Expect(const TReplacements& Unit, const TReplacements& Form) {
        EXPECT_EQ(Text(), Replaced(test::MainUnitPas, Unit));
        EXPECT_EQ(Designer.Text(), Replaced(test::MainFormDfm, Form));
        EXPECT_TRUE(Designer.Modified());
        EXPECT_TRUE(Compiles("MainUnit"));
        ExpectUndoRestores();
    }

    TFormFileDesigner Designer{TFormFile(test::MainFormDfm), Editor};
};

TEST_F(FormDesignerTest, AnswersFromTheFormFile) {
    const struct {
        std::function<bool(TFormFileDesigner&)> Ask;
        bool Answer;
    } cases[] = {
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
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].Ask(Designer), cases[i].Answer) << "case " << i;
    Designer.SelectComponent("TOtherForm", "NameEdit");
    EXPECT_EQ(Designer.Selection(), "");
    Designer.SelectComponent("TMainForm", "nameedit");
    EXPECT_EQ(Designer.Selection(), "NameEdit");
    Designer.SelectRoot("TMainForm");
    EXPECT_EQ(Designer.Selection(), "MainForm");
    EXPECT_FALSE(Designer.Modified());
}

TEST_F(FormDesignerTest, RenamesAComponentItsReferencesAndItsField) {
    ASSERT_TRUE(Designer.RenameComponent("TMainForm", "NameEdit", "CustomerEdit"));
    Expect({{"    NameEdit: TEdit;", "    CustomerEdit: TEdit;"}},
           {{"= NameEdit\n", "= CustomerEdit\n"}, {"object NameEdit:", "object CustomerEdit:"}});
}

TEST_F(FormDesignerTest, RenamesAComponentInAFieldList) {
    ASSERT_TRUE(
        Designer.RenameComponent("TMainForm", "OkButton, CancelButton", "OkButton, CloseButton"));
    Expect({{"OkButton, CancelButton:", "OkButton, CloseButton:"}},
           {{"object CancelButton:", "object CloseButton:"}});
}

TEST_F(FormDesignerTest, RenamesAnEventHandlerWithBothItsBindings) {
    ASSERT_TRUE(Designer.RenameEventHandler("TMainForm", "NameEditChange", "CustomerChanged"));
    Expect({{"NameEditChange(", "CustomerChanged("}},
           {{"= NameEditChange\n", "= CustomerChanged\n"}});
}

// As a designer deletes a panel with the controls on it: their blocks, their fields and the
// references to them go; their event handlers stay in the unit.
TEST_F(FormDesignerTest, DeletesComponentsWithWhatIsInsideThem) {
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
    const struct {
        const char* Name;
        TReplacements Unit, Form;
    } cases[] = {
        {"TopPanel",
         {{"    TopPanel: TPanel;\n    NameLabel: TLabel;\n    NameEdit: TEdit;\n", ""}},
         {{topPanel, ""}, {"  ActiveControl = NameEdit\n", ""}}},
        {"cancelbutton", {{"OkButton, CancelButton:", "OkButton:"}}, {{cancelButton, ""}}},
        {"OkButton, CancelButton",
         {{"    OkButton, CancelButton: TButton;\n", ""}},
         {{okButton + cancelButton, ""}}},
    };
    for (const auto& c : cases) {
        Load(test::MainUnitPas);
        TFormFileDesigner designer(TFormFile(test::MainFormDfm), Editor);
        ASSERT_TRUE(designer.DeleteComponent("TMainForm", c.Name)) << c.Name;
        EXPECT_EQ(Text(), Replaced(test::MainUnitPas, c.Unit)) << c.Name;
        EXPECT_EQ(designer.Text(), Replaced(test::MainFormDfm, c.Form)) << c.Name;
        EXPECT_TRUE(Compiles("MainUnit")) << c.Name;
        ExpectUndoRestores();
    }
}

TEST_F(FormDesignerTest, RenamesTheClassAndNamesTheRootAfterIt) {
    ASSERT_TRUE(Designer.RenameClass("TMainForm", "TOrderForm"));
    Expect({{"TMainForm", "TOrderForm"}, {"  MainForm: TOrderForm;", "  OrderForm: TOrderForm;"}},
           {{"object MainForm: TMainForm", "object OrderForm: TOrderForm"}});
}

TEST_F(FormDesignerTest, RenamesTheClassAfterTheCallerRenamedItsHeading) {
    {
        TModuleEditor::TEdit edit(Editor, false);
        TCodeItem& form = Find("TMainForm");
        form.Name = "TOrderForm";
        Editor.UpdateDeclaration(&form);
        ASSERT_TRUE(Designer.RenameClass("TMainForm", "TOrderForm"));
    }
    Expect({{"TMainForm", "TOrderForm"}, {"  MainForm: TOrderForm;", "  OrderForm: TOrderForm;"}},
           {{"object MainForm: TMainForm", "object OrderForm: TOrderForm"}});
}

// Refused operations change neither text.
TEST_F(FormDesignerTest, RefusesWithoutChangingAnything) {
    const struct {
        std::function<bool(TFormFileDesigner&)> Run;
        const char* Error; // null: answers false
    } cases[] = {
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
    for (size_t i = 0; i < std::size(cases); ++i) {
        if (cases[i].Error) {
            try {
                cases[i].Run(Designer);
                ADD_FAILURE() << "no error in case " << i;
            } catch (const Exception& E) {
                EXPECT_EQ(E.Message(), cases[i].Error);
            }
        } else {
            EXPECT_FALSE(cases[i].Run(Designer)) << "case " << i;
        }
        EXPECT_EQ(Text(), test::MainUnitPas) << "case " << i;
        EXPECT_EQ(Designer.Text(), test::MainFormDfm) << "case " << i;
    }
    EXPECT_FALSE(Designer.Modified());
}

// Rewriting these declarations would lose the code beside them.
TEST_F(FormDesignerTest, LeavesDeclarationsSharingTheirLinesAlone) {
    const struct {
        TReplacements Unit;
        std::function<bool(TFormFileDesigner&)> Run;
        const char* Error;
    } cases[] = {
        {{{"    NameLabel: TLabel;\n    NameEdit: TEdit;",
           "    NameLabel: TLabel; NameEdit: TEdit;"}},
         [](auto& D) { return D.RenameComponent("TMainForm", "NameEdit", "CustomerEdit"); },
         "Cannot perform operation on bad formatted item NameEdit"},
        {{{"OkButtonClick(Sender: TObject);\nbegin", "OkButtonClick(Sender: TObject); begin"}},
         [](auto& D) { return D.RenameEventHandler("TMainForm", "OkButtonClick", "Confirm"); },
         "Cannot perform operation on bad formatted item OkButtonClick"},
    };
    for (const auto& c : cases) {
        Load(Replaced(test::MainUnitPas, c.Unit));
        TFormFileDesigner designer(TFormFile(test::MainFormDfm), Editor);
        try {
            c.Run(designer);
            ADD_FAILURE() << "no error for " << c.Error;
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(), c.Error);
        }
        EXPECT_EQ(Text(), Original);
        EXPECT_FALSE(designer.Modified());
    }
}

TEST_F(FormDesignerTest, KeepsComponentsOfAnAncestorForm) {
    TFormFileDesigner designer(TFormFile("inherited MainForm: TMainForm\n"
                                         "  inherited OkButton: TButton\n"
                                         "  end\n"
                                         "end\n"),
                               Editor);
    EXPECT_TRUE(designer.IsComponent("TMainForm", "OkButton"));
    EXPECT_THROW(designer.DeleteComponent("TMainForm", "OkButton"), Exception);
    EXPECT_THROW(designer.RenameComponent("TMainForm", "OkButton", "Ok"), Exception);
    EXPECT_EQ(Text(), test::MainUnitPas);
    EXPECT_FALSE(designer.Modified());
}

} // namespace
} // namespace kolva
