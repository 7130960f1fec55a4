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
    const TemplateExpander expander(kThursday);
    for (const auto &[raw, entries, expected] : cases) {
        EXPECT_EQ(GetNextFileNumber(expander, QLatin1String(raw), entries, u"PNG"_s), expected)
            << raw << " " << entries.join(u' ').toStdString();
    }
    EXPECT_EQ(NextImageName(expander, u"Quillcap_"_s, {}, u"PNG"_s), "Quillcap_001.png");
    EXPECT_EQ(NextImageName(expander, QString(), {}, u"JPG"_s), "001.jpg");
}

// Each code in its two cases; longer codes go first, leftovers and mixed case
// stay as text; no code is assembled from characters around a deleted one.
TEST(MakePrefix, ExpandsEachCodeThenDeletesTheUnsafeCharacters) {
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"", u""},
        {u"$ddd $DDD", u"Thu Thu"},
        {u"$dd $DD", u"05 05"},
        {u"$yyyy $YYYY", u"2026 2026"},
        {u"$yy $YY", u"26 26"},
        {u"$mmm $MMM", u"Mar Mar"},
        {u"$mm $MM", u"03 03"},
        {u"$date_ $DATE_", u"2026-03-05_ 2026-03-05_"},
        {u"$dddd", u"Thud"},
        {u"$$yy", u"26"},
        {u"$dd-$dd_$dd", u"05-05_05"},
        {u"$Date $date", u"Date 2026-03-05"},
        {u"a/b:c", u"abc"},
        {u"x$&!/\\<>~*^#|;:y", u"xy"},
        {u"a?b\"c'd e-f_g.h", u"a?b\"c'd e-f_g.h"},
        {u"$d:d", u"dd"},
        {u"../x", u"x"},
        {u".hidden.$yy", u"hidden.26"},
        {u"a\tb\nc\x7f\x01"
         u"d.",
         u"abcd."},
    };
    for (const auto &[raw, expected] : cases) {
        EXPECT_EQ(TemplateExpander(kThursday).MakePrefix(QString::fromUtf16(raw)),
                  QString::fromUtf16(expected))
            << QString::fromUtf16(raw).toStdString();
    }
}

TEST(TemplateExpander, NamesWeekdaysAndMonthsFromTheFirstToTheLast) {
    for (auto [date, names] : {std::pair{QDate(2026, 1, 4), "Sun Jan 04"},
                               {QDate(2026, 7, 4), "Sat Jul 04"},
                               {QDate(2026, 12, 31), "Thu Dec 31"}}) {
        const FixedClock clock(date);
        EXPECT_EQ(TemplateExpander(clock).MakePrefix(u"$ddd $mmm $dd"_s), names);
    }
}

} // namespace
} // namespace quillcap
