#include "overlay/overlayload.h"
#include "overlay/shading.h"

#include <QPicture>

#include <gtest/gtest.h>

using namespace quillcap;

TEST(OverlayLoad, DefaultBoxAndNoticePanel) {
    // A centred fifth, halves rounded to even.
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
    // What, the frame and what is selected.
    const std::tuple<const char *, std::optional<ActiveWindowFrame>, QRect> cases[] = {
        {"none", std::nullopt, whole},
        {"not mapped", ActiveWindowFrame{{100, 100, 400, 300}, false}, whole},
        {"a 1x1 helper off screen", ActiveWindowFrame{{-100, -100, 1, 1}, true}, whole},
        {"on no monitor", ActiveWindowFrame{{5000, 100, 400, 300}, true}, whole},
        {"2x5", ActiveWindowFrame{{100, 100, 2, 5}, true}, whole},
        {"3x3", ActiveWindowFrame{{10, 10, 3, 3}, true}, {1290, 10, 3, 3}},
        {"left monitor", ActiveWindowFrame{{-1000, 50, 400, 300}, true}, {280, 50, 400, 300}},
        {"across both", ActiveWindowFrame{{-200, -20, 400, 300}, true}, {1080, -20, 400, 300}},
    };
    for (const auto &[what, frame, selected] : cases) {
        QString why = "earlier reason";
        EXPECT_EQ(UsableActiveWindow(frame, monitors, desk, why), selected) << what;
        EXPECT_EQ(why.isEmpty(), selected != whole) << what;
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
    StampCursor(desktop, QImage(), {}, {1, 1}); // no cursor: nothing drawn, no crash
    EXPECT_EQ(desktop.pixel(1, 1), qRgb(255, 255, 255));
}

TEST(Shading, ABoxChangeRepaintsOnlyThePixelsThatSwitch) {
    // Box before and after (device pixels), ratio; logical points repainted and not.
    const std::tuple<QRect, QRect, qreal, QList<QPoint>, QList<QPoint>> cases[] = {
        {{10, 10, 20, 20}, {12, 10, 20, 20}, 1, {{11, 15}, {31, 15}}, {{20, 15}, {32, 15}}},
        // Device columns 11-12 and 31-32 switch.
        {{11, 10, 20, 20}, {13, 10, 20, 20}, 2, {{5, 8}, {6, 8}, {16, 8}}, {{10, 8}}},
        {{0, 0, 0, 0}, {4, 4, 2, 2}, 1, {{5, 5}}, {}},
    };
    for (const auto &[before, after, ratio, repainted, kept] : cases) {
        const QRegion region = BoxChangeRegion(before, after, ratio);
        for (QPoint at : repainted)
            EXPECT_TRUE(region.contains(at)) << ratio << " at " << at.x();
        for (QPoint at : kept)
            EXPECT_FALSE(region.contains(at)) << ratio << " at " << at.x();
    }
}

TEST(Shading, PaintedShadedOutsideTheBoxBrightInsideAndNothingPastTheDirtyPart) {
    QImage bright(40, 30, QImage::Format_RGB32);
    bright.fill(qRgb(255, 100, 1));
    const QRect box(10, 8, 12, 6), dirty(4, 4, 20, 16); // device pixels
    // A backing store is shaded into straight, at its scale; any other
    // device (a recorded picture here) gets shaded copies.
    for (const auto &[ratio, recorded] : {std::pair{1.0, false}, {2.0, false}, {1.0, true}}) {
        QImage store(bright.size(), QImage::Format_ARGB32_Premultiplied);
        store.setDevicePixelRatio(ratio);
        store.fill(Qt::green);
        QPicture picture;
        QPainter painter;
        recorded ? painter.begin(&picture) : painter.begin(&store);
        const QRectF logical(QPointF(dirty.topLeft()) / ratio, QSizeF(dirty.size()) / ratio);
        PaintOverlay(painter, QRegion(logical.toRect()), bright, box);
        painter.end();
        if (recorded)
            QPainter(&store).drawPicture(0, 0, picture);
        EXPECT_EQ(store.pixel(5, 5), qRgb(111, 44, 0)) << ratio << recorded;
        EXPECT_EQ(store.pixel(box.center()), qRgb(255, 100, 1)) << ratio << recorded;
        EXPECT_EQ(store.pixel(30, 25), QColor(Qt::green).rgb()) << ratio << recorded;
    }
}
