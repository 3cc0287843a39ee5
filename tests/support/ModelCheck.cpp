#include "support/ModelCheck.h"

#include "platform/SysUtils.h"

namespace kolva::test {

namespace {

void OutlineItem(std::string& Out, const TCodeItem& Item, int Level) {
    Out.append(2 * Level, ' ');
    Out += CodeItemKindName(Item.Kind());
    Out += ' ';
    Out += Item.Name.empty() ? Item.GetDisplayText() : Item.GetQualifiedName();
    Out += ' ';
    Out += VisibilityName(Item.Visibility);
    Out += Format(" %d-%d", Item.StartLine, Item.LastLine());
    if (Item.Implied) Out += " implied";
    if (const auto* proc = dynamic_cast<const TProcItem*>(&Item)) {
        const TProcItem* link =
            proc->DeclarationLink() ? proc->DeclarationLink() : proc->ImplementationLink();
        if (link) Out += Format(" -> %d", link->StartLine);
    }
    Out += '\n';
    for (const TCodeItem* child : Item.Children())
        OutlineItem(Out, *child, Level + 1);
}

void Check(const TCodeItem& Item, const TCodeItem* PlacedParent, int LineCount, bool Nested,
           std::vector<std::string>& Faults) {
    const std::string name = std::string(CodeItemKindName(Item.Kind())) + " " + Item.Name;
    if (const auto* proc = dynamic_cast<const TProcItem*>(&Item)) {
        if (proc->ImplementationLink() && proc->ImplementationLink()->DeclarationLink() != proc)
            Faults.push_back(name + ": implementation link not returned");
        if (proc->DeclarationLink() && proc->DeclarationLink()->ImplementationLink() != proc)
            Faults.push_back(name + ": declaration link not returned");
    }
    const bool placed = Item.StartLine >= 0;
    if (Item.Implied && placed) Faults.push_back(name + ": implied but placed");
    if (placed) {
        if (Item.LastLine() >= LineCount) Faults.push_back(name + ": beyond the text");
        if (Item.StartLine > Item.LastLine()) Faults.push_back(name + ": ends before start");
        if (Nested && PlacedParent &&
            (Item.StartLine < PlacedParent->StartLine ||
             Item.LastLine() > PlacedParent->LastLine()))
            Faults.push_back(name +
                             Format(" %d-%d: outside its parent", Item.StartLine, Item.LastLine()));
    }
    for (const TCodeItem* child : Item.Children())
        Check(*child, placed ? &Item : PlacedParent, LineCount, Nested, Faults);
}

} // namespace

std::string Outline(const TModuleExplorer& Explorer) {
    std::string out;
    for (int i = 0; i < Explorer.ItemCount(); ++i)
        OutlineItem(out, *Explorer.Item(i), 0);
    return out;
}

std::string OutlineOf(const std::string& Source, TModuleExplorer* Explorer) {
    TModuleExplorer local;
    TModuleExplorer& explorer = Explorer ? *Explorer : local;
    TStringList lines;
    lines.SetText(Source);
    explorer.Parse(&lines);
    return Outline(explorer);
}

std::vector<std::string> CheckModel(const TModuleExplorer& Explorer, int LineCount, bool Nested) {
    std::vector<std::string> faults;
    for (int i = 0; i < Explorer.ItemCount(); ++i)
        Check(*Explorer.Item(i), nullptr, LineCount, Nested, faults);
    return faults;
}

} // namespace kolva::test
