#include "app/debuglog.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quillcap;

namespace {

QByteArray contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(DebugLog, ReplacesAnOlderLogStartingWithTheBannerAndEndsLinesWithCrLf) {
    QTemporaryDir dir;
    const QString path = dir.filePath("QuillCap.log");
    QFile older(path);
    ASSERT_TRUE(older.open(QIODevice::WriteOnly) && older.write("older run\r\n") > 0);
    older.close();
    DebugLog log;
    ASSERT_TRUE(log.OpenLogFile(path, QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)), QLocale::c()));
    log.WriteLog("first");
    log.WriteLog("");
    log.CloseLogFile();
    const QByteArray text = contents(path);
    EXPECT_TRUE(text.startsWith("Opening log on ")) << text.toStdString();
    EXPECT_TRUE(text.endsWith(" 14:07:09\r\nQuillCap, Build 3.1\r\n" + QByteArray(66, '=') +
                              " \r\nfirst\r\n\r\n"))
        << text.toStdString();
    EXPECT_FALSE(log.OpenLogFile(dir.path())) << "a folder cannot be the log";
    log.WriteLog("must not crash");
}

TEST(DebugLog, SwitchesDecideWhereALineGoes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("QuillCap.log");
    QStringList viewed;
    DebugLog log;
    log.SetViewer([&](const QString &line) { viewed << line; });
    bool built = false;
    log.WriteLogLazy([&] { return built = true, QString("nobody reads this"); });
    EXPECT_FALSE(built) << "with both switches off nothing is formatted";
    log.HardLogging = true;
    log.WriteLog("viewer only");
    log.OpenLogFile(path);
    log.HardLogging = false;
    log.WriteLog("file only");
    log.HardLog("never: the viewer is off");
    log.CloseLogFile();
    EXPECT_EQ(viewed.size(), 4) << "the banner reaches the viewer too";
    EXPECT_FALSE(contents(path).contains("viewer only"));
    EXPECT_TRUE(contents(path).endsWith("file only\r\n"));
}
