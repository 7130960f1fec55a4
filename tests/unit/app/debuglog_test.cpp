#include "app/debuglog.h"
#include "files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillcap;

TEST(DebugLog, ReplacesAnOlderLogAndTheSwitchesDecideWhereEachCrLfLineGoes) {
    QTemporaryDir dir;
    const QString file = dir.filePath("QuillCap.log");
    ASSERT_TRUE(writeFile(file, "older run\r\n"));
    QStringList viewed;
    DebugLog log;
    log.SetViewer([&](const QString &line) { viewed << line; });
    log.HardLogging = true;
    log.WriteLog("viewer only");
    const QDateTime at(QDate(2026, 3, 5), QTime(14, 7, 9));
    ASSERT_TRUE(log.OpenLogFile(file, at, QLocale::c()));
    log.HardLogging = false;
    log.WriteLog("file only");
    log.WriteLog("");
    log.HardLog("never: the viewer is off");
    log.CloseLogFile();
    EXPECT_EQ(viewed.size(), 4) << "the banner reaches the viewer too";
    const QByteArray text = readFile(file);
    EXPECT_TRUE(text.startsWith("Opening log on ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("= \r\nfile only\r\n\r\n")) << text.toStdString();
}
