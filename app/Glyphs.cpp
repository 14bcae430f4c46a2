#include "Glyphs.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace Glyphs {

namespace {

QPixmap canvas(int w, int h)
{
    QPixmap p(w, h);
    p.fill(Qt::transparent);
    return p;
}

void badge(QPainter &p, const QRectF &r, const QColor &colour, const QString &text, qreal fontPx)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(colour.darker(140), 1.5));
    p.setBrush(colour);
    p.drawRoundedRect(r, 6, 6);
    if (text.isEmpty())
        return;
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(int(fontPx));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, text);
}

} // namespace

QIcon icon(Button button, int size)
{
    QPixmap pm = canvas(size, size);
    QPainter p(&pm);
    const QRectF r(size * 0.1, size * 0.1, size * 0.8, size * 0.8);
    switch (button) {
    case Button::Close: {
        badge(p, r, QColor(0xB0, 0x30, 0x30), QString(), 0);
        p.setPen(QPen(Qt::white, size * 0.1, Qt::SolidLine, Qt::RoundCap));
        const qreal a = size * 0.32, b = size * 0.68;
        p.drawLine(QPointF(a, a), QPointF(b, b));
        p.drawLine(QPointF(a, b), QPointF(b, a));
        break;
    }
    case Button::Print: {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(size * 0.3, size * 0.12, size * 0.4, size * 0.3));
        p.setBrush(QColor(0x60, 0x70, 0x80));
        p.drawRoundedRect(QRectF(size * 0.12, size * 0.38, size * 0.76, size * 0.32), 4, 4);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(size * 0.3, size * 0.58, size * 0.4, size * 0.3));
        break;
    }
    case Button::ExportText:
        badge(p, r, QColor(0x30, 0x60, 0xA0), QStringLiteral("TXT"), size * 0.26);
        break;
    case Button::ExportSpreadsheet:
        badge(p, r, QColor(0x20, 0x80, 0x40), QStringLiteral("XLS"), size * 0.26);
        break;
    case Button::Information:
        badge(p, r, QColor(0x20, 0x70, 0xC0), QStringLiteral("i"), size * 0.55);
        break;
    case Button::Find: {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x20, 0x40, 0x70), size * 0.09, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(QColor(0xD0, 0xE4, 0xF8));
        p.drawEllipse(QRectF(size * 0.15, size * 0.15, size * 0.45, size * 0.45));
        p.drawLine(QPointF(size * 0.55, size * 0.55), QPointF(size * 0.85, size * 0.85));
        break;
    }
    }
    p.end();
    return QIcon(pm);
}

QPixmap logo(int width, int height)
{
    QPixmap pm = canvas(width, height);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, width, height);
    g.setColorAt(0, QColor(0x1E, 0x4E, 0x8C));
    g.setColorAt(1, QColor(0x3A, 0x86, 0xC8));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, width - 2, height - 2), 6, 6);
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setBold(true);
    f.setPixelSize(qMax(8, qMin(height * 5 / 10, width * 4 / 10)));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, width, height), Qt::AlignCenter, QStringLiteral("VT"));
    p.end();
    return pm;
}

} // namespace Glyphs
