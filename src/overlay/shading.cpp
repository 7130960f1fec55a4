#include "overlay/shading.h"

#include <QPaintDevice>
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
// microseconds) pays only on images of this size and more.
constexpr qint64 kSplitPixels = 512 * 1024;

} // namespace

QImage Dark3(const QImage &source, DebugLog &log) {
    log.WriteLog(QStringLiteral("Copying a dark version of picCaptureHold into picCaptureBack"));
    const QImage rgb =
        source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
            ? source
            : source.convertToFormat(QImage::Format_RGB32);
    QImage target(rgb.size(), QImage::Format_RGB32);
    if (rgb.isNull() || target.isNull())
        return {};
    // Raw rows taken up front: QImage's accessors are not safe to call from
    // two threads at once.
    const Rows rows{rgb.constBits(), rgb.bytesPerLine(), target.bits(), target.bytesPerLine(),
                    rgb.width()};
    const int height = rgb.height();
    if (qint64(rgb.width()) * height < kSplitPixels) {
        shadeRows(rows, 0, height);
        return target;
    }
    std::thread lower;
    try {
        lower = std::thread([&rows, height] { shadeRows(rows, height / 2, height); });
    } catch (const std::system_error &) {
        shadeRows(rows, 0, height); // no thread to be had: one pass does it all
        return target;
    }
    shadeRows(rows, 0, height / 2);
    lower.join();
    return target;
}

namespace {
// The smallest whole-pixel rectangle covering `r` scaled by `factor`.
QRect scaledOutward(const QRect &r, qreal factor) {
    return QRectF(r.x() * factor, r.y() * factor, r.width() * factor, r.height() * factor)
        .toAlignedRect();
}
} // namespace

void PaintOverlay(QPainter &painter, const QRegion &dirty, const QImage &shaded,
                  const QImage &bright, const QRect &box) {
    const qreal ratio = painter.device()->devicePixelRatio();
    const QTransform oldTransform = painter.worldTransform();
    const QPainter::CompositionMode oldMode = painter.compositionMode();
    // Undo the device pixel ratio so that image pixels land on device pixels.
    painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    painter.setCompositionMode(QPainter::CompositionMode_Source);

    const QRect bounds = shaded.rect();
    auto copy = [&painter](const QImage &image, const QRect &area) {
        if (!area.isEmpty())
            painter.drawImage(area.topLeft(), image, area);
    };
    for (const QRect &logical : dirty) {
        const QRect area = QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio,
                                  logical.height() * ratio)
                               .toAlignedRect() &
                           bounds;
        const QRect in = area & box;
        if (in.isEmpty()) {
            copy(shaded, area);
            continue;
        }
        copy(bright, in);
        copy(shaded, QRect(area.left(), area.top(), area.width(), in.top() - area.top()));
        copy(shaded,
             QRect(area.left(), in.bottom() + 1, area.width(), area.bottom() - in.bottom()));
        copy(shaded, QRect(area.left(), in.top(), in.left() - area.left(), in.height()));
        copy(shaded, QRect(in.right() + 1, in.top(), area.right() - in.right(), in.height()));
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
