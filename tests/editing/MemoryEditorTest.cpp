#include "editing/MemoryEditor.h"

#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

TEST(MemoryEditor, EditsKeepListAndTextAlikeAndUndoRestoresThem) {
    TMemoryEditor unit("C:\\u.pas");
    unit.Text().SetText("1\n2\n3\n4\n5\n");
    const std::string before = unit.Text().Text();
    int reparsed = 0;
    unit.OnEditEnd = [&] { ++reparsed; };
    {
        TEditGuard edit(unit, false);
        unit.InsertLines(5, TStringList{"6", "7"});
        unit.DeleteLines(0, 1);
        EXPECT_EQ(edit.Lines().Text(), "2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n");
        EXPECT_THROW(unit.DeleteLines(5, 2), EListError);
        EXPECT_THROW(unit.InsertLines(7, TStringList{"x"}), EListError);
        edit.Close();
    }
    EXPECT_FALSE(unit.IsEditing());
    EXPECT_EQ(reparsed, 1);
    EXPECT_EQ(unit.UndoCount(), 2);
    while (unit.UndoCount() > 0)
        unit.Undo();
    EXPECT_EQ(unit.Text().Text(), before);
}

TEST(MemoryEditor, NestingAndRefusal) {
    TMemoryEditor unit;
    int reparsed = 0;
    unit.OnEditEnd = [&] { ++reparsed; };
    unit.BeginEdit(false);
    unit.BeginEdit(true);
    unit.EndEdit();
    EXPECT_TRUE(unit.IsEditing());
    EXPECT_EQ(reparsed, 0);
    unit.EndEdit();
    EXPECT_EQ(reparsed, 1);

    unit.ReadOnly = true;
    EXPECT_THROW(unit.BeginEdit(false), EAbort);
    EXPECT_NO_THROW(TEditGuard(unit, true));
    unit.Refuse = true;
    EXPECT_THROW(unit.BeginEdit(true), EAbort);
    EXPECT_FALSE(unit.IsEditing());
}

TEST(DesignerInterface, BaseHasNoDesigner) {
    TDesignerInterface base;
    EXPECT_TRUE(base.IsDesignerClass("TMainForm"));
    EXPECT_TRUE(base.IsDesignerClass("tmainFORM"));
    EXPECT_FALSE(base.IsDesignerClass("TForm"));
    EXPECT_FALSE(base.IsDesignerClass("XMainForm"));
    EXPECT_FALSE(base.IsDesignerClass("TMainForms"));
    EXPECT_FALSE(base.IsComponent("TMainForm", "Button1"));
    EXPECT_FALSE(base.RenameClass("TMainForm", "TOtherForm"));
    EXPECT_FALSE(base.DeleteComponent("TMainForm", "Button1"));
    EXPECT_FALSE(base.IsEventHandler("TMainForm", "Button1Click"));
}

} // namespace
} // namespace kolva
