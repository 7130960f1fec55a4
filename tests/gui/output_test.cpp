// The note after a capture.
#include "output/messagewindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillcap;

TEST(MessageWindow, ErrorsLookDifferentAndEveryNoteIsCentredThenClosesAndGoes) {
    QColor colour[2];
    for (bool error : {false, true}) {
        QPointer<MessageWindow> window = new MessageWindow;
        window->ShowMessage("Saved file : \r/tmp/a.png", error);
        auto *label = window->findChild<QLabel *>("lblMessage");
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
        colour[error] = window->palette().color(QPalette::Window);
        EXPECT_EQ(label->palette().color(QPalette::Window), colour[error]);
        EXPECT_EQ(label->font().bold(), error) << "only an error is bold";
        EXPECT_EQ(label->text(), "Saved file : \n/tmp/a.png");
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE((window->geometry().center() - screen.center()).manhattanLength(), 2);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 20000))
            << "closed and deleted";
    }
    EXPECT_NE(colour[0], colour[1]);
}

TEST(MessageWindow, GrowsToFitALongPath) {
    const QString withFolders =
        "/home/user/Pictures/" + QString("deeply nested folder/").repeated(13) + "Quillcap_001.png";
    for (const QString &path : {withFolders, "/" + QString(299, u'x')}) {
        MessageWindow window;
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.ShowMessage("Could not save file !\r" + path, true);
        auto *label = window.findChild<QLabel *>("lblMessage");
        ASSERT_NE(label, nullptr);
        EXPECT_LE(label->sizeHint().width(), label->width());
        EXPECT_LE(label->sizeHint().height(), label->height());
        EXPECT_LE(label->geometry().right(), window.width());
        EXPECT_LE(window.width(), QGuiApplication::primaryScreen()->availableGeometry().width());
        QString shown = label->text();
        EXPECT_GT(shown.count(u'\n'), 1) << "the path was wrapped";
        EXPECT_EQ(shown.remove(u'\n'), "Could not save file !" + path) << "nothing cut off";
        window.close();
    }
}
