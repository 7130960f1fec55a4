// One capture cycle on fakes: the snap button or the hot key hides the main
// window, opens the overlay on the frozen desktop, and the main window comes
// back up to date afterwards.
#include "guifixture.h"

#include "fakes/recordingsoundplayer.h"
#include "mainwindow/snapshotflow.h"
#include "overlay/captureoverlay.h"

#include <QListWidget>
#include <QMessageBox>
#include <QTest>

using namespace quillcap;

namespace {

// Every pixel says where it is, so an offset or a channel swap shows.
QImage pattern(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = qRgb(x & 255, y & 255, ((x >> 8) << 4) | (y >> 8));
    }
    return image;
}

class SnapshotTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        fakes.capture->desktop = pattern(QSize(1920, 1080));
        start();
    }
    SnapshotFlow &flow() { return program->snapshots(); }
    CaptureOverlay *waitForOverlay() {
        EXPECT_TRUE(waitUntil([&] { return flow().overlay() && flow().overlay()->isVisible(); }));
        return flow().overlay();
    }
    bool waitForReturn() {
        return waitUntil([&] { return !flow().CaptureRunning(); });
    }
};

} // namespace

TEST_F(SnapshotTest, SnapButtonShowsTheFrozenDesktopShadedAroundABrightBox) {
    QTest::mouseClick(control("imgSnapNow"), Qt::LeftButton);
    CaptureOverlay *overlay = waitForOverlay();
    ASSERT_NE(overlay, nullptr);
    EXPECT_FALSE(window->isVisible()) << "the main window steps aside";
    EXPECT_EQ(overlay->geometry(), QRect(0, 0, 1920, 1080));
    EXPECT_TRUE(fakes.windows->IsTopMost(overlay));
    EXPECT_FALSE(fakes.windows->HasTaskbarButton(overlay));

    const QImage shown = overlay->grab().toImage();
    const QImage &desk = fakes.capture->desktop;
    EXPECT_EQ(shown.pixel(768, 432), desk.pixel(768, 432)) << "the default box is bright";
    EXPECT_EQ(shown.pixel(1151, 647), desk.pixel(1151, 647));
    const QRgb outside = shown.pixel(700, 300);
    EXPECT_NEAR(qRed(outside), qRed(desk.pixel(700, 300)) * 0.436, 1.5) << "shaded around it";
    EXPECT_NEAR(qGreen(outside), qGreen(desk.pixel(700, 300)) * 0.436, 1.5);

    QTest::keyClick(overlay, Qt::Key_Escape);
    ASSERT_TRUE(waitForReturn());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "QuillCap  (0 snaps)");
    EXPECT_TRUE(QFile::exists(path("config/qcapprf.txt"))) << "saved after every capture";
    EXPECT_FALSE(fakes.windows->IsTopMost(overlay));
}

TEST_F(SnapshotTest, AMinimizedWindowStaysMinimizedAndRepeatsAreIgnored) {
    window->showMinimized();
    ASSERT_TRUE(waitUntil([&] { return window->isMinimized(); }));
    fakes.hotKey->Press();
    CaptureOverlay *overlay = waitForOverlay();
    ASSERT_NE(overlay, nullptr);
    fakes.hotKey->Press();
    QTest::mouseClick(control("imgSnapNow"), Qt::LeftButton);
    EXPECT_EQ(fakes.capture->grabbedAreas.size(), 1) << "one overlay at a time";
    QTest::keyClick(overlay, Qt::Key_X);
    ASSERT_TRUE(waitForReturn());
    EXPECT_TRUE(window->isMinimized());
}

TEST_F(SnapshotTest, NoOverlayOverAnOpenDialog) {
    // The dialog would hold all input and the overlay would freeze the screen.
    QMessageBox box(QMessageBox::NoIcon, "QuillCap", "a question", QMessageBox::Ok, window.get());
    box.open();
    ASSERT_TRUE(waitUntil([&] { return box.isVisible(); }));
    fakes.hotKey->Press();
    QCoreApplication::processEvents();
    EXPECT_FALSE(flow().CaptureRunning());
    EXPECT_TRUE(fakes.capture->grabbedAreas.isEmpty());
    box.done(0);
    fakes.hotKey->Press();
    ASSERT_NE(waitForOverlay(), nullptr);
    QTest::keyClick(flow().overlay(), Qt::Key_Escape);
    ASSERT_TRUE(waitForReturn());
}

TEST_F(SnapshotTest, TheCursorIsStampedWithItsHotSpotOnThePointer) {
    state.settings.showMouse = 1;
    QImage arrow(16, 16, QImage::Format_ARGB32_Premultiplied);
    arrow.fill(Qt::transparent);
    arrow.setPixel(7, 7, qRgb(255, 0, 0));
    fakes.capture->cursor = {arrow, QPoint(7, 7), QPoint(500, 600)};
    fakes.hotKey->Press();
    CaptureOverlay *overlay = waitForOverlay();
    ASSERT_NE(overlay, nullptr);
    const QImage shown = overlay->grab().toImage();
    EXPECT_NEAR(qRed(shown.pixel(500, 600)), 111, 1) << "a red pixel under the hot spot, shaded";
    EXPECT_NEAR(qGreen(shown.pixel(500, 600)), 0, 1);
    EXPECT_NEAR(qRed(shown.pixel(501, 600)), qRed(fakes.capture->desktop.pixel(501, 600)) * 0.436,
                1.5)
        << "transparent parts of the pointer leave the desktop";
    QTest::keyClick(overlay, Qt::Key_Escape);
    ASSERT_TRUE(waitForReturn());
}

TEST_F(SnapshotTest, ASavedFileIsCountedAndSelectedByItsExactName) {
    writeFile("pictures/Quillcap_001.png");
    writeFile("pictures/quillcap_002.png");
    state.NumberOfSnaps = 41;
    flow().ReturnFromCapture("Quillcap_001.png");
    EXPECT_EQ(window->windowTitle(), "QuillCap  (42 snaps)");
    auto *list = control<QListWidget>("fileBox");
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), "Quillcap_001.png");
    flow().ReturnFromCapture("QUILLCAP_002.png");
    EXPECT_EQ(list->selectedItems().size(), 0) << "letter case must match";
    EXPECT_EQ(state.NumberOfSnaps, 43) << "a failed save still counts";
}

TEST_F(SnapshotTest, SoundsComeBeforeTheWriteAndTheErrorSoundAfterAFailure) {
    RecordingSoundPlayer sounds;
    flow().SetSoundPlayer(&sounds);
    state.SoundFilePath = "capture.wav";
    state.ErrorSoundPath = "error.wav";
    const QString first = path("pictures/Quillcap_001.png");
    bool writtenWhenHeard = true;
    sounds.onPlay = [&](const QString &) {
        if (sounds.played.size() == 1)
            writtenWhenHeard = QFile::exists(first);
    };
    for (int round = 0; round < 2; ++round) {
        fakes.hotKey->Press();
        CaptureOverlay *overlay = waitForOverlay();
        ASSERT_NE(overlay, nullptr);
        QTest::keyClick(overlay, Qt::Key_Return);
        ASSERT_TRUE(waitForReturn());
    }
    EXPECT_FALSE(writtenWhenHeard) << "the success sound is heard before the write";
    EXPECT_TRUE(QFile::exists(first));
    EXPECT_TRUE(QFile::exists(path("pictures/Quillcap_002.png")));
    EXPECT_EQ(state.recentRegions.size(), 1) << "the same region twice is remembered once";

    // A save folder that is a regular file: the save fails, the error sound
    // follows the success sound, the attempt still counts.
    writeFile("not-a-folder");
    state.settings.saveFolder = path("not-a-folder");
    sounds.played.clear();
    fakes.hotKey->Press();
    CaptureOverlay *overlay = waitForOverlay();
    ASSERT_NE(overlay, nullptr);
    QTest::keyClick(overlay, Qt::Key_Space);
    ASSERT_TRUE(waitForReturn());
    EXPECT_EQ(sounds.played, (QStringList{"capture.wav", "error.wav"}));
    EXPECT_EQ(state.NumberOfSnaps, 3);
}
