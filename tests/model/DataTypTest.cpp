#include "model/DataTyp.h"

#include "model/FWEngineDefs.h"
#include "model/Tokenizers.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

// Stored settings and the parser's tables hold these ordinals.
static_assert(scAutomated == 5 && bkMessage == 5 && ccFar == 7 && pkFunction == 3 &&
              rwCustom == 3 && ckMethodImpl == 15 && ckDispInterface == 10);

TEST(DataTypes, LookupAndTypeCodes) {
    EXPECT_EQ(DataTypeOf("STRING"), dtString);
    EXPECT_EQ(DataTypeOf("olevariant"), dtOLEVariant);
    EXPECT_EQ(DataTypeOf("TObject"), dtUserDefined);
    EXPECT_EQ(DataTypeOf("Class"), dtUserDefined) << "Class never matches by name";
    EXPECT_EQ(DataTypeOf("user defined"), dtUserDefined);
    EXPECT_EQ(TypeCode("shortint"), "I16");
    EXPECT_EQ(TypeCode("SmallInt"), "I8");
    EXPECT_EQ(TypeCode("class"), "Uclass");
    EXPECT_EQ(TypeCode("Void"), "");
    TStringList names;
    ListDataTypeNames({dtVoid, dtInteger, dtString}, names);
    EXPECT_EQ(names.Text(), "Integer\r\nstring\r\nVoid\r\n");
}

TEST(DataTypes, ChecksCarryTheirExactMessages) {
    const struct {
        bool Field;
        TDataType Type;
        const char* Error;
    } cases[] = {
        {true, dtInteger, "Publishing fields  of type Integer is not allowed"},
        {false, dtPointer, "Publishing  of type Pointer is not allowed"},
        {false, dtReal48, "Publishing  of type Real48 is not allowed"},
        {true, dtClass, "(no error)"},
        {true, dtUserDefined, "(no error)"},
        {false, dtInt64, "(no error)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(test::ErrorOf([&] { CheckPublishable(c.Field, c.Type); }), c.Error);
    EXPECT_NO_THROW(CheckAutomatable(dtWordBool));
    EXPECT_EQ(test::ErrorOf([] { CheckAutomatable(dtBoolean); }),
              "Automation of type Boolean is not allowed");
}

TEST(DataTypes, RecentlyUsedNamesAreBounded) {
    TStringList& recent = RecentTypeNames();
    recent.Clear();
    NoteTypeUsed(dtInteger, "Integer");
    EXPECT_EQ(recent.Count(), 0);
    NoteTypeUsed(dtUserDefined, "TFoo");
    NoteTypeUsed(dtUserDefined, "TBar");
    NoteTypeUsed(dtClass, "tfoo");
    EXPECT_EQ(recent.Text(), "tfoo\r\nTBar\r\n") << "one entry, in the newest spelling";
    for (int i = 0; i < MaxRecentTypes; ++i)
        NoteTypeUsed(dtUserDefined, "T" + IntToStr(i));
    EXPECT_EQ(recent.Count(), MaxRecentTypes);
    EXPECT_EQ(recent.IndexOf("TFoo"), -1) << "the oldest names fall out";
    EXPECT_EQ(recent[0], "T29");
    recent.Clear();
}

} // namespace
} // namespace kolva
