#include "mainwindow/tabpictures.h"

#include <QPainter>
#include <QPainterPath>

namespace quillcap {

namespace {

// Each tab has a colour of its own, so the two are told apart at a glance.
QColor tabColour(HelpTab tab) {
    return tab == HelpTab::Commands ? QColor(46, 112, 150) : QColor(196, 120, 24);
}

// A list for the commands, a dollar sign for the codes, in white on the card.
void drawGlyph(QPainter &p, HelpTab tab, const QRectF &card) {
    p.setPen(QPen(Qt::white, card.width() / 9, Qt::SolidLine, Qt::RoundCap));
    if (tab == HelpTab::Commands) {
        for (int line = 0; line < 3; ++line) {
            const qreal y = card.top() + card.height() * (0.3 + 0.2 * line);
            p.drawPoint(QPointF(card.left() + card.width() * 0.25, y));
            p.drawLine(QPointF(card.left() + card.width() * 0.45, y),
                       QPointF(card.right() - card.width() * 0.22, y));
        }
        return;
    }
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(int(card.height() * 0.7));
    p.setFont(font);
    p.drawText(card, Qt::AlignCenter, QStringLiteral("$"));
}

// A chevron pointing out of the window (open me) or back into it.
void drawArrow(QPainter &p, const QRectF &area, bool outward) {
    const qreal tip = outward ? area.right() : area.left();
    const qreal back = outward ? area.left() : area.right();
    QPainterPath path;
    path.moveTo(back, area.top());
    path.lineTo(tip, area.center().y());
    path.lineTo(back, area.bottom());
    p.setPen(
        QPen(QColor(64, 64, 64), area.width() / 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

} // namespace

QPixmap DrawTabPicture(HelpTab tab, TabPicture picture, int size, qreal pixelRatio) {
    QPixmap pixmap(QSize(size, size) * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal unit = size / 24.0;
    const QRectF card(1 * unit, 3 * unit, 15 * unit, 18 * unit);
    if (picture == TabPicture::Faded)
        p.setOpacity(0.35);
    p.setPen(Qt::NoPen);
    p.setBrush(tabColour(tab));
    p.drawRoundedRect(card, 2.5 * unit, 2.5 * unit);
    drawGlyph(p, tab, card);
    if (picture != TabPicture::Faded)
        drawArrow(p, QRectF(18.5 * unit, 7 * unit, 4 * unit, 10 * unit),
                  picture == TabPicture::WhenClosed);
    return pixmap;
}

} // namespace quillcap
