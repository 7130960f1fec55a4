#pragma once

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QString>
#include <functional>

namespace quillcap {

// The one writer of debug lines. Lines go to the log file while `Logging` is
// on and to the developer's viewer while `HardLogging` is on; with both off a
// call does nothing, so it may sit on paths that run on every mouse move.
class DebugLog {
public:
    static constexpr const char *kFileName = "QuillCap.log";
    static constexpr const char *kBuild = "3.1";

    bool Logging = false;
    bool HardLogging = false;

    bool Enabled() const { return Logging || HardLogging; }

    void WriteLog(const QString &text);

    // Builds the line only when someone will read it.
    template <class MakeText> void WriteLogLazy(MakeText &&make) {
        if (Enabled())
            WriteLog(make());
    }

    // A line for the viewer only (start-up details before the file can exist).
    void HardLog(const QString &text);

    // Turns the file log on: creates or truncates the file and writes the
    // banner. False when the file cannot be created (Logging stays on, lines
    // then reach no file).
    bool OpenLogFile(const QString &path, const QDateTime &now = QDateTime::currentDateTime(),
                     const QLocale &locale = QLocale::system());
    void CloseLogFile();
    bool IsFileOpen() const { return m_file.isOpen(); }

    void SetViewer(std::function<void(const QString &)> viewer) { m_viewer = std::move(viewer); }

private:
    QFile m_file;
    std::function<void(const QString &)> m_viewer;
};

} // namespace quillcap
