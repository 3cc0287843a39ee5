// The copy buffer as the module editor writes it: a signature line that says what was
// copied, and for procedures of a unit a small pseudo-unit around their lines, so that a
// paste can parse the buffer like any unit and insert what it finds.
#include "editing/ModuleEditors.h"
#include "model/TextStrm.h"

#include <algorithm>

namespace kolva {

namespace {

bool Placed(const TCodeItem* Item) {
    return Item && Item->StartLine >= 0;
}

void AddOnce(TItemList& Items, TCodeItem* Item) {
    if (Placed(Item) && std::find(Items.begin(), Items.end(), Item) == Items.end())
        Items.push_back(Item);
}

// The selection with the declaration and implementation of every procedure in it, in line
// order.
TItemList WithProcedureLinks(const TItemList& Items) {
    TItemList all;
    for (TCodeItem* item : Items) {
        AddOnce(all, item);
        if (auto* proc = dynamic_cast<TProcItem*>(item)) {
            AddOnce(all, proc->DeclarationLink());
            AddOnce(all, proc->ImplementationLink());
        }
    }
    std::stable_sort(all.begin(), all.end(), [](const TCodeItem* A, const TCodeItem* B) {
        return A->StartLine < B->StartLine;
    });
    return all;
}

} // namespace

const char* CopySignature(TCopyKind Kind) {
    static const char* const signatures[] = {"//FWWIN:CLASSCOPY", "//FWWIN:MEMBERSCOPY",
                                             "//FWWIN:MODULECOPY", "//FWWIN:PROCEDURECOPY"};
    return signatures[Kind];
}

void WriteBufferHead(TTextStream& Stream, TCopyKind Kind) {
    Stream.WriteLine(CopySignature(Kind));
    Stream.WriteLine("unit _FW_Copy_Buffer_;");
    Stream.WriteEmptyLine();
    Stream.WriteLine("interface");
    Stream.WriteEmptyLine();
}

void WriteBufferMiddle(TTextStream& Stream) {
    Stream.WriteEmptyLine();
    Stream.WriteLine("implementation");
    Stream.WriteEmptyLine();
}

void WriteBufferTail(TTextStream& Stream) {
    Stream.WriteEmptyLine();
    Stream.WriteLine("end.");
}

void TModuleEditor::WriteItems(TCopyKind Kind, TCodeItem* Container, const TItemList& Items,
                               TTextStream& Stream) {
    if (Kind == coClassCopy || Kind == coMembersCopy) NotImplemented("Copying classes and members");
    TEdit edit(*this, true);
    TItemList selected = Items;
    if (selected.empty()) {
        TCodeItem& owner = Container ? *Container : FExplorer.Module();
        for (TCodeItem* child : owner.Children())
            if (child->Kind() == ckProcedure && Placed(child)) selected.push_back(child);
    }
    NormalizeSelection(selected, Kind);
    const TItemList items = WithProcedureLinks(selected);
    const auto writeLines = [&](const TCodeItem& Item) {
        for (int line = Item.StartLine; line <= Item.LastLine(); ++line)
            Stream.WriteLine(Lines()[line]);
        Stream.WriteEmptyLine();
    };
    if (Kind == coProcedureCopy) {
        Stream.WriteLine(CopySignature(Kind));
        for (const TCodeItem* item : items)
            writeLines(*item);
    } else {
        WriteBufferHead(Stream, Kind);
        for (const TCodeItem* item : items)
            if (item->Visibility == scPublic) writeLines(*item);
        WriteBufferMiddle(Stream);
        for (const TCodeItem* item : items)
            if (item->Visibility != scPublic) writeLines(*item);
        WriteBufferTail(Stream);
    }
    edit.Commit();
}

void TModuleEditor::CopyItems(TCopyKind Kind, TCodeItem* Container, const TItemList& Items) {
    // Written aside first: a copy that fails half way leaves the clipboard as it was.
    TStringList buffer;
    {
        TStringsText text(buffer);
        WriteItems(Kind, Container, Items, text);
    }
    TClipbrdTextStream clipboard(tmCreate);
    clipboard.WriteStrings(buffer);
}

} // namespace kolva
