#pragma once

#include "app/appstate.h"

#include <QByteArray>
#include <QString>

namespace quillcap {

// The settings file: 13 keys, each followed by its value lines, CR LF after
// every line.
class PreferencesFile {
public:
    static constexpr const char *kFileName = "qcapprf.txt";
    static const QString kProblemMessage;

    // Unreadable: the file is there but cannot be opened; it must not be
    // replaced by a save of defaults.
    enum class LoadResult { NoFile, Loaded, Problem, Unreadable };

    // Applies the file's entries to `state` in file order; on the first entry
    // that does not read (or a read error) stops with Problem, keeping what was
    // applied. DEBUGLOG opens `logFilePath` at once.
    static LoadResult Read(const QString &path, AppState &state, const QString &logFilePath);

    // The 28 lines of the file for `state`.
    static QByteArray Serialize(const AppState &state);

    // Replaces the file atomically; on failure the previous file stays whole
    // and `error` says why.
    static bool Write(const QString &path, const AppState &state, QString *error);
};

} // namespace quillcap
