// The predefined data types of Object Pascal as the member dialogs offer them: name,
// description and the type code that parameter signatures are built from, plus the checks
// on what may be published or automated and the recently used list of other type names.
#pragma once

#include "platform/System.h"

#include <string>
#include <string_view>

namespace kolva {

class TStringList;

enum TDataType : uint8_t {
    dtInteger,
    dtShortInt,
    dtSmallInt,
    dtLongInt,
    dtByte,
    dtInt64,
    dtWord,
    dtLongWord,
    dtCardinal,
    dtBoolean,
    dtByteBool,
    dtWordBool,
    dtLongBool,
    dtExtended,
    dtSingle,
    dtDouble,
    dtComp,
    dtCurrency,
    dtReal,
    dtReal48,
    dtString,
    dtShortString,
    dtAnsiString,
    dtChar,
    dtAnsiChar,
    dtWideChar,
    dtPChar,
    dtPAnsiChar,
    dtPWideChar,
    dtPString,
    dtPointer,
    dtClass,
    dtVariant,
    dtOLEVariant,
    dtUserDefined,
    dtVoid
};
constexpr int DataTypeCount = dtVoid + 1;
using TDataTypes = TSet<TDataType, DataTypeCount>;

extern const TDataTypes AutomatableTypes;
/// Types that a property may not publish; every other type may.
extern const TDataTypes NotPublishableTypes;
/// The only types a published field may have.
extern const TDataTypes PublishableFieldTypes;

/// The table name; dtString is "String" rather than "string" while upper-case string
/// names are chosen (see SetUpcaseStringTypeName).
std::string DataTypeName(TDataType Type);
std::string DataTypeDescription(TDataType Type);
/// Whether dtString is named "String"; the code generation preferences set it.
bool UpcaseStringTypeName();
void SetUpcaseStringTypeName(bool Value);

/// The first predefined type whose name equals Name ignoring case; "Class" and
/// "User defined" never match by name, and an unknown name is dtUserDefined.
TDataType DataTypeOf(std::string_view Name);
/// The type code of Name's type; for dtClass and dtUserDefined the name is appended
/// ("TObject" gives "UTObject").
std::string TypeCode(std::string_view Name);

/// Appends the names (or descriptions) of the types in Types to List, in ordinal order.
void ListDataTypeNames(TDataTypes Types, TStringList& List);
void ListDataTypeDescriptions(TDataTypes Types, TStringList& List);

/// Raises Exception "Publishing %s of type %s is not allowed" when a field (IsField) or a
/// property may not be published with this type.
void CheckPublishable(bool IsField, TDataType Type);
/// Raises Exception "Automation of type %s is not allowed" for a type outside
/// AutomatableTypes.
void CheckAutomatable(TDataType Type);

constexpr int MaxRecentTypes = 30;
/// The type names used most recently, newest first, at most MaxRecentTypes.
TStringList& RecentTypeNames();
/// Moves Name to the front of the recent list when Type is dtClass or dtUserDefined.
void NoteTypeUsed(TDataType Type, std::string_view Name);

} // namespace kolva
