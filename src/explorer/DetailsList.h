// The member list as the view sees it: a virtual list over the display cache (row count =
// cache count) and the drawing of each row with the images the display options ask for.
#pragma once

#include "explorer/DisplCache.h"

#include <functional>
#include <QAbstractListModel>
#include <QStyledItemDelegate>
#include <string>

namespace kolva {

class TDetailsModel : public QAbstractListModel {
public:
    explicit TDetailsModel(const TDisplayCache& Cache, QObject* Parent = nullptr)
        : QAbstractListModel(Parent), FCache(Cache) {}

    /// Tells the views that the cache was filled anew.
    void Reset();
    /// Rows the view believes in; can run ahead of the cache between a change of the model
    /// and the next listing.
    int rowCount(const QModelIndex& Parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;
    /// An in-place edit ended with Text: handed to OnRename, which renames later.
    bool setData(const QModelIndex& Index, const QVariant& Value, int Role) override;
    QStringList mimeTypes() const override;
    /// The explorer's own drag format: the window keeps which members are dragged.
    QMimeData* mimeData(const QModelIndexList& Indexes) const override;

    std::function<void(int Row, const std::string& Text)> OnRename;

private:
    const TDisplayCache& FCache;
    int FRows = 0;
};

/// Draws a row: indent, then the kind, visibility and extra images that the options ask
/// for, then the caption on one line.
class TDetailsDelegate : public QStyledItemDelegate {
public:
    explicit TDetailsDelegate(const TDisplayCache& Cache, QObject* Parent = nullptr)
        : QStyledItemDelegate(Parent), FCache(Cache) {}

    /// The images drawn before the caption of a row of this list.
    std::vector<int> ImagesOf(const TDisplayRow& Row) const;
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option,
               const QModelIndex& Index) const override;
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override;

private:
    const TDisplayCache& FCache;
};

} // namespace kolva
