#include "app/monitorinfo.h"

#include <gtest/gtest.h>

namespace quillcap {
namespace {

DisplayDevice device(QRect rect, bool attached = true, bool primary = false, bool mirror = false) {
    DisplayDevice d;
    d.attached = attached;
    d.primary = primary;
    d.mirroring = mirror;
    d.rect = rect;
    return d;
}

const QRect kPrimary(0, 0, 1920, 1080);
const DisplayDevice kMain = device(kPrimary, true, true);

TEST(MonitorInfo, BoundsAndTableFollowTheDevices) {
    const QRect left(-1280, 0, 1280, 1024), above(100, -1200, 1600, 1200),
        right(1920, 0, 1280, 1024);
    const struct {
        const char *name;
        std::vector<DisplayDevice> devices;
        std::array<qint32, 4> bounds; // minLeft, maxRight, minTop, maxBottom
        std::array<QRect, 3> rows;    // rows 1 to 3; row 4 stays empty
    } cases[] = {
        {"left of primary", {kMain, device(left)}, {-1280, 1920, 0, 1080}, {kPrimary, left}},
        {"above, taller", {kMain, device(above)}, {0, 1920, -1200, 1080}, {kPrimary, above}},
        {"mirror first",
         {device(kPrimary, true, false, true), kMain},
         {0, 1920, 0, 1080},
         {QRect(), kPrimary}},
        {"disabled stored, not bounded",
         {kMain, device(right, false)},
         {0, 1920, 0, 1080},
         {kPrimary, right}},
        {"nothing attached", {device(kPrimary, false)}, {32000, -32000, 32000, -32000}, {kPrimary}},
    };
    for (const auto &c : cases) {
        AppState state;
        UpdateMonitorInfo(c.devices, state);
        EXPECT_EQ((std::array{state.minLeft, state.maxRight, state.minTop, state.maxBottom}),
                  c.bounds)
            << c.name;
        const auto row = [&](int n) {
            const MonitorTable &t = state.monitorTable;
            return QRect(t.MParm(n, 0), t.MParm(n, 1), t.MParm(n, 2), t.MParm(n, 3));
        };
        for (int n = 1; n <= 4; ++n)
            EXPECT_EQ(row(n), n <= 3 ? c.rows[n - 1] : QRect(0, 0, 0, 0)) << c.name << " row " << n;
    }
}

TEST(MonitorInfo, DevicesBeyondEightCountInTheBoundsAndRowsAboveThreeKeepAnEarlierRun) {
    std::vector<DisplayDevice> devices;
    for (int i = 0; i < 10; ++i)
        devices.push_back(device(QRect(i * 100, 0, 100, 50), true, i == 0));
    qint32 l, r, t, b;
    MonitorTable table;
    EnumerateMonitors(devices, l, r, t, b, table);
    EXPECT_EQ(r, 1000);
    EXPECT_EQ(table.MParm(8, 0), 700);
    table.Set(5, 2, 640);
    EnumerateMonitors({kMain}, l, r, t, b, table);
    EXPECT_EQ(table.MParm(2, 2), 0);
    EXPECT_EQ(table.MParm(5, 2), 640);
    for (auto [device, column] : {std::pair{9, 0}, {-1, 0}, {0, 9}, {1, -1}})
        EXPECT_THROW(table.MParm(device, column), std::out_of_range) << device << "," << column;
}

} // namespace
} // namespace quillcap
