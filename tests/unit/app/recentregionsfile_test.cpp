#include "app/recentregionsfile.h"
#include "files.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillcap;

namespace {

QList<CaptureRegion> regions(int count) {
    QList<CaptureRegion> list;
    for (int i = 0; i < count; ++i)
        list.append({i - 1280, -i, 100 + i, 50 + i});
    return list;
}

RecentRegionsFile::ReadResult parse(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return RecentRegionsFile::Parse(buffer);
}

} // namespace

TEST(RecentRegionsFile, KeepsTheNewestTwentyInFourBlocks) {
    const QList<CaptureRegion> all = regions(25);
    const QByteArray bytes = RecentRegionsFile::Serialize(all);
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 4 * 21 + 1);
    for (int block = 0; block < 4; ++block)
        EXPECT_EQ(lines[block * 21], " 20 \r");
    EXPECT_EQ(lines[1], "-1275\r") << "the oldest kept is the sixth";
    EXPECT_EQ(std::get<QList<CaptureRegion>>(parse(bytes)), all.mid(5));
    EXPECT_EQ(RecentRegionsFile::Serialize({}), " 0 \r\n 0 \r\n 0 \r\n 0 \r\n");
}

TEST(RecentRegionsFile, ValuesAreReadByTheirLeadingNumberWithinTenMillion) {
    // A wrong kind of result throws, which fails the test.
    EXPECT_EQ(
        std::get<QList<CaptureRegion>>(parse(" 1 \n 12px\n 1\n-10000000\n1\nabc\n 1 \n 2.5 \n")),
        (QList<CaptureRegion>{{12, -10000000, 0, 2}}));
    // Damaged files: what and the error number.
    const std::tuple<const char *, QByteArray, int> cases[] = {
        {"cut short in a block", " 2 \r\n1\r\n", 62},
        {"count beyond 16 bits", " 40000 \r\n", 6},
        {"uneven blocks", " 1 \r\n1\r\n 2 \r\n1\r\n2\r\n 1 \r\n3\r\n 1 \r\n4\r\n", 380},
        {"width 10000001", " 1 \r\n0\r\n 1 \r\n0\r\n 1 \r\n10000001\r\n 1 \r\n1\r\n", 6},
        {"left -10000001", " 1 \r\n-10000001\r\n 1 \r\n0\r\n 1 \r\n1\r\n 1 \r\n1\r\n", 6},
        {"over-long line", QByteArray(100 * 1024, '7'), 62},
    };
    for (const auto &[what, file, number] : cases)
        EXPECT_EQ(std::get<RecentRegionsFile::ReadError>(parse(file)).number, number) << what;
}

TEST(LastCaps, ADamagedFileIsClearedAndDeleted) {
    QTemporaryDir dir;
    AppState state;
    state.UserAppFolder = dir.path();
    state.recentRegions = regions(3);
    ASSERT_TRUE(writeFile(dir.filePath("lastcaps.txt"), " 2 \r\n10\r\n"));
    LoadLastCaps(state);
    EXPECT_TRUE(state.recentRegions.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("lastcaps.txt")));
}

TEST(RecentRegions, DuplicatesKeepTheNewestPlace) {
    const CaptureRegion a{10, 20, 300, 200}, b{-1280, 0, 640, 480};
    const CaptureRegion c{10, 20, 300, 201}, d{10, 20, 301, 200}, e{11, 20, 300, 200};
    const std::pair<QList<CaptureRegion>, QList<CaptureRegion>> cases[] = {
        {{a, b, a, a}, {b, a}}, {{a, b, a, b}, {a, b}}, {{a, c, d, e}, {a, c, d, e}}};
    for (const auto &[before, after] : cases) {
        AppState state;
        state.recentRegions = before;
        RemoveDuplicatesFromRecentSnaps(state);
        EXPECT_EQ(state.recentRegions, after) << before.size();
    }
}
