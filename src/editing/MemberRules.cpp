#include "editing/MemberRules.h"

#include "editing/KolvaEditors.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cctype>

namespace kolva {

bool DeclaresName(const TCodeItem& Member, const std::string& Name) {
    if (SameText(Member.Name, Name)) return true;
    if (Member.Kind() != ckField || Member.Name.find(',') == std::string::npos) return false;
    for (size_t start = 0; start <= Member.Name.size();) {
        size_t comma = Member.Name.find(',', start);
        if (comma == std::string::npos) comma = Member.Name.size();
        if (SameText(Trim(Member.Name.substr(start, comma - start)), Name)) return true;
        start = comma + 1;
    }
    return false;
}

bool NameTaken(const TClassItem& Class, const std::string& Name, const TCodeItem* Except) {
    for (const TCodeItem* child : Class.Children())
        if (child != Except && child->StartLine >= 0 && MemberKinds.Contains(child->Kind()) &&
            DeclaresName(*child, Name))
            return true;
    return false;
}

void CheckNameFree(const TClassItem& Class, const std::string& Name, const TCodeItem* Except) {
    if (NameTaken(Class, Name, Except)) throw Exception(Format("\"%s\" already exists", Name));
}

// A property other than those in Except whose specifiers name Member: the member stays
// when a property that uses it goes.
bool NamedByOtherProperty(const TCodeItem& Member, const TItemList& Except) {
    const TCodeItem* cls = Member.Parent();
    if (!cls) return false;
    for (const TCodeItem* child : cls->Children()) {
        if (child->Kind() != ckProperty || child->StartLine < 0 ||
            std::find(Except.begin(), Except.end(), child) != Except.end())
            continue;
        const auto& p = static_cast<const TPropertyItem&>(*child);
        for (const std::string* specifier : {&p.ReadSpec, &p.WriteSpec, &p.StoredSpec})
            if (SameText(*specifier, Member.Name)) return true;
    }
    return false;
}

void CopyType(TMemberItem& To, const TMemberItem& From) {
    To.SetDataType(From.DataType());
    To.SetTypeName(From.TypeName());
}

// A visibility the class kind can hold a section of: an object type has only its default
// section and "private" (as a new field there), other kinds without sections the default.
TVisibility Fitted(const TClassItem& Class, TVisibility V) {
    if (IsInterfaceKind(Class)) return scDefault;
    if (Class.Kind() == ckObject && V != scPrivate) return scDefault;
    return V;
}

void CheckFieldsAllowed(const TClassItem& Class) {
    if (IsInterfaceKind(Class)) throw Exception("Interfaces cannot contain fields");
    if (Class.Kind() == ckHelper) throw Exception("Helpers cannot contain fields");
}

// The start column of a new property: that of the class's members, else one block in.
int PropertyColumn(const TClassItem& Class) {
    for (const TCodeItem* child : Class.Children())
        if (child->StartLine >= 0 && MemberKinds.Contains(child->Kind())) return child->StartColumn;
    return Class.StartColumn + ModuleEditorOptions().BlockIndention();
}

// The name a property made from a member Name gets, with the member's new name: "FCount"
// gives Count and keeps FCount, "count" gives count and becomes Fcount.
std::pair<std::string, std::string> SplitPrefixed(const std::string& Name,
                                                  const std::string& Prefix) {
    if (Name.size() > Prefix.size() && Name.compare(0, Prefix.size(), Prefix) == 0) {
        const char next = Name[Prefix.size()];
        if (next == std::toupper(static_cast<unsigned char>(next)))
            return {Name.substr(Prefix.size()), Name};
    }
    return {Name, Prefix + Name};
}

} // namespace kolva
