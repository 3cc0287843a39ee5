// Small rules about the members of a class that the property operations and conversions
// share: names taken, types copied, the sections a kind of type can hold, and the names a
// property takes from the member it is made from.
#pragma once

#include "editing/ModuleEditors.h"
#include "model/CodeItems.h"

#include <string>
#include <utility>

namespace kolva {

/// Fields, methods, properties and resolution clauses.
inline constexpr TCodeItems MemberKinds = {ckField, ckMethod, ckProperty, ckResClause};

/// Whether Member is called Name (case ignored), or declares it among a field list's names.
bool DeclaresName(const TCodeItem& Member, const std::string& Name);
/// Whether a placed member of Class other than Except declares Name.
bool NameTaken(const TClassItem& Class, const std::string& Name, const TCodeItem* Except);
/// Raises "\"%s\" already exists" when NameTaken.
void CheckNameFree(const TClassItem& Class, const std::string& Name, const TCodeItem* Except);
/// Whether a property of Member's class, other than those in Except, names Member in one of
/// its specifiers.
bool NamedByOtherProperty(const TCodeItem& Member, const TItemList& Except);
/// The data type and type name of From.
void CopyType(TMemberItem& To, const TMemberItem& From);
/// V where Class can have a section of it: interfaces have only their default section, an
/// object type its default section and "private".
TVisibility Fitted(const TClassItem& Class, TVisibility V);
/// Raises "Interfaces cannot contain fields" (or the same for helpers).
void CheckFieldsAllowed(const TClassItem& Class);
/// The start column of a new property: that of the class's members, else one block in.
int PropertyColumn(const TClassItem& Class);
/// The name of a property made from the member Name, and the member's name after it: with
/// the prefix "F", "FCount" gives Count and FCount, "count" gives count and Fcount.
std::pair<std::string, std::string> SplitPrefixed(const std::string& Name,
                                                  const std::string& Prefix);

} // namespace kolva
