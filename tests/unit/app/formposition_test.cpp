#include "app/formposition.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillcap;

namespace {

// Desktop of two monitors: one of 1280 left of a 1920x1080 primary.
const QRect kDesktop(QPoint(-1280, 0), QPoint(1919, 1079));

} // namespace

TEST(CheckFormPosition, BringsTheWindowBackInTheOrderLeftTopRightBottom) {
    const struct {
        const char *what;
        TwipsRect window; // twips, 15 a pixel
        double left, top;
    } cases[] = {
        {"on screen stays", {1500, 1500, 7635, 7185}, 1500, 1500},
        {"left of the leftmost monitor goes to 0", {-1300 * 15, 100 * 15, 7635, 7185}, 0, 1500},
        {"on the left monitor stays", {-1000 * 15, 0, 7635, 7185}, -15000, 0},
        {"above goes to 0", {0, -15, 7635, 7185}, 0, 0},
        {"off the right ends on maxRight", {1800 * 15, 0, 7635, 7185}, 1920 * 15 - 7635, 0},
        {"off the bottom ends on maxBottom", {0, 1000 * 15, 7635, 7185}, 0, 1080 * 15 - 7185},
        {"wider than the desktop ends off the left edge",
         {0, 0, 4000 * 15, 7185},
         (1920 - 4000) * 15,
         0},
    };
    for (const auto &c : cases) {
        DebugLog log;
        const TwipsRect placed = CheckFormPosition(c.window, kDesktop, 15, 15, log);
        EXPECT_DOUBLE_EQ(placed.left, c.left) << c.what;
        EXPECT_DOUBLE_EQ(placed.top, c.top) << c.what;
    }
}

TEST(CheckFormPosition, ReportsInPixels) {
    QTemporaryDir dir;
    DebugLog log;
    ASSERT_TRUE(log.OpenLogFile(dir.filePath("l.log")));
    CheckFormPosition({-1300 * 15 - 7, 15, 7635, 7185}, kDesktop, 15, 15, log);
    CheckFormPosition({1800 * 15, 0, 7635, 7185}, kDesktop, 15, 15, log);
    log.CloseLogFile();
    QFile file(dir.filePath("l.log"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    const QStringList expected = {
        "Check form is on a visible screen...",
        "    Left -1300.467 minLeft is -1280",
        "     Top 1 mintop is 0",
        "   Right -791.4667 maxRight is 1920",
        "  Bottom 480 maxBottom is 1080",
        "       - moving me.left to 0",
        "Check form is on a visible screen...",
        "    Left 1800 minLeft is -1280",
        "     Top 0 mintop is 0",
        "   Right 2309 maxRight is 1920",
        "  Bottom 479 maxBottom is 1080",
        "       - wrapping off right, moving left to 1411",
    };
    EXPECT_EQ(lines.mid(3, expected.size()), expected);
}

TEST(MainCaption, GroupsThousandsWithTheUsersSeparator) {
    EXPECT_EQ(MainCaption(0, QLocale::c()), QStringLiteral("QuillCap  (0 snaps)"));
    EXPECT_EQ(MainCaption(1234, QLocale::c()), QStringLiteral("QuillCap  (1,234 snaps)"));
    EXPECT_EQ(MainCaption(1234567, QLocale(QLocale::German, QLocale::Germany)),
              QStringLiteral("QuillCap  (1.234.567 snaps)"));
}
