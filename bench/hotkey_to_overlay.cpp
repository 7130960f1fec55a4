// Time from Print Screen, and from `quillcap --capture` (its own process start
// included), to the shaded overlay on screen: the key goes in through XTEST,
// then one screen pixel outside the box is read until it turns shaded. On an
// Xvfb the picture's size showing it; the main window starts in the tray, so
// the program adds no settle time before it freezes the desktop.
// Usage: hotkey_to_overlay PICTURE [presses]
#include "benchtools.h"

#include <QCoreApplication>

#include <X11/keysym.h>

#include <functional>

using namespace std::chrono_literals;

namespace {

// A pixel well outside the default box that shading visibly changes.
QPoint shadeProbe(const QImage &screen) {
    for (int y = 8; y < screen.height() / 3; y += 7)
        for (int x = 8; x < screen.width() / 3; x += 7)
            if (qGray(screen.pixel(x, y)) > 96)
                return {x, y};
    return {8, 8};
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const auto [x, presses, exitCode] =
        bench::startScreenBench(argc, argv, "hotkey_to_overlay", "presses", 20);
    if (!x)
        return exitCode;
    const xs::Home home;
    const auto failed = [] {
        return std::fprintf(stderr, "hotkey_to_overlay: %s\n", xs::why().c_str()), 1;
    };
    if (!home.writeSettings({"STARTMINIMIZED", " 1 "}))
        return failed();
    const QPoint probe = shadeProbe(x->grabRoot());
    const QRgb bright = x->pixel(probe);
    const auto shaded = [&](QRgb got) { return xs::shadedFrom(got, bright); };
    xs::QuillCap program(*x, home.environment(*x));
    // Started in the tray: untimed, the splash comes and goes first; then once
    // untimed, since the program takes the key a moment after it starts.
    if (!program.waitForSplashToEnd() || !program.openOverlay() || !x->key("Escape") ||
        !x->waitForNoWindow(xs::kOverlay))
        return failed();
    const auto measure = [&](const char *what, const std::function<void()> &trigger) {
        std::vector<double> times;
        while (int(times.size()) < presses) {
            // The screen must show the desktop again before the next try.
            if (!xs::waitFor([&] { return x->pixel(probe) == bright; }, "the desktop back"))
                return false;
            QElapsedTimer clock;
            clock.start();
            trigger();
            bool shown = false;
            while (!(shown = shaded(x->pixel(probe))) && clock.elapsed() < 2000) {
            }
            // A request right after the last capture can come before the
            // program listens again: such a try is repeated and not counted.
            if (shown)
                times.push_back(clock.nsecsElapsed() / 1e6);
            else if (!program.running())
                return xs::fail("the program ended");
            xcb_window_t overlay = XCB_WINDOW_NONE;
            if (x->waitForWindow(xs::kOverlay, &overlay, 1s))
                x->tap(XK_Escape);
            if (!x->waitForNoWindow(xs::kOverlay))
                return false;
        }
        std::sort(times.begin(), times.end());
        std::printf("%s to shaded overlay on screen (%dx%d): median %.1f ms over %d (min %.1f, "
                    "max %.1f)\n",
                    what, x->size().width(), x->size().height(), times[times.size() / 2], presses,
                    times.front(), times.back());
        return true;
    };
    // Started as a desktop's shortcut daemon starts it (posix_spawn), not
    // through QProcess, whose own set-up would be counted too.
    std::vector<pid_t> commands;
    const QProcessEnvironment environment = home.environment(*x);
    std::vector<QByteArray> variables;
    for (const QString &variable : environment.toStringList())
        variables.push_back(variable.toLocal8Bit());
    std::vector<char *> envp;
    for (QByteArray &variable : variables)
        envp.push_back(variable.data());
    envp.push_back(nullptr);
    const auto command = [&] {
        char binary[] = QUILLCAP_BINARY, capture[] = "--capture";
        char *argv[] = {binary, capture, nullptr};
        pid_t pid = 0;
        if (::posix_spawn(&pid, binary, nullptr, nullptr, argv, envp.data()) == 0)
            commands.push_back(pid);
    };
    if (!measure("Print Screen", [&] { x->tap(XK_Print); }) ||
        !measure("quillcap --capture", command))
        return failed();
    for (const pid_t pid : commands)
        ::waitpid(pid, nullptr, 0);
    return 0;
}
