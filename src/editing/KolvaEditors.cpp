// The class editor's placement rules: where a member goes in its class, visibility sections
// made on demand, short-form classes given a body, and where method implementations go.
#include "editing/KolvaEditors.h"

#include "platform/SysUtils.h"

#include <algorithm>

namespace kolva {

TClassItem& ClassOf(TCodeItem& Item) {
    TCodeItem* parent = Item.Parent();
    if (!parent || !IsClassKind(parent->Kind()))
        throw Exception(Format("%s is not a member of a class", Item.Name));
    return static_cast<TClassItem&>(*parent);
}

bool IsInterfaceKind(const TCodeItem& Item) {
    return Item.Kind() == ckInterface || Item.Kind() == ckDispInterface;
}

namespace {

// A field written after "class var", "const" or another section keyword of the class belongs
// to that section: a new field put beside it would become a class variable or a constant.
bool InSection(const TClassItem& Class, const TCodeItem& Field) {
    const TCodeItem* opener = nullptr;
    for (const TCodeItem* child : Class.Children()) {
        const TCodeItemKind kind = child->Kind();
        if (child->StartLine < 0 || child->StartLine >= Field.StartLine ||
            (kind != ckSection && kind != ckVisibility && kind != ckMethod && kind != ckProperty))
            continue;
        if (!opener || child->StartLine > opener->StartLine) opener = child;
    }
    return opener && opener->Kind() == ckSection;
}

// "First" and "last" go by position in the text: while members move, the model's order of
// children no longer says where they stand.
const TCodeItem* Extreme(const TClassItem& Class, TVisibility V, TCodeItems Kinds, bool Last) {
    const TCodeItem* found = nullptr;
    for (const TCodeItem* child : Class.Children()) {
        if (child->StartLine < 0 || child->Visibility != V || !Kinds.Contains(child->Kind()))
            continue;
        if (child->Kind() == ckField && InSection(Class, *child)) continue;
        if (!found ||
            (Last ? child->StartLine > found->StartLine : child->StartLine < found->StartLine))
            found = child;
    }
    return found;
}

const TCodeItem* LastOf(const TClassItem& C, TVisibility V, TCodeItems Kinds) {
    return Extreme(C, V, Kinds, true);
}

const TCodeItem* FirstOf(const TClassItem& C, TVisibility V, TCodeItems Kinds) {
    return Extreme(C, V, Kinds, false);
}

} // namespace

TKolvaEditor::TKolvaEditor(TModuleExplorer& Explorer, TEditSynchronizer* Synchronizer,
                           TDesignerInterface* Designer)
    : TModuleEditor(Explorer, Synchronizer), FDesigner(Designer) {}

int TKolvaEditor::MemberIndent(const TClassItem& Class) const {
    return Class.StartColumn + ModuleEditorOptions().BlockIndention();
}

// The last resort of every placement: a new section for V, else right after the heading.
static int AfterSectionOrHeading(TKolvaEditor& Editor, TClassItem& Class, TVisibility V) {
    if (const TCodeItem* keyword = FirstOf(Class, V, {ckVisibility})) return keyword->StartLine + 1;
    if (TVisibilityItem* section = Editor.CreateVisibilitySection(Class, V))
        return section->StartLine + 1;
    return HeadEnd(Class) + 1;
}

int TKolvaEditor::FieldPlacement(TClassItem& Class, TVisibility V) {
    if (const TCodeItem* field = LastOf(Class, V, {ckField})) return field->LastLine() + 1;
    if (const TCodeItem* next = FirstOf(Class, V, {ckMethod, ckProperty})) return next->StartLine;
    if (const TCodeItem* clause = LastOf(Class, V, {ckResClause})) return clause->LastLine() + 1;
    return AfterSectionOrHeading(*this, Class, V);
}

int TKolvaEditor::MethodPlacement(TClassItem& Class, TVisibility V) {
    if (const TCodeItem* method = LastOf(Class, V, {ckMethod})) return HeadEnd(*method) + 1;
    if (const TCodeItem* next = FirstOf(Class, V, {ckProperty})) return next->StartLine;
    if (const TCodeItem* prev = LastOf(Class, V, {ckField, ckResClause}))
        return prev->LastLine() + 1;
    return AfterSectionOrHeading(*this, Class, V);
}

int TKolvaEditor::PropertyPlacement(TClassItem& Class, TVisibility V) {
    if (const TCodeItem* property = LastOf(Class, V, {ckProperty})) return property->LastLine() + 1;
    if (const TCodeItem* prev = LastOf(Class, V, {ckResClause, ckMethod, ckField, ckVisibility}))
        return HeadEnd(*prev) + 1;
    if (TVisibilityItem* section = CreateVisibilitySection(Class, V)) return section->StartLine + 1;
    return HeadEnd(Class) + 1;
}

int TKolvaEditor::ResClausePlacement(TClassItem& Class, TVisibility V) {
    if (const TCodeItem* clause = LastOf(Class, V, {ckResClause})) return clause->LastLine() + 1;
    if (const TCodeItem* next = FirstOf(Class, V, {ckProperty, ckMethod, ckField}))
        return next->StartLine;
    return AfterSectionOrHeading(*this, Class, V);
}

TVisibilityItem* TKolvaEditor::CreateVisibilitySection(TClassItem& Class, TVisibility V) {
    if (V == scDefault || IsInterfaceKind(Class) || Class.DeclaredElsewhere ||
        Class.StartLine < 0 || (Class.Kind() == ckObject && V != scPrivate))
        return nullptr;
    // Before the first member of a later section, else before the class's "end;".
    const TCodeItem* later = nullptr;
    for (const TCodeItem* child : Class.Children())
        if (child->StartLine >= 0 && child->Visibility > V &&
            (!later || child->StartLine < later->StartLine))
            later = child;
    TEdit edit(*this, false);
    const int line = OutsideConditionals(later ? later->StartLine : Class.LastLine());
    const int column = later ? later->StartColumn : Class.StartColumn;
    auto* section = new TVisibilityItem(&Class);
    section->Visibility = V;
    Scratch().Clear();
    Scratch().Add(std::string(size_t(std::max(column, 0)), ' ') + KeywordText(V));
    PutScratch(section, line);
    section->StartLine = section->DeclEndLine = section->EndLine = line;
    section->StartColumn = column;
    edit.Commit();
    return section;
}

// A body written on the heading's line ("TZ = class(TObject) end;") gets its "end;" on a
// line of its own, so that members can go between.
void TKolvaEditor::SplitOneLineBody(TClassItem& Class) {
    if (Class.StartLine < 0 || Class.EndLine != HeadEnd(Class) || Class.ChildCount() > 0) return;
    TEdit edit(*this, false);
    const std::vector<TSourceToken> tokens = WrittenTokens(Class, Class.EndLine);
    const size_t n = tokens.size();
    if (n < 2 || !SameText(tokens[n - 2].Text, "end") || tokens[n - 1].Text != ";" ||
        tokens[n - 2].Line != Class.EndLine || tokens[n - 1].Line != Class.EndLine)
        return;
    const std::string heading = Lines()[Class.EndLine];
    ReplaceLine(&Class, Class.EndLine, TrimRight(heading.substr(0, size_t(tokens[n - 2].Column))));
    Scratch().Clear();
    Scratch().Add(std::string(size_t(std::max(Class.StartColumn, 0)), ' ') +
                  heading.substr(size_t(tokens[n - 2].Column)));
    PutScratch(&Class, Class.EndLine + 1);
    Class.EndLine = Class.DeclEndLine + 1;
    edit.Commit();
}

void TKolvaEditor::ExpandClass(TClassItem& Class) {
    if (Class.HasBody) return SplitOneLineBody(Class);
    if (Class.StartLine < 0 || Class.DeclaredElsewhere)
        throw Exception(Format("Cannot perform operation on bad formatted item %s", Class.Name));
    TEdit edit(*this, false);
    // The heading stays as written, only without the ";" that ended the short form.
    const std::vector<TSourceToken> heading = WrittenTokens(Class, HeadEnd(Class));
    if (heading.empty() || heading.back().Text != ";")
        throw Exception(Format("Cannot perform operation on bad formatted item %s", Class.Name));
    std::string text = Lines()[heading.back().Line];
    text.erase(size_t(heading.back().Column), 1);
    ReplaceLine(&Class, heading.back().Line, TrimRight(text));
    const int line = HeadEnd(Class) + 1;
    Scratch().Clear();
    Scratch().Add(std::string(size_t(std::max(Class.StartColumn, 0)), ' ') + "end;");
    if (!IsBlankLine(line)) Scratch().Add(std::string());
    PutScratch(&Class, line);
    Class.EndLine = line;
    Class.HasBody = true;
    edit.Commit();
}

int TKolvaEditor::ImplementationPlacement(TClassItem& Class) {
    const int impl = Explorer().ImplementationLine();
    const int count = Lines().Count();
    const std::vector<TCodeItem*>& items = Explorer().Module().Children();
    int line = -1;
    for (auto it = items.rbegin(); it != items.rend() && line < 0; ++it) {
        const TCodeItem* item = *it;
        if (item->Kind() == ckMethodImpl && item->StartLine >= 0 &&
            SameText(static_cast<const TMethodImplItem*>(item)->ClassName, Class.Name))
            line = item->LastLine() + 1;
    }
    for (auto it = items.rbegin(); it != items.rend() && line < 0; ++it)
        if (!(*it)->Implied && (*it)->StartLine >= 0) line = (*it)->LastLine() + 1;
    if (line < 0) line = impl >= 0 ? impl + 1 : count - 1;
    return std::clamp(line, impl + 1, std::max(count, impl + 1));
}

bool TKolvaEditor::IsComponent(const TCodeItem& Field) {
    return Field.Kind() == ckField && Field.Visibility == scDefault && Field.Parent() &&
           Designer().IsComponent(Field.Parent()->Name, Field.Name);
}

bool TKolvaEditor::IsEventHandler(const TCodeItem& Method) {
    return Method.Kind() == ckMethod && Method.Visibility == scDefault && Method.Parent() &&
           Designer().IsEventHandler(Method.Parent()->Name, Method.Name);
}

} // namespace kolva
