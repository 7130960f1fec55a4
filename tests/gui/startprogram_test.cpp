// Start-up and shutdown around the main window: settings applied, position
// restored onto the desktop, and what is written at the end.
#include "guifixture.h"

#include <QLabel>

using namespace quillcap;

namespace {

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray prefsWith(const QByteArray &entries) {
    return "DEBUGLOG\r\nTrue\r\n" + entries;
}

} // namespace

TEST_F(GuiTest, SavedSettingsComeBackAndTheWindowReturnsToTheDesktop) {
    writeFile("config/qcapprf.txt",
              prefsWith("PREFIX\r\n: shot_:\r\nFILETYPEINDEX\r\n 1 \r\nNUMBEROFSNAPS\r\n 1234 \r\n"
                        "POSITION\r\n-45000 \r\n 1500 \r\n"));
    start();
    EXPECT_EQ(window->windowTitle(), "QuillCap  (1,234 snaps)");
    EXPECT_EQ(control<QLabel>("lblNextName")->text(), " shot_001.jpg");
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(0, 100)) << "left of the desktop: to 0";
    const QByteArray log = readAll(path("config/QuillCap.log"));
    EXPECT_TRUE(log.contains("Booting normally (not minimized)\r\n"));
}

TEST_F(GuiTest, PositionsAreCountedFromThePrimaryMonitor) {
    // A 1280-wide monitor left of the primary: the desktop starts at -1280.
    fakes.screens->primaryOrigin = QPoint(1280, 0);
    fakes.displays->devices.front().rect = QRect(0, 0, 1920, 1080);
    fakes.displays->devices.push_back(fakes.displays->devices.front());
    fakes.displays->devices.back().primary = false;
    fakes.displays->devices.back().rect = QRect(-1280, 0, 1280, 1024);
    writeFile("config/qcapprf.txt", "POSITION\r\n-15000 \r\n 1500 \r\n");
    start();
    EXPECT_EQ(window->frameGeometry().topLeft(), QPoint(280, 100));
    EXPECT_EQ(state.minLeft, -1280);
    EXPECT_EQ(state.maxRight, 1920);
    window->close();
    EXPECT_TRUE(readAll(path("config/qcapprf.txt")).contains("POSITION\r\n-15000 \r\n 1500 \r\n"));
}

TEST_F(GuiTest, AMinimizedWindowSavesItsLastNormalPosition) {
    writeFile("config/qcapprf.txt", "POSITION\r\n 3000 \r\n 1500 \r\n");
    start();
    window->move(400, 300);
    window->resize(window->size() + QSize(1, 1));
    ASSERT_TRUE(waitUntil([&] { return state.lastNormalPosition == QPoint(6000, 4500); }));
    window->showMinimized();
    ASSERT_TRUE(waitUntil([&] { return window->isMinimized(); }));
    window->move(0, 0);
    program->SavePrefs();
    EXPECT_TRUE(readAll(path("config/qcapprf.txt")).contains("POSITION\r\n 6000 \r\n 4500 \r\n"));
}

TEST_F(GuiTest, AStartIntoTheTrayThatNeverOpensSavesTheCorner) {
    writeFile("config/qcapprf.txt", "STARTMINIMIZED\r\n 1 \r\nPOSITION\r\n 3000 \r\n 1500 \r\n");
    start();
    EXPECT_TRUE(window->isMinimized());
    program->SavePrefs();
    EXPECT_TRUE(readAll(path("config/qcapprf.txt")).contains("POSITION\r\n 0 \r\n 0 \r\n"));
}

TEST_F(GuiTest, ADamagedFileIsReportedAndLeavesTheRegionsUnread) {
    writeFile("config/lastcaps.txt", " 1 \r\n1\r\n 1 \r\n2\r\n 1 \r\n3\r\n 1 \r\n4\r\n");
    writeFile("config/qcapprf.txt", "NUMBEROFSNAPS\r\n 7 \r\nPREFIX\r\n:\r\nSHOWMOUSE\r\n 1 \r\n");
    start();
    EXPECT_EQ(messages.informed,
              QStringList{" Problem loading the preferences file.  Probably an older version. \r"
                          "No worries, we'll fix it up as best we can."});
    EXPECT_EQ(state.NumberOfSnaps, 7) << "what came before the bad entry stays";
    EXPECT_EQ(state.settings.showMouse, 0) << "nothing after it is read";
    EXPECT_TRUE(state.recentRegions.isEmpty());
    EXPECT_TRUE(window->isVisible());
    state.recentRegions = {{9, 9, 9, 9}};
    program->SavePrefs();
    EXPECT_EQ(readAll(path("config/lastcaps.txt")),
              " 1 \r\n1\r\n 1 \r\n2\r\n 1 \r\n3\r\n 1 \r\n4\r\n")
        << "regions not read this run are not replaced";
}

TEST_F(GuiTest, AMissingSaveFolderIsReportedOnceAndReplaced) {
    writeFile("config/qcapprf.txt", ("SAVEFOLDER\r\n" + path("gone") + "\r\n").toUtf8());
    writeFile("config/lastcaps.txt", " 1 \r\n1\r\n 1 \r\n2\r\n 1 \r\n3\r\n 1 \r\n4\r\n");
    start();
    EXPECT_EQ(messages.warned, QStringList{"Cannot find folder: \r" + path("gone")});
    EXPECT_EQ(state.settings.saveFolder, path("pictures"));
    EXPECT_EQ(state.recentRegions, (QList<CaptureRegion>{{1, 2, 3, 4}}));
}

TEST_F(GuiTest, ClosingSavesEverythingInOrderAndClosesTheLog) {
    writeFile("config/qcapprf.txt", prefsWith(""));
    start();
    state.recentRegions = {{10, 20, 30, 40}};
    window->close();
    const QByteArray log = readAll(path("config/QuillCap.log"));
    EXPECT_TRUE(log.endsWith("Saving Prefs ... \r\n              ... done\r\n"
                             " .. and previous cap zones .. \r\n      ... Done\r\n"
                             "... saved prefs, now unloading forms. See ya.\r\n"))
        << log.right(300).toStdString();
    EXPECT_TRUE(log.startsWith("Opening log on "));
    EXPECT_EQ(readAll(path("config/lastcaps.txt")),
              " 1 \r\n10\r\n 1 \r\n20\r\n 1 \r\n30\r\n 1 \r\n40\r\n");
    EXPECT_FALSE(state.log.IsFileOpen());
}
