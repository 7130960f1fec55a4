#pragma once

#include <QByteArray>
#include <QString>

namespace quillcap {

// The user's autostart entry: a desktop entry named quillcap.desktop in the
// session's autostart folder ($XDG_CONFIG_HOME/autostart), which desktops
// run at log-in. Whether the program starts with the desktop is whether the
// file exists; nothing else records it.
class AutostartEntry {
public:
    // `program`: the executable the entry starts, as an absolute path.
    AutostartEntry(QString folder, QString program);

    QString FilePath() const;
    bool Exists() const;
    // Writes the entry, replacing one that is there (the folder is made when
    // missing), or removes it. Empty text when done, else why not in the
    // system's words; a failed write leaves what was there.
    QString Write() const;
    QString Remove() const;

    // The entry's text for `program`. The desktop's own preference for a
    // minimized start decides where the program shows.
    static QByteArray Contents(const QString &program);

private:
    QString m_folder;
    QString m_program;
};

} // namespace quillcap
