#include "overlay/overlayload.h"
#include "overlay/shading.h"

#include <gtest/gtest.h>

using namespace quillcap;

TEST(OverlayLoad, DefaultBoxAndNoticePanel) {
    // A centred fifth, halves rounded to even.
    EXPECT_EQ(DefaultCapBox({1920, 1080}), (CaptureRegion{768, 432, 384, 216}));
    EXPECT_EQ(DefaultCapBox({1366, 768}), (CaptureRegion{546, 307, 273, 154}));
    EXPECT_EQ(DefaultCapBox({1282, 1024}), (CaptureRegion{513, 410, 256, 205}));
    // Centred on monitor 1 at the primary monitor's corner.
    EXPECT_EQ(NoticePanelPosition({300, 100}, {1920, 1080}, {-1280, 0}), QPoint(2090, 490));
    EXPECT_EQ(NoticePanelPosition({301, 101}, {1920, 1080}, {0, -1024}), QPoint(810, 1514));
}

TEST(OverlayLoad, TheActiveWindowOrTheWholeDesktopWithAReason) {
    // A monitor left of the primary one: overlay pixels start at -1280.
    const QList<QRect> monitors{{-1280, 0, 1280, 1024}, {0, 0, 1920, 1080}};
    const QRect desk(-1280, 0, 3200, 1080), whole(0, 0, 3200, 1080);
    const struct {
        const char *what;
        std::optional<ActiveWindowFrame> frame;
        QRect selected;
    } cases[] = {
        {"none", std::nullopt, whole},
        {"not mapped", ActiveWindowFrame{{100, 100, 400, 300}, false}, whole},
        {"a 1x1 helper off screen", ActiveWindowFrame{{-100, -100, 1, 1}, true}, whole},
        {"on no monitor", ActiveWindowFrame{{5000, 100, 400, 300}, true}, whole},
        {"2x5", ActiveWindowFrame{{100, 100, 2, 5}, true}, whole},
        {"3x3", ActiveWindowFrame{{10, 10, 3, 3}, true}, {1290, 10, 3, 3}},
        {"left monitor", ActiveWindowFrame{{-1000, 50, 400, 300}, true}, {280, 50, 400, 300}},
        {"across both", ActiveWindowFrame{{-200, -20, 400, 300}, true}, {1080, -20, 400, 300}},
    };
    for (const auto &c : cases) {
        QString why = "earlier reason";
        EXPECT_EQ(UsableActiveWindow(c.frame, monitors, desk, why), c.selected) << c.what;
        EXPECT_EQ(why.isEmpty(), c.selected != whole) << c.what;
    }
}

TEST(OverlayLoad, TheCursorsHotSpotLandsOnThePointerAndTheRestIsClipped) {
    QImage cursor(3, 3, QImage::Format_ARGB32_Premultiplied);
    cursor.fill(Qt::transparent);
    cursor.setPixel(1, 1, qRgb(255, 0, 0));        // the hot spot
    cursor.setPixel(0, 0, qRgba(64, 64, 64, 128)); // half-transparent grey
    for (QPoint at : {QPoint(10, 10), QPoint(0, 0), QPoint(19, 19)}) {
        QImage desktop(20, 20, QImage::Format_RGB32);
        desktop.fill(Qt::black);
        StampCursor(desktop, cursor, {1, 1}, at);
        const auto pixel = [&](QPoint p) { return desktop.valid(p) ? desktop.pixel(p) : 0u; };
        EXPECT_EQ(pixel(at), qRgb(255, 0, 0)) << at.x();
        EXPECT_EQ(pixel(at - QPoint(1, 1)), at.x() ? qRgb(64, 64, 64) : 0u) << at.x();
        EXPECT_EQ(pixel(at + QPoint(1, 1)), at.x() < 19 ? qRgb(0, 0, 0) : 0u) << at.x();
    }
    QImage desktop(4, 4, QImage::Format_RGB32);
    desktop.fill(Qt::white);
    StampCursor(desktop, QImage(), {}, {1, 1});
    EXPECT_EQ(desktop.pixel(1, 1), qRgb(255, 255, 255)) << "no cursor, nothing drawn";
}

TEST(Shading, KeepsAboutFortyFourPercentOfEachChannelInEveryThreadsPart) {
    const std::pair<QRgb, QRgb> cases[] = {{qRgb(0, 0, 0), qRgb(0, 0, 0)},
                                           {qRgb(128, 128, 128), qRgb(56, 56, 56)},
                                           {qRgb(255, 128, 0), qRgb(111, 56, 0)},
                                           {qRgb(10, 200, 77), qRgb(4, 87, 34)}};
    const int n = std::size(cases);
    QImage source(1000, 1200, QImage::Format_RGB32); // large enough to be split between threads
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, cases[x % n].first);
    DebugLog log;
    const QImage shaded = Dark3(source, log);
    ASSERT_EQ(shaded.format(), QImage::Format_RGB32);
    for (int y : {0, 1199})
        for (int x = 0; x < n; ++x) {
            const QRgb got = shaded.pixel(x, y), want = cases[x].second;
            for (int shift : {0, 8, 16})
                EXPECT_NEAR((got >> shift) & 255, (want >> shift) & 255, 1) << x << "," << y;
        }
}

TEST(Shading, PaintCopiesOnlyTheDirtyAreaOneToOne) {
    // Pixels that tell where they came from: blue 200 bright, 100 shaded.
    const auto marked = [](QSize size, int blue) {
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, qRgb(x, y, blue));
        return image;
    };
    const QRgb untouched = qRgb(255, 0, 255);
    const QRect dirty(5, 5, 10, 10); // logical
    const struct {
        qreal ratio;
        QRegion dirty;
        QRect box; // device pixels
        QPoint at; // device pixel
        int blue;  // 200 bright, 100 shaded, 0 untouched
    } cases[] = {
        {1, dirty, {10, 10, 10, 10}, {12, 12}, 200},
        {1, dirty, {10, 10, 10, 10}, {6, 6}, 100},
        {1, dirty, {10, 10, 10, 10}, {14, 9}, 100},
        {1, dirty, {10, 10, 10, 10}, {16, 16}, 0},
        {1, QRegion(0, 0, 4, 4) + QRect(30, 20, 5, 5), {10, 10, 10, 10}, {32, 22}, 100},
        {1, QRect(0, 0, 40, 30), {}, {15, 15}, 100},
        {2, dirty, {20, 20, 20, 20}, {25, 25}, 200},
        {2, dirty, {20, 20, 20, 20}, {12, 12}, 100},
        {2, dirty, {20, 20, 20, 20}, {31, 31}, 0},
    };
    for (const auto &c : cases) {
        const QSize device = QSize(40, 30) * c.ratio;
        QImage target(device, QImage::Format_RGB32);
        target.setDevicePixelRatio(c.ratio);
        target.fill(untouched);
        QPainter painter(&target);
        PaintOverlay(painter, c.dirty, marked(device, 100), marked(device, 200), c.box);
        painter.end();
        const QRgb want = c.blue ? qRgb(c.at.x(), c.at.y(), c.blue) : untouched;
        EXPECT_EQ(target.pixel(c.at), want) << c.ratio << " at " << c.at.x() << "," << c.at.y();
    }
}

TEST(Shading, ABoxChangeRepaintsOnlyThePixelsThatSwitch) {
    const QRect a(10, 10, 20, 20), b(12, 10, 20, 20), c(11, 10, 20, 20), d(13, 10, 20, 20);
    const struct {
        QRect before, after;
        qreal ratio;
        QPoint at; // logical
        bool dirty;
    } cases[] = {
        {a, b, 1, {11, 15}, true},
        {a, b, 1, {20, 15}, false},
        {a, b, 1, {31, 15}, true},
        {a, b, 1, {32, 15}, false},
        {c, d, 2, {5, 8}, true}, // device 11-12
        {c, d, 2, {6, 8}, true},
        {c, d, 2, {10, 8}, false},
        {c, d, 2, {16, 8}, true}, // 31-32
        {{0, 0, 0, 0}, {4, 4, 2, 2}, 1, {5, 5}, true},
    };
    for (const auto &r : cases)
        EXPECT_EQ(BoxChangeRegion(r.before, r.after, r.ratio).contains(r.at), r.dirty)
            << r.ratio << " at " << r.at.x();
}
