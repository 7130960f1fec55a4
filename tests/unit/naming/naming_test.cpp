#include "naming/filenumbering.h"
#include "naming/templateexpander.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quillcap {
namespace {

const FixedClock kThursday(QDate(2026, 3, 5));

TEST(GetNextFileNumber, CountsOnFromTheHighestNumberAfterThePrefix) {
    const std::tuple<const char *, QStringList, const char *> cases[] = {
        {"shot", {u"other005.png"_s}, "001"},
        // Case ignored; "_x" reads as 0.
        {"shot", {u"Shot001.png"_s, u"shot007.PNG"_s, u"Shot_x.png"_s}, "008"},
        {"Shot", {u"shot004.png"_s, u"SHOT012.png"_s}, "013"},
        {"p", {u"p042.png"_s, u"p007.png"_s}, "043"},
        {"p", {u"p-42.png"_s}, "001"},
        {"prefix", {u"pre.png"_s}, "001"},
        {"", {u"005.png"_s, u"12x.png"_s, u"abc.png"_s}, "013"},
        // Compared with the expanded prefix: last year's files do not count.
        {"$yyyy-", {u"2025-017.png"_s, u"2026-003.png"_s}, "004"},
        // Only three characters are read, so p1000 reads as 100.
        {"p", {u"p1000.png"_s}, "101"},
        {"p", {u"p998.png"_s, u"p999.png"_s}, "1000"},
        // A name already taken is skipped, whatever its letter case.
        {"p", {u"p999.png"_s, u"P1000.PNG"_s}, "1001"},
        {"p", {u"p1000.png"_s, u"p1001.png"_s, u"p999.png"_s, u"p1002.png"_s}, "1003"},
        // Movie frames have five digits: 00012 reads as 0, 01234 as 12.
        {"m_", {u"m_00012.PNG"_s}, "001"},
        {"m_", {u"m_01234.PNG"_s}, "013"},
    };
    const TemplateExpander expander(kThursday);
    for (const auto &[raw, entries, expected] : cases)
        EXPECT_EQ(GetNextFileNumber(expander, QLatin1String(raw), entries, u"PNG"_s), expected)
            << raw << " " << entries.join(u' ').toStdString();
}

// Each code in its two cases; longer codes go first, leftovers and mixed case
// stay as text; no code is assembled from characters around a deleted one.
// Weekdays and months from the first to the last.
TEST(MakePrefix, ExpandsEachCodeThenDeletesTheUnsafeCharacters) {
    const std::tuple<QDate, const char16_t *, const char16_t *> cases[] = {
        {{2026, 3, 5}, u"$ddd$DDD $dd$DD $yyyy$YYYY $yy$YY", u"ThuThu 0505 20262026 2626"},
        {{2026, 3, 5}, u"$mmm$MMM $mm$MM $date_$DATE_", u"MarMar 0303 2026-03-05_2026-03-05_"},
        {{2026, 1, 4}, u"$ddd $mmm $dd", u"Sun Jan 04"},
        {{2026, 12, 31}, u"$ddd $mmm $dd", u"Thu Dec 31"},
        {{2026, 7, 4}, u"$ddd", u"Sat"},
        {{2026, 3, 5}, u"$dddd $$yy $Date $dd-$dd", u"Thud 26 Date 05-05"},
        {{2026, 3, 5}, u"x$&!/\\<>~*^#|;:y", u"xy"},
        {{2026, 3, 5}, u"a?b\"c'd e-f_g.h", u"a?b\"c'd e-f_g.h"},
        {{2026, 3, 5}, u"$d:d", u"dd"},
        {{2026, 3, 5}, u"../x", u"x"},
        {{2026, 3, 5}, u".hidden.$yy", u"hidden.26"},
        {{2026, 3, 5}, u"a\tb\nc\x7f\x01.d", u"abc.d"},
    };
    for (const auto &[date, raw, expected] : cases) {
        const FixedClock clock(date);
        EXPECT_EQ(TemplateExpander(clock).MakePrefix(QString::fromUtf16(raw)),
                  QString::fromUtf16(expected))
            << QString::fromUtf16(raw).toStdString();
    }
}

} // namespace
} // namespace quillcap
