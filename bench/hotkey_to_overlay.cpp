// Time from Print Screen to the capture overlay being mapped, on the X
// server named by DISPLAY. The main window starts minimized, so the program
// adds no settle time before it freezes the desktop.
// Usage: hotkey_to_overlay [presses]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "benchdisplay.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    bench::Display display;
    if (!display.ok() || !display.key(XK_Print)) {
        std::fprintf(stderr,
                     "hotkey_to_overlay: no X display with XTest (run it through scripts/bench)\n");
        return 1;
    }
    bench::QuillCapUnderTest program;
    program.writeSettings("STARTMINIMIZED\r\n 1 \r\n");
    if (!program.start(display, QStringLiteral(QUILLCAP_BINARY))) {
        std::fprintf(stderr, "hotkey_to_overlay: the main window never appeared\n");
        return 1;
    }
    std::vector<double> times;
    for (int i = 0; i < presses; ++i) {
        QElapsedTimer clock;
        clock.start();
        display.tap(display.key(XK_Print));
        if (!display.waitFor(XCB_MAP_NOTIFY, QStringLiteral("QuillCap capture"), 30000)) {
            std::fprintf(stderr, "hotkey_to_overlay: the overlay never appeared\n");
            return 1;
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
        display.tap(display.key(XK_Escape));
        if (!display.waitFor(XCB_UNMAP_NOTIFY, QStringLiteral("QuillCap capture"), 30000)) {
            std::fprintf(stderr, "hotkey_to_overlay: the overlay never closed\n");
            return 1;
        }
        // The program waits a moment after showing the overlay; let it pass
        // so the next press is not taken for a repeat.
        QThread::msleep(700);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "Print Screen to mapped overlay: median %.1f ms over %d presses (min %.1f, max %.1f)\n",
        times[times.size() / 2], presses, times.front(), times.back());
    return 0;
}
