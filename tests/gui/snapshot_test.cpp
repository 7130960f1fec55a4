// One capture cycle on fakes, and the note after it.
#include "guifixture.h"

#include "mainwindow/browserwidgets.h"
#include "output/messagewindow.h"

#include <QLabel>
#include <QMessageBox>
#include <QScreen>

using namespace quillcap;

TEST_F(GuiTest, SnapButtonShowsTheOverlayInsteadOfTheWindowAndASavedFileIsCountedAndSelected) {
    writeFile("pictures/Quillcap_001.png");
    writeFile("pictures/quillcap_002.png");
    start();
    QTest::mouseClick(control("imgSnapNow"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return flow().overlay() && flow().overlay()->isVisible(); }));
    CaptureOverlay *overlay = flow().overlay();
    EXPECT_FALSE(window.isVisible()) << "the main window steps aside";
    EXPECT_TRUE(fakes.windows->topMost.value(overlay));
    EXPECT_FALSE(fakes.windows->taskbarButton.value(overlay, true));
    QTest::keyClick(overlay, Qt::Key_Escape);
    ASSERT_TRUE(waitForReturn());
    EXPECT_TRUE(QFile::exists(path("config/qcapprf.txt"))) << "saved after every capture";
    EXPECT_FALSE(fakes.windows->topMost.value(overlay));
    state.NumberOfSnaps = 41;
    flow().ReturnFromCapture("Quillcap_001.png");
    EXPECT_EQ(window.windowTitle(), "QuillCap  (42 snaps)");
    auto *list = control<FileListBox>("fileBox");
    EXPECT_EQ(list->chosenName(), "Quillcap_001.png");
    flow().ReturnFromCapture("QUILLCAP_002.png");
    EXPECT_EQ(list->selectedNames(), QStringList()) << "letter case must match";
    EXPECT_EQ(state.NumberOfSnaps, 43) << "a failed save still counts";
}

TEST_F(GuiTest, NoOverlayOverADialogOrASecondOneAndAMinimizedWindowStaysMinimized) {
    // Under a dialog, which holds all input, the overlay would freeze the screen.
    start();
    QMessageBox box(QMessageBox::NoIcon, "QuillCap", "a question", QMessageBox::Ok, &window);
    box.open();
    ASSERT_TRUE(waitFor([&] { return box.isVisible(); }));
    fakes.hotKey->Press();
    QCoreApplication::processEvents();
    EXPECT_FALSE(flow().CaptureRunning());
    box.done(0);
    window.showMinimized();
    ASSERT_TRUE(waitFor([&] { return window.isMinimized(); }));
    CaptureOverlay *overlay = openOverlay();
    ASSERT_NE(overlay, nullptr);
    fakes.hotKey->Press();
    QTest::mouseClick(control("imgSnapNow"), Qt::LeftButton);
    EXPECT_EQ(fakes.capture->grabs, 1);
    QTest::keyClick(overlay, Qt::Key_X);
    ASSERT_TRUE(waitForReturn());
    EXPECT_TRUE(window.isMinimized());
}

TEST_F(GuiTest, ASaveFolderGoneMeanwhileIsToldAfterTheCaptureSavedInTheDefaultOne) {
    writeFile("config/qcapprf.txt", ("SAVEFOLDER\r\n" + path("other") + "\r\n").toUtf8());
    start();
    ASSERT_TRUE(QDir(path("other")).removeRecursively());
    bool savedWhenTold = false;
    messages.whileShown = [&] { savedWhenTold = QFile::exists(path("pictures/Quillcap_001.png")); };
    CaptureOverlay *overlay = openOverlay();
    ASSERT_NE(overlay, nullptr) << "no box may take the keys before the overlay";
    EXPECT_TRUE(messages.warned.isEmpty());
    QTest::keyClick(overlay, Qt::Key_Return);
    ASSERT_TRUE(waitForReturn());
    ASSERT_EQ(messages.warned.size(), 1);
    EXPECT_TRUE(messages.warned[0].startsWith("Cannot find folder: \r" + path("other") + "\r"));
    EXPECT_TRUE(messages.warned[0].contains(path("pictures"))) << "says where captures go now";
    EXPECT_TRUE(savedWhenTold);
}

TEST_F(GuiTest, AnOverlayWhoseSessionEndedIsNeverShownAgain) {
    CaptureOverlay overlay(state, fakes.platform, messages);
    overlay.Load(CursorImage{});
    overlay.ShowOverlay();
    ASSERT_TRUE(overlay.isVisible());
    overlay.AbortCapture();
    overlay.StepAside(false);
    EXPECT_FALSE(overlay.isVisible()) << "a message box closing after the end";
    overlay.ShowOverlay();
    EXPECT_FALSE(overlay.isVisible());
}

TEST(MessageWindow, ShowsTheWholeTextCentredAndErrorsApartThenClosesAndGoes) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // A path too long for one line must wrap, at its separators or without any.
    const std::pair<QString, bool> cases[] = {
        {"/tmp/a.png", false},
        {"/home/" + QString("deeply nested folder/").repeated(13) + "a.png", true},
        {"/" + QString(299, u'x'), true}};
    QList<QPointer<MessageWindow>> windows;
    QColor colour[2];
    for (const auto &[path, error] : cases) {
        auto *window = windows.emplace_back(new MessageWindow).get();
        window->ShowMessage("Saved file : \r" + path, error);
        auto *label = window->findChild<QLabel *>("lblMessage");
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(window->isVisible());
        colour[error] = window->palette().color(QPalette::Window);
        QString shown = label->text();
        EXPECT_GE(shown.count(u'\n'), path.size() > 100 ? 2 : 1) << path.size();
        EXPECT_EQ(shown.remove(u'\n'), "Saved file : " + path) << "nothing cut off";
        EXPECT_TRUE(QRect(QPoint(), window->size()).contains(label->geometry()));
        EXPECT_LE(label->sizeHint().width(), label->width()) << "the text fits";
        EXPECT_LE(window->width(), screen.width());
        EXPECT_LE((window->geometry().center() - screen.center()).manhattanLength(), 2);
    }
    EXPECT_NE(colour[0], colour[1]);
    const auto gone = [&] { return windows.count(nullptr) == windows.size(); };
    EXPECT_TRUE(QTest::qWaitFor(gone, 20000)) << "closed and deleted";
}
