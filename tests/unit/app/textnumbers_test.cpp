#include "app/textnumbers.h"

#include <gtest/gtest.h>

using namespace quillcap;

TEST(TextNumbers, LeadingNumberReadsWhatStartsTheText) {
    const struct {
        const char *text;
        double expected;
    } cases[] = {
        {" 2 ", 2},     {"-5 ", -5}, {"12abc", 12}, {"abc", 0},  {"", 0},
        {"  1.5", 1.5}, {"1 2", 12}, {"+7", 7},     {"-", 0},    {".5x", 0.5},
        {"3e2", 300},   {"3e", 3},   {"1e999", 0},  {"0x10", 0}, {"\t4", 4},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(TextNumbers, HalvesRoundToEven) {
    const std::pair<double, double> cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.6, 3}};
    for (const auto &[value, rounded] : cases)
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
}

TEST(TextNumbers, BooleansAcceptWordsAndNumbersOnly) {
    const struct {
        const char *text;
        std::optional<bool> expected;
    } cases[] = {
        {"True", true},        {" false ", false}, {"TRUE", true},
        {"0", false},          {"-1", true},       {" 2.5 ", true},
        {"yes", std::nullopt}, {"", std::nullopt}, {"1x", std::nullopt},
    };
    for (const auto &c : cases)
        EXPECT_EQ(parseBoolean(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(TextNumbers, NumbersAreWrittenWithTheirBlanks) {
    EXPECT_EQ(fileNumber(2), QStringLiteral(" 2 "));
    EXPECT_EQ(fileNumber(0), QStringLiteral(" 0 "));
    EXPECT_EQ(fileNumber(-1280), QStringLiteral("-1280 "));
    EXPECT_EQ(trimBlanks(u"  a b  "), QStringLiteral("a b"));
    EXPECT_EQ(trimBlanks(u"\ta\t"), QStringLiteral("\ta\t")) << "only blanks are trimmed";
}
