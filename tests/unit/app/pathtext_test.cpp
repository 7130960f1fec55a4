#include "app/pathtext.h"

#include <gtest/gtest.h>

using namespace quillcap;

TEST(PathText, SplitsAtTheLastSeparatorOfEitherKind) {
    const struct {
        QString path;
        QString name;
        QString parent;
    } cases[] = {
        {"C:\\pics\\a.png", "a.png", "C:\\pics"},
        {"a.png", "", ""},
        {"C:\\pics\\", "", "C:\\pics"},
        {"C:\\Users\\me\\AppData\\Roaming", "Roaming", "C:\\Users\\me\\AppData"},
        {"/home/me/Pictures/shot 1.png", "shot 1.png", "/home/me/Pictures"},
        {"/home/me\\mixed/x", "x", "/home/me\\mixed"},
        {"", "", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path.toStdString();
        EXPECT_EQ(GetParentFolder(c.path), c.parent) << c.path.toStdString();
    }
}

TEST(PathText, LooksOnlyAtTheLast250Characters) {
    const QString longName(250, u'n');
    EXPECT_EQ(FileNamePart(QStringLiteral("/dir/") + longName), QString());
    EXPECT_EQ(GetParentFolder(QStringLiteral("/dir/") + longName), QString());
    const QString fits(249, u'n');
    EXPECT_EQ(FileNamePart(QStringLiteral("/dir/") + fits), fits);
}
