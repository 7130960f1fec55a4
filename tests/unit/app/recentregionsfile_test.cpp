#include "app/recentregionsfile.h"

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

RecentRegionsFile::ReadResult parse(const QByteArray &bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
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
    auto read = parse(bytes);
    ASSERT_TRUE(std::holds_alternative<QList<CaptureRegion>>(read));
    EXPECT_EQ(std::get<QList<CaptureRegion>>(read), all.mid(5));
    EXPECT_EQ(RecentRegionsFile::Serialize({}), " 0 \r\n 0 \r\n 0 \r\n 0 \r\n");
}

TEST(RecentRegionsFile, DamagedFilesAreErrors) {
    const struct {
        const char *what;
        QByteArray file;
        int number;
    } cases[] = {
        {"cut short in a block", " 2 \r\n1\r\n", 62},
        {"count beyond 16 bits", " 40000 \r\n", 6},
        {"blocks of different length", " 1 \r\n1\r\n 2 \r\n1\r\n2\r\n 1 \r\n3\r\n 1 \r\n4\r\n",
         380},
        {"value beyond 32 bits", " 1 \r\n9999999999\r\n 1 \r\n1\r\n 1 \r\n1\r\n 1 \r\n1\r\n", 6},
        {"width beyond ten million", " 1 \r\n0\r\n 1 \r\n0\r\n 1 \r\n10000001\r\n 1 \r\n1\r\n", 6},
        {"left below minus ten million", " 1 \r\n-10000001\r\n 1 \r\n0\r\n 1 \r\n1\r\n 1 \r\n1\r\n",
         6},
        {"empty file", "", 62},
        {"over-long line", QByteArray(100 * 1024, '7'), 62},
    };
    for (const auto &c : cases) {
        auto read = parse(c.file);
        ASSERT_TRUE(std::holds_alternative<RecentRegionsFile::ReadError>(read)) << c.what;
        EXPECT_EQ(std::get<RecentRegionsFile::ReadError>(read).number, c.number) << c.what;
    }
}

TEST(RecentRegionsFile, ValuesAreReadByTheirLeadingNumber) {
    auto read = parse(" 1 \n 12px\n 1\n-10000000\n1\nabc\n 1 \n 2.5 \n");
    ASSERT_TRUE(std::holds_alternative<QList<CaptureRegion>>(read));
    EXPECT_EQ(std::get<QList<CaptureRegion>>(read), (QList<CaptureRegion>{{12, -10000000, 0, 2}}));
}

class LastCapsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    AppState state;
    void SetUp() override {
        state.UserAppFolder = dir.path();
        ASSERT_TRUE(state.log.OpenLogFile(dir.filePath("QuillCap.log")));
    }
    QByteArray logText() {
        state.log.CloseLogFile();
        QFile file(dir.filePath("QuillCap.log"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }
    QString capsPath() const { return dir.filePath("lastcaps.txt"); }
};

TEST_F(LastCapsTest, RoundTripThroughTheDataFolder) {
    LoadLastCaps(state);
    EXPECT_TRUE(state.recentRegions.isEmpty()) << "no file yet";
    state.recentRegions = regions(3);
    SaveCaps(state);
    state.recentRegions.clear();
    LoadLastCaps(state);
    EXPECT_EQ(state.recentRegions, regions(3));
    const QByteArray log = logText();
    EXPECT_TRUE(log.contains(" ... read in 0 previous capture regions.\r\n"));
    EXPECT_TRUE(log.endsWith(" .. and previous cap zones .. \r\n      ... Done\r\n"
                             "Looking for a lastcaps file ... \r\nFound a lastcaps file ... \r\n"
                             " ... read in 3 previous capture regions.\r\n"));
}

TEST_F(LastCapsTest, ADamagedFileIsClearedAndDeleted) {
    QFile file(capsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(" 2 \r\n10\r\n");
    file.close();
    state.recentRegions = regions(1);
    LoadLastCaps(state);
    EXPECT_TRUE(state.recentRegions.isEmpty());
    EXPECT_FALSE(QFile::exists(capsPath()));
    EXPECT_TRUE(logText().endsWith("Error loading last captures - clearing all \r\n"
                                   "error # 62 Input past end of file\r\n"));
}

TEST_F(LastCapsTest, ASaveThatCannotBeWrittenIsLogged) {
    state.UserAppFolder = capsPath();
    QFile blocker(capsPath());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SaveCaps(state);
    EXPECT_TRUE(logText().endsWith("Error saving last caps\r\n"));
}

TEST_F(LastCapsTest, DuplicatesKeepTheNewestPlace) {
    const CaptureRegion a{10, 20, 300, 200}, b{-1280, 0, 640, 480};
    const struct {
        const char *what;
        QList<CaptureRegion> before;
        QList<CaptureRegion> after;
    } cases[] = {
        {"three equal captures", {a, b, a, a}, {b, a}},
        {"equal regions apart", {a, b, a, b}, {a, b}},
        {"one value differs", {a, {10, 20, 300, 201}, {10, 20, 301, 200}, {11, 20, 300, 200}},
         {a, {10, 20, 300, 201}, {10, 20, 301, 200}, {11, 20, 300, 200}}},
        {"a single region", {a}, {a}},
        {"none", {}, {}},
    };
    for (const auto &c : cases) {
        state.recentRegions = c.before;
        RemoveDuplicatesFromRecentSnaps(state);
        EXPECT_EQ(state.recentRegions, c.after) << c.what;
    }
    EXPECT_EQ(logText().count("Removing duplicates from recent snaps\r\n"), 5);
}
