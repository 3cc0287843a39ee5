// Drag and drop in the explorer window: members onto another class or the module, a class
// onto another by the contents order.
#include "explorer/ExplorerFrm.h"

namespace kolva {
void TFWExplorerForm::BeginMemberDrag() {
    EndDrag();
    TCodeItem* Source = SelectedItem();
    if (!Source) return;
    for (const QModelIndex& Index : FList->selectionModel()->selectedRows()) {
        int Row = Index.row();
        if (Row < FCache.Count() && !FCache.Row(Row).Local)
            FDragItems.push_back(FCache.Row(Row).Item);
    }
    if (FDragItems.empty()) return;
    std::sort(FDragItems.begin(), FDragItems.end(),
              [](const TCodeItem* A, const TCodeItem* B) { return A->StartLine < B->StartLine; });
    FDragSource = Source;
    FDragKind = Source->Kind() == ckModule ? 2 : 1;
    FDragGeneration = FGeneration;
}

bool TFWExplorerForm::BeginClassDrag() {
    EndDrag();
    TCodeItem* Class = SelectedItem();
    if (!Class || !IsClassKind(Class->Kind())) return false;
    FDragSource = Class;
    FDragKind = 3;
    FDragGeneration = FGeneration;
    return true;
}

void TFWExplorerForm::EndDrag() {
    FDragKind = 0;
    FDragItems.clear();
    FDragSource = nullptr;
}

namespace {
bool Descends(const QTreeWidgetItem* Node, const QTreeWidgetItem* From) {
    for (; Node; Node = Node->parent())
        if (Node == From) return true;
    return false;
}
} // namespace

Qt::DropAction TFWExplorerForm::DropActionOn(QTreeWidgetItem* Node,
                                             Qt::KeyboardModifiers Keys) const {
    TCodeItem* Target = NodeItem(Node);
    if (!Target || FDragKind == 0 || FDragGeneration != FGeneration) return Qt::IgnoreAction;
    if (FDragKind != 3) {
        if (Target == SelectedItem()) return Qt::IgnoreAction;
        bool Move = Keys.testFlag(Qt::ShiftModifier) && !Keys.testFlag(Qt::ControlModifier);
        return Move ? Qt::MoveAction : Qt::CopyAction;
    }
    if (Target == FDragSource || !IsClassKind(Target->Kind())) return Qt::IgnoreAction;
    bool InterfaceOnClass = FDragSource->Kind() == ckInterface && Target->Kind() == ckClass;
    switch (KOLVAOptions().ContentsDisplayMode()) {
    case dmCode:
        return Qt::MoveAction;
    case dmSorted:
        return InterfaceOnClass ? Qt::MoveAction : Qt::IgnoreAction;
    case dmHierarchy: {
        QTreeWidgetItem* Dragged = FTree->currentItem();
        bool Related = Node == Dragged->parent() || Descends(Node, Dragged);
        bool SameKind = Target->Kind() == FDragSource->Kind();
        return InterfaceOnClass || (SameKind && !Related) ? Qt::MoveAction : Qt::IgnoreAction;
    }
    }
    return Qt::IgnoreAction;
}

void TFWExplorerForm::DropOn(QTreeWidgetItem* Node, Qt::KeyboardModifiers Keys) {
    Qt::DropAction Action = DropActionOn(Node, Keys);
    TCodeItem* Target = NodeItem(Node);
    int Kind = FDragKind;
    TItemList Items = FDragItems;
    TCodeItem* Source = FDragSource;
    EndDrag();
    if (Action == Qt::IgnoreAction) return;
    if (Kind != 3) {
        Run([&] {
            FModelEditor->CopyOrMoveItems(*Source, *Target, Action == Qt::MoveAction, Items);
        });
        return;
    }
    std::string Name = Source->Name;
    auto& Dragged = static_cast<TClassItem&>(*Source);
    auto& Onto = static_cast<TClassItem&>(*Target);
    Run([&] {
        switch (KOLVAOptions().ContentsDisplayMode()) {
        case dmCode:
            FModelEditor->DropClassInCode(Dragged, Onto);
            break;
        case dmSorted:
            FModelEditor->DropClassSorted(Dragged, Onto);
            break;
        case dmHierarchy:
            FModelEditor->DropClassInHierarchy(Dragged, Onto);
            break;
        }
    });
    int At = FParser.Module().FindChild({ckClass, ckInterface, ckObject, ckDispInterface}, Name);
    if (At >= 0) {
        SelectItem(FParser.Item(At));
        ShowClass(false);
    }
}

} // namespace kolva
