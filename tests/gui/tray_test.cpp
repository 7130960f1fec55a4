// The tray menu and minimizing where no tray host runs (the test's own Xvfb).
#include "guifixture.h"

#include "mainwindow/minisplash.h"
#include "mainwindow/trayicon.h"

#include <QMenu>

using namespace quillcap;

TEST_F(GuiTest, TheTrayMenuLeadsWithTheNameTheNextCaptureGets) {
    start();
    CaptureOverlay *overlay = openOverlay();
    ASSERT_NE(overlay, nullptr);
    QTest::keyClick(overlay, Qt::Key_Return);
    ASSERT_TRUE(waitForReturn());
    ASSERT_TRUE(QFile::exists(path("pictures/Quillcap_001.png")));
    QMenu *menu = program.tray().menu();
    menu->popup(QPoint(100, 100));
    ASSERT_TRUE(waitFor([&] { return menu->isVisible(); }));
    QStringList lines;
    for (QAction *action : menu->actions())
        lines << action->text();
    EXPECT_EQ(lines, (QStringList{"Quillcap_002.png", "___________", "Open", "Exit"}));
    menu->actions()[0]->trigger();
    menu->close();
    EXPECT_TRUE(window.isVisible()) << "the first line does nothing";
}

TEST_F(GuiTest, WithoutATrayMinimizingLeavesTheWindowInTheTaskbar) {
    ASSERT_FALSE(TrayIcon::Available());
    start();
    window.showMinimized();
    ASSERT_TRUE(waitFor([&] { return window.isMinimized(); }));
    QCoreApplication::processEvents(); // the minimized window's turn
    EXPECT_TRUE(window.isVisible() && window.isMinimized());
    EXPECT_TRUE(fakes.windows->taskbarButton.value(&window));
    window.ExpandWindow();
    EXPECT_FALSE(window.isMinimized());
}

// Started in the tray with no tray host: after the splash the window waits
// minimized in the taskbar, unless the user clicked the splash.
TEST_F(GuiTest, AStartInTheTrayEndsMinimizedInTheTaskbarOrOpenAfterAClickOnTheSplash) {
    for (const bool click : {false, true}) {
        AppState state;
        MainWindow window{state, fakes.platform, messages, clock};
        Program program{state, paths, fakes.platform, window, messages, false};
        writeFile("config/qcapprf.txt", "STARTMINIMIZED\r\n 1 \r\n");
        program.StartProgram();
        MiniSplash *splash = program.splash();
        ASSERT_NE(splash, nullptr);
        EXPECT_FALSE(window.isVisible());
        if (click)
            QTest::mouseClick(splash, Qt::LeftButton), QTest::mouseClick(splash, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return !program.splash() && window.isVisible(); }));
        QCoreApplication::processEvents(); // the minimized window's turn
        EXPECT_EQ(window.isMinimized(), !click) << click;
        EXPECT_TRUE(state.OpenFromMiniSplash == click);
        QObject::disconnect(&window, nullptr, &program, nullptr);
    }
}
