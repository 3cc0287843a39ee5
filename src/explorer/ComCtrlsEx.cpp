#include "explorer/ComCtrlsEx.h"

#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QStandardItemModel>

namespace kolva {

TListViewEx::TListViewEx(QWidget* Parent) : QTreeView(Parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    header()->setVisible(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TListViewEx::MoveRow(int From, int To) {
    auto* Rows = qobject_cast<QStandardItemModel*>(model());
    if (!Rows || From < 0 || From >= Rows->rowCount() || To < 0 || To > Rows->rowCount()) return;
    if (To == From || To == From + 1) return;
    QList<QStandardItem*> Row = Rows->takeRow(From);
    int Target = To > From ? To - 1 : To;
    Rows->insertRow(Target, Row);
    QModelIndex Index = Rows->index(Target, 0);
    selectionModel()->select(Index,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectionModel()->setCurrentIndex(Index, QItemSelectionModel::NoUpdate);
}

bool TListViewEx::EditFocused() {
    QModelIndex Index = currentIndex();
    return Index.isValid() && QTreeView::edit(Index, AllEditTriggers, nullptr);
}

void TListViewEx::startDrag(Qt::DropActions Actions) {
    if (OnStartDrag) OnStartDrag(*this);
    QTreeView::startDrag(Actions);
}

void TListViewEx::mouseDoubleClickEvent(QMouseEvent* Event) {
    QTreeView::mouseDoubleClickEvent(Event);
    if (OnDblClicked) OnDblClicked(*this);
}

bool TListViewEx::edit(const QModelIndex& Index, EditTrigger Trigger, QEvent* Event) {
    if (!QTreeView::edit(Index, Trigger, Event)) return false;
    if (auto* Line = qobject_cast<QLineEdit*>(indexWidget(Index)))
        connect(Line, &QLineEdit::textEdited, this, [this](const QString& Text) {
            if (OnChangeEditText) OnChangeEditText(*this, Text);
        });
    return true;
}

void TListViewEx::closeEditor(QWidget* Editor, QAbstractItemDelegate::EndEditHint Hint) {
    QTreeView::closeEditor(Editor, Hint);
    if (Hint == QAbstractItemDelegate::RevertModelCache && OnCancelEdit) OnCancelEdit(*this);
}

TTreeViewEx::TTreeViewEx(QWidget* Parent) : QTreeWidget(Parent) {
    header()->setVisible(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void TTreeViewEx::SetBold(QTreeWidgetItem* Node, bool Bold) {
    QFont Font = Node->font(0);
    Font.setBold(Bold);
    Node->setFont(0, Font);
}

bool TTreeViewEx::IsBold(const QTreeWidgetItem* Node) const {
    return Node->font(0).bold();
}

void TTreeViewEx::startDrag(Qt::DropActions) {
    if (!OnStartDrag || !OnStartDrag(*this)) return;
    auto* Drag = new QDrag(this);
    auto* Data = new QMimeData;
    Data->setData(ExplorerDragFormat, {});
    Drag->setMimeData(Data);
    Drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

void TTreeViewEx::dragEnterEvent(QDragEnterEvent* Event) {
    if (Event->mimeData()->hasFormat(ExplorerDragFormat))
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void TTreeViewEx::dragMoveEvent(QDragMoveEvent* Event) {
    QTreeWidget::dragMoveEvent(Event); // the tree's own auto-scrolling and drop indicator
    Qt::DropAction Action =
        OnDragOver ? OnDragOver(itemAt(Event->position().toPoint()), Event->modifiers())
                   : Qt::IgnoreAction;
    if (Action == Qt::IgnoreAction) return Event->ignore();
    Event->setDropAction(Action);
    Event->accept();
}

void TTreeViewEx::dropEvent(QDropEvent* Event) {
    QTreeWidgetItem* Node = itemAt(Event->position().toPoint());
    Qt::KeyboardModifiers Keys = Event->modifiers();
    if (!OnDragOver || OnDragOver(Node, Keys) == Qt::IgnoreAction) return Event->ignore();
    Event->setDropAction(Qt::CopyAction); // the window changes the source, not the drag
    Event->accept();
    if (OnDragDrop) OnDragDrop(Node, Keys);
}

void TTreeViewEx::mouseDoubleClickEvent(QMouseEvent* Event) {
    QTreeWidget::mouseDoubleClickEvent(Event);
    if (OnDblClicked) OnDblClicked(*this);
}

void TTreeViewEx::closeEditor(QWidget* Editor, QAbstractItemDelegate::EndEditHint Hint) {
    QTreeWidget::closeEditor(Editor, Hint);
    if (Hint == QAbstractItemDelegate::RevertModelCache && OnCancelEdit) OnCancelEdit(*this);
}

} // namespace kolva
