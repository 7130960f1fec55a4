// The autostart entry on real files, checked by the desktop's own validator.
#include "files.h"
#include "platform/autostartentry.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace quillcap;

namespace {

// desktop-file-validate's complaints; empty when the file is valid.
QString validate(const QString &file) {
    QProcess p;
    p.start("desktop-file-validate", {file});
    if (!p.waitForFinished(60000))
        return "desktop-file-validate did not run";
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAll()) + "!";
}

TEST(AutostartEntry, WritesAValidEntryForAnyProgramPathAndRemovesIt) {
    const struct {
        const char *program, *exec;
    } cases[] = {
        {"/usr/bin/quillcap", "Exec=/usr/bin/quillcap\n"},
        {"/opt/my apps/quill$cap", "Exec=\"/opt/my apps/quill\\\\$cap\"\n"},
        {"/opt/100%/quillcap", "Exec=/opt/100%%/quillcap\n"},
        {"/opt/a\\b/q\"c", "Exec=\"/opt/a\\\\\\\\b/q\\\\\"c\"\n"},
    };
    const QTemporaryDir dir;
    const QString folder = dir.filePath("config/autostart"); // made on the first write
    for (const auto &c : cases) {
        SCOPED_TRACE(c.program);
        const AutostartEntry entry(folder, c.program);
        ASSERT_EQ(entry.Write(), "");
        ASSERT_TRUE(entry.Exists());
        EXPECT_EQ(entries(folder), QStringList{"quillcap.desktop"});
        const QByteArray text = readFile(entry.FilePath());
        EXPECT_TRUE(text.contains(c.exec)) << text.data();
        EXPECT_EQ(validate(entry.FilePath()), "");
    }
    const AutostartEntry entry(folder, "/usr/bin/quillcap");
    EXPECT_EQ(entry.Remove(), "");
    EXPECT_FALSE(entry.Exists());
    EXPECT_EQ(entry.Remove(), "") << "nothing to remove is no fault";
}

TEST(AutostartEntry, AFolderThatCannotBeMadeIsReported) {
    const QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath("plain")));
    const AutostartEntry entry(dir.filePath("plain/autostart"), "/usr/bin/quillcap");
    EXPECT_EQ(entry.Write(), "Not a directory");
    EXPECT_FALSE(entry.Exists());
}

} // namespace
