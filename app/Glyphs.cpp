#include "app/Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace Glyphs {

namespace {

constexpr int kSize = 24;

const QColor kInk(40, 40, 40);
const QColor kFolder(230, 180, 60);
const QColor kGreen(30, 150, 50);
const QColor kRed(200, 40, 40);
const QColor kBlue(40, 90, 200);

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF wing1 = line;
    wing1.setLength(6);
    wing1.setAngle(line.angle() + 35);
    QLineF wing2 = line;
    wing2.setLength(6);
    wing2.setAngle(line.angle() - 35);
    p.drawLine(wing1);
    p.drawLine(wing2);
}

void Folder(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kFolder);
    QPainterPath path;
    path.moveTo(r.left(), r.top() + 3);
    path.lineTo(r.left() + r.width() * 0.4, r.top() + 3);
    path.lineTo(r.left() + r.width() * 0.5, r.top());
    path.lineTo(r.right(), r.top());
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.drawPath(path);
}

void Plug(QPainter& p, bool joined) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(QColor(170, 170, 180));
    const qreal gap = joined ? 0 : 4;
    p.drawRect(QRectF(2, 8, 8 - gap / 2, 8));
    p.drawRect(QRectF(14 + gap / 2, 8, 8 - gap / 2, 8));
    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(10 - gap / 2, 10), QPointF(14 - gap / 2, 10));
    p.drawLine(QPointF(10 - gap / 2, 14), QPointF(14 - gap / 2, 14));
    if (!joined) {
        p.setPen(QPen(kRed, 2));
        p.drawLine(QPointF(8, 2), QPointF(16, 22));
    }
}

void Letters(QPainter& p, const QString& text, const QColor& colour) {
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(text.size() > 2 ? 9 : 12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.5, 4.5, 21, 15), 3, 3);
    p.drawText(QRectF(0, 4, kSize, 16), Qt::AlignCenter, text);
}

void Globe(QPainter& p) {
    p.setPen(QPen(kBlue, 1.5));
    p.setBrush(QColor(200, 225, 255));
    p.drawEllipse(QRectF(3, 3, 18, 18));
    p.drawEllipse(QRectF(8, 3, 8, 18));
    p.drawLine(QPointF(3, 12), QPointF(21, 12));
}

void Draw(QPainter& p, Tool tool) {
    switch (tool) {
        case Tool::Connect: Plug(p, true); break;
        case Tool::Disconnect: Plug(p, false); break;
        case Tool::AddServer:
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(200, 200, 210));
            p.drawRect(QRectF(4, 3, 12, 18));
            p.drawLine(QPointF(6, 8), QPointF(14, 8));
            p.drawLine(QPointF(6, 11), QPointF(14, 11));
            p.setPen(QPen(kGreen, 3));
            p.drawLine(QPointF(18, 13), QPointF(18, 23));
            p.drawLine(QPointF(13, 18), QPointF(23, 18));
            break;
        case Tool::FolderUp:
            Folder(p, QRectF(2, 8, 20, 13));
            Arrow(p, QPointF(12, 18), QPointF(12, 3), kGreen);
            break;
        case Tool::NewFolder:
            Folder(p, QRectF(2, 6, 18, 14));
            p.setPen(QPen(QColor(250, 200, 0), 2));
            p.drawLine(QPointF(19, 1), QPointF(19, 9));
            p.drawLine(QPointF(15, 5), QPointF(23, 5));
            break;
        case Tool::Delete:
            p.setPen(QPen(kRed, 3.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 5), QPointF(19, 19));
            p.drawLine(QPointF(19, 5), QPointF(5, 19));
            break;
        case Tool::Refresh:
            p.setPen(QPen(kGreen, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(4, 4, 16, 16), 90 * 16, 270 * 16);
            Arrow(p, QPointF(8, 4), QPointF(13, 4), kGreen);
            break;
        case Tool::Binary: Letters(p, QStringLiteral("01"), kInk); break;
        case Tool::Ascii: Letters(p, QStringLiteral("Aa"), kInk); break;
        case Tool::Auto: Letters(p, QStringLiteral("A/01"), kBlue); break;
        case Tool::Hosting: Globe(p); break;
        case Tool::Sell:
            p.setPen(QPen(kInk, 1.5));
            p.setBrush(QColor(250, 220, 120));
            p.drawEllipse(QRectF(4, 4, 16, 16));
            Letters(p, QStringLiteral("$"), kInk);
            break;
        case Tool::Compare:
            // Two pages side by side, one marked as differing.
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(180, 232, 180));
            p.drawRect(QRectF(2.5, 4.5, 8, 15));
            p.setBrush(QColor(255, 206, 150));
            p.drawRect(QRectF(13.5, 4.5, 8, 15));
            p.setPen(QPen(kInk, 1.5));
            p.drawLine(QPointF(9, 12), QPointF(15, 12));
            break;
    }
}

QPixmap Render(Tool tool, bool greyed) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (greyed) p.setOpacity(0.35);
    Draw(p, tool);
    return pixmap;
}

}  // namespace

QPixmap Lamp(const QColor& colour, bool lit, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient glow(size * 0.35, size * 0.35, size * 0.7);
    const QColor body = lit ? colour : colour.darker(300);
    glow.setColorAt(0, lit ? body.lighter(170) : body.lighter(130));
    glow.setColorAt(1, body);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(glow);
    p.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
    return pixmap;
}

QPixmap Lock(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(60, 60, 60), s / 8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(s * 0.25, s * 0.06, s * 0.5, s * 0.6), 0, 180 * 16);
    p.drawLine(QPointF(s * 0.25, s * 0.36), QPointF(s * 0.25, s * 0.5));
    p.drawLine(QPointF(s * 0.75, s * 0.36), QPointF(s * 0.75, s * 0.5));
    p.setPen(QPen(QColor(90, 70, 0), 1));
    p.setBrush(QColor(220, 170, 30));
    p.drawRoundedRect(QRectF(s * 0.12, s * 0.45, s * 0.76, s * 0.5), 1.5, 1.5);
    return pixmap;
}

QIcon ToolIcon(Tool tool) {
    QIcon icon;
    icon.addPixmap(Render(tool, false), QIcon::Normal);
    icon.addPixmap(Render(tool, true), QIcon::Disabled);
    return icon;
}

}  // namespace Glyphs
