#include "model/DataTyp.h"

#include "foundation/FWStrUtils.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"

#include <array>
#include <bit>
#include <cstdint>

namespace kolva {

namespace {

struct TDataTypeInfo {
    std::string_view Name;
    const char* Description;
    const char* Code;
};

// The codes are only ever compared with codes from this same table, which is why ShortInt
// and SmallInt can carry each other's width.
constexpr TDataTypeInfo DataTypes[DataTypeCount] = {
    {"Integer", "signed generic", "I"},
    {"ShortInt", "signed 8 bit", "I16"},
    {"SmallInt", "signed 16 bit", "I8"},
    {"LongInt", "signed 32 bit", "I32"},
    {"Byte", "unsigned 8 bit", "B8"},
    {"Int64", "signed 64 bit", "I64"},
    {"Word", "unsigned 16 bit", "W"},
    {"LongWord", "unsigned 32 bit", "LW"},
    {"Cardinal", "unsigned generic", "CA"},
    {"Boolean", "False..True", "B"},
    {"ByteBool", "nonzero True", "BB"},
    {"WordBool", "nonzero True", "WB"},
    {"LongBool", "nonzero True", "LB"},
    {"Extended", "10 byte (float base)", "E"},
    {"Single", "4 byte", "SF"},
    {"Double", "8 byte", "D"},
    {"Comp", "signed 64 bit", "CO"},
    {"Currency", "8 byte", "CU"},
    {"Real", "6 byte (obsolete)", "R"},
    {"Real48", "6 byte", "R48"},
    {"string", "generic", "S"},
    {"ShortString", "max length 255", "SS"},
    {"AnsiString", "dynamic length", "AS"},
    {"Char", "generic", "C"},
    {"AnsiChar", "", "AC"},
    {"WideChar", "uni code", "WC"},
    {"PChar", "generic", "PC"},
    {"PAnsiChar", "", "PA"},
    {"PWideChar", "uni code", "PW"},
    {"PString", "short string", "PS"},
    {"Pointer", "", "P"},
    {"Class", "", "U"},
    {"Variant", "", "V"},
    {"OLEVariant", "", "OV"},
    {"User defined", "user defined type", "U"},
    {"Void", "no data type", ""},
};

bool GUpcaseString = false;

constexpr bool IsNamedByUser(TDataType Type) {
    return Type == dtClass || Type == dtUserDefined;
}

} // namespace

const TDataTypes AutomatableTypes = {dtInteger, dtSmallInt,   dtLongInt,     dtByte, dtWordBool,
                                     dtSingle,  dtDouble,     dtCurrency,    dtReal, dtAnsiString,
                                     dtVariant, dtOLEVariant, dtUserDefined, dtVoid};
const TDataTypes NotPublishableTypes = {dtReal48, dtPointer};
const TDataTypes PublishableFieldTypes = {dtClass, dtUserDefined};

bool UpcaseStringTypeName() {
    return GUpcaseString;
}
void SetUpcaseStringTypeName(bool Value) {
    GUpcaseString = Value;
}

std::string DataTypeName(TDataType Type) {
    if (Type == dtString && GUpcaseString) return "String";
    return std::string(DataTypes[Type].Name);
}

std::string DataTypeDescription(TDataType Type) {
    return DataTypes[Type].Description;
}

namespace {
// The predefined types that a name of each length may stand for, as bits by ordinal; the
// types named by the user never match a name.
constexpr size_t LongestTypeName = 16;
static_assert(DataTypeCount <= 64, "one bit per type");

constexpr std::array<uint64_t, LongestTypeName + 1> MakeTypesByLength() {
    std::array<uint64_t, LongestTypeName + 1> byLength{};
    for (int i = 0; i < DataTypeCount; ++i) {
        if (IsNamedByUser(TDataType(i))) continue;
        if (DataTypes[i].Name.size() > LongestTypeName) throw "type name too long for the table";
        byLength[DataTypes[i].Name.size()] |= uint64_t(1) << i;
    }
    return byLength;
}

constexpr std::array<uint64_t, LongestTypeName + 1> TypesByLength = MakeTypesByLength();
} // namespace

// Runs for the type of every member the parser reads, so most names (user-defined types)
// are ruled out by length and first letter before any case folding.
TDataType DataTypeOf(std::string_view Name) {
    if (Name.empty() || Name.size() > LongestTypeName) return dtUserDefined;
    const char first = UpCase(Name[0]);
    for (uint64_t types = TypesByLength[Name.size()]; types != 0; types &= types - 1) {
        const int i = std::countr_zero(types);
        const std::string_view candidate = DataTypes[i].Name;
        if (UpCase(candidate[0]) == first && SameText(Name, candidate)) return TDataType(i);
    }
    return dtUserDefined;
}

std::string TypeCode(std::string_view Name) {
    const TDataType type = DataTypeOf(Name);
    std::string code = DataTypes[type].Code;
    if (IsNamedByUser(type)) code += Name;
    return code;
}

void ListDataTypeNames(TDataTypes Types, TStringList& List) {
    for (int i = 0; i < DataTypeCount; ++i)
        if (Types.Contains(TDataType(i))) List.Add(DataTypeName(TDataType(i)));
}

void ListDataTypeDescriptions(TDataTypes Types, TStringList& List) {
    for (int i = 0; i < DataTypeCount; ++i)
        if (Types.Contains(TDataType(i))) List.Add(DataTypes[i].Description);
}

void CheckPublishable(bool IsField, TDataType Type) {
    const bool allowed =
        IsField ? PublishableFieldTypes.Contains(Type) : !NotPublishableTypes.Contains(Type);
    if (!allowed)
        throw Exception(Format("Publishing %s of type %s is not allowed", IsField ? "fields " : "",
                               DataTypeName(Type)));
}

void CheckAutomatable(TDataType Type) {
    if (!AutomatableTypes.Contains(Type))
        throw Exception(Format("Automation of type %s is not allowed", DataTypeName(Type)));
}

TStringList& RecentTypeNames() {
    static TStringList list;
    return list;
}

void NoteTypeUsed(TDataType Type, std::string_view Name) {
    if (IsNamedByUser(Type)) AddToHistory(Name, RecentTypeNames(), MaxRecentTypes);
}

} // namespace kolva
