#include "explorer/DetailsList.h"

#include "explorer/ComCtrlsEx.h"
#include "explorer/ModelImages.h"
#include "settings/KOLVAOpts.h"

#include <QApplication>
#include <QMimeData>
#include <QPainter>

namespace kolva {

namespace {
constexpr int ImageSize = 16;
constexpr int IndentStep = 16;
} // namespace

void TDetailsModel::Reset() {
    beginResetModel();
    FRows = FCache.Count();
    endResetModel();
}

int TDetailsModel::rowCount(const QModelIndex& Parent) const {
    return Parent.isValid() ? 0 : FRows;
}

QVariant TDetailsModel::data(const QModelIndex& Index, int Role) const {
    int Row = Index.row();
    bool InCache = Row >= 0 && Row < FCache.Count();
    switch (Role) {
    case Qt::DisplayRole:
        return InCache ? QString::fromStdString(FCache.Row(Row).Caption)
                       : QStringLiteral("out of sync");
    case Qt::EditRole:
        return InCache ? QString::fromStdString(FCache.Row(Row).Item->Name) : QString();
    case Qt::ToolTipRole:
        return InCache ? QString::fromStdString(FCache.Row(Row).Item->GetDeclaration())
                       : QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags TDetailsModel::flags(const QModelIndex& Index) const {
    Qt::ItemFlags Flags = QAbstractListModel::flags(Index);
    int Row = Index.row();
    if (Row >= 0 && Row < FCache.Count() && FCache.Row(Row).Item->Kind() >= ckProcedure)
        Flags |= Qt::ItemIsEditable | Qt::ItemIsDragEnabled;
    return Flags;
}

bool TDetailsModel::setData(const QModelIndex& Index, const QVariant& Value, int Role) {
    if (Role != Qt::EditRole || !OnRename) return false;
    OnRename(Index.row(), Value.toString().toStdString());
    return true;
}

QStringList TDetailsModel::mimeTypes() const {
    return {ExplorerDragFormat};
}

QMimeData* TDetailsModel::mimeData(const QModelIndexList&) const {
    auto* Data = new QMimeData;
    Data->setData(ExplorerDragFormat, {});
    return Data;
}

std::vector<int> TDetailsDelegate::ImagesOf(const TDisplayRow& Row) const {
    TDetailsDisplayOptions Options = KOLVAOptions().DetailsDisplayOptions();
    std::vector<int> Images;
    if (FCache.ReversedVisibility()) { // the module's list
        if (Options.Contains(ddShowProcVisibility)) Images.push_back(Row.VisibilityRank);
        return Images;
    }
    if (Options.Contains(ddShowType)) Images.push_back(Row.KindImage);
    if (Options.Contains(ddShowVisibility)) Images.push_back(Row.VisibilityRank);
    if (Options.Contains(ddShowInfo)) Images.push_back(Row.ExtraImage);
    return Images;
}

void TDetailsDelegate::paint(QPainter* Painter, const QStyleOptionViewItem& Option,
                             const QModelIndex& Index) const {
    const QWidget* View = Option.widget;
    bool Focused = View && View->hasFocus();
    bool Selected = Option.state.testFlag(QStyle::State_Selected);
    const QPalette& Palette = Option.palette;
    Painter->save();
    Painter->fillRect(Option.rect, !Selected ? Palette.base()
                                   : Focused ? Palette.highlight()
                                             : Palette.button());
    int Row = Index.row();
    QRect Text = Option.rect;
    QString Caption = QStringLiteral("Member not available");
    if (Row >= 0 && Row < FCache.Count()) {
        const TDisplayRow& Entry = FCache.Row(Row);
        Text.setLeft(Text.left() + 2 + (Entry.Local ? IndentStep : 0));
        for (int Image : ImagesOf(Entry)) {
            QRect Place(Text.left(), Text.top() + (Text.height() - ImageSize) / 2, ImageSize,
                        ImageSize);
            if (Image >= 0) ModelIcon(static_cast<TModelImage>(Image)).paint(Painter, Place);
            Text.setLeft(Place.right() + 3);
        }
        Caption = QString::fromStdString(Entry.Caption);
    }
    Painter->setPen(Selected && Focused ? Palette.highlightedText().color()
                                        : Palette.text().color());
    Painter->drawText(Text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, Caption);
    if (Focused && Option.state.testFlag(QStyle::State_HasFocus)) {
        QStyleOptionFocusRect Frame;
        Frame.rect = Option.rect;
        Frame.state = Option.state;
        Frame.backgroundColor = Palette.highlight().color();
        QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Frame, Painter, View);
    }
    Painter->restore();
}

QSize TDetailsDelegate::sizeHint(const QStyleOptionViewItem& Option,
                                 const QModelIndex& Index) const {
    QSize Size = QStyledItemDelegate::sizeHint(Option, Index);
    return QSize(Size.width() + 3 * (ImageSize + 3) + IndentStep,
                 std::max(Size.height(), ImageSize + 2));
}

} // namespace kolva
