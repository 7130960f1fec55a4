// Desktop grab through MIT-SHM against the plain GetImage request, at
// 1920x1080 and 3840x2160, on the X server named by DISPLAY (its root must
// be 3840x2160 or larger for the second size). Prints the median of 20 grabs
// of each.
// Usage: grab_bench
#include "platform/x11/x11screencapture.h"

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
