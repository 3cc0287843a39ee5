#include "editing/Prefs.h"

#include "editing/ModuleEditors.h"
#include "model/DataTyp.h"
#include "platform/Registry.h"
#include "support/SettingsReset.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

std::string StoredText(TObject& Obj) {
    TRegistry reg;
    EXPECT_TRUE(reg.OpenKey("Software\\Test", true));
    SaveProperties(Obj, reg);
    TStringList names;
    reg.GetValueNames(names);
    std::string text;
    for (int i = 0; i < names.Count(); ++i)
        text += names[i] + "=" + reg.ReadString(names[i]) + "\n";
    reg.CloseKey();
    reg.DeleteKey("Software\\Test");
    return text;
}

TEST(Preferences, ConstructorValuesAndTheStoreRestriction) {
    TPreferences prefs;
    EXPECT_EQ(StoredText(prefs), "AccessVisibility=scPrivate\n"
                                 "ApplyPropCats=False\n"
                                 "DefaultReadAccess=rwField\n"
                                 "DefaultWriteAccess=rwField\n"
                                 "EventDispatchBinding=bkStatic\n"
                                 "EventDispatchPrefix=\n"
                                 "EventDispatchVisibility=scProtected\n"
                                 "IntfCallConvention=ccStdCall\n"
                                 "PropConstParamMode=cpSmart\n"
                                 "ReadMethodPrefix=Get\n"
                                 "SmartConsts=True\n"
                                 "StateFieldPrefix=F\n"
                                 "StateFieldVisibility=scPrivate\n"
                                 "UpcaseString=False\n"
                                 "WriteMethodPrefix=Set\n");
    prefs.SetRestrictStore(true);
    EXPECT_EQ(StoredText(prefs), "AccessVisibility=scPrivate\n"
                                 "DefaultReadAccess=rwField\n"
                                 "DefaultWriteAccess=rwField\n"
                                 "IntfCallConvention=ccStdCall\n"
                                 "PropConstParamMode=cpSmart\n"
                                 "ReadMethodPrefix=Get\n"
                                 "StateFieldPrefix=F\n"
                                 "StateFieldVisibility=scPrivate\n"
                                 "UpcaseString=False\n"
                                 "WriteMethodPrefix=Set\n");
}

TEST(Preferences, TheAccessSubrange) {
    TPreferences prefs;
    TObjectAccess access(&prefs);
    int index;
    ASSERT_TRUE(access.FindProp("DefaultWriteAccess", index));
    access.SetValueAsString(index, "rwCustom"); // outside the subrange: not a value
    EXPECT_EQ(prefs.DefaultWriteAccess(), rwField);
}

TEST(Preferences, UpcaseStringNamesTheStringType) {
    test::TSettingsReset reset;
    EXPECT_EQ(DataTypeName(dtString), "string");
    TPreferences copy;
    copy.SetUpcaseString(true);
    EXPECT_EQ(DataTypeName(dtString), "string") << "only the user's preferences count";
    Preferences().SetUpcaseString(true);
    EXPECT_EQ(DataTypeName(dtString), "String");
    Preferences().SetUpcaseString(false);
    EXPECT_EQ(DataTypeName(dtString), "string");
}

TEST(ModuleEditorOptions, SettersClampIntoTheirRanges) {
    struct TCase {
        void (TModuleEditorOptions::*Set)(int32_t);
        int32_t (TModuleEditorOptions::*Get)() const;
        int32_t In, Out;
    };
    using T = TModuleEditorOptions;
    const TCase cases[] = {
        {&T::SetWrapMargin, &T::WrapMargin, 20, 40},
        {&T::SetWrapMargin, &T::WrapMargin, 129, 128},
        {&T::SetWrapMargin, &T::WrapMargin, 100, 100},
        {&T::SetBlockIndention, &T::BlockIndention, 0, 1},
        {&T::SetBlockIndention, &T::BlockIndention, 13, 12},
        {&T::SetWrapIndention, &T::WrapIndention, -1, 0},
        {&T::SetWrapIndention, &T::WrapIndention, 21, 20},
    };
    for (const TCase& c : cases) {
        TModuleEditorOptions options;
        (options.*c.Set)(c.In);
        EXPECT_EQ((options.*c.Get)(), c.Out) << c.In;
    }
    TModuleEditorOptions defaults;
    EXPECT_EQ(StoredText(defaults), "BlockIndention=2\nWrapIndention=4\nWrapMargin=80\n");
}

TEST(ModuleEditorOptions, FreeingTheGlobalInstanceMakesRoomForANewOne) {
    test::TSettingsReset reset;
    ModuleEditorOptions().SetBlockIndention(5);
    delete &ModuleEditorOptions();
    EXPECT_EQ(ModuleEditorOptions().BlockIndention(), 2);
}

} // namespace
} // namespace kolva
