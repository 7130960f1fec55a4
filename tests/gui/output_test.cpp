#include "app/debuglog.h"
#include "output/messagewindow.h"
#include "output/qtsoundplayer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quillcap;

namespace {

// The copies next to the program, where it looks for them first.
QString programSound(const char *name) {
    return QFileInfo(QStringLiteral(QUILLCAP_BINARY)).absolutePath() + u'/' +
           QString::fromLatin1(name);
}

} // namespace

TEST(MessageWindow, StyleAndLifetime) {
    const struct {
        bool error;
        QColor colour;
        bool bold;
        int ms;
    } cases[] = {
        {false, QColor(192, 255, 192), false, 1000},
        {true, QColor(255, 192, 192), true, 3000},
    };
    for (const auto &c : cases) {
        QPointer<MessageWindow> window = new MessageWindow;
        QElapsedTimer clock;
        clock.start();
        window->ShowMessage(QStringLiteral("Saved file : \r/tmp/a.png"), c.error);
        auto *label = window->findChild<QLabel *>(QStringLiteral("lblMessage"));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
        EXPECT_EQ(window->palette().color(QPalette::Window), c.colour) << c.error;
        EXPECT_EQ(label->palette().color(QPalette::Window), c.colour) << c.error;
        EXPECT_EQ(label->font().bold(), c.bold);
        EXPECT_EQ(label->text(), QStringLiteral("Saved file : \n/tmp/a.png"));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE((window->geometry().center() - screen.center()).manhattanLength(), 2);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window || !window->isVisible(); }, c.ms + 5000))
            << "still shown after " << c.ms << " ms";
        // Coarse timers may fire up to 5 % early.
        EXPECT_GE(clock.elapsed(), c.ms * 95 / 100);
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }, 5000)) << "deleted on close";
    }
}

TEST(MessageWindow, GrowsToFitALongPath) {
    const QString withFolders = QStringLiteral("/home/user/Pictures/") +
                                QStringLiteral("deeply nested folder/").repeated(13) +
                                QStringLiteral("Quillcap_001.png");
    const QString oneWord = QStringLiteral("/") + QString(299, u'x');
    for (const QString &path : {withFolders, oneWord}) {
        ASSERT_GE(path.size(), 300);
        MessageWindow window;
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        window.ShowMessage(QStringLiteral("Could not save file !\r") + path, true);
        auto *label = window.findChild<QLabel *>(QStringLiteral("lblMessage"));
        ASSERT_NE(label, nullptr);
        const QSize needed = label->sizeHint();
        EXPECT_LE(needed.width(), label->width());
        EXPECT_LE(needed.height(), label->height());
        EXPECT_LE(label->geometry().right(), window.width());
        EXPECT_LE(window.width(), QGuiApplication::primaryScreen()->availableGeometry().width());
        EXPECT_EQ(window.message(), QStringLiteral("Could not save file !\r") + path);
        QString shown = label->text();
        EXPECT_GT(shown.count(u'\n'), 1) << "the path was wrapped";
        EXPECT_EQ(shown.remove(u'\n'), QStringLiteral("Could not save file !") + path)
            << "nothing cut off";
        window.close();
    }
}

class QtSoundPlayerTest : public ::testing::Test {
protected:
    DebugLog log;
    QStringList lines;
    QtSoundPlayer player{log};
    void SetUp() override {
        log.HardLogging = true;
        log.SetViewer([this](const QString &line) { lines << line; });
    }
};

TEST_F(QtSoundPlayerTest, AMissingFileIsLoggedAndSkipped) {
    const QString path = programSound("nothing-here.wav");
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(player.PlaySoundFile(path));
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_TRUE(lines.contains(QStringLiteral("SOUND ERROR - can't find ") + path))
        << lines.join('|').toStdString();
}

// This machine has no sound device; the forced case makes Qt try anyway, which
// is the case where it never reports the end and only the watchdog returns.
TEST_F(QtSoundPlayerTest, ReturnsWithinTheSoundsLengthAndASecond) {
    const struct {
        const char *name;
        qint64 lengthMs;
        bool forceOutput;
    } cases[] = {
        {"capture.wav", 150, false},
        {"error.wav", 300, false},
        {"capture.wav", 150, true},
    };
    for (const auto &c : cases) {
        const QString path = programSound(c.name);
        ASSERT_TRUE(QFileInfo::exists(path)) << "copied next to the program";
        EXPECT_EQ(WavDurationMs(path), c.lengthMs) << c.name;
        if (c.forceOutput)
            player.hasAudioOutput = [] { return true; };
        QElapsedTimer clock;
        clock.start();
        player.PlaySoundFile(path);
        EXPECT_LE(clock.elapsed(), c.lengthMs + QtSoundPlayer::kWatchdogMarginMs + 1000)
            << c.name << (c.forceOutput ? " with a forced output" : "");
    }
    EXPECT_FALSE(lines.join(u'\n').contains(QStringLiteral("SOUND ERROR")));
}
