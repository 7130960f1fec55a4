#include "app/pathtext.h"
#include "app/textnumbers.h"

#include <gtest/gtest.h>

using namespace quillcap;

TEST(PathText, SplitsAtTheLastSeparatorOfEitherKindWithinTheLast250Characters) {
    const std::tuple<QString, QString, QString> cases[] = {
        {"C:\\pics\\a.png", "a.png", "C:\\pics"},
        {"a.png", "", ""},
        {"C:\\pics\\", "", "C:\\pics"},
        {"/home/me\\mixed/x", "x", "/home/me\\mixed"},
        {"/dir/" + QString(250, u'n'), "", ""}, // the separator is too far back
        {"/dir/" + QString(249, u'n'), QString(249, u'n'), "/dir"},
    };
    for (const auto &[path, name, parent] : cases) {
        EXPECT_EQ(FileNamePart(path), name) << path.toStdString();
        EXPECT_EQ(GetParentFolder(path), parent) << path.toStdString();
    }
}

TEST(TextNumbers, LeadingNumbersRoundingAndBlanks) {
    const std::pair<const char *, double> leading[] = {
        {" 2 ", 2},     {"-5 ", -5}, {"12abc", 12}, {"abc", 0},  {"", 0},
        {"  1.5", 1.5}, {"1 2", 12}, {"+7", 7},     {"-", 0},    {".5x", 0.5},
        {"3e2", 300},   {"3e", 3},   {"1e999", 0},  {"0x10", 0}, {"\t4", 4}};
    for (const auto &[text, number] : leading)
        EXPECT_DOUBLE_EQ(leadingNumber(QString::fromLatin1(text)), number) << text;
    for (auto [value, rounded] : {std::pair{2.5, 2.0}, {3.5, 4.0}, {-2.5, -2.0}, {2.6, 3.0}})
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    EXPECT_EQ(fileNumber(0), QStringLiteral(" 0 "));
    EXPECT_EQ(fileNumber(-1280), QStringLiteral("-1280 "));
    EXPECT_EQ(trimBlanks(u"  a b  "), QStringLiteral("a b"));
    EXPECT_EQ(trimBlanks(u"\ta\t"), QStringLiteral("\ta\t")) << "only blanks are trimmed";
}

TEST(TextNumbers, BooleansAcceptWordsAndNumbersOnly) {
    const std::pair<const char *, std::optional<bool>> cases[] = {
        {"True", true},        {" false ", false}, {"TRUE", true},
        {"0", false},          {"-1", true},       {" 2.5 ", true},
        {"yes", std::nullopt}, {"", std::nullopt}, {"1x", std::nullopt}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(parseBoolean(QString::fromLatin1(text)), value) << text;
}
