#include "overlay/shading.h"

#include <QPaintEngine>
#include <QTransform>
#include <array>
#include <cmath>
#include <system_error>
#include <thread>

namespace quillcap {

namespace {

// The two passes as a graphics system rounds them, channel by channel:
// first source x 63/255 over black, then source x 64/255 over that result.
std::array<quint8, 256> makeShadeTable() {
    std::array<quint8, 256> table{};
    for (int v = 0; v < 256; ++v) {
        const long first = std::lround(v * 63 / 255.0);
        table[v] = static_cast<quint8>(std::lround((v * 64 + first * 191) / 255.0));
    }
    return table;
}

const std::array<quint8, 256> &shadeTable() {
    static const std::array<quint8, 256> table = makeShadeTable();
    return table;
}

struct Rows {
    const uchar *in;
    qsizetype inStride;
    uchar *out;
    qsizetype outStride;
    int width;
};

void shadeRows(const Rows &rows, int firstRow, int endRow) {
    const quint8 *t = shadeTable().data();
    for (int y = firstRow; y < endRow; ++y) {
        const auto *in = reinterpret_cast<const quint32 *>(rows.in + y * rows.inStride);
        auto *out = reinterpret_cast<quint32 *>(rows.out + y * rows.outStride);
        for (int x = 0; x < rows.width; ++x) {
            const quint32 p = in[x];
            out[x] = 0xff000000u | quint32(t[(p >> 16) & 0xff]) << 16 |
                     quint32(t[(p >> 8) & 0xff]) << 8 | t[p & 0xff];
        }
    }
}

// Rows are independent, so two threads share them; a thread's start (tens of
// microseconds) pays only on areas of this size and more.
constexpr qint64 kSplitPixels = 512 * 1024;

bool holds32BitPixels(const QImage &image) {
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return true;
    default:
        return false;
    }
}

// The smallest whole-pixel rectangle covering `r` scaled by `factor`.
QRect scaledOutward(const QRect &r, qreal factor) {
    return QRectF(r.x() * factor, r.y() * factor, r.width() * factor, r.height() * factor)
        .toAlignedRect();
}

// The picture the painter draws on and where painter pixel (0,0) lands in it,
// when it is a plain 32-bit raster image reached by a whole-pixel shift (a
// widget's backing store); else null.
QImage *directTarget(QPainter &painter, QPoint &offset) {
    QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice() ||
        engine->paintDevice()->devType() != QInternal::Image)
        return nullptr;
    auto *image = static_cast<QImage *>(engine->paintDevice());
    const QTransform t = painter.deviceTransform();
    if (!holds32BitPixels(*image) || t.type() > QTransform::TxTranslate ||
        t.dx() != std::floor(t.dx()) || t.dy() != std::floor(t.dy()))
        return nullptr;
    offset = QPoint(int(t.dx()), int(t.dy()));
    return image;
}

} // namespace

void ShadeInto(const QImage &bright, const QRect &area, QImage &target, QPoint at) {
    const QRect from = area & bright.rect() & target.rect().translated(area.topLeft() - at);
    if (from.isEmpty() || bright.depth() != 32 || !holds32BitPixels(target))
        return;
    const QPoint to = from.topLeft() - area.topLeft() + at;
    // Raw rows taken up front: QImage's accessors are not safe to call from
    // two threads at once.
    const Rows rows{bright.constScanLine(from.top()) + from.left() * 4, bright.bytesPerLine(),
                    target.scanLine(to.y()) + to.x() * 4, target.bytesPerLine(), from.width()};
    const int height = from.height();
    if (qint64(from.width()) * height < kSplitPixels) {
        shadeRows(rows, 0, height);
        return;
    }
    std::thread lower;
    try {
        lower = std::thread([&rows, height] { shadeRows(rows, height / 2, height); });
    } catch (const std::system_error &) {
        shadeRows(rows, 0, height); // no thread to be had: one pass does it all
        return;
    }
    shadeRows(rows, 0, height / 2);
    lower.join();
}

void PaintOverlay(QPainter &painter, const QRegion &dirty, const QImage &bright, const QRect &box) {
    const qreal ratio = painter.device()->devicePixelRatio();
    const QTransform oldTransform = painter.worldTransform();
    const QPainter::CompositionMode oldMode = painter.compositionMode();
    // Undo the device pixel ratio so that image pixels land on device pixels.
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    painter.setCompositionMode(QPainter::CompositionMode_Source);

    QPoint offset;
    QImage *target = directTarget(painter, offset);
    const QRect bounds =
        bright.rect() & (target ? target->rect().translated(-offset) : bright.rect());
    const auto copy = [&](const QRect &area) {
        if (!area.isEmpty())
            painter.drawImage(area.topLeft(), bright, area);
    };
    // Shaded straight into the painter's picture as it is drawn: no shaded
    // copy of the desktop is kept, and each pixel is written once.
    const auto shade = [&](const QRect &area) {
        if (area.isEmpty())
            return;
        if (target)
            return ShadeInto(bright, area, *target, area.topLeft() + offset);
        QImage piece(area.size(), QImage::Format_RGB32);
        ShadeInto(bright, area, piece, {0, 0});
        painter.drawImage(area.topLeft(), piece);
    };
    for (const QRect &logical : dirty) {
        const QRect area = scaledOutward(logical, ratio) & bounds;
        const QRect in = area & box;
        if (in.isEmpty()) {
            shade(area);
            continue;
        }
        copy(in);
        shade(QRect(area.left(), area.top(), area.width(), in.top() - area.top()));
        shade(QRect(area.left(), in.bottom() + 1, area.width(), area.bottom() - in.bottom()));
        shade(QRect(area.left(), in.top(), in.left() - area.left(), in.height()));
        shade(QRect(in.right() + 1, in.top(), area.right() - in.right(), in.height()));
    }

    painter.setCompositionMode(oldMode);
    painter.setWorldTransform(oldTransform);
}

QRegion BoxChangeRegion(const QRect &before, const QRect &after, qreal ratio) {
    // Pixels inside both boxes stay bright and those outside both stay shaded.
    const QRegion changed = QRegion(before).xored(after);
    if (ratio == 1)
        return changed;
    QRegion logical;
    for (const QRect &r : changed)
        logical += scaledOutward(r, 1 / ratio);
    return logical;
}

} // namespace quillcap
