// The list and tree views of the explorer and the rearrange dialog, with what the platform's
// views lack: moving a row, editing the focused row in place, and events for a double
// click, a cancelled edit and each change of the edit text.
#pragma once

#include <functional>
#include <QTreeView>
#include <QTreeWidget>

class QStandardItemModel;

namespace kolva {

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

protected:
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

protected:
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void closeEditor(QWidget* Editor, QAbstractItemDelegate::EndEditHint Hint) override;
};

} // namespace kolva
