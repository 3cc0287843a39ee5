#include "editing/DeclarationText.h"

#include "model/ModuleExplorer.h"
#include "platform/SysUtils.h"

namespace kolva {

namespace {

const TCodeItem* FirstOfKind(const TCodeItem& Parent, TCodeItemKind Kind) {
    for (const TCodeItem* child : Parent.Children()) {
        if (child->Kind() == Kind) return child;
        if (const TCodeItem* found = FirstOfKind(*child, Kind)) return found;
    }
    return nullptr;
}

const char* KindWord(TCodeItemKind Kind) {
    switch (Kind) {
    case ckField:
        return "field";
    case ckMethod:
        return "method";
    case ckProperty:
        return "property";
    case ckResClause:
        return "method resolution clause";
    case ckClass:
    case ckInterface:
    case ckObject:
    case ckDispInterface:
        return ClassKindText(Kind);
    default:
        return "procedure";
    }
}

} // namespace

void ReadDeclaration(TCodeItem& Target, const std::string& Text) {
    const TCodeItemKind kind = Target.Kind();
    const bool member =
        kind == ckField || kind == ckMethod || kind == ckProperty || kind == ckResClause;
    // A member is read inside a class body; a procedure as a declaration in an interface.
    TStringList lines;
    if (IsClassKind(kind)) {
        // A type's heading, read in a type section with a body closed after it; the ";" of
        // the short form "TFoo = class(TBar);" gives way to that body.
        std::string heading = TrimRight(Text);
        if (!heading.empty() && heading.back() == ';') heading.pop_back();
        lines.SetText("unit _Decl_; interface type\r\n" + heading +
                      "\r\nend;\r\nimplementation end.");
    } else if (member) {
        lines.Add("type _Decl_ = class");
        lines.SetText(lines.Text() + Text + "\r\nend;");
    } else {
        lines.SetText("unit _Decl_; interface\r\n" + Text + "\r\nimplementation end.");
    }
    TModuleExplorer explorer;
    explorer.Parse(&lines);
    if (explorer.ErrorCount() > 0) throw Exception(explorer.Errors().front());
    const TCodeItem* source = FirstOfKind(explorer.Module(), kind);
    // A type's kind is part of its heading: a class read as an interface is no class.
    if (IsClassKind(kind))
        for (const TCodeItem* item : explorer.Module().Children())
            if (!source && IsClassKind(item->Kind()) && !item->Implied)
                throw Exception(Format("\"%s\" declares the %s %s, not %s %s", Text,
                                       ClassKindText(item->Kind()), item->Name,
                                       kind == ckInterface || kind == ckObject ? "an" : "a",
                                       ClassKindText(kind)));
    if (!source || source->Implied)
        throw Exception(Format("No %s declaration in \"%s\"", KindWord(kind), Text));
    // Where the text was read must not decide where the item is declared.
    const TVisibility visibility = Target.Visibility;
    auto* proc = dynamic_cast<TProcData*>(&Target);
    const bool inInterface = proc && proc->InInterface;
    const bool capable = proc && proc->InterfaceCapable;
    Target.AssignDeclaration(*source);
    Target.Visibility = visibility;
    if (proc) {
        proc->InInterface = inInterface;
        proc->InterfaceCapable = capable;
    }
}

} // namespace kolva
