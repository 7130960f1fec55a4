#include "app/debuglog.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillcap;

TEST(DebugLog, ReplacesAnOlderLogAndTheSwitchesDecideWhereEachCrLfLineGoes) {
    QTemporaryDir dir;
    QFile file(dir.filePath("QuillCap.log"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("older run\r\n") > 0);
    file.close();
    QStringList viewed;
    DebugLog log;
    log.SetViewer([&](const QString &line) { viewed << line; });
    log.HardLogging = true;
    log.WriteLog("viewer only");
    const QDateTime at(QDate(2026, 3, 5), QTime(14, 7, 9));
    ASSERT_TRUE(log.OpenLogFile(file.fileName(), at, QLocale::c()));
    log.HardLogging = false;
    log.WriteLog("file only");
    log.WriteLog("");
    log.HardLog("never: the viewer is off");
    log.CloseLogFile();
    EXPECT_EQ(viewed.size(), 4) << "the banner reaches the viewer too";
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("Opening log on ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("= \r\nfile only\r\n\r\n")) << text.toStdString();
}
