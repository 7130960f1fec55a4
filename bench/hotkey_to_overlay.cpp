// Time from Print Screen to the capture overlay being shown, on an Xvfb of
// its own. The main window starts minimized, so the program adds no settle
// time before it freezes the desktop. Timed twice: the key, and
// `quillcap --capture` (its own process start included).
// Usage: hotkey_to_overlay [presses]
#include "xsession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const auto x = xs::XSession::start();
    const xs::Home home;
    if (!x || !home.writeSettings({"STARTMINIMIZED", " 1 "})) {
        std::fprintf(stderr, "hotkey_to_overlay: %s\n", xs::why().c_str());
        return 1;
    }
    xs::QuillCap program(*x, home.environment(*x));
    // Started in the tray: untimed, the splash comes and goes first.
    if (!program.waitForSplashToEnd())
        return std::fprintf(stderr, "hotkey_to_overlay: %s\n", xs::why().c_str()), 1;
    // Once untimed: the program takes the key a moment after it starts.
    if (!program.openOverlay() || !x->key("Escape") || !x->waitForNoWindow(xs::kOverlay)) {
        std::fprintf(stderr, "hotkey_to_overlay: %s\n", xs::why().c_str());
        return 1;
    }
    // Each trigger timed `count` times, from just before it to the overlay
    // mapped; the overlay is closed again untimed.
    const auto measure = [&](const char *what, const std::function<void()> &trigger) {
        std::vector<double> times;
        while (int(times.size()) < presses) {
            // A request right after the last capture can come before the
            // program listens again: such a try is repeated and not counted.
            QElapsedTimer clock;
            clock.start();
            trigger();
            xcb_window_t overlay = XCB_WINDOW_NONE;
            if (!x->waitForWindow(xs::kOverlay, &overlay, 1s)) {
                if (!program.running())
                    return std::fprintf(stderr, "hotkey_to_overlay: the program ended\n"), false;
                continue;
            }
            times.push_back(clock.nsecsElapsed() / 1e6);
            x->focus(overlay);
            x->tap(XK_Escape);
            if (!x->waitForNoWindow(xs::kOverlay))
                return std::fprintf(stderr, "hotkey_to_overlay: %s\n", xs::why().c_str()), false;
        }
        std::sort(times.begin(), times.end());
        std::printf("%s to shown overlay: median %.1f ms over %d (min %.1f, max %.1f)\n", what,
                    times[times.size() / 2], presses, times.front(), times.back());
        return true;
    };
    std::vector<std::unique_ptr<QProcess>> commands;
    const auto command = [&] {
        commands.push_back(std::make_unique<QProcess>());
        commands.back()->setProcessEnvironment(home.environment(*x));
        commands.back()->start(QUILLCAP_BINARY, {"--capture"});
    };
    if (!measure("Print Screen", [&] { x->tap(XK_Print); }) ||
        !measure("quillcap --capture", command))
        return 1;
    for (const auto &c : commands)
        c->waitForFinished();
    return 0;
}
