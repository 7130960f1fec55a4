// The session check, screen facts and shell services of the X11 back end on
// a real (virtual) display.
#include "envguard.h"
#include "platform/x11/x11platform.h"
#include "platform/x11/x11session.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace quillcap;

namespace {

struct SessionCase {
    const char *what;
    std::vector<std::pair<const char *, const char *>> env; // null value: unset
    const char *problem;                                    // null: none
};

TEST(X11SessionProblem, NamesWhatStopsTheProgram) {
    ASSERT_FALSE(QFile::exists(QStringLiteral("/tmp/.X11-unix/X4242")));
    const SessionCase cases[] = {
        {"X11 session", {}, nullptr},
        {"session type x11", {{"XDG_SESSION_TYPE", "x11"}}, nullptr},
        {"Wayland session type", {{"XDG_SESSION_TYPE", "wayland"}}, "Wayland"},
        {"Wayland display present", {{"WAYLAND_DISPLAY", "wayland-0"}}, "Wayland"},
        {"Wayland beats a reachable X display",
         {{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}},
         "Wayland"},
        {"no DISPLAY", {{"DISPLAY", nullptr}}, "no X11 display"},
        {"empty DISPLAY", {{"DISPLAY", ""}}, "no X11 display"},
        {"no server on DISPLAY", {{"DISPLAY", ":4242"}}, "no X11 display"},
        {"malformed DISPLAY", {{"DISPLAY", "not a display"}}, "no X11 display"},
    };
    for (const SessionCase &c : cases) {
        SCOPED_TRACE(c.what);
        EnvGuard env;
        for (const auto &[name, value] : c.env)
            env.Set(name, value);
        const std::optional<QString> problem = X11SessionProblem();
        ASSERT_EQ(problem.has_value(), c.problem != nullptr) << problem.value_or("").toStdString();
        if (!problem)
            continue;
        EXPECT_TRUE(problem->contains(QLatin1String(c.problem))) << problem->toStdString();
        // One sentence a user can read in a message box.
        EXPECT_TRUE(problem->startsWith(QLatin1String("QuillCap needs an X11 session: ")));
        EXPECT_TRUE(problem->endsWith(QLatin1Char('.')));
        EXPECT_FALSE(problem->contains(QLatin1Char('\n')));
    }
}

TEST(QtScreenInfo, DescribesTheSingleVirtualMonitor) {
    const Platform platform = makeX11Platform();
    const ScreenInfo &screens = *platform.screens;
    EXPECT_DOUBLE_EQ(screens.TwipsPerPixelX(), 15.0);
    EXPECT_DOUBLE_EQ(screens.TwipsPerPixelY(), 15.0);
    EXPECT_EQ(screens.PrimaryOrigin(), QPoint(0, 0));
    EXPECT_EQ(screens.PrimarySize(), QSize(1920, 1080));
}

TEST(QtShell, BrowseForFolderReturnsThePickOrNothing) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString picked = tmp.filePath(QStringLiteral("picked"));
    ASSERT_TRUE(QDir().mkpath(picked));
    const Platform platform = makeX11Platform();
    QWidget owner;
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));

    const struct {
        const char *what;
        bool accept;
        QString expected;
    } cases[] = {{"picked", true, picked}, {"cancelled", false, QString()}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QString seenTitle;
        QWidget *seenOwner = nullptr;
        int ticks = 0;
        QTimer answer;
        answer.setInterval(20);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog) {
                if (++ticks > 3000 && QApplication::activeModalWidget())
                    QApplication::activeModalWidget()->close(); // not ours: fail, don't hang
                return;
            }
            answer.stop();
            seenTitle = dialog->windowTitle();
            seenOwner = dialog->parentWidget();
            if (c.accept) {
                dialog->setDirectory(tmp.path());
                dialog->selectFile(picked);
                static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
            } else {
                dialog->reject();
            }
        });
        answer.start();
        const QString result =
            platform.shell->BrowseForFolder(&owner, QStringLiteral("Pick the save folder"),
                                            tmp.path());
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(seenTitle, QStringLiteral("Pick the save folder"));
        EXPECT_EQ(seenOwner, &owner);
    }
}

TEST(QtShell, OpenUrlHandsACompleteAddressToTheDesktopOpener) {
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QString log = bin.filePath(QStringLiteral("opened.log"));
    QFile opener(bin.filePath(QStringLiteral("xdg-open")));
    ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
    opener.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >>\"$(dirname \"$0\")/opened.log\"\n");
    opener.close();
    opener.setPermissions(opener.permissions() | QFile::ExeOwner);
    EnvGuard env;
    env.Set("PATH", bin.path() + QLatin1Char(':') + qEnvironmentVariable("PATH"));

    const struct {
        const char *typed;
        const char *opened;
    } cases[] = {
        {"www.example.com/quillcap", "http://www.example.com/quillcap"},
        {"https://example.com/a?b=c", "https://example.com/a?b=c"},
        {"/tmp/some file.png", "file:///tmp/some%20file.png"},
    };
    const Platform platform = makeX11Platform();
    QStringList expected;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        platform.shell->OpenUrl(QString::fromUtf8(c.typed));
        expected << QString::fromUtf8(c.opened);
        const auto lines = [&] {
            QFile f(log);
            return f.open(QIODevice::ReadOnly)
                       ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)
                       : QStringList();
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return lines().size() >= expected.size(); }, 15000));
        EXPECT_EQ(lines(), expected);
    }
}

} // namespace
