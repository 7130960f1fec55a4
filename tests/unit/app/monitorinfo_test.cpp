#include "app/monitorinfo.h"

#include <gtest/gtest.h>

namespace quillcap {
namespace {

DisplayDevice device(QRect rect, bool attached = true, bool primary = false, bool mirror = false) {
    DisplayDevice d;
    d.attached = attached, d.primary = primary, d.mirroring = mirror, d.rect = rect;
    return d;
}

const QRect kPrimary(0, 0, 1920, 1080);
const DisplayDevice kMain = device(kPrimary, true, true);

TEST(MonitorInfo, BoundsAndTableFollowTheDevices) {
    const QRect left(-1280, 0, 1280, 1024), above(100, -1200, 1600, 1200),
        right(1920, 0, 1280, 1024);
    const DisplayDevice mirror = device(kPrimary, true, false, true), off = device(right, false);
    // What, the devices, minLeft, maxRight, minTop and maxBottom, and table
    // rows 1 to 3; row 4 stays empty.
    using Bounds = std::array<qint32, 4>;
    const std::tuple<const char *, std::vector<DisplayDevice>, Bounds, std::array<QRect, 3>>
        cases[] = {
            {"left of primary", {kMain, device(left)}, {-1280, 1920, 0, 1080}, {kPrimary, left}},
            {"above, taller", {kMain, device(above)}, {0, 1920, -1200, 1080}, {kPrimary, above}},
            {"mirror first", {mirror, kMain}, {0, 1920, 0, 1080}, {QRect(), kPrimary}},
            {"disabled: stored, not bounded", {kMain, off}, {0, 1920, 0, 1080}, {kPrimary, right}},
            {"all off", {device(kPrimary, false)}, {32000, -32000, 32000, -32000}, {kPrimary}},
        };
    for (const auto &[name, devices, bounds, rows] : cases) {
        AppState state;
        UpdateMonitorInfo(devices, state);
        EXPECT_EQ((Bounds{state.minLeft, state.maxRight, state.minTop, state.maxBottom}), bounds)
            << name;
        const MonitorTable &t = state.monitorTable;
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ(QRect(t.MParm(n, 0), t.MParm(n, 1), t.MParm(n, 2), t.MParm(n, 3)),
                      n <= 3 ? rows[n - 1] : QRect(0, 0, 0, 0))
                << name << " row " << n;
    }
}

} // namespace
} // namespace quillcap
