#include "naming/filenumbering.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quillcap {
namespace {

TEST(GetNextFileNumber, CountsOnFromTheHighestNumberAfterThePrefix) {
    const struct {
        const char *raw;
        QStringList entries;
        const char *expected;
    } cases[] = {
        {"shot", {u"other005.png"_s}, "001"},
        // Case ignored; "_x" reads as 0.
        {"shot", {u"Shot001.png"_s, u"shot007.PNG"_s, u"Shot_x.png"_s}, "008"},
        {"Shot", {u"shot004.png"_s, u"SHOT012.png"_s}, "013"},
        {"p", {u"p042.png"_s, u"p007.png"_s}, "043"},
        {"p", {u"p 12.png"_s}, "013"},
        {"p", {u"p1.5x.png"_s}, "003"},
        {"p", {u"p-42.png"_s}, "001"},
        {"prefix", {u"pre.png"_s}, "001"},
        {"", {u"005.png"_s, u"12x.png"_s, u"abc.png"_s}, "013"},
        // Compared with the expanded prefix: last year's files do not count.
        {"$yyyy-", {u"2025-017.png"_s, u"2026-003.png"_s}, "004"},
        // Only three characters are read, so p1000 reads as 100.
        {"p", {u"p1000.png"_s}, "101"},
        {"p", {u"p998.png"_s, u"p999.png"_s}, "1000"},
        // A name already taken is skipped, whatever its letter case.
        {"p", {u"p998.png"_s, u"p999.png"_s, u"p1000.png"_s}, "1001"},
        {"p", {u"p999.png"_s, u"P1000.PNG"_s}, "1001"},
        {"p", {u"p1000.png"_s, u"p1001.png"_s, u"p999.png"_s, u"p1002.png"_s}, "1003"},
    };
    FixedClock clock(QDate(2026, 3, 5));
    const TemplateExpander expander(clock);
    for (const auto &c : cases) {
        EXPECT_EQ(GetNextFileNumber(expander, QLatin1String(c.raw), c.entries, u"PNG"_s),
                  QLatin1String(c.expected))
            << c.raw << " " << c.entries.join(u' ').toStdString();
    }
}

TEST(NextImageName, JoinsPrefixNumberAndLowerCaseType) {
    FixedClock clock(QDate(2026, 3, 5));
    const TemplateExpander expander(clock);
    EXPECT_EQ(NextImageName(expander, u"Quillcap_"_s, {}, u"PNG"_s), "Quillcap_001.png");
    EXPECT_EQ(NextImageName(expander, QString(), {}, u"JPG"_s), "001.jpg");
    EXPECT_EQ(NextImageName(expander, u"shot_$date_"_s, {u"shot_2026-03-05_009.jpg"_s}, u"JPG"_s),
              "shot_2026-03-05_010.jpg");
    EXPECT_EQ(NextImageName(expander, u"p"_s, {u"p999.gif"_s, u"p1000.gif"_s}, u"GIF"_s),
              "p1001.gif");
}

} // namespace
} // namespace quillcap
