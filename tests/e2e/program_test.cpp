// The program as a whole: where it refuses to run, one copy per display,
// settings that outlive it however it is stopped, a damaged settings file,
// no folder to write in, and its window's place under a window manager.
#include "e2e.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace e2e {
namespace {

using Program = E2e;

TEST_F(Program, OutsideX11ItSaysSoAndExits) {
    QProcessEnvironment env = home.environment(*x);
    env.insert("WAYLAND_DISPLAY", "wayland-0");
    QuillCap app(*x, env);
    ASSERT_TRUE(waitFor([&] { return !app.running(); }, "the program to exit"));
    EXPECT_NE(app.exitCode(), 0);
    const QByteArray err = app.stderrText();
    EXPECT_TRUE(err.count('\n') == 1 && err.contains("Wayland")) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.dataFolder())) << "a refused start made its folder";
}

TEST_F(Program, ASecondCopyIsRefusedAndTheFirstRunsOn) {
    ASSERT_TRUE(home.writeSettings({"NUMBEROFSNAPS", " 1234 "}));
    QProcessEnvironment german = home.environment(*x);
    german.insert("LANG", "de_DE.UTF-8");
    QuillCap first(*x, german);
    ASSERT_TRUE(x->waitForWindow(QRegularExpression("QuillCap  \\(1\\.234 snaps\\)")))
        << "the count grouped the user's way; " << why();
    const QMap<QString, QByteArray> before = tree(home.home());

    QuillCap second(*x, home.environment(*x));
    ASSERT_TRUE(second.answerMessageBox()) << why();
    ASSERT_TRUE(waitFor([&] { return !second.running(); }, "the second copy to exit"));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.stderrText().contains("already running")) << second.stderrText().data();
    EXPECT_EQ(tree(home.home()), before) << "the refused copy wrote into HOME";
    EXPECT_TRUE(first.running());
    EXPECT_EQ(x->windows(kMainCaption).size(), 1);
}

TEST_F(Program, ChangesMadeInTheWindowSurviveARestart) {
    // Copies the focused template field: keys are handled in order, so this
    // also proves every earlier key was.
    const auto templateHolds = [&](const QString &text) {
        return waitFor([&] { return x->key("ctrl+a ctrl+c") && x->clipboard() == text.toUtf8(); },
                       "\"" + text + "\" on the clipboard");
    };
    QByteArray saved;
    {
        QuillCap app(*x, home.environment(*x));
        xcb_window_t window = XCB_WINDOW_NONE;
        ASSERT_TRUE(app.waitForMainWindow(&window) && x->focus(window)) << why();
        // From the template field along the tab order: type GIF, untick "show
        // message", tick "show mouse", then back to type a template with a
        // leading blank (the colons keep it).
        ASSERT_TRUE(x->key("--delay 20 Tab g" + QString(" Tab").repeated(6) +
                           " space Tab Tab space" + QString(" shift+Tab").repeated(9) + " ctrl+a"))
            << why();
        ASSERT_TRUE(x->type(" shot_")) << why();
        ASSERT_TRUE(templateHolds(" shot_")) << why();
        ASSERT_TRUE(app.stop()) << why();
        saved = readFile(home.settingsFile());
        EXPECT_TRUE(saved.count("\r\n") == 28 && saved.count('\n') == 28) << saved.data();
        const std::pair<const char *, QString> expected[] = {
            {"PREFIX", ": shot_:"}, {"FILETYPEINDEX", " 3 "},    {"SHOWMESSAGE", " 0 "},
            {"SHOWMOUSE", " 1 "},   {"STARTMINIMIZED", " 0 "},   {"SYSTEMTRAY", " 0 "},
            {"PLAYSOUND", " 1 "},   {"SAVEFOLDER", home.home()},
        };
        for (const auto &[key, value] : expected)
            EXPECT_EQ(home.setting(key), value) << key;
        EXPECT_FALSE(QFileInfo::exists(home.dataFolder() + "/QuillCap.log"))
            << "a log while DEBUGLOG is off";
    }
    QuillCap again(*x, home.environment(*x));
    xcb_window_t window = XCB_WINDOW_NONE;
    ASSERT_TRUE(again.waitForMainWindow(&window) && x->focus(window)) << why();
    EXPECT_TRUE(templateHolds(" shot_")) << why();
    ASSERT_TRUE(again.stop()) << why();
    EXPECT_EQ(readFile(home.settingsFile()), saved) << "loaded and saved unchanged, byte for byte";
}

TEST_F(Program, ADamagedSettingsFileIsReportedAndAStopDuringTheReportSavesAGoodOne) {
    // A line far longer than any setting is a read error; reading stops there.
    ASSERT_TRUE(writeFile(home.settingsFile(), "DEBUGLOG\r\nTrue\r\nFILETYPEINDEX\r\n 3 \r\n" +
                                                   QByteArray(10 << 20, 'K') +
                                                   "\r\nSHOWMOUSE\r\n 1 \r\n"));
    QuillCap app(*x, home.environment(*x));
    ASSERT_TRUE(waitFor([&] { return app.messageBoxShown(); }, "the problem reported")) << why();
    ASSERT_TRUE(app.stop()) << why();
    const QByteArray file = readFile(home.settingsFile());
    EXPECT_TRUE(file.count("\r\n") == 28 && file.count('\n') == 28) << file.left(2000).data();
    EXPECT_EQ(home.setting("FILETYPEINDEX"), " 3 ");
    EXPECT_EQ(home.setting("SHOWMOUSE"), " 0 ");
    EXPECT_TRUE(QFileInfo::exists(home.dataFolder() + "/QuillCap.log"));
}

TEST(ProgramAsNobody, WithNoFolderToWriteInSettingsStayInMemory) {
    // Root may write anywhere: the program runs as nobody, on a server that
    // lets any local user in, from a copy nobody may read and run.
    const auto x = XSession::start({"-ac"});
    ASSERT_TRUE(x) << why();
    const Home home;
    const QString folder = home.root() + "/program", program = folder + "/quillcap";
    ASSERT_TRUE(QDir().mkpath(folder) && QFile::copy(QUILLCAP_BINARY, program));
    for (const QString &path : {home.root(), home.home(), folder})
        ASSERT_TRUE(QFile::setPermissions(
            path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    ASSERT_EQ(::chown(qPrintable(home.runtime()), 65534, 65534), 0);
    const QMap<QString, QByteArray> before = tree(home.root());

    QuillCap app(*x, home.environment(*x),
                 {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", program});
    ASSERT_TRUE(app.waitForMainWindow()) << why();
    EXPECT_TRUE(QRegularExpression("(^|\n)QuillCap: [^\n]*memory",
                                   QRegularExpression::CaseInsensitiveOption)
                    .match(app.stderrText())
                    .hasMatch())
        << app.stderrText().data();
    ASSERT_TRUE(app.stop()) << why();
    QMap<QString, QByteArray> after = tree(home.root());
    // Qt may leave its own sockets in the runtime folder it was given.
    after.removeIf([](const auto &it) { return it.key().startsWith("runtime/"); });
    EXPECT_EQ(after, before);
}

TEST_F(Program, UnderOpenboxTheWindowComesBackExactlyWhereItWasLeft) {
    ASSERT_TRUE(x->startOpenbox()) << why();
    QPoint left;
    for (int run = 0; run < 6; ++run) {
        SCOPED_TRACE(testing::Message() << "run " << run);
        QuillCap app(*x, home.environment(*x));
        xcb_window_t window = XCB_WINDOW_NONE;
        ASSERT_TRUE(app.waitForMainWindow(&window)) << why();
        ASSERT_TRUE(waitFor([&] { return x->parent(window) != x->root(); }, "a frame")) << why();
        const QPoint at = x->geometry(window).topLeft();
        if (run == 0) {
            ASSERT_EQ(x->run("xdotool", {"windowmove", QString::number(window), "300", "200"}), 0);
            ASSERT_TRUE(waitFor([&] { return x->geometry(window).topLeft() != at; }, "the move"));
        } else if (run == 1) {
            left = at; // as the first run left it
        } else {
            EXPECT_TRUE(waitFor([&] { return x->geometry(window).topLeft() == left; }, "the place"))
                << "at " << at.x() << "," << at.y() << " instead of " << left.x() << ","
                << left.y();
        }
        ASSERT_TRUE(app.stop()) << why();
    }
}

} // namespace
} // namespace e2e
