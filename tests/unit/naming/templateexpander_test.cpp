#include "naming/templateexpander.h"

#include <gtest/gtest.h>

namespace quillcap {
namespace {

// On Thursday 2026-03-05: each code in its two cases; longer codes go first,
// leftovers and mixed case stay as text; no code is assembled from characters
// around a deleted one.
TEST(MakePrefix, ExpandsEachCodeThenDeletesTheUnsafeCharacters) {
    const struct {
        const char16_t *raw, *expected;
    } cases[] = {
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
        {u"a\tb\nc\x7f\x01" u"d.", u"abcd."},
    };
    FixedClock clock(QDate(2026, 3, 5));
    for (const auto &c : cases) {
        EXPECT_EQ(TemplateExpander(clock).MakePrefix(QString::fromUtf16(c.raw)),
                  QString::fromUtf16(c.expected))
            << QString::fromUtf16(c.raw).toStdString();
    }
}

TEST(TemplateExpander, NamesEveryWeekdayAndMonth) {
    // 2026-01-04 is a Sunday; the days then walk the week and the months the year.
    const struct {
        QDate date;
        const char *weekday, *month;
    } cases[] = {
        {{2026, 1, 4}, "Sun", "Jan"},   {{2026, 2, 2}, "Mon", "Feb"},
        {{2026, 3, 3}, "Tue", "Mar"},   {{2026, 4, 1}, "Wed", "Apr"},
        {{2026, 5, 7}, "Thu", "May"},   {{2026, 6, 5}, "Fri", "Jun"},
        {{2026, 7, 4}, "Sat", "Jul"},   {{2026, 8, 31}, "Mon", "Aug"},
        {{2026, 9, 30}, "Wed", "Sep"},  {{2026, 10, 31}, "Sat", "Oct"},
        {{2026, 11, 30}, "Mon", "Nov"}, {{2026, 12, 31}, "Thu", "Dec"},
    };
    for (const auto &c : cases) {
        FixedClock clock(c.date);
        EXPECT_EQ(TemplateExpander(clock).GetWeekday(), QLatin1String(c.weekday));
        EXPECT_EQ(TemplateExpander(clock).GetMonth(), QLatin1String(c.month));
    }
    EXPECT_EQ(TemplateExpander::FillNumber(9), "09");
    EXPECT_EQ(TemplateExpander::FillNumber(10), "10");
}

} // namespace
} // namespace quillcap
