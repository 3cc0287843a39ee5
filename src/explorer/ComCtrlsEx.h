// The list and tree views of the explorer and the rearrange dialog, with what the platform's
// views lack: moving a row, editing the focused row in place, and events for a double
// click, a cancelled edit and each change of the edit text.
#pragma once

#include <functional>
#include <QTreeView>
#include <QTreeWidget>

class QStandardItemModel;

namespace kolva {

/// The drag data of the explorer's own drags: the dragged items stay with the window.
inline constexpr const char* ExplorerDragFormat = "application/x-kolva-explorer-items";

/// A list of rows (a tree view without branches) over any model.
class TListViewEx : public QTreeView {
public:
    explicit TListViewEx(QWidget* Parent = nullptr);

    /// Moves row From of a QStandardItemModel so that it stands before the row that was at
    /// To (To = From + 2 moves one place down, From - 1 one place up), then selects and
    /// focuses it. A move onto its own place changes nothing.
    void MoveRow(int From, int To);
    /// Opens the in-place editor on the focused row; false when it cannot be edited.
    bool EditFocused();
    using QTreeView::edit;

    std::function<void(TListViewEx&)> OnDblClicked;
    std::function<void(TListViewEx&)> OnCancelEdit;
    std::function<void(TListViewEx&, const QString& Text)> OnChangeEditText;
    /// Called as a drag of the selected rows begins, before the drag data is asked for.
    std::function<void(TListViewEx&)> OnStartDrag;

protected:
    void startDrag(Qt::DropActions Actions) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    bool edit(const QModelIndex& Index, EditTrigger Trigger, QEvent* Event) override;
    void closeEditor(QWidget* Editor, QAbstractItemDelegate::EndEditHint Hint) override;
};

/// The contents tree: nodes may be drawn bold.
class TTreeViewEx : public QTreeWidget {
public:
    explicit TTreeViewEx(QWidget* Parent = nullptr);

    void SetBold(QTreeWidgetItem* Node, bool Bold);
    bool IsBold(const QTreeWidgetItem* Node) const;

    std::function<void(TTreeViewEx&)> OnDblClicked;
    std::function<void(TTreeViewEx&)> OnCancelEdit;
    /// A drag of the current node begins when this answers true.
    std::function<bool(TTreeViewEx&)> OnStartDrag;
    /// What a drop on Node (null: no node) would do with these keys held: Qt::IgnoreAction
    /// refuses it.
    std::function<Qt::DropAction(QTreeWidgetItem* Node, Qt::KeyboardModifiers Keys)> OnDragOver;
    std::function<void(QTreeWidgetItem* Node, Qt::KeyboardModifiers Keys)> OnDragDrop;

protected:
    void startDrag(Qt::DropActions Actions) override;
    void dragEnterEvent(QDragEnterEvent* Event) override;
    void dragMoveEvent(QDragMoveEvent* Event) override;
    void dropEvent(QDropEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void closeEditor(QWidget* Editor, QAbstractItemDelegate::EndEditHint Hint) override;
};

} // namespace kolva
