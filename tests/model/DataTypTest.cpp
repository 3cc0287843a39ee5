#include "model/DataTyp.h"

#include "model/FWEngineDefs.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace kolva {
namespace {

std::string ErrorOf(void (*check)(bool, TDataType), bool isField, TDataType type) {
    try {
        check(isField, type);
    } catch (const Exception& e) {
        return e.Message();
    }
    return "no error";
}

TEST(EngineDefs, OrdinalsAndKeywordsAreFixed) {
    // Stored settings hold these ordinals.
    EXPECT_EQ(scAutomated, 5);
    EXPECT_EQ(bkMessage, 5);
    EXPECT_EQ(ccFar, 7);
    EXPECT_EQ(pkFunction, 3);
    EXPECT_EQ(rwCustom, 3);
    EXPECT_EQ(ckMethodImpl, 15);
    EXPECT_EQ(ckDispInterface, 10);
    EXPECT_STREQ(KeywordText(scDefault), "default");
    EXPECT_STREQ(KeywordText(bkAbstract), "virtual");
    EXPECT_STREQ(KeywordText(ccCDecl), "cdecl");
    EXPECT_STREQ(KeywordText(pkConstructor), "constructor");
    EXPECT_STREQ(ClassKindText(ckDispInterface), "dispinterface");
    EXPECT_STREQ(ClassKindText(ckObject), "object");
}

TEST(DataTypes, TableAndLookup) {
    EXPECT_EQ(DataTypeCount, 36);
    EXPECT_EQ(DataTypeOf("STRING"), dtString);
    EXPECT_EQ(DataTypeOf("olevariant"), dtOLEVariant);
    EXPECT_EQ(DataTypeOf("TObject"), dtUserDefined);
    EXPECT_EQ(DataTypeOf("Class"), dtUserDefined) << "Class never matches by name";
    EXPECT_EQ(DataTypeOf("user defined"), dtUserDefined);
    EXPECT_EQ(DataTypeName(dtReal48), "Real48");
    EXPECT_EQ(DataTypeDescription(dtShortInt), "signed 8 bit");
    EXPECT_EQ(TypeCode("shortint"), "I16");
    EXPECT_EQ(TypeCode("SmallInt"), "I8");
    EXPECT_EQ(TypeCode("TObject"), "UTObject");
    EXPECT_EQ(TypeCode("class"), "Uclass");
    EXPECT_EQ(TypeCode("Void"), "");

    TStringList names;
    ListDataTypeNames({dtVoid, dtInteger, dtString}, names);
    EXPECT_EQ(names.Text(), "Integer\r\nstring\r\nVoid\r\n");
}

TEST(DataTypes, UpcaseStringNamesTheStringType) {
    SetUpcaseStringTypeName(true);
    EXPECT_EQ(DataTypeName(dtString), "String");
    EXPECT_EQ(DataTypeOf(DataTypeName(dtString)), dtString);
    SetUpcaseStringTypeName(false);
    EXPECT_EQ(DataTypeName(dtString), "string");
}

TEST(DataTypes, ChecksCarryTheirExactMessages) {
    EXPECT_EQ(ErrorOf(CheckPublishable, true, dtInteger),
              "Publishing fields  of type Integer is not allowed");
    EXPECT_EQ(ErrorOf(CheckPublishable, false, dtPointer),
              "Publishing  of type Pointer is not allowed");
    EXPECT_EQ(ErrorOf(CheckPublishable, false, dtReal48),
              "Publishing  of type Real48 is not allowed");
    EXPECT_EQ(ErrorOf(CheckPublishable, true, dtClass), "no error");
    EXPECT_EQ(ErrorOf(CheckPublishable, true, dtUserDefined), "no error");
    EXPECT_EQ(ErrorOf(CheckPublishable, false, dtInt64), "no error");

    EXPECT_NO_THROW(CheckAutomatable(dtWordBool));
    try {
        CheckAutomatable(dtBoolean);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Automation of type Boolean is not allowed");
    }
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
