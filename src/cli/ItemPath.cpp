#include "cli/ItemPath.h"

#include "cli/Commands.h"
#include "editing/ModuleEditors.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <vector>

namespace kolva::cli {

namespace {

// The items a path went through; the last is the item it names. A step into a routine's
// implementation passes through both the routine and its implementation.
using TReach = std::vector<TCodeItem*>;

// Rest with Name taken off its front as whole parts: "" when the path ends there, the
// remainder after the dot, or nullopt when Name is not a prefix of Rest.
std::optional<std::string_view> After(std::string_view Rest, std::string_view Name) {
    if (Name.empty() || Rest.size() < Name.size() || !SameText(Rest.substr(0, Name.size()), Name))
        return std::nullopt;
    if (Rest.size() == Name.size()) return std::string_view();
    if (Rest[Name.size()] != '.') return std::nullopt;
    return Rest.substr(Name.size() + 1);
}

void Walk(TCodeItem& Parent, std::string_view Rest, TReach& Reach, std::vector<TReach>& Out);

void Step(TCodeItem& Child, std::string_view Rest, TReach& Reach, std::vector<TReach>& Out) {
    Reach.push_back(&Child);
    if (Rest.empty()) {
        Out.push_back(Reach);
    } else {
        Walk(Child, Rest, Reach, Out);
        TCodeItem* impl = TModuleExplorer::ImplementationOf(&Child);
        if (impl != &Child) {
            Reach.push_back(impl);
            Walk(*impl, Rest, Reach, Out);
            Reach.pop_back();
        }
    }
    Reach.pop_back();
}

// A top-level method implementation answers to its qualified name ("TFoo.Bar") and to its
// own name; every other item to its name.
void Walk(TCodeItem& Parent, std::string_view Rest, TReach& Reach, std::vector<TReach>& Out) {
    for (TCodeItem* child : Parent.Children()) {
        const std::string qualified = child->GetQualifiedName();
        if (auto rest = After(Rest, child->Name)) Step(*child, *rest, Reach, Out);
        if (qualified != child->Name)
            if (auto rest = After(Rest, qualified)) Step(*child, *rest, Reach, Out);
    }
}

bool PassesLine(const TReach& Reach, int Line) {
    return std::any_of(Reach.begin(), Reach.end(),
                       [&](const TCodeItem* item) { return item->StartLine == Line; });
}

// The distinct items reached, a routine's implementation left out when its declaration is
// there too.
std::vector<TCodeItem*> Distinct(const std::vector<TReach>& Reaches) {
    std::vector<TCodeItem*> items;
    for (const TReach& reach : Reaches)
        if (std::find(items.begin(), items.end(), reach.back()) == items.end())
            items.push_back(reach.back());
    std::vector<TCodeItem*> result;
    for (TCodeItem* item : items) {
        const bool implOfOther = std::any_of(items.begin(), items.end(), [&](TCodeItem* other) {
            return other != item && TModuleExplorer::ImplementationOf(other) == item;
        });
        if (!implOfOther) result.push_back(item);
    }
    return result;
}

// The full name with what tells overloads apart: "procedure TOrder.Add(Line: TOrderLine)".
std::string CandidateText(const TCodeItem& Item) {
    std::string display = Item.GetDisplayText();
    if (display.ends_with(';')) display.pop_back();
    for (const std::string& name : {Item.GetQualifiedName(), Item.Name})
        if (display.size() > name.size() && SameText(display.substr(0, name.size()), name))
            return FullItemName(Item) + display.substr(name.size());
    return FullItemName(Item);
}

// The paths of the items a user names most: top-level items and their members, and local
// procedures of routines.
void CollectPaths(const TCodeItem& Parent, const std::string& Prefix, int Depth,
                  std::vector<std::string>& Paths) {
    for (const TCodeItem* child : Parent.Children()) {
        if (child->Name.empty()) continue;
        const std::string path = Prefix + child->GetQualifiedName();
        Paths.push_back(path);
        if (Depth < 2) CollectPaths(*child, path + ".", Depth + 1, Paths);
    }
}

} // namespace

std::string FullItemName(const TCodeItem& Item) {
    std::string owner;
    for (const TCodeItem* p = Item.Parent(); p && p->Kind() != ckModule; p = p->Parent())
        owner = p->GetQualifiedName() + "." + owner;
    return TModuleEditor::KindWord(Item) + " " + owner + Item.GetQualifiedName();
}

TCodeItem& FindItem(TCodeItem& Module, const std::string& Path, std::optional<int> Line,
                    const std::string& File, const char* LineOption) {
    std::vector<TReach> reaches;
    TReach reach;
    Walk(Module, Path, reach, reaches);
    if (Line) std::erase_if(reaches, [&](const TReach& r) { return !PassesLine(r, *Line); });
    const std::vector<TCodeItem*> items = Distinct(reaches);
    if (items.empty()) {
        std::vector<std::string> paths;
        CollectPaths(Module, "", 0, paths);
        throw Exception(Format("No item \"%s\"%s in %s%s", Path,
                               Line ? Format(" at line %d", *Line) : "", File,
                               Line ? "" : DidYouMean(Path, paths)));
    }
    if (items.size() == 1) return *items.front();
    std::string list;
    for (const TCodeItem* item : items)
        list += Format("\n  %s %-6d %s", LineOption, item->StartLine, CandidateText(*item));
    throw Exception(
        Format("\"%s\" is ambiguous in %s; choose one with %s:%s", Path, File, LineOption, list));
}

} // namespace kolva::cli
