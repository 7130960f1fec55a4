#include "app/monitorinfo.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quillcap {
namespace {

DisplayDevice device(const char *name, QRect rect, bool attached = true, bool primary = false) {
    DisplayDevice d;
    d.deviceName = QString::fromLatin1(name);
    d.adapterDescription = u"modesetting"_s;
    d.monitorDescription = u"DELL U2415"_s;
    d.attached = attached;
    d.primary = primary;
    d.rect = rect;
    d.bitsPerPixel = 24;
    d.refreshHz = 60;
    return d;
}

DisplayDevice mirror() {
    DisplayDevice d = device("DP-9", QRect(0, 0, 1920, 1080));
    d.mirroring = true;
    return d;
}

const QRect kPrimary(0, 0, 1920, 1080);

TEST(MonitorInfo, OneMonitorLogsItsDescriptionThenTheSummary) {
    AppState state;
    QStringList lines;
    state.log.HardLogging = true;
    state.log.SetViewer([&](const QString &line) { lines << line; });
    DisplayDevice primary = device("DP-1", kPrimary, true, true);
    primary.workArea = QRect(0, 0, 1920, 1050);
    primary.monitorHandle = 0x3f;

    UpdateMonitorInfo({primary}, state);
    const QStringList expected = {
        u"1. DELL U2415 on modesetting\r\nprimary\r\n1920 x 1080 @ 0,0 - 24-bit - 60 Hz\r\n"
        "workspace: 0,0 - 1920,1050 HMONITOR: &H3F\r\nDP-1\r\n\r\n"_s,
        u"Desktop parameters: "_s,
        u"   minLeft = 0   maxRight = 1920"_s,
        u"   minTop  = 0   maxBottom = 1080"_s,
        u"Tally of Monitors:"_s,
        u"1: (0,0)  1920x1080"_s,
        u"2: (0,0)  0x0"_s,
        u"3: (0,0)  0x0"_s,
        u"4: (0,0)  0x0"_s,
        u" "_s,
    };
    EXPECT_EQ(lines, expected);
}

TEST(MonitorInfo, TextSkipsMirrorsAndRepeatsTheLastAttachedWorkArea) {
    DisplayDevice off = device("HDMI-1", QRect(), false);
    off.removable = true;
    off.monitorHandle = 7; // detached: never looked up
    DisplayDevice primary = device("DP-1", kPrimary, true, true);
    primary.monitorDescription = u"\0"_s;
    primary.adapterDescription = u"mode\0setting"_s;
    primary.workArea = QRect(0, 30, 1920, 1050);
    primary.monitorHandle = 0x1a2b;
    DisplayDevice later = device("VGA-1", QRect(0, 0, 1024, 768), false);
    later.monitorDescription = u"LG"_s;

    qint32 l, r, t, b;
    MonitorTable table;
    EXPECT_EQ(EnumerateMonitors({off, mirror(), primary, later}, l, r, t, b, table),
              u"1. DELL U2415 on modesetting\r\ndisabled, removable\r\n"
              "0 x 0 @ 0,0 - 24-bit - 60 Hz\r\nHDMI-1\r\n\r\n"
              "2. Default Monitor on modesetting\r\nprimary\r\n"
              "1920 x 1080 @ 0,0 - 24-bit - 60 Hz\r\n"
              "workspace: 0,30 - 1920,1080 HMONITOR: &H1A2B\r\nDP-1\r\n\r\n"
              "3. LG on modesetting\r\ndisabled\r\n1024 x 768 @ 0,0 - 24-bit - 60 Hz\r\n"
              "workspace: 0,30 - 1920,1080 HMONITOR: &H1A2B\r\nVGA-1\r\n\r\n"_s);
}

TEST(MonitorInfo, BoundsAndTableFollowTheDevices) {
    using Row = std::array<qint32, 4>;
    const struct {
        const char *name;
        std::vector<DisplayDevice> devices;
        std::array<qint32, 4> bounds; // minLeft, maxRight, minTop, maxBottom
        std::array<Row, 4> rows;      // rows 1 to 4
    } cases[] = {
        {"left of primary",
         {device("DP-1", kPrimary, true, true), device("DP-2", QRect(-1280, 0, 1280, 1024))},
         {-1280, 1920, 0, 1080},
         {{{0, 0, 1920, 1080}, {-1280, 0, 1280, 1024}, {}, {}}}},
        {"above, taller",
         {device("DP-1", kPrimary, true, true), device("DP-2", QRect(100, -1200, 1600, 1200))},
         {0, 1920, -1200, 1080},
         {{{0, 0, 1920, 1080}, {100, -1200, 1600, 1200}, {}, {}}}},
        {"mirror first",
         {mirror(), device("DP-1", kPrimary, true, true)},
         {0, 1920, 0, 1080},
         {{{}, {0, 0, 1920, 1080}, {}, {}}}},
        {"disabled adapter stored, not bounded",
         {device("DP-1", kPrimary, true, true), device("DP-2", QRect(1920, 0, 1280, 1024), false)},
         {0, 1920, 0, 1080},
         {{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}, {}, {}}}},
        {"nothing attached",
         {device("DP-1", kPrimary, false)},
         {32000, -32000, 32000, -32000},
         {{{0, 0, 1920, 1080}, {}, {}, {}}}},
    };
    for (const auto &c : cases) {
        AppState state;
        UpdateMonitorInfo(c.devices, state);
        EXPECT_EQ((std::array{state.minLeft, state.maxRight, state.minTop, state.maxBottom}),
                  c.bounds)
            << c.name;
        for (int n = 1; n <= 4; ++n)
            for (int col = 0; col < 4; ++col)
                EXPECT_EQ(state.monitorTable.MParm(n, col), c.rows[n - 1][col])
                    << c.name << " row " << n << " column " << col;
    }
}

TEST(MonitorInfo, DevicesBeyondEightCountInBoundsAndTextOnly) {
    std::vector<DisplayDevice> devices;
    for (int i = 0; i < 10; ++i)
        devices.push_back(device("X", QRect(i * 100, 0, 100, 50), true, i == 0));
    qint32 l, r, t, b;
    MonitorTable table;
    const QString text = EnumerateMonitors(devices, l, r, t, b, table);
    EXPECT_EQ(r, 1000);
    EXPECT_TRUE(text.contains(u"10. DELL"_s));
    EXPECT_EQ(table.MParm(8, 0), 700);
}

TEST(MonitorInfo, RowsAboveThreeKeepAnEarlierRun) {
    MonitorTable table;
    for (int row : {2, 3, 5, 8})
        table.Set(row, 2, 640);
    qint32 l, r, t, b;
    EnumerateMonitors({device("DP-1", kPrimary, true, true)}, l, r, t, b, table);
    EXPECT_EQ(table.MParm(2, 2), 0);
    EXPECT_EQ(table.MParm(3, 2), 0);
    EXPECT_EQ(table.MParm(5, 2), 640);
    EXPECT_EQ(table.MParm(8, 2), 640);
}

TEST(MonitorInfo, MParmRejectsIndexesOutsideTheTable) {
    const MonitorTable table;
    EXPECT_EQ(table.MParm(8, 8), 0);
    for (auto [device, column] : {std::pair{9, 0}, {-1, 0}, {0, 9}, {1, -1}})
        EXPECT_THROW(table.MParm(device, column), std::out_of_range) << device << "," << column;
}

} // namespace
} // namespace quillcap
