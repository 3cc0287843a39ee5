#include "explorer/ModelImages.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kolva {

namespace {

enum class TShape { Square, Circle, Diamond, Outline };

// A picture is a shape in a colour with a short text on it; the few pictures that are not
// (visibilities, the filter buttons) are drawn by hand below.
struct TBadge {
    TShape Shape;
    QRgb Colour;
    const char* Text;
};

TBadge BadgeOf(int Image) {
    switch (Image) {
    case imField:
        return {TShape::Square, 0xff1f8a8a, "F"};
    case imProcedure:
        return {TShape::Circle, 0xff7b3fb5, "P"};
    case imFunction:
        return {TShape::Circle, 0xff7b3fb5, "fn"};
    case imProperty:
        return {TShape::Diamond, 0xffd9822b, "P"};
    case imResClause:
        return {TShape::Square, 0xff6b7280, "="};
    case imConstructor:
        return {TShape::Circle, 0xff2e7d32, "C"};
    case imDestructor:
        return {TShape::Circle, 0xffc62828, "D"};
    case imStatic:
        return {TShape::Outline, 0xff6b7280, "s"};
    case imVirtual:
        return {TShape::Outline, 0xff1565c0, "v"};
    case imAbstract:
        return {TShape::Outline, 0xffc62828, "a"};
    case imOverride:
        return {TShape::Outline, 0xff2e7d32, "o"};
    case imDynamic:
        return {TShape::Outline, 0xff00838f, "d"};
    case imMessage:
        return {TShape::Outline, 0xff8e24aa, "m"};
    case imReadOnly:
        return {TShape::Outline, 0xff2e7d32, "R"};
    case imWriteOnly:
        return {TShape::Outline, 0xffd9822b, "W"};
    case imReadWrite:
        return {TShape::Outline, 0xff1565c0, "RW"};
    case imLocalProc:
        return {TShape::Circle, 0xffa57fd0, "L"};
    default:
        return {TShape::Square, 0xff6b7280, "?"};
    }
}

TBadge TreeBadgeOf(int Image) {
    switch (Image) {
    case tsModule:
        return {TShape::Square, 0xff37474f, "M"};
    case tsClass:
        return {TShape::Square, 0xffb8860b, "C"};
    case tsInterface:
        return {TShape::Square, 0xff1565c0, "I"};
    case tsObject:
        return {TShape::Square, 0xff6d4c41, "O"};
    case tsDispInterface:
        return {TShape::Square, 0xff00838f, "D"};
    case tsRecord:
        return {TShape::Square, 0xff546e7a, "R"};
    case tsHelper:
        return {TShape::Square, 0xff8e24aa, "H"};
    default:
        return {TShape::Square, 0xff6b7280, "?"};
    }
}

void DrawBadge(QPainter& P, const QRectF& R, const TBadge& Badge) {
    QColor Colour = QColor::fromRgba(Badge.Colour);
    QRectF Box =
        R.adjusted(R.width() * 0.06, R.height() * 0.06, -R.width() * 0.06, -R.height() * 0.06);
    P.setPen(Qt::NoPen);
    P.setBrush(Colour);
    switch (Badge.Shape) {
    case TShape::Square:
        P.drawRoundedRect(Box, Box.width() * 0.18, Box.height() * 0.18);
        break;
    case TShape::Circle:
        P.drawEllipse(Box);
        break;
    case TShape::Diamond: {
        QPointF C = Box.center();
        P.drawPolygon(QPolygonF({QPointF(C.x(), Box.top()), QPointF(Box.right(), C.y()),
                                 QPointF(C.x(), Box.bottom()), QPointF(Box.left(), C.y())}));
        break;
    }
    case TShape::Outline:
        P.setPen(QPen(Colour, std::max(1.0, Box.width() / 14)));
        P.setBrush(QColor(255, 255, 255, 230));
        P.drawRoundedRect(Box, Box.width() * 0.18, Box.height() * 0.18);
        break;
    }
    QFont Font;
    Font.setBold(true);
    int Letters = static_cast<int>(qstrlen(Badge.Text));
    Font.setPixelSize(std::max(4, static_cast<int>(Box.height() * (Letters > 1 ? 0.5 : 0.68))));
    P.setFont(Font);
    P.setPen(Badge.Shape == TShape::Outline ? Colour : QColor(Qt::white));
    P.drawText(Box, Qt::AlignCenter, QString::fromLatin1(Badge.Text));
}

// Visibilities read at a glance by shape and colour rather than by letter: a padlock for
// private, a diamond for protected, filled dots for the visible ones.
void DrawVisibility(QPainter& P, const QRectF& R, int Image) {
    QRectF Dot =
        R.adjusted(R.width() * 0.22, R.height() * 0.22, -R.width() * 0.22, -R.height() * 0.22);
    P.setPen(Qt::NoPen);
    switch (Image) {
    case imVisDefault:
        P.setPen(QPen(QColor(0x80, 0x80, 0x80), std::max(1.0, R.width() / 12)));
        P.setBrush(Qt::NoBrush);
        P.drawEllipse(Dot);
        return;
    case imVisPrivate: {
        QColor Red(0xc6, 0x28, 0x28);
        QRectF Body(R.left() + R.width() * 0.2, R.top() + R.height() * 0.45, R.width() * 0.6,
                    R.height() * 0.42);
        QRectF Shackle(R.left() + R.width() * 0.3, R.top() + R.height() * 0.15, R.width() * 0.4,
                       R.height() * 0.5);
        P.setPen(QPen(Red, std::max(1.0, R.width() / 10)));
        P.setBrush(Qt::NoBrush);
        P.drawArc(Shackle, 0, 180 * 16);
        P.setPen(Qt::NoPen);
        P.setBrush(Red);
        P.drawRoundedRect(Body, Body.width() * 0.1, Body.width() * 0.1);
        return;
    }
    case imVisProtected:
        DrawBadge(P, Dot, {TShape::Diamond, 0xffe0a800, ""});
        return;
    case imVisPublic:
        P.setBrush(QColor(0x2e, 0x7d, 0x32));
        P.drawEllipse(Dot);
        return;
    case imVisPublished:
        P.setBrush(QColor(0x15, 0x65, 0xc0));
        P.drawEllipse(Dot);
        P.setBrush(Qt::white);
        P.drawEllipse(Dot.center(), Dot.width() * 0.2, Dot.height() * 0.2);
        return;
    case imVisAutomated:
        DrawBadge(P, Dot, {TShape::Circle, 0xff757575, "A"});
        return;
    default:
        return;
    }
}

void DrawGrid(QPainter& P, const QRectF& R, const QRgb* Colours, int Count) {
    int Columns = Count > 4 ? 3 : 2;
    qreal Cell = R.width() / Columns;
    P.setPen(Qt::NoPen);
    for (int I = 0; I < Count; ++I) {
        QRectF Box(R.left() + (I % Columns) * Cell, R.top() + (I / Columns) * Cell, Cell, Cell);
        P.setBrush(QColor::fromRgba(Colours[I]));
        P.drawEllipse(Box.adjusted(Cell * 0.15, Cell * 0.15, -Cell * 0.15, -Cell * 0.15));
    }
}

// A form class: a window with its title bar.
void DrawForm(QPainter& P, const QRectF& R) {
    qreal U = R.width() / 16;
    P.setPen(QPen(QColor(0x37, 0x47, 0x4f), U));
    P.setBrush(Qt::white);
    P.drawRoundedRect(R.adjusted(1.5 * U, 2 * U, -1.5 * U, -2 * U), 1.5 * U, 1.5 * U);
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(0x15, 0x65, 0xc0));
    P.drawRect(QRectF(R.left() + 2 * U, R.top() + 2.5 * U, R.width() - 4 * U, 3 * U));
}

void DrawModelImage(QPainter& P, const QRectF& R, int Image) {
    static const QRgb Kinds[] = {0xff1f8a8a, 0xff7b3fb5, 0xffd9822b, 0xff6b7280};
    static const QRgb Visibilities[] = {0xff808080, 0xffc62828, 0xffe0a800,
                                        0xff2e7d32, 0xff1565c0, 0xff757575};
    if (Image >= imVisDefault && Image <= imVisAutomated) return DrawVisibility(P, R, Image);
    if (Image == imAllMembers) return DrawGrid(P, R, Kinds, 4);
    if (Image == imStatic) { // the usual binding: a quiet dot, not a letter on every row
        P.setPen(Qt::NoPen);
        P.setBrush(QColor(0xb0, 0xb0, 0xb0));
        return P.drawEllipse(R.center(), R.width() * 0.16, R.height() * 0.16);
    }
    if (Image == imShowAll)
        return DrawGrid(P, R.adjusted(0, R.height() / 6, 0, 0), Visibilities, 6);
    DrawBadge(P, R, BadgeOf(Image));
}

class TModelIconEngine : public QIconEngine {
public:
    TModelIconEngine(int Image, bool Tree) : FImage(Image), FTree(Tree) {}

    void paint(QPainter* Painter, const QRect& Rect, QIcon::Mode Mode, QIcon::State) override {
        Painter->save();
        Painter->setRenderHint(QPainter::Antialiasing);
        Painter->setRenderHint(QPainter::TextAntialiasing);
        if (Mode == QIcon::Disabled) Painter->setOpacity(0.4);
        qreal Side = std::min(Rect.width(), Rect.height());
        QRectF Square(Rect.left() + (Rect.width() - Side) / 2,
                      Rect.top() + (Rect.height() - Side) / 2, Side, Side);
        if (FTree && FImage == tsFormClass)
            DrawForm(*Painter, Square);
        else if (FTree)
            DrawBadge(*Painter, Square, TreeBadgeOf(FImage));
        else
            DrawModelImage(*Painter, Square, FImage);
        Painter->restore();
    }

    QPixmap pixmap(const QSize& Size, QIcon::Mode Mode, QIcon::State State) override {
        return scaledPixmap(Size, Mode, State, 1.0);
    }

    // Painted at the device's density, so that the picture stays sharp on a high-density
    // screen instead of being a scaled-up small bitmap.
    QPixmap scaledPixmap(const QSize& Size, QIcon::Mode Mode, QIcon::State State,
                         qreal Scale) override {
        QPixmap Pixmap(Size * Scale);
        Pixmap.fill(Qt::transparent);
        {
            QPainter Painter(&Pixmap);
            paint(&Painter, QRect(QPoint(0, 0), Pixmap.size()), Mode, State);
        }
        Pixmap.setDevicePixelRatio(Scale);
        return Pixmap;
    }

    QIconEngine* clone() const override { return new TModelIconEngine(FImage, FTree); }

private:
    int FImage;
    bool FTree;
};

} // namespace

int TreeStateImage(TCodeItemKind Kind) {
    if (Kind == ckRecord) return tsRecord;
    if (Kind == ckHelper) return tsHelper;
    if (IsClassKind(Kind)) return tsClass + (Kind - ckClass);
    return tsModule;
}

QIcon ModelIcon(TModelImage Image) {
    return QIcon(new TModelIconEngine(Image, false));
}

QIcon TreeStateIcon(TTreeStateImage Image) {
    return QIcon(new TModelIconEngine(Image, true));
}

QImage RenderModelImage(TModelImage Image, int Size) {
    return ModelIcon(Image).pixmap(Size, Size).toImage();
}

} // namespace kolva
