// The copy buffer of a class and of members of a class. A class is copied verbatim with its
// method implementations. Members are written anew, under a stand-in class whose name a
// paste replaces with the target's, so that a buffer taken from one class pastes into any.
#include "editing/KolvaEditors.h"
#include "model/TextStrm.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <string>

namespace kolva {

namespace {

// Constructors, destructors, then procedures and functions together, then operators.
int RoutineRank(const TCodeItem& Item) {
    const auto* proc = dynamic_cast<const TProcItem*>(&Item);
    if (!proc) return 0;
    return proc->ProcKind == pkFunction ? int(pkProcedure) : int(proc->ProcKind);
}

// By visibility (when asked), kind, routine kind and name without regard to case.
void SortForBuffer(TItemList& Items, bool ByVisibility) {
    std::stable_sort(Items.begin(), Items.end(), [&](const TCodeItem* A, const TCodeItem* B) {
        if (ByVisibility && A->Visibility != B->Visibility) return A->Visibility < B->Visibility;
        if (A->Kind() != B->Kind()) return A->Kind() < B->Kind();
        if (RoutineRank(*A) != RoutineRank(*B)) return RoutineRank(*A) < RoutineRank(*B);
        return CompareText(A->Name, B->Name) < 0;
    });
}

// The placed implementations of the methods among Items, in buffer order.
TItemList Implementations(const TItemList& Items) {
    TItemList impls;
    for (TCodeItem* item : Items) {
        if (item->Kind() != ckMethod) continue;
        TProcItem* impl = static_cast<TMethodItem*>(item)->ImplementationLink();
        if (impl && impl->StartLine >= 0) impls.push_back(impl);
    }
    SortForBuffer(impls, false);
    return impls;
}

bool IsMember(const TCodeItem* Item) {
    const TCodeItemKind kind = Item->Kind();
    return kind == ckField || kind == ckMethod || kind == ckProperty || kind == ckResClause;
}

std::string Blanks(int Count) {
    return std::string(size_t(std::max(Count, 0)), ' ');
}

} // namespace

void TKolvaEditor::WriteItems(TCopyKind Kind, TCodeItem* Container, const TItemList& Items,
                              TTextStream& Stream) {
    if (Kind != coClassCopy && Kind != coMembersCopy) {
        TModuleEditor::WriteItems(Kind, Container, Items, Stream);
        return;
    }
    TCodeItem* cls = Container && IsClassKind(Container->Kind()) ? Container : nullptr;
    if (!cls && Kind == coClassCopy) {
        const auto found = std::find_if(Items.begin(), Items.end(), [](const TCodeItem* Item) {
            return IsClassKind(Item->Kind());
        });
        if (found != Items.end()) cls = *found;
    }
    if (!cls) NotImplemented("Copying this content");
    TEdit edit(*this, true);
    if (Kind == coClassCopy)
        WriteClassCopy(static_cast<TClassItem&>(*cls), Stream);
    else
        WriteMembersCopy(static_cast<TClassItem&>(*cls), Items, Stream);
    edit.Commit();
}

void TKolvaEditor::WriteClassCopy(TClassItem& Class, TTextStream& Stream) {
    const auto writeLines = [&](const TCodeItem& Item, int First) {
        for (int line = First; line <= Item.LastLine(); ++line)
            Stream.WriteLine(Lines()[line]);
        Stream.WriteEmptyLine();
    };
    const auto writeType = [&] {
        Stream.WriteLine("type");
        writeLines(Class, Class.StartLine);
    };
    const bool inInterface = Class.Visibility != scPrivate;
    WriteBufferHead(Stream, coClassCopy);
    if (inInterface) writeType();
    WriteBufferMiddle(Stream);
    if (!inInterface) writeType();
    for (const TCodeItem* impl : Implementations(Class.Children()))
        writeLines(*impl, impl->StartLine);
    WriteBufferTail(Stream);
}

void TKolvaEditor::WriteMembersCopy(TClassItem& Class, TItemList Items, TTextStream& Stream) {
    if (Items.empty()) Items = Class.Children();
    TCopyKind kind = coMembersCopy;
    NormalizeSelection(Items, kind);
    AddPropertyLinks(Items);
    std::erase_if(Items, [&](const TCodeItem* Item) {
        return !IsMember(Item) || Item->Parent() != &Class || Item->StartLine < 0;
    });
    SortForBuffer(Items, true);
    const bool isInterface = IsInterfaceKind(Class);
    const std::string name = isInterface ? "ICodeTemplate" : "TCodeTemplate";

    WriteBufferHead(Stream, coMembersCopy);
    Stream.WriteLine("type");
    TClassItem heading(nullptr);
    heading.AssignDeclaration(Class);
    heading.Name = name;
    heading.HasBody = true;
    heading.StartColumn = Class.StartColumn;
    TStringList lines;
    WriteDeclaration(heading, lines);
    Stream.WriteStrings(lines);
    const int column = Class.StartColumn;
    TVisibility visibility = scDefault;
    for (const TCodeItem* item : Items) {
        if (item->Visibility != visibility && item->Visibility != scDefault)
            Stream.WriteLine(Blanks(column) + KeywordText(item->Visibility));
        visibility = item->Visibility;
        Stream.WriteLine(Blanks(2 * column) + item->GetDeclaration());
    }
    Stream.WriteLine(Blanks(column) + "end;");
    Stream.WriteEmptyLine();
    WriteBufferMiddle(Stream);
    for (TCodeItem* item : Implementations(Items)) {
        auto* found = dynamic_cast<TMethodImplItem*>(item);
        if (!found) continue;
        TMethodImplItem& impl = *found;
        TMethodImplItem stand(nullptr);
        stand.Assign(impl);
        stand.ClassName = name;
        stand.SetQualifierText(impl.QualifierText());
        stand.StartColumn = 0;
        lines.Clear();
        WriteDeclaration(stand, lines);
        Stream.WriteStrings(lines);
        for (int line = HeadEnd(impl) + 1; line <= impl.LastLine(); ++line)
            Stream.WriteLine(Lines()[line]);
        Stream.WriteEmptyLine();
    }
    WriteBufferTail(Stream);
}

} // namespace kolva
