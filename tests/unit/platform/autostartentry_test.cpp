// The autostart entry on real files, checked by the desktop's own validator.
#include "files.h"
#include "platform/autostartentry.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillcap;

TEST(AutostartEntry, WritesAValidEntryForAnyProgramPathRemovesItAndSaysWhyNot) {
    const std::pair<const char *, const char *> cases[] = {
        {"/usr/bin/quillcap", "\nExec=/usr/bin/quillcap\n"},
        {"/opt/my apps/quill$cap", "\nExec=\"/opt/my apps/quill\\\\$cap\"\n"},
        {"/opt/100%/quillcap", "\nExec=/opt/100%%/quillcap\n"},
        {"/opt/a\\b/q\"c", "\nExec=\"/opt/a\\\\\\\\b/q\\\\\"c\"\n"},
    };
    const QTemporaryDir dir;
    const QString folder = dir.filePath("config/autostart"); // made by the first write
    for (const auto &[program, exec] : cases) {
        const AutostartEntry entry(folder, program);
        ASSERT_EQ(entry.Write(), "") << program;
        EXPECT_TRUE(readFile(entry.FilePath()).contains(exec)) << readFile(entry.FilePath()).data();
        QProcess validator;
        validator.start("desktop-file-validate", {entry.FilePath()});
        EXPECT_TRUE(validator.waitForFinished(60000) && validator.exitCode() == 0)
            << program << validator.readAll().data();
        EXPECT_EQ(entry.Remove(), "");
        EXPECT_EQ(entries(folder), QStringList()) << program;
    }
    ASSERT_TRUE(writeFile(dir.filePath("plain")));
    EXPECT_EQ(AutostartEntry(dir.filePath("plain/autostart"), "/q").Write(), "Not a directory");
}
