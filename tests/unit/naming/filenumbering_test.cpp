#include "naming/filenumbering.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace quillcap {
namespace {

struct NumberCase {
    const char *name;
    const char16_t *raw;
    QStringList entries;
    const char *expected;
};

void PrintTo(const NumberCase &c, std::ostream *os) {
    *os << c.name;
}

// 2026-03-05.
const QDate kToday(2026, 3, 5);

class NextFileNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NextFileNumberTest, Counts) {
    const NumberCase &c = GetParam();
    FixedClock clock(kToday);
    const TemplateExpander expander(clock);
    EXPECT_EQ(GetNextFileNumber(expander, QString::fromUtf16(c.raw), c.entries, u"PNG"_s),
              QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, NextFileNumberTest,
    ::testing::Values(
        NumberCase{"EmptyFolder", u"shot", {}, "001"},
        NumberCase{"NoMatchingFile", u"shot", {u"other005.png"_s}, "001"},
        NumberCase{"CaseIgnoredAndNoNumberReadsZero",
                   u"shot",
                   {u"Shot001.png"_s, u"shot007.PNG"_s, u"Shot_x.png"_s},
                   "008"},
        NumberCase{"PrefixCaseIgnored", u"Shot", {u"shot004.png"_s, u"SHOT012.png"_s}, "013"},
        NumberCase{"PrefixWithoutNumber", u"Quillcap_", {u"Quillcap_.png"_s}, "001"},
        NumberCase{"HighestNotLast", u"p", {u"p042.png"_s, u"p007.png"_s}, "043"},
        NumberCase{"LeadingBlanks", u"p", {u"p 12.png"_s}, "013"},
        NumberCase{"NameShorterThanPrefix", u"prefix", {u"pre.png"_s}, "001"},
        NumberCase{"ReachesFourDigits", u"p", {u"p998.png"_s, u"p999.png"_s}, "1000"},
        // From here the three-digit field reads p1000 as 100: taken names are skipped.
        NumberCase{
            "SkipsExistingName", u"p", {u"p998.png"_s, u"p999.png"_s, u"p1000.png"_s}, "1001"},
        NumberCase{"SkipsRunOfExistingNames",
                   u"p",
                   {u"p1000.png"_s, u"p1001.png"_s, u"p999.png"_s, u"p1002.png"_s, u"p1003.png"_s},
                   "1004"},
        NumberCase{"SkipsExistingNameInOtherCase", u"p", {u"p999.png"_s, u"P1000.PNG"_s}, "1001"},
        NumberCase{"FourDigitsAloneReadAsThree", u"p", {u"p1000.png"_s}, "101"},
        NumberCase{
            "EmptyTemplateReadsEveryName", u"", {u"005.png"_s, u"12x.png"_s, u"abc.png"_s}, "013"},
        NumberCase{"ExpandedPrefixIgnoresLastYear",
                   u"$yyyy-",
                   {u"2025-017.png"_s, u"2025-018.png"_s},
                   "001"},
        NumberCase{"ExpandedPrefixCountsThisYear",
                   u"$yyyy-",
                   {u"2025-017.png"_s, u"2026-003.png"_s},
                   "004"},
        NumberCase{"DeletedCharactersNotCompared", u"a:b", {u"ab004.png"_s}, "005"},
        // Fractions are rounded, halves to the even neighbour.
        NumberCase{"FractionRoundsUp", u"p", {u"p1.5x.png"_s}, "003"},
        NumberCase{"HalfRoundsToEven", u"p", {u"p2.5x.png"_s}, "003"},
        NumberCase{"NegativeIgnored", u"p", {u"p-42.png"_s}, "001"}),
    [](const auto &info) { return std::string(info.param.name); });

struct NameCase {
    const char *raw;
    QStringList entries;
    const char *type;
    const char *expected;
};

TEST(NextImageNameTest, JoinsPrefixNumberAndLowerCaseType) {
    const NameCase cases[] = {
        {"Quillcap_", {}, "PNG", "Quillcap_001.png"},
        {"", {}, "JPG", "001.jpg"},
        {"shot_$date_", {u"shot_2026-03-05_009.jpg"_s}, "JPG", "shot_2026-03-05_010.jpg"},
        {"p", {u"p998.gif"_s, u"p999.gif"_s, u"p1000.gif"_s}, "GIF", "p1001.gif"},
    };
    FixedClock clock(kToday);
    const TemplateExpander expander(clock);
    for (const NameCase &c : cases) {
        SCOPED_TRACE(c.raw);
        const QString name = NextImageName(expander, QString::fromLatin1(c.raw), c.entries,
                                           QString::fromLatin1(c.type));
        EXPECT_EQ(name, QString::fromLatin1(c.expected));
        EXPECT_FALSE(c.entries.contains(name, Qt::CaseInsensitive));
    }
}

} // namespace
} // namespace quillcap
