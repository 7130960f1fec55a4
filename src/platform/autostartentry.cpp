#include "platform/autostartentry.h"

#include "platform/atomicfile.h"
#include "platform/folderaccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillcap {

namespace {

// The program as one argument of an Exec line: quoted when it holds a
// character the launcher would read otherwise, then escaped as any text
// value is. A '%' would start a field code.
QString ExecArgument(const QString &program) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString argument;
    bool quote = false;
    for (const QChar c : program) {
        quote = quote || reserved.contains(c);
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            argument += QLatin1Char('\\');
        argument += c == QLatin1Char('%') ? QStringLiteral("%%") : QString(c);
    }
    if (quote)
        argument = QLatin1Char('"') + argument + QLatin1Char('"');
    return argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"))
        .replace(QLatin1Char('\t'), QStringLiteral("\\t"));
}

} // namespace

AutostartEntry::AutostartEntry(QString folder, QString program)
    : m_folder(std::move(folder)), m_program(std::move(program)) {}

QString AutostartEntry::FilePath() const {
    return m_folder + QStringLiteral("/quillcap.desktop");
}

bool AutostartEntry::Exists() const {
    return QFileInfo::exists(FilePath());
}

QByteArray AutostartEntry::Contents(const QString &program) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=QuillCap\n"
                          "GenericName=Screen Capture\n"
                          "Comment=Capture the screen with Print Screen\n"
                          "Exec=%1\n"
                          "Icon=quillcap\n"
                          "Terminal=false\n")
        .arg(ExecArgument(program))
        .toUtf8();
}

QString AutostartEntry::Write() const {
    if (!QDir().mkpath(m_folder)) {
        const QString problem = FolderWriteProblem(m_folder);
        return problem.isEmpty() ? QStringLiteral("The folder cannot be made") : problem;
    }
    const QByteArray text = Contents(m_program);
    const AtomicFileResult result =
        WriteFileAtomically(FilePath(), ExistingFile::Replace,
                            [&](QFile &file) { return file.write(text) == text.size(); });
    if (result.written)
        return {};
    return result.error ? qt_error_string(result.error)
                        : QStringLiteral("The entry could not be written");
}

QString AutostartEntry::Remove() const {
    QFile file(FilePath());
    if (!file.exists() || file.remove())
        return {};
    return file.errorString();
}

} // namespace quillcap
