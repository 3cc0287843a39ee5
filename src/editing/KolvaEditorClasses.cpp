// The class editor's operations on the types of a unit: where a new type goes, adding,
// editing, renaming and deleting a class, interface, object type or dispinterface, setting
// its ancestor, and the drops of one type on another in the contents tree.
//
// A type section must hold what it declares: a type is written under a "type" line unless
// it lands inside a type section, and a "type" line left without declarations goes with
// the type deleted or moved away. A type declared forward ("TFoo = class;") is renamed and
// deleted together with its full declaration, which takes its ancestor.
#include "editing/KolvaEditors.h"
#include "editing/MemberRules.h"
#include "editing/SourceScan.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <random>
#include <regex>

namespace kolva {

namespace {

constexpr TCodeItems TypeKinds = {ckClass, ckInterface, ckObject, ckDispInterface};

bool IsTopLevelType(const TCodeItem& Item) {
    return TypeKinds.Contains(Item.Kind()) && Item.Parent() && Item.Parent()->Kind() == ckModule &&
           Item.StartLine >= 0 && !Item.Implied;
}

// Every placed declaration of the type named Name: a forward declaration and the full one.
std::vector<TClassItem*> Declarations(TModuleItem& Module, const std::string& Name) {
    std::vector<TClassItem*> found;
    for (TCodeItem* item : Module.Children())
        if (IsTopLevelType(*item) && SameText(item->Name, Name))
            found.push_back(static_cast<TClassItem*>(item));
    return found;
}

// The declaration with a body among a type's declarations: what a forward one stands for.
TClassItem& FullDeclaration(TModuleItem& Module, TClassItem& Class) {
    if (Class.HasBody) return Class;
    const std::vector<TClassItem*> all = Declarations(Module, Class.Name);
    return all.size() > 1 ? *all.back() : Class;
}

bool IsForward(TModuleItem& Module, TClassItem& Class) {
    return &FullDeclaration(Module, Class) != &Class;
}

// Whether an implementation's class name is Name or a type inside it ("Name.TInner").
// Whether a line holds nothing but a comment: what may stand between "type" and the first
// declaration of its section.
bool CommentOnly(const std::string& Line) {
    const std::string text = Trim(Line);
    return text.starts_with("//") ||
           (text.starts_with("{") && !text.starts_with("{$") && text.ends_with("}")) ||
           (text.starts_with("(*") && !text.starts_with("(*$") && text.ends_with("*)"));
}

// The "type" line whose section holds nothing but Class; -1 when the section holds more.
int LoneTypeLine(TStringList& Lines, const TClassItem& Class) {
    int above = Class.StartLine - 1;
    while (above >= 0 && (Trim(Lines[above]).empty() || CommentOnly(Lines[above])))
        --above;
    if (above < 0 || !SameText(Trim(Lines[above]), "type")) return -1;
    const int after = Class.LastLine() + 1;
    return AfterSectionDeclarations(Lines, after) == after ? above : -1;
}

// Whether the lines of Item write the identifier Name (comments count too).
bool Names(TStringList& Lines, const TCodeItem& Item, const std::string& Name) {
    const std::string name = LowerCase(Name);
    for (int i = Item.StartLine; i <= Item.LastLine() && i < Lines.Count(); ++i) {
        const std::string line = LowerCase(Lines[i]);
        for (size_t at = line.find(name); at != std::string::npos; at = line.find(name, at + 1)) {
            const auto ident = [&](size_t k) {
                return std::isalnum(static_cast<unsigned char>(line[k])) || line[k] == '_';
            };
            if ((at == 0 || !ident(at - 1)) &&
                (at + name.size() >= line.size() || !ident(at + name.size())))
                return true;
        }
    }
    return false;
}

bool QualifiedBy(const std::string& ClassName, const std::string& Name) {
    return SameText(ClassName, Name) ||
           (ClassName.size() > Name.size() && ClassName[Name.size()] == '.' &&
            SameText(ClassName.substr(0, Name.size()), Name));
}

// A GUID in its registry form, random but for the version and variant bits.
std::string NewGuidText() {
    static std::mt19937_64 random{std::random_device{}()};
    const uint64_t high = (random() & ~0xF000ull) | 0x4000ull;
    const uint64_t low = (random() & ~(3ull << 62)) | (2ull << 62);
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}", unsigned(high >> 32),
                  unsigned(high >> 16 & 0xFFFF), unsigned(high & 0xFFFF), unsigned(low >> 48),
                  static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
    return text;
}

} // namespace

// The lines that declare Name forward ("TFoo = class;"), which the model holds no item for.
std::vector<int> ForwardLines(TStringList& Lines, const std::string& Name) {
    const std::regex forward("^\\s*" + Name + "\\s*=\\s*(class|interface|dispinterface)\\s*;",
                             std::regex::icase);
    std::vector<int> lines;
    for (int i = 0; i < Lines.Count(); ++i)
        if (std::regex_search(Lines[i], forward)) lines.push_back(i);
    return lines;
}

bool TKolvaEditor::IsDesignerType(const TClassItem& Class) const {
    return Class.Kind() == ckClass && FDesigner && FDesigner->IsDesignerClass(Class.Name);
}

// ---------------------------------------------------------------------------------------
// Placement

int TKolvaEditor::ClassLine(TCodeItemKind Kind, TVisibility V) {
    const int impl = Explorer().ImplementationLine();
    const int count = Lines().Count();
    const auto inPart = [&](const TCodeItem& Item) {
        if (Item.StartLine < 0 || Item.Implied) return false;
        return V == scPrivate ? impl >= 0 && Item.StartLine > impl
                              : impl < 0 || Item.StartLine < impl;
    };
    const TCodeItem *lastOfKind = nullptr, *lastType = nullptr, *firstRoutine = nullptr,
                    *uses = nullptr;
    for (const TCodeItem* item : Explorer().Module().Children()) {
        if (!inPart(*item)) continue;
        if (TypeKinds.Contains(item->Kind())) {
            lastType = item;
            if (item->Kind() == Kind) lastOfKind = item;
        }
        if (!firstRoutine && (item->Kind() == ckProcedure || item->Kind() == ckMethodImpl))
            firstRoutine = item;
        if (!uses && item->Kind() == ckUses) uses = item;
    }
    int line;
    if (lastOfKind)
        line = lastOfKind->LastLine() + 1;
    else if (lastType)
        line = lastType->LastLine() + 1;
    else if (firstRoutine)
        line = firstRoutine->StartLine;
    else if (uses)
        line = uses->LastLine() + 1;
    else if (impl < 0)
        line = count;
    else
        line = impl + (V == scPrivate ? 1 : 0);
    return std::clamp(line, 0, count);
}

namespace {

// The routines of the unit, whose lines a scan for open sections steps over.
std::vector<std::pair<int, int>> RoutineLines(TModuleItem& Module) {
    std::vector<std::pair<int, int>> lines;
    for (const TCodeItem* item : Module.Children())
        if ((item->Kind() == ckProcedure || item->Kind() == ckMethodImpl) && item->StartLine >= 0)
            lines.push_back({item->StartLine, item->LastLine()});
    return lines;
}

} // namespace

bool TKolvaEditor::TypeSectionOpenAt(int Line, TVisibility Part) {
    const int from = Part == scPrivate ? std::max(Explorer().ImplementationLine(), 0) : 0;
    return TypeSectionOpen(Lines(), from, Line, RoutineLines(Explorer().Module()));
}

// ---------------------------------------------------------------------------------------
// Adding and editing

bool TKolvaEditor::AddClass(int KindIndex, const std::string& AncestorName) {
    TEdit edit(*this, false);
    TModuleItem& module = Explorer().Module();
    // A part of the model until the unit is parsed again, so that later names avoid it.
    auto& cls = *new TClassItem(&module, KindIndex);
    cls.Name = cls.UniqueName(KindIndex == 0 || KindIndex == 2 ? "TDefault" : "IDefault");
    cls.Ancestor = AncestorName;
    cls.Visibility = IsUnit() ? scPublic : scPrivate;
    if (KindIndex == 0 && !AncestorName.empty()) {
        const int at = module.FindChild({ckClass}, AncestorName);
        if (at >= 0)
            cls.InterfacesText = static_cast<TClassItem*>(module.Child(at))->InterfacesText;
    }
    if (!cls.Edit()) return false;
    if (!IsUnit()) cls.Visibility = scPrivate;
    // A dispinterface is known by its GUID; without one it does not compile.
    if (cls.Kind() == ckDispInterface && cls.InterfacesText.empty())
        cls.InterfacesText = "'" + NewGuidText() + "'";
    cls.StartColumn = ModuleEditorOptions().BlockIndention();
    const int line = OutsideConditionals(ClassLine(cls.Kind(), cls.Visibility));
    Scratch().Clear();
    if (!IsBlankLine(line - 1)) Scratch().Add(std::string());
    if (!TypeSectionOpenAt(line, cls.Visibility)) Scratch().Add("type");
    const int heading = Scratch().Count();
    WriteDeclaration(cls, Scratch());
    const int headingLines = Scratch().Count() - heading;
    Scratch().Add(std::string(size_t(cls.StartColumn), ' ') + "end;");
    if (!IsBlankLine(line)) Scratch().Add(std::string());
    PutScratch(&cls, line);
    cls.StartLine = line + heading;
    cls.DeclEndLine = cls.StartLine + headingLines - 1;
    cls.EndLine = cls.DeclEndLine + 1;
    edit.Commit();
    return true;
}

bool TKolvaEditor::EditClass(TClassItem& Class) {
    if (IsDesignerType(Class))
        throw Exception(
            Format("Cannot edit designer class %s.\rOnly renaming is allowed.", Class.Name));
    TEdit edit(*this, false);
    TModuleItem& module = Explorer().Module();
    TClassItem copy(nullptr, Class.ClassKindIndex());
    copy.Assign(Class);
    copy.NameSpaceOwner = &module;
    if (!copy.Edit()) return false;
    const std::string oldName = Class.Name;
    const TVisibility oldPart = Class.Visibility;
    const bool forward = IsForward(module, Class);
    if (copy.Visibility != oldPart && (forward || !ForwardLines(Lines(), Class.Name).empty()))
        throw Exception(
            Format("Cannot move %s: it is declared forward, and both must move", Class.Name));
    if (!forward) ExpandClass(Class);
    const std::string heading = Class.GetDeclaration();
    Class.AssignDeclaration(copy);
    Class.Visibility = oldPart;
    // A heading left as it was stays as written ("class" without its implied TObject).
    if (Class.GetDeclaration() != heading) UpdateDeclaration(&Class);
    if (oldName != Class.Name) RenameReferences(Class, oldName, Class.Name);
    if (copy.Visibility != oldPart && IsUnit()) MoveClassToPart(Class, copy.Visibility);
    edit.Commit();
    return true;
}

void TKolvaEditor::MoveClassToPart(TClassItem& Class, TVisibility Part) {
    TEdit edit(*this, false);
    int first = Class.StartLine, last = Class.LastLine();
    if (IsBlankLine(last + 1)) ++last;
    TStringList block;
    block.Add("type");
    for (int i = first; i <= last; ++i)
        block.Add(Lines()[i]);
    int at = ClassLine(Class.Kind(), Part);
    if (at < Lines().Count() - 1 && IsBlankLine(at))
        ++at;
    else if (at == 0 || !IsBlankLine(at - 1))
        block.Insert(0, std::string());
    if (!IsBlankLine(at) && !block[block.Count() - 1].empty() && at < Lines().Count())
        block.Add(std::string());
    at = OutsideConditionals(at);
    // Every line taken out lies above a place further down.
    const int count = Lines().Count();
    DeleteTypeLines(Class);
    if (at > first) at -= count - Lines().Count();
    Scratch().Assign(block);
    PutScratch(&Class, at);
    edit.Commit();
}

// ---------------------------------------------------------------------------------------
// Renaming, deleting, ancestors

void TKolvaEditor::RenameClass(TClassItem& Class, const std::string& NewName) {
    TEdit edit(*this, false);
    // The designer renames its form class in the form and the unit alike.
    if (IsDesignerType(Class) && Designer().RenameClass(Class.Name, NewName)) return edit.Commit();
    const std::string oldName = Class.Name;
    if (!IsForward(Explorer().Module(), Class)) ExpandClass(Class);
    Class.Name = NewName;
    UpdateDeclaration(&Class);
    RenameReferences(Class, oldName, NewName);
    edit.Commit();
}

void TKolvaEditor::RenameReferences(TClassItem& Class, const std::string& OldName,
                                    const std::string& NewName) {
    TEdit edit(*this, false);
    TModuleItem& module = Explorer().Module();
    // The class name of its implementations before the rename: a nested type's is dotted.
    std::string oldQualified = Class.ImplementationClassName();
    oldQualified.resize(oldQualified.size() - Class.Name.size());
    oldQualified += OldName;
    if (Class.Parent() == &module)
        for (int line : ForwardLines(Lines(), OldName)) {
            std::string text = Lines()[line];
            const size_t at = text.find_first_not_of(" \t");
            text.replace(at, OldName.size(), NewName);
            ReplaceLine(nullptr, line, text);
        }
    for (TCodeItem* item : module.Children()) {
        if (item->StartLine <= 0) continue;
        if (item->Kind() == ckMethodImpl) {
            auto& impl = static_cast<TMethodImplItem&>(*item);
            if (!QualifiedBy(impl.ClassName, oldQualified)) continue;
            impl.ClassName =
                Class.ImplementationClassName() + impl.ClassName.substr(oldQualified.size());
            UpdateDeclaration(&impl);
            continue;
        }
        if (!IsTopLevelType(*item) || item == &Class) continue;
        auto& other = static_cast<TClassItem&>(*item);
        if (SameText(other.Name, OldName) && Class.Parent() == &module) {
            other.Name = NewName; // the forward declaration of the same type
            UpdateDeclaration(&other);
            continue;
        }
        const bool descendant = SameText(other.Ancestor, OldName);
        TStringList interfaces = other.Interfaces();
        bool listed = false;
        for (int i = 0; i < interfaces.Count(); ++i)
            if (SameText(interfaces[i], OldName)) {
                interfaces.SetString(i, NewName);
                listed = true;
            }
        if (!descendant && !listed) continue;
        if (!IsForward(module, other)) ExpandClass(other);
        if (descendant) other.Ancestor = NewName;
        if (listed) other.SetInterfaces(interfaces);
        UpdateDeclaration(&other);
    }
    edit.Commit();
}

void TKolvaEditor::DeleteTypeLines(TClassItem& Class) {
    TEdit edit(*this, false);
    const int typeLine = LoneTypeLine(Lines(), Class);
    DeleteItem(Class);
    if (typeLine >= 0) {
        // The comments under it go with the type line, which they explained.
        int last = typeLine;
        while (last + 1 < Lines().Count() && CommentOnly(Lines()[last + 1]))
            ++last;
        RemoveLines(nullptr, typeLine, last - typeLine + 1);
        if (IsBlankLine(typeLine) && IsBlankLine(typeLine - 1)) RemoveLines(nullptr, typeLine, 1);
    }
    edit.Commit();
}

void TKolvaEditor::DeleteClass(TClassItem& Class) {
    if (IsDesignerType(Class))
        throw Exception(Format("Cannot delete designer class %s", Class.Name));
    TEdit edit(*this, false);
    TModuleItem& module = Explorer().Module();
    TItemList items;
    for (TClassItem* declaration : Declarations(module, Class.Name))
        items.push_back(declaration);
    if (std::find(items.begin(), items.end(), &Class) == items.end()) items.push_back(&Class);
    const std::string qualified = Class.ImplementationClassName();
    for (TCodeItem* item : module.Children())
        if (item->Kind() == ckMethodImpl && item->StartLine > 0 &&
            QualifiedBy(static_cast<TMethodImplItem*>(item)->ClassName, qualified))
            items.push_back(item);
    std::stable_sort(items.begin(), items.end(), [](const TCodeItem* a, const TCodeItem* b) {
        return a->StartLine > b->StartLine;
    });
    const std::string name = Class.Name;
    const bool topLevel = Class.Parent() == &module;
    for (TCodeItem* item : items)
        if (TypeKinds.Contains(item->Kind()))
            DeleteTypeLines(static_cast<TClassItem&>(*item));
        else
            DeleteItem(*item);
    if (topLevel) {
        const std::vector<int> forward = ForwardLines(Lines(), name);
        for (auto it = forward.rbegin(); it != forward.rend(); ++it)
            RemoveLines(nullptr, *it, IsBlankLine(*it + 1) && IsBlankLine(*it - 1) ? 2 : 1);
    }
    edit.Commit();
}

void TKolvaEditor::SetAncestor(TClassItem& Named, const std::string& AncestorName) {
    TEdit edit(*this, false);
    TModuleItem& module = Explorer().Module();
    TClassItem& Class = FullDeclaration(module, Named);
    // An ancestor of the unit must be of the type's kind, declared before it, and must not
    // descend from it.
    for (TClassItem* ancestor : Declarations(module, AncestorName)) {
        if (ancestor->Kind() != Class.Kind())
            throw Exception(Format("%s is not a %s", AncestorName, ClassKindText(Class.Kind())));
        TClassItem& full = FullDeclaration(module, *ancestor);
        if (full.StartLine > Class.StartLine)
            throw Exception(Format("%s is declared after %s", AncestorName, Class.Name));
    }
    int steps = 0;
    for (std::string name = AncestorName; !name.empty() && ++steps < 1000;) {
        if (SameText(name, Class.Name))
            throw Exception(Format("%s cannot descend from itself", Class.Name));
        const std::vector<TClassItem*> found = Declarations(module, name);
        name = found.empty() ? std::string() : FullDeclaration(module, *found.front()).Ancestor;
    }
    if (SameText(Class.Ancestor, AncestorName)) return edit.Commit();
    ExpandClass(Class);
    Class.Ancestor = AncestorName;
    UpdateDeclaration(&Class);
    edit.Commit();
}

// ---------------------------------------------------------------------------------------
// Drops in the contents tree

bool TKolvaEditor::DropClassInCode(TClassItem& Dragged, TClassItem& Target) {
    if (&Dragged == &Target || !IsTopLevelType(Dragged) || !IsTopLevelType(Target)) return false;
    if (Dragged.Visibility != Target.Visibility)
        throw Exception(Format("Cannot move %s into the other part of the unit by dragging: "
                               "edit its part instead",
                               Dragged.Name));
    TEdit edit(*this, false);
    // A type must stay below the types it names, and above those that name it.
    const bool down = Target.StartLine > Dragged.StartLine;
    for (const TCodeItem* item : Explorer().Module().Children()) {
        if (!IsTopLevelType(*item) || item == &Dragged) continue;
        const bool passed =
            down ? item->StartLine > Dragged.StartLine && item->StartLine <= Target.StartLine
                 : item->StartLine >= Target.StartLine && item->StartLine < Dragged.StartLine;
        if (passed &&
            (down ? Names(Lines(), *item, Dragged.Name) : Names(Lines(), Dragged, item->Name)))
            throw Exception(Format("Cannot move %s past %s, which %s", Dragged.Name, item->Name,
                                   down ? "uses it" : "it uses"));
    }
    // The section the type leaves must keep a declaration.
    if (LoneTypeLine(Lines(), Dragged) >= 0)
        throw Exception(
            Format("Cannot move %s: its type section would be left empty", Dragged.Name));
    // The type's lines with the blank line after them land after the target when moving
    // down, before it when moving up.
    const int first = Dragged.StartLine;
    int last = std::min(Dragged.LastLine(), Lines().Count() - 1);
    if (IsBlankLine(last + 1)) ++last;
    Scratch().Clear();
    for (int i = first; i <= last; ++i)
        Scratch().Add(Lines()[i]);
    if (!IsBlankLine(last)) Scratch().Add(std::string());
    if (down) {
        int at = std::min(Target.LastLine() + 1, Lines().Count());
        if (at < Lines().Count() - 1 && IsBlankLine(at)) ++at;
        if (!IsBlankLine(at - 1)) Scratch().Insert(0, std::string());
        PutScratch(nullptr, at);
        RemoveLines(nullptr, first, last - first + 1);
    } else {
        const int at = Target.StartLine;
        RemoveLines(nullptr, first, last - first + 1);
        PutScratch(nullptr, at);
    }
    edit.Commit();
    return true;
}

bool TKolvaEditor::DropClassSorted(TClassItem& Dragged, TClassItem& Target) {
    if (Target.Kind() != ckClass || Dragged.Kind() != ckInterface) return false;
    AddInterfaceToClass(Target, Dragged.Name);
    return true;
}

bool TKolvaEditor::DropClassInHierarchy(TClassItem& Dragged, TClassItem& Target) {
    if (&Dragged == &Target) return false;
    if (Dragged.Kind() == Target.Kind()) {
        SetAncestor(Dragged, Target.Name);
        return true;
    }
    return DropClassSorted(Dragged, Target);
}

} // namespace kolva
