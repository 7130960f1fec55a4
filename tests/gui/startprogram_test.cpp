#include "guifixture.h"

#include <QLabel>

using namespace quillcap;

TEST_F(GuiTest, SavedSettingsComeBackAndOurStaleTemporariesGo) {
    writeFile("config/qcapprf.txt", "PREFIX\r\n: shot_:\r\nFILETYPEINDEX\r\n 1 \r\n"
                                    "NUMBEROFSNAPS\r\n 1234 \r\nPOSITION\r\n-45000 \r\n 1500 \r\n");
    writeFile("config/QuillCap.log", "an earlier run"); // the log is off: left alone
    // A save cut short two days ago and one going on now (the rest is the sweep's unit test).
    const QDateTime now = QDateTime::currentDateTime();
    for (auto [name, time] : {std::pair{"pictures/.quillcap-a1.tmp", now.addDays(-2)},
                              {"pictures/.quillcap-b2.tmp", now}}) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    }
    start();
    EXPECT_EQ(window.windowTitle(), "QuillCap  (1,234 snaps)");
    EXPECT_FALSE(control<QLabel>("lblHotKeyClash")->isVisible()) << "no key taken";
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), " shot_001.jpg");
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(0, 100)) << "left of the desktop: to 0";
    EXPECT_EQ(state.SoundFilePath, path("program/capture.wav")) << "the default";
    EXPECT_EQ(entries(path("pictures")), QStringList{".quillcap-b2.tmp"});
    EXPECT_EQ(read("config/QuillCap.log"), "an earlier run");
}

TEST_F(GuiTest, PositionsCountFromThePrimaryMonitorAndAMinimizedWindowSavesItsLastNormalOne) {
    // A 1280-wide monitor left of the primary: the desktop starts at -1280.
    fakes.screens->primaryOrigin = QPoint(1280, 0);
    fakes.displays->devices.push_back(fakes.displays->devices.front());
    fakes.displays->devices.back().primary = false;
    fakes.displays->devices.back().rect = QRect(-1280, 0, 1280, 1024);
    writeFile("config/qcapprf.txt", "POSITION\r\n-15000 \r\n 1500 \r\n");
    start();
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(280, 100));
    window.move(1680, 300);
    window.resize(window.size() + QSize(1, 1));
    ASSERT_TRUE(waitFor([&] { return state.lastNormalPosition == QPoint(6000, 4500); }));
    window.showMinimized();
    ASSERT_TRUE(waitFor([&] { return window.isMinimized(); }));
    window.move(0, 0);
    window.close();
    EXPECT_TRUE(read("config/qcapprf.txt").contains("POSITION\r\n 6000 \r\n 4500 \r\n"));
}

TEST_F(GuiTest, DamagedSettingsAreReportedAndTheRegionsStillReadAndKept) {
    writeFile("config/lastcaps.txt", " 1 \r\n1\r\n 1 \r\n2\r\n 1 \r\n3\r\n 1 \r\n4\r\n");
    writeFile("config/qcapprf.txt", "NUMBEROFSNAPS\r\n 7 \r\nPREFIX\r\n:\r\nSHOWMOUSE\r\n 1 \r\n");
    start();
    EXPECT_EQ(messages.informed.size(), 1);
    EXPECT_EQ(state.recentRegions, (QList<CaptureRegion>{{1, 2, 3, 4}}));
    CaptureOverlay *overlay = openOverlay();
    ASSERT_NE(overlay, nullptr);
    QTest::keyClick(overlay, Qt::Key_D);
    QTest::keyClick(overlay, Qt::Key_Return);
    ASSERT_TRUE(waitForReturn());
    EXPECT_EQ(read("config/lastcaps.txt"), " 2 \r\n1\r\n0\r\n 2 \r\n2\r\n0\r\n"
                                           " 2 \r\n3\r\n1920\r\n 2 \r\n4\r\n1080\r\n");
}

TEST_F(GuiTest, AMissingSaveFolderIsReplacedAndClosingSavesTheRegionsAndClosesTheLog) {
    writeFile("config/qcapprf.txt", ("DEBUGLOG\r\nTrue\r\nSAVEFOLDER\r\n" + path("gone")).toUtf8());
    start();
    EXPECT_EQ(messages.warned, QStringList{"Cannot find folder: \r" + path("gone")});
    EXPECT_EQ(state.settings.saveFolder, path("pictures"));
    EXPECT_TRUE(state.log.IsFileOpen());
    state.recentRegions = {{10, 20, 30, 40}};
    window.close();
    EXPECT_EQ(read("config/lastcaps.txt"), " 1 \r\n10\r\n 1 \r\n20\r\n 1 \r\n30\r\n 1 \r\n40\r\n");
    EXPECT_FALSE(state.log.IsFileOpen());
}

TEST_F(GuiTest, PrintKeysOtherProgramsHoldAreNamedUnderTheSettingsWithoutAMessageBox) {
    fakes.hotKey->taken = QStringList{"Print", "Ctrl+Print", "Shift+Print"};
    start();
    const auto *line = control<QLabel>("lblHotKeyClash");
    EXPECT_TRUE(line->isVisible());
    EXPECT_TRUE(line->text().startsWith("Another program already uses Print, Ctrl+Print and "
                                        "Shift+Print, so those keys will not start a capture."));
    EXPECT_TRUE(line->text().endsWith("for the command:\nquillcap --capture"));
    EXPECT_TRUE(messages.informed.isEmpty() && messages.warned.isEmpty());
}
