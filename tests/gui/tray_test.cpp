// The tray menu, and where no tray host runs (as on the test's own Xvfb).
#include "guifixture.h"

#include "mainwindow/trayicon.h"

#include <QMenu>

using namespace quillcap;

TEST_F(GuiTest, TheTrayMenuLeadsWithTheNameTheNextCaptureGets) {
    start();
    CaptureOverlay *overlay = openOverlay();
    ASSERT_NE(overlay, nullptr);
    QTest::keyClick(overlay, Qt::Key_Return);
    ASSERT_TRUE(waitForReturn() && QFile::exists(path("pictures/Quillcap_001.png")));
    QMenu *menu = program.tray().menu();
    menu->popup(QPoint(100, 100));
    QStringList lines;
    for (QAction *action : menu->actions())
        lines << action->text();
    EXPECT_EQ(lines, (QStringList{"Quillcap_002.png", "___________", "Open", "Exit"}));
    menu->close();
}

// Without a tray the window waits minimized in the taskbar: after a start in
// the tray and when the user minimizes it.
TEST_F(GuiTest, WithoutATrayTheWindowStaysMinimizedInTheTaskbar) {
    ASSERT_FALSE(TrayIcon::Available());
    writeFile("config/qcapprf.txt", "STARTMINIMIZED\r\n 1 \r\n");
    program.StartProgram();
    ASSERT_NE(program.splash(), nullptr);
    EXPECT_FALSE(window.isVisible());
    ASSERT_TRUE(waitFor([&] { return !program.splash() && window.isVisible(); }));
    QCoreApplication::processEvents(); // the minimized window's turn
    EXPECT_TRUE(window.isVisible() && window.isMinimized());
    EXPECT_TRUE(fakes.windows->taskbarButton.value(&window));
    window.ExpandWindow();
    window.showMinimized();
    ASSERT_TRUE(waitFor([&] { return window.isMinimized(); }));
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.isVisible());
}
