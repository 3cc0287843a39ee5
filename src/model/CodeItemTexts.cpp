// Declaration and display texts of code items: what the editing engine writes into the
// source and what the explorer shows.
#include "model/CodeItems.h"
#include "platform/SysUtils.h"

namespace kolva {

std::string TCodeItem::GetDeclaration() {
    return Name;
}
std::string TCodeItem::GetDisplayText() const {
    return Name;
}

std::string TUsesClause::GetDeclaration() {
    return "uses " + ClauseText + ";";
}

std::string TUsesClause::GetDisplayText() const {
    return IsInterfaceClause() ? "interface uses clause" : "implementation uses clause";
}

// scDefault is the section before the first visibility keyword; it has no keyword of its
// own in the source.
std::string TVisibilityItem::GetDeclaration() {
    return Visibility == scDefault ? std::string() : KeywordText(Visibility);
}

std::string TVisibilityItem::GetDisplayText() const {
    return KeywordText(Visibility);
}

std::string TClassItem::GetDeclaration() {
    std::string text = Name + " = " + ClassKindText(Kind());
    switch (Kind()) {
    case ckClass:
        if (Ancestor.empty() && !SameText(Name, "TObject")) Ancestor = "TObject";
        if (!Ancestor.empty()) {
            text += "(" + Ancestor;
            if (!InterfacesText.empty()) text += ", " + InterfacesText;
            text += ")";
        }
        break;
    case ckInterface:
        if (Ancestor.empty() && !SameText(Name, "IUnknown")) Ancestor = "IUnknown";
        if (!Ancestor.empty()) text += "(" + Ancestor + ")";
        if (!InterfacesText.empty()) text += "\r\n[" + InterfacesText + "]";
        break;
    case ckObject:
        if (!Ancestor.empty()) text += "(" + Ancestor + ")";
        break;
    default:
        break;
    }
    return text;
}

std::string TFieldItem::Declaration() const {
    return Name + ": " + DataTypeText() + ";";
}
std::string TFieldItem::GetDeclaration() {
    return Declaration();
}
std::string TFieldItem::GetDisplayText() const {
    return Declaration();
}

std::string TPropertyItem::GetDeclaration() {
    std::string text = "property " + Name;
    if (!Flags.Contains(pfRedeclaration)) {
        if (Flags.Contains(pfHasParams)) text += "[" + IndexParams + "]";
        text += ": " + DataTypeText();
        if (Flags.Contains(pfHasIndex)) text += " index " + IndexExpr;
    }
    if (!ReadSpec.empty()) text += " read " + ReadSpec;
    if (!WriteSpec.empty()) text += " write " + WriteSpec;
    if (Flags.Contains(pfHasStored)) text += " stored " + StoredSpec;
    if (DefaultKind == dkDefault) text += " default " + DefaultValue;
    if (DefaultKind == dkNoDefault) text += " nodefault";
    if (!DispID.empty()) text += " dispid " + DispID;
    if (!ImplementsText.empty()) text += " implements " + ImplementsText;
    if (Flags.Contains(pfDefaultArray)) text += "; default";
    return text + ";";
}

std::string TPropertyItem::GetDisplayText() const {
    if (Flags.Contains(pfRedeclaration)) return Name + " override";
    std::string text = Name;
    if (Flags.Contains(pfHasParams)) text += "[" + IndexParams + "] ";
    text += ": " + DataTypeText();
    if (Flags.Contains(pfHasIndex)) text += " index " + IndexExpr;
    return text;
}

std::string TPropertyItem::ReadMethodParams() const {
    const bool params = Flags.Contains(pfHasParams);
    const bool index = Flags.Contains(pfHasIndex);
    if (params && index) return IndexParams + "; Index: Integer";
    if (params) return IndexParams;
    if (index) return "Index: Integer";
    return std::string();
}

std::string TPropertyItem::WriteMethodParams(bool Const, const std::string& ValueName) const {
    std::string text;
    if (Flags.Contains(pfHasParams)) text += IndexParams + "; ";
    if (Flags.Contains(pfHasIndex)) text += "Index: Integer; ";
    if (Const) text += "const ";
    return text + ValueName + ": " + DataTypeText();
}

std::string TResClauseItem::GetDeclaration() {
    return std::string(KeywordText(ProcKind)) + " " + Name + " = " + ImplementingName + ";";
}

std::string TResClauseItem::GetDisplayText() const {
    return Name + "=" + ImplementingName + ";";
}

std::string TProcItem::Heading(const std::string& Qualifier) const {
    std::string text = std::string(KeywordText(ProcKind)) + " " + Qualifier + Name;
    if (!Params.empty()) text += "(" + Params + ")";
    if (ProcKind == pkFunction) text += ": " + DataTypeText();
    return text;
}

std::string TProcItem::CallConventionText() const {
    if (CallConvention == ccDefault) return std::string();
    return std::string(" ") + KeywordText(CallConvention) + ";";
}

std::string TProcItem::GetDisplayText() const {
    std::string text = Name;
    if (!Params.empty()) text += ShowParameters() ? "(" + Params + ")" : "(...)";
    if (ProcKind == pkFunction) text += ": " + DataTypeText();
    return text + ";";
}

std::string TProcData::GetDeclaration() {
    std::string text = Heading(std::string()) + ";";
    if (Directives.Contains(pdOverload)) text += " overload;";
    text += CallConventionText();
    if (Directives.Contains(pdForward)) text += " forward;";
    if (Directives.Contains(pdExternal)) text += " external " + ExternalText + ";";
    return text;
}

std::string TMethodItem::GetDeclaration() {
    std::string text = (ClassMethod ? "class " : "") + Heading(std::string()) + ";";
    if (Directives.Contains(pdReintroduce)) text += " reintroduce;";
    if (Directives.Contains(pdOverload)) text += " overload;";
    const TBindingKind binding = Binding();
    if (binding == bkMessage) {
        text += Format(" %s %s;", "message", DataTypeText());
    } else if (binding != bkStatic) {
        text += Format(" %s;", KeywordText(binding));
    }
    text += CallConventionText();
    if (IsAbstract()) text += " abstract;";
    if (Directives.Contains(pdExternal)) text += " external " + ExternalText + ";";
    if (!DispID.empty()) text += Format(" dispid %s;", DispID);
    return text;
}

std::string TMethodItem::GetDisplayText() const {
    return (ClassMethod ? "class " : "") + TProcItem::GetDisplayText();
}

// An implementation heading carries no directives.
std::string TMethodImplItem::GetDeclaration() {
    return (ClassMethod ? "class " : "") + Heading(ClassName + ".") + ";";
}

} // namespace kolva
