// Arbitrary bytes, split into lines, through the module parser: as a unit and as a fragment,
// with and without tag items. Besides crashes, hangs and sanitizer reports it checks the
// model's invariants: links point at each other, implied items have no place, placed items
// lie inside the text, and a second parse of the same text gives the same model.
#include "model/ModuleExplorer.h"
#include "platform/StringList.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace kolva;

namespace {

void Check(bool Condition) {
    if (!Condition) std::abort();
}

void Walk(TCodeItem& Item, int LineCount, std::string& Shape) {
    if (auto* proc = dynamic_cast<TProcItem*>(&Item)) {
        if (proc->ImplementationLink()) Check(proc->ImplementationLink()->DeclarationLink() == proc);
        if (proc->DeclarationLink()) Check(proc->DeclarationLink()->ImplementationLink() == proc);
    }
    if (Item.Implied) Check(Item.StartLine < 0);
    if (Item.StartLine >= 0) {
        Check(Item.LastLine() < LineCount);
        Check(Item.StartLine <= Item.LastLine());
    }
    Shape += std::to_string(Item.Kind()) + ":" + Item.Name + ":" + std::to_string(Item.StartLine) +
             ":" + Item.GetDeclaration() + "\n";
    for (TCodeItem* child : Item.Children()) Walk(*child, LineCount, Shape);
    Shape += "}\n";
}

std::string Shape(TModuleExplorer& Explorer, int LineCount) {
    std::string shape;
    Walk(Explorer.Module(), LineCount, shape);
    return shape;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    const uint8_t mode = Data[0];
    TStringList lines;
    lines.SetText(std::string_view(reinterpret_cast<const char*>(Data + 1), Size - 1));
    TModuleExplorer explorer;
    explorer.ImplementationOnly = mode & 1;
    if (mode & 2) explorer.Options.Include(TModuleExplorer::poTagItems);
    explorer.Parse(&lines);
    const std::string first = Shape(explorer, lines.Count());
    explorer.Parse(&lines);
    Check(Shape(explorer, lines.Count()) == first);
    if (explorer.ItemCount() > 0) explorer.ItemAtLine(lines.Count() / 2);
    return 0;
}
