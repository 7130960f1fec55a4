#include "app/debuglog.h"

namespace quillcap {

void DebugLog::WriteLog(const QString &text) {
    if (Logging && m_file.isOpen()) {
        QByteArray line = text.toUtf8();
        line += "\r\n";
        m_file.write(line);
    }
    if (HardLogging)
        HardLog(text);
}

void DebugLog::HardLog(const QString &text) {
    if (HardLogging && m_viewer)
        m_viewer(text);
}

bool DebugLog::OpenLogFile(const QString &path, const QDateTime &now, const QLocale &locale) {
    Logging = true;
    CloseLogFile();
    m_file.setFileName(path);
    // Unbuffered: a line is on disk as soon as it is written, so a crash or a
    // watching tool never misses the last lines.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
    WriteLog(QStringLiteral("Opening log on ") + locale.toString(now.date(), QLocale::ShortFormat) +
             u' ' + locale.toString(now.time(), timeFormat.trimmed()));
    WriteLog(QStringLiteral("QuillCap, Build ") + QLatin1String(kBuild));
    WriteLog(QString(66, u'=') + u' ');
    return true;
}

void DebugLog::CloseLogFile() {
    if (m_file.isOpen())
        m_file.close();
}

} // namespace quillcap
