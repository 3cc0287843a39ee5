#include "editing/PropertyLinks.h"

#include "editing/MemberRules.h"
#include "editing/Prefs.h"
#include "platform/SysUtils.h"

#include <cctype>

namespace kolva {

namespace {

// The links class is in place as soon as the program starts, as the add-in registers it when
// it loads.
const bool Registered = (RegisterPropertyLinks(), true);

bool IsWordChar(char C) {
    return std::isalnum(static_cast<unsigned char>(C)) || C == '_' || C == '&';
}

// The member S names: among overloads, one that is the property's own access method.
TCodeItem* MemberNamed(const TPropertyItem& Property, const std::string& S,
                       const std::string& MethodName) {
    const TCodeItem* cls = Property.NameSpace();
    if (!cls || S.empty()) return nullptr;
    TCodeItem* first = nullptr;
    for (TCodeItem* child : cls->Children()) {
        if (child == &Property || !MemberKinds.Contains(child->Kind()) || !SameText(child->Name, S))
            continue;
        if (!first) first = child;
        if (child->Kind() == ckMethod && child->Name == MethodName) return child;
    }
    return first;
}

} // namespace

void RegisterPropertyLinks() {
    SetPropLinksClass(
        [](TPropertyItem* Property) { return std::make_unique<TPropertyLinks>(Property); });
}

TPropertyLinks& TPropertyLinks::Of(TPropertyItem& Property) {
    (void)Registered;
    return static_cast<TPropertyLinks&>(*Property.Links());
}

std::string TPropertyLinks::ReadName(const TPropertyItem& Property) {
    return Preferences().ReadMethodPrefix() + Property.Name;
}

std::string TPropertyLinks::WriteName(const TPropertyItem& Property) {
    return Preferences().WriteMethodPrefix() + Property.Name;
}

std::string TPropertyLinks::FieldName(const TPropertyItem& Property) {
    return Preferences().StateFieldPrefix() + Property.Name;
}

bool TPropertyLinks::IsStateField(const TPropertyItem& Property, const TCodeItem& Member) {
    return Member.Kind() == ckField && !Property.Flags.Contains(pfHasParams) &&
           !Property.Flags.Contains(pfHasIndex) && Member.Name == FieldName(Property) &&
           SameText(static_cast<const TFieldItem&>(Member).DataTypeText(), Property.DataTypeText());
}

void TPropertyLinks::Reset() {
    ConstParam = HasStateField = false;
    ReadAccess = WriteAccess = rwNone;
    ReadMember = WriteMember = nullptr;
    ReadMethod = WriteMethod = nullptr;
    StateField = nullptr;
    WriteParamName.clear();
}

void TPropertyLinks::Refresh() {
    Reset();
    TPropertyItem& property = *Property();
    const std::string readName = ReadName(property);
    const std::string writeName = WriteName(property);
    if (!property.ReadSpec.empty()) {
        ReadAccess = rwCustom;
        ReadMember = MemberNamed(property, property.ReadSpec, readName);
        if (ReadMember && IsStateField(property, *ReadMember)) {
            ReadAccess = rwField;
            StateField = static_cast<TFieldItem*>(ReadMember);
        } else if (ReadMember && ReadMember->Kind() == ckMethod && ReadMember->Name == readName &&
                   SameText(static_cast<TMethodItem*>(ReadMember)->DataTypeText(),
                            property.DataTypeText())) {
            ReadAccess = rwMethod;
            ReadMethod = static_cast<TMethodItem*>(ReadMember);
        }
    }
    if (!property.WriteSpec.empty()) {
        WriteAccess = rwCustom;
        WriteMember = MemberNamed(property, property.WriteSpec, writeName);
        if (WriteMember && IsStateField(property, *WriteMember)) {
            WriteAccess = rwField;
            StateField = static_cast<TFieldItem*>(WriteMember);
        } else if (WriteMember && WriteMember->Kind() == ckMethod &&
                   WriteMember->Name == writeName) {
            WriteAccess = rwMethod;
            WriteMethod = static_cast<TMethodItem*>(WriteMember);
            ReadWriteParameter(WriteMethod->Params);
        }
    }
    HasStateField = ReadAccess == rwField || WriteAccess == rwField;
    if (!HasStateField) {
        TCodeItem* field = MemberNamed(property, FieldName(property), std::string());
        if (field && IsStateField(property, *field)) {
            StateField = static_cast<TFieldItem*>(field);
            HasStateField = true;
        }
    }
}

namespace {

bool IsStringType(const TPropertyItem& Property) {
    const std::string type = Property.DataTypeText();
    return SameText(type, "string") || SameText(type, "ShortString") ||
           SameText(type, "AnsiString");
}

// A specifier that names no member: the field or method it proposes, to be generated.
void Proposed(TRWAccessEx& Access, const TCodeItem* Member, std::string& Specifier,
              const TPropertyItem& Property, const std::string& MethodName) {
    if (Access != rwCustom || Member) return;
    const std::string field = TPropertyLinks::FieldName(Property);
    if (SameText(Specifier, field) && !Property.Flags.Contains(pfHasParams) &&
        !Property.Flags.Contains(pfHasIndex)) {
        Access = rwField;
        Specifier = field;
    } else if (SameText(Specifier, MethodName)) {
        Access = rwMethod;
        Specifier = MethodName;
    }
}

} // namespace

std::vector<TCodeItem*> TPropertyLinks::OwnMembers() const {
    std::vector<TCodeItem*> members;
    if (ReadAccess == rwMethod && ReadMethod) members.push_back(ReadMethod);
    if (WriteAccess == rwMethod && WriteMethod) members.push_back(WriteMethod);
    if (HasStateField && StateField) members.push_back(StateField);
    return members;
}

bool TPropertyLinks::StateFieldAllowed() const {
    const TPropertyItem& p = *Property();
    return !p.Flags.Contains(pfRedeclaration) && ReadAccess != rwField && WriteAccess != rwField &&
           !(ReadAccess == rwNone && WriteAccess == rwNone) && !p.Flags.Contains(pfHasParams) &&
           !p.Flags.Contains(pfHasIndex);
}

void TPropertyLinks::AccessFromSpecifiers() {
    const bool hadWriter = WriteAccess == rwMethod;
    const bool constParam = ConstParam;
    const std::string paramName = WriteParamName;
    // The dialog's state field box: ticked as loaded, unless field access had disabled it.
    const bool stateField = HasStateField && ReadAccess != rwField && WriteAccess != rwField;
    // A member that was the access method or state field before stays it when only the
    // property's type changed: it is regenerated with the new type.
    TMethodItem* const reader = ReadAccess == rwMethod ? ReadMethod : nullptr;
    TFieldItem* const field = NeedsField() ? StateField : nullptr;
    Refresh();
    TPropertyItem& p = *Property();
    if (ReadAccess == rwCustom && ReadMember && ReadMember == reader &&
        reader->Name == ReadName(p)) {
        ReadAccess = rwMethod;
        ReadMethod = reader;
    }
    for (auto [access, member] : {std::pair{&ReadAccess, ReadMember}, {&WriteAccess, WriteMember}})
        if (*access == rwCustom && member && member == field && field->Name == FieldName(p)) {
            *access = rwField;
            StateField = field;
        }
    if (!p.Flags.Contains(pfRedeclaration)) {
        Proposed(ReadAccess, ReadMember, p.ReadSpec, p, ReadName(p));
        Proposed(WriteAccess, WriteMember, p.WriteSpec, p, WriteName(p));
        if (ReadAccess == rwField || WriteAccess == rwField) HasStateField = true;
    }
    if (WriteAccess == rwMethod && !WriteMethod) {
        WriteParamName = paramName.empty() ? std::string("Value") : paramName;
        ConstParam = constParam;
        if (!hadWriter && Preferences().PropConstParamMode() == cpSmart)
            ConstParam = IsStringType(p);
        if (!hadWriter && Preferences().PropConstParamMode() == cpAlways) ConstParam = true;
    }
    if (WriteAccess != rwMethod) ConstParam = false;
    if (stateField && StateFieldAllowed()) HasStateField = true;
}

void TPropertyLinks::SpecifiersFromAccess() {
    TPropertyItem& p = *Property();
    const auto propose = [&](std::string& Specifier, TRWAccessEx Access,
                             const std::string& Method) {
        if (Access == rwCustom || !Specifier.empty()) return;
        Specifier = Access == rwField ? FieldName(p) : Access == rwMethod ? Method : std::string();
    };
    propose(p.ReadSpec, ReadAccess, ReadName(p));
    propose(p.WriteSpec, WriteAccess, WriteName(p));
}

void TPropertyLinks::ReadWriteParameter(const std::string& Params) {
    const size_t semicolon = Params.rfind(';');
    const std::string last = semicolon == std::string::npos ? Params : Params.substr(semicolon + 1);
    for (size_t i = 0; i < last.size() && WriteParamName.empty();) {
        if (!IsWordChar(last[i])) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end < last.size() && IsWordChar(last[end]))
            ++end;
        const std::string word = last.substr(i, end - i);
        if (SameText(word, "const"))
            ConstParam = true;
        else
            WriteParamName = word;
        i = end;
    }
    if (WriteParamName.empty()) WriteParamName = "Value";
}

} // namespace kolva
