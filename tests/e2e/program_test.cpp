// The program as a whole, from start to stop; its window under a window manager.
#include "e2e.h"

#include <sys/stat.h>
#include <unistd.h>

namespace e2e {
namespace {

using Program = E2e;

// Every path below `folder` but runtime/ (Qt's sockets), with size and time.
QByteArray snapshot(XSession &x, const QString &folder) {
    QByteArray out;
    x.run("find", {folder, "-path", folder + "/runtime", "-prune", "-o", "-printf", "%P %s %T@\n"},
          &out);
    return out;
}

TEST_F(Program, ASecondCopyIsRefusedAndTheFirstRunsOn) {
    ASSERT_TRUE(home.writeSettings({"NUMBEROFSNAPS", " 1234 "}));
    QProcessEnvironment german = home.environment(*x);
    german.insert("LANG", "de_DE.UTF-8");
    QuillCap first(*x, german);
    ASSERT_TRUE(x->waitForWindow(QRegularExpression("QuillCap  \\(1\\.234 snaps\\)")))
        << "the count grouped the user's way; " << why();
    const QByteArray before = snapshot(*x, home.home());

    QuillCap second(*x, home.environment(*x));
    // Qt keeps hidden helper windows with the bare name: a shown one is the
    // box. It can show a moment before it takes keys: Return until it goes.
    xcb_window_t box = XCB_WINDOW_NONE;
    ASSERT_TRUE(x->waitForWindow(QRegularExpression("QuillCap"), &box)) << why();
    const auto answered = [&] {
        if (x->viewable(box) && x->focus(box))
            x->key("Return");
        return !x->viewable(box);
    };
    ASSERT_TRUE(waitFor(answered, "the box to close after Return", kTimeout, 2s));
    ASSERT_TRUE(waitFor([&] { return !second.running(); }, "the second copy to exit"));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(snapshot(*x, home.home()), before) << "the refused copy wrote into HOME";
    EXPECT_TRUE(first.running());
    EXPECT_EQ(x->windows(kMainCaption).size(), 1);
}

// `quillcap` with `args` beside the running one; its exit code, -1 if it hangs.
int command(XSession &x, const QProcessEnvironment &env, const QStringList &args,
            QByteArray *err = nullptr) {
    QuillCap run(x, env, args);
    if (!waitFor([&] { return !run.running(); }, "the command to end"))
        return -1;
    if (err)
        *err = run.stderrText();
    return run.exitCode();
}

TEST_F(Program, CommandsCaptureInTheRunningCopyAndEndIt) {
    const QProcessEnvironment env = home.environment(*x);
    EXPECT_EQ(command(*x, env, {QUILLCAP_BINARY, "--exit"}), 1) << "none runs";
    // None runs: this start becomes the program and captures once it is up.
    QuillCap app(*x, env, {QUILLCAP_BINARY, "--capture"});
    xcb_window_t overlay = XCB_WINDOW_NONE;
    ASSERT_TRUE(x->waitForWindow(kOverlay, &overlay) && x->focus(overlay) && x->key("Escape") &&
                x->waitForNoWindow(kOverlay))
        << why();
    EXPECT_EQ(command(*x, env, {QUILLCAP_BINARY, "--capture"}), 0);
    ASSERT_TRUE(x->waitForWindow(kOverlay)) << why();
    EXPECT_EQ(command(*x, env, {QUILLCAP_BINARY, "--exit"}), 0);
    EXPECT_TRUE(waitFor([&] { return !app.running(); }, "the program to end"));
    EXPECT_EQ(app.exitCode(), 0);
}

TEST_F(Program, ARequestFromAnotherUserIsRefusedWhateverTheFileModes) {
    ASSERT_TRUE(home.writeSettings({"DEBUGLOG", "True"}));
    QuillCap app(*x, home.environment(*x));
    ASSERT_TRUE(app.waitForMainWindow()) << why();
    const QString program = copyProgram(home.root(), QFile::Permissions(0x7777));
    ASSERT_FALSE(program.isEmpty()) << why();
    const QDir run(home.runtime() + "/quillcap");
    const QStringList sockets = run.entryList({"*.sock"}, QDir::System);
    ASSERT_EQ(sockets.size(), 1);
    for (const QString &path : {home.root(), home.runtime(), run.path(), run.filePath(sockets[0])})
        ASSERT_EQ(::chmod(qPrintable(path), 0777), 0) << path.toStdString();
    QByteArray err;
    EXPECT_EQ(command(*x, home.environment(*x),
                      {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", program,
                       "--capture"},
                      &err),
              1);
    EXPECT_TRUE(err.contains("refused")) << err.data();
    EXPECT_TRUE(waitFor(
        [&] { return readFile(home.dataFolder() + "/QuillCap.log").contains("user id 65534"); },
        "the refusal in the log"));
    EXPECT_TRUE(x->windows(kOverlay, true).isEmpty());
}

TEST_F(Program, OfTenSimultaneousStartsOneRunsAndNineAreRefused) {
    std::vector<std::unique_ptr<QuillCap>> starts;
    for (int i = 0; i < 10; ++i)
        starts.push_back(std::make_unique<QuillCap>(*x, home.environment(*x)));
    // Each refused copy waits in its box until it is answered.
    const QRegularExpression box("^QuillCap$");
    EXPECT_TRUE(waitFor(
        [&] { return x->windows(box, true).size() == 9 && !x->windows(kMainCaption).isEmpty(); },
        "nine boxes and a main window"))
        << x->windows(box, true).size() << " boxes";
    EXPECT_EQ(x->windows(kMainCaption).size(), 1);
}

TEST_F(Program, ADamagedSettingsFileIsReportedAndAStopDuringTheReportSavesAGoodOne) {
    // A line far longer than any setting is a read error; reading stops there.
    ASSERT_TRUE(writeFile(home.settingsFile(), "DEBUGLOG\r\nTrue\r\nFILETYPEINDEX\r\n 3 \r\n" +
                                                   QByteArray(10 << 20, 'K') +
                                                   "\r\nSHOWMOUSE\r\n 1 \r\n"));
    QuillCap app(*x, home.environment(*x));
    ASSERT_TRUE(x->waitForWindow(QRegularExpression("QuillCap")) && app.stop()) << why();
    const QByteArray file = readFile(home.settingsFile());
    EXPECT_TRUE(file.count("\r\n") == 28 && file.count('\n') == 28) << file.left(2000).data();
    EXPECT_EQ(home.setting("FILETYPEINDEX"), " 3 ");
    EXPECT_EQ(home.setting("SHOWMOUSE"), " 0 ");
    EXPECT_TRUE(QFileInfo::exists(home.dataFolder() + "/QuillCap.log"));
}

TEST_F(Program, AsNobodyWithNoFolderToWriteInSettingsStayInMemory) {
    // Root may write anywhere: the program runs as nobody, from a copy nobody
    // may write to.
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther;
    const QString program = copyProgram(home.root(), mode | QFile::ExeOther);
    ASSERT_FALSE(program.isEmpty()) << why();
    for (const QString &path : {home.root(), home.home()})
        ASSERT_TRUE(QFile::setPermissions(path, mode | QFile::ExeOther));
    ASSERT_EQ(::chown(qPrintable(home.runtime()), 65534, 65534), 0);
    const QByteArray before = snapshot(*x, home.root());

    QuillCap app(*x, home.environment(*x),
                 {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", program});
    ASSERT_TRUE(app.waitForMainWindow()) << why();
    const QString err = app.stderrText();
    EXPECT_TRUE(err.contains(QRegularExpression("QuillCap: .*memory"))) << err.toStdString();
    ASSERT_TRUE(app.stop()) << why();
    EXPECT_EQ(snapshot(*x, home.root()), before);
}

// The window under openbox: what is changed in it and its place survive
// restarts; a help tab slides its panel out at the frame's right edge.
TEST_F(Program, UnderOpenboxWhatIsChangedInTheWindowAndItsPlaceSurviveRestarts) {
    ASSERT_TRUE(x->startOpenbox()) << why();
    QPoint left; // by the first run, as the second finds it
    for (int run = 0; run < 6; ++run) {
        QuillCap app(*x, home.environment(*x));
        xcb_window_t window = XCB_WINDOW_NONE;
        ASSERT_TRUE(app.waitForMainWindow(&window)) << why();
        ASSERT_TRUE(waitFor([&] { return x->parent(window) != x->root(); }, "a frame")) << why();
        const QPoint at = x->geometry(window).topLeft();
        if (run == 0) {
            // From the template field along the tab order: GIF, no message, the
            // pointer, and back to a template with a leading blank (the colons
            // keep it). Keys go in order: once the field has it, all were.
            ASSERT_TRUE(x->focus(window) &&
                        x->key("--delay 20 Tab g" + QString(" Tab").repeated(6) +
                               " space Tab Tab space" + QString(" shift+Tab").repeated(9) +
                               " ctrl+a") &&
                        x->type(" shot_"))
                << why();
            ASSERT_TRUE(waitFor(
                [&] { return x->key("ctrl+a ctrl+c") && x->clipboard() == " shot_"; }, "the text"));
            ASSERT_TRUE(x->xdotool("windowmove " + QString::number(window) + " 300 200") &&
                        waitFor([&] { return x->geometry(window).topLeft() != at; }, "the move"));
        } else if (run == 1) {
            left = at;
            // The codes tab is the one amber card on the window; while its panel
            // slides out beside the frame, a faded card stands in for it.
            const QRect frame = x->geometry(x->topLevelOf(window));
            const auto tab = [&] { return area(x->grabRoot(), qRgb(196, 120, 24), frame); };
            const QRegularExpression title("SPECIAL FILE NAME CODES");
            ASSERT_TRUE(waitFor([&] { return !tab().isEmpty(); }, "the codes tab")) << why();
            const QPoint click = tab().center();
            xcb_window_t panel = XCB_WINDOW_NONE;
            ASSERT_TRUE(x->click(click) && x->waitForWindow(title, &panel) &&
                        waitFor([&] { return tab().isEmpty(); }, "the faded stand-in") &&
                        waitFor([&] { return !tab().isEmpty(); }, "the tab back, the panel open"))
                << why();
            const auto fullyOut = [&] {
                const QRect out = x->geometry(panel);
                return out.left() == frame.right() + 1 && out.size() == QSize(263, 137);
            };
            EXPECT_TRUE(waitFor(fullyOut, "the panel beside the frame, at its full size"));
            ASSERT_TRUE(x->click(click) && x->waitForNoWindow(title)) << why();
        } else {
            EXPECT_TRUE(waitFor([&] { return x->geometry(window).topLeft() == left; }, "the place"))
                << "run " << run;
        }
        ASSERT_TRUE(app.stop()) << why();
    }
    const QStringList expected{"PREFIX",      ": shot_:", "FILETYPEINDEX", " 3 ",
                               "SHOWMESSAGE", " 0 ",      "SHOWMOUSE",     " 1 "};
    for (int i = 0; i < expected.size(); i += 2)
        EXPECT_EQ(home.setting(expected[i]), expected[i + 1]) << expected[i].toStdString();
    EXPECT_FALSE(QFileInfo::exists(home.dataFolder() + "/QuillCap.log")) << "DEBUGLOG is off";
}

TEST_F(Program, InstalledIntoAnyPrefixItStartsFindsItsSoundsAndStopsCleanly) {
    const QString prefix = home.root() + "/prefix";
    ASSERT_TRUE(x->run(CMAKE_COMMAND, {"--install", QUILLCAP_BUILD_DIR, "--prefix", prefix}));
    const QString menuEntry = prefix + "/share/applications/quillcap.desktop";
    EXPECT_TRUE(x->run("desktop-file-validate", {menuEntry})) << why();
    for (const char *icon : {"scalable/apps/quillcap.svg", "48x48/apps/quillcap.png"})
        EXPECT_GT(QFileInfo(prefix + "/share/icons/hicolor/" + icon).size(), 0) << icon;
    QuillCap app(*x, home.environment(*x), {prefix + "/bin/quillcap"});
    ASSERT_TRUE(app.waitForMainWindow() && app.stop()) << why();
    EXPECT_EQ(home.setting("SOUNDPATHS").toStdString(),
              (prefix + "/share/quillcap/capture.wav").toStdString());
}

} // namespace
} // namespace e2e
