// Declaration and display texts of code items: what the editing engine writes into the
// source and what the explorer shows.
#include "model/CodeItems.h"
#include "platform/SysUtils.h"

namespace kolva {

std::string TCodeItem::GetDeclaration() const {
    return Name;
}
std::string TCodeItem::GetDisplayText() const {
    return Name;
}

std::string TUsesClause::GetDeclaration() const {
    return "uses " + ClauseText + ";";
}

std::string TUsesClause::GetDisplayText() const {
    return IsInterfaceClause() ? "interface uses clause" : "implementation uses clause";
}

// scDefault is the section before the first visibility keyword; it has no keyword of its
// own in the source.
std::string TVisibilityItem::GetDeclaration() const {
    return Visibility == scDefault ? std::string() : KeywordText(Visibility);
}

std::string TVisibilityItem::GetDisplayText() const {
    return KeywordText(Visibility);
}

std::string TClassItem::GetDeclaration() const {
    std::string text = (GenericWord ? "generic " : "") + Name + TypeParams + " = ";
    if (Packed) text += "packed ";
    if (Kind() == ckHelper)
        text += (KindWord.empty() ? std::string("class") : KindWord) + " helper";
    else
        text += KindWord.empty() ? std::string(ClassKindText(Kind())) : KindWord;
    if (!Modifier.empty()) text += " " + Modifier;
    if (HasExternal) text += ExternalText.empty() ? " external" : " external " + ExternalText;
    // A class of a keyword of its own (an Objective-C class) or an external one has no
    // TObject to descend from.
    // The default ancestor is written out, not stored: reading a declaration leaves the
    // model as it was.
    const bool plain = KindWord.empty() && !HasExternal;
    std::string ancestor = Ancestor;
    switch (Kind()) {
    case ckClass:
        if (ancestor.empty() && plain && !SameText(Name, "TObject")) ancestor = "TObject";
        if (!ancestor.empty()) {
            text += "(" + ancestor;
            if (!InterfacesText.empty()) text += ", " + InterfacesText;
            text += ")";
        }
        break;
    case ckInterface:
        if (ancestor.empty() && plain && !SameText(Name, "IUnknown")) ancestor = "IUnknown";
        if (!ancestor.empty()) text += "(" + ancestor + ")";
        if (!InterfacesText.empty()) text += "\r\n[" + InterfacesText + "]";
        break;
    case ckDispInterface:
        if (!InterfacesText.empty()) text += "\r\n[" + InterfacesText + "]";
        break;
    case ckObject:
        if (!Ancestor.empty()) text += "(" + Ancestor + ")";
        break;
    case ckHelper:
        if (!Ancestor.empty()) text += "(" + Ancestor + ")";
        text += " for " + HelperFor;
        break;
    default:
        break;
    }
    return text;
}

std::string TClassItem::GetDisplayText() const {
    return Name + TypeParams;
}

namespace {
// The names of type parameters without their constraints: "<T: class; U>" gives "<T, U>".
std::string ParamNames(std::string_view Params) {
    std::string out = "<";
    int depth = 0;
    bool inName = true;
    for (char c : Params) {
        if (c == '<' && ++depth == 1) continue;
        if (c == '>' && --depth == 0) break;
        if (depth != 1) continue;
        if (c == ':') {
            inName = false;
        } else if (c == ',' || c == ';') {
            out += ", ";
            inName = true;
        } else if (inName && c != ' ') {
            out += c;
        }
    }
    return out + ">";
}

bool InsideType(const TCodeItem& Item) {
    return Item.Parent() && IsTypeWithMembers(Item.Parent()->Kind());
}
} // namespace

std::string TClassItem::ImplementationClassName() const {
    if (!InsideType(*this)) return Name;
    return static_cast<const TClassItem*>(Parent())->ImplementationClassName() + "." + Name;
}

std::string TClassItem::ImplementationQualifier() const {
    std::string own = Name;
    if (!TypeParams.empty() && !GenericWord) own += ParamNames(TypeParams);
    if (!InsideType(*this)) return own;
    return static_cast<const TClassItem*>(Parent())->ImplementationQualifier() + "." + own;
}

void TMethodImplItem::SetClass(const TClassItem& Class) {
    ClassName = Class.ImplementationClassName();
    std::string qualifier = Class.ImplementationQualifier();
    SetQualifierText(qualifier == ClassName ? std::string() : std::move(qualifier));
}

std::string TFieldItem::Declaration() const {
    std::string text = Name + ": " + DataTypeText() + ";";
    return Hints().empty() ? text : text + " " + Hints();
}
std::string TFieldItem::GetDeclaration() const {
    return Declaration();
}
std::string TFieldItem::GetDisplayText() const {
    return Declaration();
}

std::string TPropertyItem::GetDeclaration() const {
    std::string text = (Flags.Contains(pfClassProperty) ? "class property " : "property ") + Name;
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
    if (!ExtraSpecifiers.empty()) text += " " + ExtraSpecifiers;
    if (Flags.Contains(pfDefaultArray)) text += "; default";
    return Hints().empty() ? text + ";" : text + "; " + Hints();
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

std::string TResClauseItem::GetDeclaration() const {
    return std::string(KeywordText(ProcKind)) + " " + Name + " = " + ImplementingName + ";";
}

std::string TResClauseItem::GetDisplayText() const {
    return Name + "=" + ImplementingName + ";";
}

std::string TProcItem::Heading(const std::string& Qualifier, bool Short) const {
    std::string text = std::string(GenericWord ? "generic " : "") + KeywordText(ProcKind) + " " +
                       Qualifier + Name + TypeParams();
    if (Short) return text;
    if (!Params.empty()) text += "(" + Params + ")";
    if (!ResultName().empty()) text += " " + ResultName();
    if (HasResult(ProcKind)) text += ": " + DataTypeText();
    return text;
}

std::string TProcItem::CallConventionText() const {
    if (CallConvention == ccDefault) return std::string();
    return std::string(" ") + KeywordText(CallConvention) + ";";
}

std::string TProcItem::GetDisplayText() const {
    std::string text = Name + TypeParams();
    if (!Params.empty()) text += ShowParameters() ? "(" + Params + ")" : "(...)";
    // A short heading that no declaration completed has no result type to show.
    if (HasResult(ProcKind) && !(ShortHeading && DataType() == dtVoid))
        text += ": " + DataTypeText();
    return text + ";";
}

std::string TProcItem::HintsText() const {
    return Hints().empty() ? std::string() : " " + Hints();
}

// A procedure is short only as an implementation whose declaration says the rest.
std::string TProcData::GetDeclaration() const {
    std::string text = Heading(std::string(), ShortHeading && DeclarationLink()) + ";";
    if (Directives.Contains(pdOverload)) text += " overload;";
    text += CallConventionText();
    if (Directives.Contains(pdForward)) text += " forward;";
    if (Directives.Contains(pdExternal)) text += " external " + ExternalText + ";";
    return text + HintsText();
}

std::string TMethodItem::GetDeclaration() const {
    std::string text = (ClassMethod ? "class " : "") + Heading(std::string(), false) + ";";
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
    return text + HintsText();
}

std::string TMethodItem::GetDisplayText() const {
    return (ClassMethod ? "class " : "") + TProcItem::GetDisplayText();
}

// An implementation heading carries none of the directives of its declaration; those
// written on itself (kept as hints) stay.
std::string TMethodImplItem::GetDeclaration() const {
    return (ClassMethod ? "class " : "") + Heading(Qualifier() + ".", ShortHeading) + ";" +
           HintsText();
}

namespace {
// The text without its type parameters: "TOuter<T>.TInner" gives "TOuter.TInner".
std::string WithoutTypeParams(std::string_view Text) {
    std::string out;
    int depth = 0;
    for (char c : Text) {
        if (c == '<') ++depth;
        if (depth == 0 && c != ' ') out += c;
        if (c == '>' && depth > 0) --depth;
    }
    return out;
}
} // namespace

// The qualifier as written, unless the class name changed since: then the new name takes
// the type parameters of the written qualifier's last part.
std::string TMethodImplItem::Qualifier() const {
    const std::string& written = QualifierText();
    if (written.empty()) return ClassName;
    if (SameText(WithoutTypeParams(written), ClassName)) return written;
    const size_t dot = written.rfind('.');
    const std::string last = dot == std::string::npos ? written : written.substr(dot + 1);
    const size_t open = last.find('<');
    return open == std::string::npos ? ClassName : ClassName + last.substr(open);
}

} // namespace kolva
