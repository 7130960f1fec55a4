#include "overlay/overlayload.h"
#include "overlay/shading.h"

#include <gtest/gtest.h>

namespace quillcap {
namespace {

TEST(OverlayLoad, DefaultBoxIsACentredFifthRoundedToEven) {
    const struct {
        QSize screen;
        CaptureRegion box;
    } cases[] = {
        {{1920, 1080}, {768, 432, 384, 216}},
        {{1366, 768}, {546, 307, 273, 154}},
        {{1282, 1024}, {513, 410, 256, 205}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DefaultCapBox(c.screen), c.box) << c.screen.width();
}

TEST(OverlayLoad, NoticeIsCentredOnMonitorOneAtThePrimaryCorner) {
    EXPECT_EQ(NoticePanelPosition({300, 100}, {1920, 1080}, {-1280, 0}), QPoint(2090, 490));
    EXPECT_EQ(NoticePanelPosition({301, 101}, {1920, 1080}, {0, -1024}), QPoint(810, 1514));
}

TEST(OverlayLoad, TheCursorsHotSpotLandsOnThePointer) {
    QImage cursor(3, 3, QImage::Format_ARGB32_Premultiplied);
    cursor.fill(Qt::transparent);
    cursor.setPixel(1, 1, qRgb(255, 0, 0));        // the hot spot
    cursor.setPixel(0, 0, qRgba(64, 64, 64, 128)); // half-transparent grey
    const struct {
        QPoint position;
        QPoint red, grey; // where the two pixels land
    } cases[] = {
        {{10, 10}, {10, 10}, {9, 9}},
        {{0, 0}, {0, 0}, {-1, -1}}, // clipped at the corner
        {{19, 19}, {19, 19}, {18, 18}},
    };
    for (const auto &c : cases) {
        QImage desktop(20, 20, QImage::Format_RGB32);
        desktop.fill(Qt::black);
        StampCursor(desktop, cursor, {1, 1}, c.position);
        EXPECT_EQ(desktop.pixel(c.red), qRgb(255, 0, 0)) << c.position.x();
        if (desktop.rect().contains(c.grey)) {
            EXPECT_EQ(desktop.pixel(c.grey), qRgb(64, 64, 64)) << c.position.x();
        }
        if (desktop.rect().contains(c.red + QPoint(2, 2))) {
            EXPECT_EQ(desktop.pixel(c.red + QPoint(2, 2)), qRgb(0, 0, 0)) << c.position.x();
        }
    }
    QImage desktop(4, 4, QImage::Format_RGB32);
    desktop.fill(Qt::white);
    StampCursor(desktop, QImage(), {}, {1, 1});
    EXPECT_EQ(desktop.pixel(1, 1), qRgb(255, 255, 255));
}

TEST(Shading, KeepsAboutFortyFourPercentOfEachChannel) {
    const struct {
        QRgb source, shaded;
    } cases[] = {
        {qRgb(0, 0, 0), qRgb(0, 0, 0)},
        {qRgb(128, 128, 128), qRgb(56, 56, 56)},
        {qRgb(255, 255, 255), qRgb(111, 111, 111)},
        {qRgb(255, 128, 0), qRgb(111, 56, 0)},
        {qRgb(10, 200, 77), qRgb(4, 87, 34)},
    };
    DebugLog log;
    // Large enough to be split between threads: both halves are checked.
    const int n = std::size(cases);
    QImage source(1000, 1200, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, cases[x % n].source);
    const QImage shaded = Dark3(source, log);
    ASSERT_EQ(shaded.format(), QImage::Format_RGB32);
    for (int y : {0, 1199})
        for (int x = 0; x < n; ++x) {
            const QRgb got = shaded.pixel(x, y), want = cases[x].shaded;
            EXPECT_NEAR(qRed(got), qRed(want), 1) << x << "," << y;
            EXPECT_NEAR(qGreen(got), qGreen(want), 1) << x << "," << y;
            EXPECT_NEAR(qBlue(got), qBlue(want), 1) << x << "," << y;
        }
}

// Pixels that tell where they came from: blue 200 bright, 100 shaded.
QImage marked(QSize size, int blue) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x, y, blue));
    return image;
}

TEST(Shading, PaintCopiesOnlyTheDirtyAreaOneToOne) {
    const QRgb untouched = qRgb(255, 0, 255);
    const struct {
        qreal ratio;
        QRegion dirty; // logical
        QRect box;     // device pixels
        QPoint at;     // device pixel
        int blue;      // 200 bright, 100 shaded, 0 untouched
    } cases[] = {
        {1, QRect(5, 5, 10, 10), {10, 10, 10, 10}, {12, 12}, 200},
        {1, QRect(5, 5, 10, 10), {10, 10, 10, 10}, {6, 6}, 100},
        {1, QRect(5, 5, 10, 10), {10, 10, 10, 10}, {14, 9}, 100},
        {1, QRect(5, 5, 10, 10), {10, 10, 10, 10}, {16, 16}, 0},
        {1, QRegion(0, 0, 4, 4) + QRect(30, 20, 5, 5), {10, 10, 10, 10}, {32, 22}, 100},
        {1, QRect(0, 0, 40, 30), {}, {15, 15}, 100},
        {2, QRect(5, 5, 10, 10), {20, 20, 20, 20}, {25, 25}, 200},
        {2, QRect(5, 5, 10, 10), {20, 20, 20, 20}, {12, 12}, 100},
        {2, QRect(5, 5, 10, 10), {20, 20, 20, 20}, {31, 31}, 0},
    };
    for (const auto &c : cases) {
        const QSize device = QSize(40, 30) * c.ratio;
        QImage target(device, QImage::Format_RGB32);
        target.setDevicePixelRatio(c.ratio);
        target.fill(untouched);
        const QImage shaded = marked(device, 100), bright = marked(device, 200);
        QPainter painter(&target);
        PaintOverlay(painter, c.dirty, shaded, bright, c.box);
        painter.end();
        const QRgb want = c.blue ? qRgb(c.at.x(), c.at.y(), c.blue) : untouched;
        EXPECT_EQ(target.pixel(c.at), want) << c.ratio << " at " << c.at.x() << "," << c.at.y();
    }
}

TEST(Shading, ABoxChangeRepaintsOnlyThePixelsThatSwitch) {
    const struct {
        QRect before, after;
        qreal ratio;
        QPoint at; // logical
        bool dirty;
    } cases[] = {
        {{10, 10, 20, 20}, {12, 10, 20, 20}, 1, {11, 15}, true},
        {{10, 10, 20, 20}, {12, 10, 20, 20}, 1, {20, 15}, false},
        {{10, 10, 20, 20}, {12, 10, 20, 20}, 1, {31, 15}, true},
        {{10, 10, 20, 20}, {12, 10, 20, 20}, 1, {32, 15}, false},
        {{11, 10, 20, 20}, {13, 10, 20, 20}, 2, {5, 8}, true}, // device 11-12
        {{11, 10, 20, 20}, {13, 10, 20, 20}, 2, {6, 8}, true},
        {{11, 10, 20, 20}, {13, 10, 20, 20}, 2, {10, 8}, false},
        {{11, 10, 20, 20}, {13, 10, 20, 20}, 2, {16, 8}, true}, // device 31-32
        {{0, 0, 0, 0}, {4, 4, 2, 2}, 1, {5, 5}, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BoxChangeRegion(c.before, c.after, c.ratio).contains(c.at), c.dirty)
            << c.ratio << " at " << c.at.x();
}

} // namespace
} // namespace quillcap
