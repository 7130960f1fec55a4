// Desktop grab through MIT-SHM against the plain GetImage request, at
// 1920x1080 and 3840x2160, on a 3840x2160 Xvfb of its own. Prints the
// median of 20 grabs of each.
// Usage: grab_bench
#include "platform/x11/x11screencapture.h"
#include "xsession.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 20;

// Milliseconds; nothing when the grab did not take the wanted path.
std::optional<double> MedianGrab(quillcap::x11::X11ScreenCapture &capture, QSize size,
                                 bool shared) {
    capture.SetSharedMemoryAllowed(shared);
    const QRect area(QPoint(0, 0), size);
    capture.GrabDesktop(area); // the segment is made on first use
    if (capture.LastGrabUsedSharedMemory() != shared)
        return std::nullopt;
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QImage image = capture.GrabDesktop(area);
        ms.push_back(timer.nsecsElapsed() / 1e6);
        if (image.size() != size)
            return std::nullopt;
    }
    std::nth_element(ms.begin(), ms.begin() + kRuns / 2, ms.end());
    return ms[kRuns / 2];
}

} // namespace

int main() {
    const auto x = xs::XSession::start({"-screen", "0", "3840x2160x24"});
    if (!x) {
        std::fprintf(stderr, "grab_bench: %s\n", xs::why().c_str());
        return 1;
    }
    x->setRootPicture(xs::pattern(x->size()));
    qputenv("DISPLAY", x->display().toLocal8Bit()); // the capture connects there
    quillcap::x11::X11ScreenCapture capture;
    std::printf("desktop grab, median of %d (ms)   1920x1080   3840x2160\n", kRuns);
    for (const bool shared : {true, false}) {
        std::printf("%-32s", shared ? "MIT-SHM (xcb_shm_get_image)" : "plain (xcb_get_image)");
        for (const QSize size : {QSize(1920, 1080), QSize(3840, 2160)}) {
            const std::optional<double> ms = MedianGrab(capture, size, shared);
            if (ms)
                std::printf("%12.2f", *ms);
            else
                std::printf("%12s", "n/a");
        }
        std::printf("\n");
    }
    return 0;
}
