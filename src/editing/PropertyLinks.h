// The members that belong to a property: the field or methods its access specifiers name
// when they are the ones the code generation preferences would have made (GetCount,
// SetCount, FCount for a property Count), and a state field of that name. The engine reads
// them to know what to generate, regenerate, rename and delete together with a property.
//
// A links object points into the model it was refreshed from; the model is parsed again
// after every edit, so links are only trusted within one edit, or refreshed explicitly.
#pragma once

#include "model/CodeItems.h"

#include <string>
#include <vector>

namespace kolva {

class TPropertyLinks : public TPropLinksData {
public:
    explicit TPropertyLinks(TPropertyItem* Property) : TPropLinksData(Property) {}

    /// Reads the links again from the property's specifiers and its class's members.
    void Refresh() override;

    /// The links of Property; the property links class is registered whenever this unit is
    /// part of the program.
    static TPropertyLinks& Of(TPropertyItem& Property);

    /// ReadMethodPrefix, WriteMethodPrefix or StateFieldPrefix followed by the name.
    static std::string ReadName(const TPropertyItem& Property);
    static std::string WriteName(const TPropertyItem& Property);
    static std::string FieldName(const TPropertyItem& Property);
    /// A field of the property's type named FieldName, for a property that is neither an
    /// array nor an indexed one.
    static bool IsStateField(const TPropertyItem& Property, const TCodeItem& Member);

    /// The access kinds the specifiers as written ask for, as the property dialog sets them:
    /// a specifier naming a member of the class is read as Refresh reads it; one naming no
    /// member that is the name the dialog proposes for a field or method (case ignored; the
    /// specifier takes the proposed spelling) asks for that member to be generated; any
    /// other is custom. A write method still to be made keeps the const flag and parameter
    /// name the links had when they had a write method, else takes them from
    /// PropConstParamMode; a state field the links had stays wanted where one may be.
    void AccessFromSpecifiers();
    /// The specifiers the access kinds propose (FName, GetName, SetName, or none), for the
    /// sides that are neither custom nor written yet.
    void SpecifiersFromAccess();
    /// Whether a state field may be asked for besides the accesses: not a redeclaration,
    /// no field access, not both accesses none, neither an array nor an indexed property.
    bool StateFieldAllowed() const;

    /// The members that go with the property: the read method (method access), the write
    /// method (method access) and the state field, those there are.
    std::vector<TCodeItem*> OwnMembers() const;

    /// A state field is used or wanted: field access on either side, or HasStateField.
    bool NeedsField() const {
        return ReadAccess == rwField || WriteAccess == rwField || HasStateField;
    }

    bool ConstParam = false;
    bool HasStateField = false;
    TRWAccessEx ReadAccess = rwNone;
    TCodeItem* ReadMember = nullptr;
    TMethodItem* ReadMethod = nullptr;
    TFieldItem* StateField = nullptr;
    TRWAccessEx WriteAccess = rwNone;
    TCodeItem* WriteMember = nullptr;
    TMethodItem* WriteMethod = nullptr;
    std::string WriteParamName;

private:
    void Reset();
    /// The value parameter of a write method: "const " and its name.
    void ReadWriteParameter(const std::string& Params);
};

/// Installs TPropertyLinks as the links class of every property. Done at start-up; calling
/// it again does no harm.
void RegisterPropertyLinks();

} // namespace kolva
