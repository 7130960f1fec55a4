// Time from Print Screen to the capture overlay being shown, on an Xvfb of
// its own. The main window starts minimized, so the program adds no settle
// time before it freezes the desktop.
// Usage: hotkey_to_overlay [presses]
#include "xsession.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
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
    std::vector<double> times;
    while (int(times.size()) < presses) {
        // A press right after the last capture can come before the program
        // listens again: such a try is repeated and not counted.
        QElapsedTimer clock;
        clock.start();
        x->tap(XK_Print);
        xcb_window_t overlay = XCB_WINDOW_NONE;
        if (!x->waitForWindow(xs::kOverlay, &overlay, 1s)) {
            if (!program.running()) {
                std::fprintf(stderr, "hotkey_to_overlay: the program ended\n");
                return 1;
            }
            continue;
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
        x->focus(overlay);
        x->tap(XK_Escape);
        if (!x->waitForNoWindow(xs::kOverlay)) {
            std::fprintf(stderr, "hotkey_to_overlay: %s\n", xs::why().c_str());
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "Print Screen to shown overlay: median %.1f ms over %d presses (min %.1f, max %.1f)\n",
        times[times.size() / 2], presses, times.front(), times.back());
    return 0;
}
