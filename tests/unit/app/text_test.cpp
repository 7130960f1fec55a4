#include "app/textnumbers.h"

#include <gtest/gtest.h>

using namespace quillcap;

TEST(TextNumbers, LeadingNumbersRoundingBlanksAndBooleans) {
    const std::pair<const char *, double> leading[] = {
        {" 2 ", 2},     {"-5 ", -5}, {"12abc", 12}, {"abc", 0},  {"", 0},
        {"  1.5", 1.5}, {"1 2", 12}, {"+7", 7},     {"-", 0},    {".5x", 0.5},
        {"3e2", 300},   {"3e", 3},   {"1e999", 0},  {"0x10", 0}, {"\t4", 4}};
    for (const auto &[text, number] : leading)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromLatin1(text)), number) << text;
    for (auto [value, rounded] : {std::pair{2.5, 2.0}, {3.5, 4.0}, {-2.5, -2.0}, {2.6, 3.0}})
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    EXPECT_EQ(trimBlanks(u"\ta\t"), QStringLiteral("\ta\t")) << "only blanks are trimmed";
    // Booleans are words or numbers.
    const std::pair<const char *, std::optional<bool>> cases[] = {
        {"True", true},        {" false ", false}, {"TRUE", true},
        {"0", false},          {"-1", true},       {" 2.5 ", true},
        {"yes", std::nullopt}, {"", std::nullopt}, {"1x", std::nullopt}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(parseBoolean(QString::fromLatin1(text)), value) << text;
}
