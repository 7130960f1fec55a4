#include "screenpattern.h"

#include "xprobe.h"

#include <QProcess>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

QRgb PatternPixel(QPoint p) {
    const uint32_t x = p.x(), y = p.y();
    return qRgb(x & 255, y & 255, (x >> 8) | ((y >> 8) << 4));
}

void ShowPatternOnRoot(XProbe &probe) {
    xcb_connection_t *c = probe.connection();
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    // The setup holds the size from when the connection was opened.
    const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> size(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, screen->root), nullptr), &std::free);
    const int width = size->width, height = size->height;
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    xcb_create_pixmap(c, screen->root_depth, pixmap, screen->root, width, height);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, pixmap, 0, nullptr);
    // A request has a size limit; send the picture in bands of rows.
    const int bandRows =
        std::clamp<int>((xcb_get_maximum_request_length(c) * 4 - 64) / (width * 4), 1, 256);
    std::vector<uint32_t> band;
    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min(bandRows, height - top);
        band.resize(std::size_t(width) * rows);
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < width; ++x)
                band[std::size_t(y) * width + x] = PatternPixel({x, top + y}) & 0xffffff;
        }
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, width, rows, 0, top, 0,
                      screen->root_depth, band.size() * 4,
                      reinterpret_cast<const uint8_t *>(band.data()));
    }
    xcb_change_window_attributes(c, screen->root, XCB_CW_BACK_PIXMAP, &pixmap);
    xcb_clear_area(c, 0, screen->root, 0, 0, 0, 0);
    xcb_free_gc(c, gc);
    xcb_free_pixmap(c, pixmap);
    probe.Sync();
}

std::string FirstDifference(const QImage &image, const std::function<QRgb(QPoint)> &expected) {
    if (image.format() != QImage::Format_RGB32)
        return "format " + std::to_string(image.format()) + ", not RGB32";
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb want = expected({x, y});
            if (row[x] != want)
                return QStringLiteral("at (%1,%2): #%3, expected #%4")
                    .arg(x)
                    .arg(y)
                    .arg(row[x], 8, 16, QLatin1Char('0'))
                    .arg(want, 8, 16, QLatin1Char('0'))
                    .toStdString();
        }
    }
    return {};
}

int RunProgram(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}
