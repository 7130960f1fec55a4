// Time from starting QuillCap to its main window being shown with its
// caption, on an Xvfb of its own; prints each run and the median.
// Usage: startup_time [runs]
#include "xsession.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const auto x = xs::XSession::start();
    if (!x) {
        std::fprintf(stderr, "startup_time: %s\n", xs::why().c_str());
        return 1;
    }
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const xs::Home home;
        QElapsedTimer clock;
        clock.start();
        xs::QuillCap program(*x, home.environment(*x));
        if (!program.waitForMainWindow()) {
            std::fprintf(stderr, "startup_time: %s\n", xs::why().c_str());
            return 1;
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
        std::printf("run %d: %.1f ms\n", i + 1, times.back());
        program.stop();
    }
    std::sort(times.begin(), times.end());
    std::printf("start-up to shown main window: median %.1f ms over %d runs\n",
                times[times.size() / 2], runs);
    return 0;
}
