#include "explorer/ComCtrlsEx.h"

#include <QHeaderView>
#include <QLineEdit>
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

void TTreeViewEx::mouseDoubleClickEvent(QMouseEvent* Event) {
    QTreeWidget::mouseDoubleClickEvent(Event);
    if (OnDblClicked) OnDblClicked(*this);
}

void TTreeViewEx::closeEditor(QWidget* Editor, QAbstractItemDelegate::EndEditHint Hint) {
    QTreeWidget::closeEditor(Editor, Hint);
    if (Hint == QAbstractItemDelegate::RevertModelCache && OnCancelEdit) OnCancelEdit(*this);
}

} // namespace kolva
