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
        {"/home/me\\mixed/x", "x", "/home/me\\mixed"},
        {"", "", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FileNamePart(c.path), c.name) << c.path.toStdString();
        EXPECT_EQ(GetParentFolder(c.path), c.parent) << c.path.toStdString();
    }
}

TEST(PathText, LooksOnlyAtTheLast250Characters) {
    EXPECT_EQ(GetParentFolder("/dir/" + QString(250, u'n')), QString());
    EXPECT_EQ(FileNamePart("/dir/" + QString(249, u'n')), QString(249, u'n'));
}
