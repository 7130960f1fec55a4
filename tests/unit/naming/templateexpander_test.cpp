#include "naming/templateexpander.h"

#include <gtest/gtest.h>

#include <QSet>

namespace quillcap {
namespace {

struct ExpandCase {
    const char *name;
    QDate date;
    const char16_t *raw;
    const char16_t *expected;
};

void PrintTo(const ExpandCase &c, std::ostream *os) {
    *os << c.name;
}

const QDate kThursday(2026, 3, 5);
const QDate kTuesdayInDecember(2026, 12, 15);

class MakePrefixTest : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(MakePrefixTest, Expands) {
    const ExpandCase &c = GetParam();
    FixedClock clock(c.date);
    EXPECT_EQ(TemplateExpander(clock).MakePrefix(QString::fromUtf16(c.raw)),
              QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Templates, MakePrefixTest,
    ::testing::Values(
        ExpandCase{"Empty", kThursday, u"", u""},
        // Each code alone, in both accepted cases; upper case yields the same text.
        ExpandCase{"Weekday", kThursday, u"$ddd", u"Thu"},
        ExpandCase{"WeekdayUpper", kThursday, u"$DDD", u"Thu"},
        ExpandCase{"Day", kThursday, u"$dd", u"05"},
        ExpandCase{"DayUpper", kThursday, u"$DD", u"05"},
        ExpandCase{"Year", kThursday, u"$yyyy", u"2026"},
        ExpandCase{"YearUpper", kThursday, u"$YYYY", u"2026"},
        ExpandCase{"ShortYear", kThursday, u"$yy", u"26"},
        ExpandCase{"ShortYearUpper", kThursday, u"$YY", u"26"},
        ExpandCase{"Month", kTuesdayInDecember, u"$mmm", u"Dec"},
        ExpandCase{"MonthUpper", kTuesdayInDecember, u"$MMM", u"Dec"},
        ExpandCase{"MonthNumber", kThursday, u"$mm", u"03"},
        ExpandCase{"MonthNumberUpper", kThursday, u"$MM", u"03"},
        ExpandCase{"Date", kThursday, u"$date_", u"2026-03-05_"},
        ExpandCase{"DateUpper", kThursday, u"$DATE_", u"2026-03-05_"},
        // Longer codes are replaced first, so the leftovers stay as text.
        ExpandCase{"FourDs", kThursday, u"$dddd", u"Thud"},
        ExpandCase{"DoubleDollar", kThursday, u"$$yy", u"26"},
        ExpandCase{"EveryOccurrence", kThursday, u"$dd-$dd_$DD", u"05-05_05"},
        ExpandCase{"Combined", kTuesdayInDecember, u"shot_$ddd_$dd$mmm$yy_", u"shot_Tue_15Dec26_"},
        // Mixed case is no code: only the '$' goes.
        ExpandCase{"MixedCaseDate", kThursday, u"$Date", u"Date"},
        ExpandCase{"MixedCaseYear", kThursday, u"$Yyyy", u"Yyyy"},
        ExpandCase{"SlashAndColon", kThursday, u"a/b:c", u"abc"},
        ExpandCase{"AllDeleted", kThursday, u"x$&!/\\<>~*^#|;:y", u"xy"},
        ExpandCase{"KeptCharacters", kThursday, u"a?b\"c'd e-f_g.h", u"a?b\"c'd e-f_g.h"},
        // A date code is never assembled from characters around a deleted one.
        ExpandCase{"NoCodeAcrossDeletion", kThursday, u"$d:d", u"dd"}),
    [](const auto &info) { return std::string(info.param.name); });

struct NameCase {
    QDate date;
    const char *weekday;
    const char *month;
};

TEST(TemplateExpanderTest, WeekdayAndMonthNamesCoverWholeWeekAndYear) {
    // 2026-01-04 is a Sunday; the last day of each month walks through all twelve.
    const NameCase cases[] = {
        {{2026, 1, 4}, "Sun", "Jan"},   {{2026, 2, 2}, "Mon", "Feb"},
        {{2026, 3, 3}, "Tue", "Mar"},   {{2026, 4, 1}, "Wed", "Apr"},
        {{2026, 5, 7}, "Thu", "May"},   {{2026, 6, 5}, "Fri", "Jun"},
        {{2026, 7, 4}, "Sat", "Jul"},   {{2026, 8, 31}, "Mon", "Aug"},
        {{2026, 9, 30}, "Wed", "Sep"},  {{2026, 10, 31}, "Sat", "Oct"},
        {{2026, 11, 30}, "Mon", "Nov"}, {{2026, 12, 31}, "Thu", "Dec"},
    };
    for (const NameCase &c : cases) {
        FixedClock clock(c.date);
        const TemplateExpander expander(clock);
        SCOPED_TRACE(c.date.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(expander.GetWeekday(), QString::fromLatin1(c.weekday));
        EXPECT_EQ(expander.GetMonth(), QString::fromLatin1(c.month));
        EXPECT_EQ(expander.MakeDate(), c.date.toString(Qt::ISODate));
    }
}

TEST(TemplateExpanderTest, FillNumberPadsOnlyBelowTen) {
    const std::pair<int, const char *> cases[] = {{0, "00"},  {5, "05"},  {9, "09"},
                                                  {10, "10"}, {31, "31"}, {2026, "2026"}};
    for (const auto &[number, text] : cases)
        EXPECT_EQ(TemplateExpander::FillNumber(number), QString::fromLatin1(text)) << number;
}

TEST(TemplateExpanderTest, ClockIsReadWhenExpandingNotWhenConstructed) {
    FixedClock clock(QDate(2025, 12, 31));
    const TemplateExpander expander(clock);
    clock.set(QDate(2026, 1, 1));
    EXPECT_EQ(expander.MakePrefix(QStringLiteral("$yyyy-$mm-$dd")), QStringLiteral("2026-01-01"));
}

TEST(TemplateExpanderTest, CodeTableIsWhatTheHelpPanelShows) {
    const auto &codes = TemplateExpander::codes();
    QSet<QString> seen;
    for (const TemplateCode &code : codes) {
        SCOPED_TRACE(code.code.toString().toStdString());
        EXPECT_TRUE(code.code.startsWith(u'$'));
        EXPECT_FALSE(code.description.isEmpty());
        EXPECT_TRUE(code.expand != nullptr);
        seen.insert(code.code.toString());
    }
    EXPECT_EQ(seen.size(), qsizetype(codes.size()));
    // A shorter code must not come before a longer one it starts: "$dd" would
    // eat the start of "$ddd".
    for (std::size_t i = 0; i < codes.size(); ++i)
        for (std::size_t j = i + 1; j < codes.size(); ++j)
            EXPECT_FALSE(codes[j].code.startsWith(codes[i].code))
                << codes[i].code.toString().toStdString() << " before "
                << codes[j].code.toString().toStdString();
}

} // namespace
} // namespace quillcap
