// The note after a capture.
#include "output/messagewindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillcap;

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
