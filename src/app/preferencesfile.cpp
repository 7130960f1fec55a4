#include "app/preferencesfile.h"

#include "app/linereader.h"
#include "app/textnumbers.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <limits>

namespace quillcap {

const QString PreferencesFile::kProblemMessage =
    QStringLiteral(" Problem loading the preferences file.  Probably an older version. \r"
                   "No worries, we'll fix it up as best we can.");

namespace {

const QString kLoading = QStringLiteral("    loading prefs : ");

// What one entry's reader may use: its value lines, the state, the log.
struct ReadContext {
    LineReader &reader;
    AppState &state;
    const QString &logFilePath;

    std::optional<QString> Value() { return reader.ReadLine(); }
    void Log(const QString &text) { state.log.WriteLog(text); }
};

std::optional<qint64> wholeNumber(double value, qint64 low, qint64 high) {
    const double rounded = roundHalfEven(value);
    if (rounded < double(low) || rounded > double(high))
        return std::nullopt;
    return qint64(rounded);
}

std::optional<qint64> smallInteger(const QString &line) {
    return wholeNumber(leadingNumber(trimBlanks(line)), std::numeric_limits<qint16>::min(),
                       std::numeric_limits<qint16>::max());
}

std::optional<qint64> longInteger(const QString &line) {
    return wholeNumber(leadingNumber(trimBlanks(line)), std::numeric_limits<qint32>::min(),
                       std::numeric_limits<qint32>::max());
}

std::optional<int> checkBox(const QString &line) {
    auto value = smallInteger(line);
    if (!value || *value < 0 || *value > 2)
        return std::nullopt;
    return int(*value);
}

// A text value must stay on its own line, or the file would shift by a line.
QString oneLine(QString text) {
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

// Reads one value line, logs it the usual way and hands it to `apply`.
template <class Apply> bool plainValue(ReadContext &c, const char *key, Apply apply) {
    auto line = c.Value();
    if (!line)
        return false;
    c.Log(kLoading + QLatin1String(key) + QStringLiteral(" >") + *line);
    return apply(*line);
}

bool readCheckBox(ReadContext &c, const char *key, int &target) {
    return plainValue(c, key, [&](const QString &line) {
        auto value = checkBox(line);
        if (value)
            target = *value;
        return value.has_value();
    });
}

struct Entry {
    const char *key;
    QStringList (*write)(const AppState &);
    bool (*read)(ReadContext &);
};

// The file's entries in the order they are written.
const std::array<Entry, 13> kEntries = {{
    {"DEBUGLOG", [](const AppState &s) { return QStringList{fileBoolean(s.log.Logging)}; },
     [](ReadContext &c) {
         auto line = c.Value();
         if (!line)
             return false;
         auto on = parseBoolean(*line);
         if (!on)
             return false;
         c.state.log.Logging = *on;
         return !*on || c.state.log.OpenLogFile(c.logFilePath);
     }},
    {"SAVEFOLDER",
     [](const AppState &s) { return QStringList{oneLine(trimBlanks(s.settings.saveFolder))}; },
     [](ReadContext &c) {
         return plainValue(c, "SAVEFOLDER", [&](const QString &line) {
             c.state.settings.saveFolder = trimBlanks(line);
             return true;
         });
     }},
    {"PREFIX",
     [](const AppState &s) { return QStringList{u':' + oneLine(s.settings.prefix) + u':'}; },
     [](ReadContext &c) {
         return plainValue(c, "PREFIX", [&](const QString &line) {
             if (line.size() < 2)
                 return false;
             c.state.settings.prefix = line.mid(1, line.size() - 2);
             return true;
         });
     }},
    {"FILETYPEINDEX",
     [](const AppState &s) { return QStringList{fileNumber(s.settings.fileTypeIndex)}; },
     [](ReadContext &c) {
         return plainValue(c, "FILETYPEINDEX", [&](const QString &line) {
             auto value = smallInteger(line);
             if (!value || *value < 0 || *value >= qint64(kFileTypes.size()))
                 return false;
             c.state.settings.fileTypeIndex = int(*value);
             return true;
         });
     }},
    {"STARTMINIMIZED",
     [](const AppState &s) { return QStringList{fileNumber(s.settings.startMinimized)}; },
     [](ReadContext &c) {
         return readCheckBox(c, "STARTMINIMIZED", c.state.settings.startMinimized);
     }},
    {"SOUNDPATHS",
     [](const AppState &s) {
         return QStringList{oneLine(s.SoundFilePath), oneLine(s.ErrorSoundPath)};
     },
     [](ReadContext &c) {
         c.Log(kLoading + QStringLiteral("SOUNDPATHS"));
         // A sound that has gone keeps the one beside the program.
         for (QString *target : {&c.state.SoundFilePath, &c.state.ErrorSoundPath}) {
             auto line = c.Value();
             if (!line)
                 return false;
             const QString path = trimBlanks(*line);
             if (!path.isEmpty() && QFileInfo::exists(path))
                 *target = path;
         }
         c.Log(QString(11, u' ') + c.state.SoundFilePath);
         c.Log(QString(11, u' ') + c.state.ErrorSoundPath);
         return true;
     }},
    {"SHOWMESSAGE", [](const AppState &s) { return QStringList{fileNumber(s.settings.showMsg)}; },
     [](ReadContext &c) { return readCheckBox(c, "SHOWMESSAGE", c.state.settings.showMsg); }},
    {"POSITION",
     [](const AppState &s) {
         return QStringList{fileNumber(s.lastNormalPosition.x()),
                            fileNumber(s.lastNormalPosition.y())};
     },
     [](ReadContext &c) {
         c.Log(kLoading + QStringLiteral("POSITION"));
         QPoint position = c.state.loadedPosition.value_or(QPoint(0, 0));
         for (int axis = 0; axis < 2; ++axis) {
             auto line = c.Value();
             if (!line)
                 return false;
             c.Log(*line);
             auto value = longInteger(*line);
             if (!value)
                 return false;
             (axis == 0 ? position.rx() : position.ry()) = int(*value);
             c.state.loadedPosition = position;
         }
         return true;
     }},
    {"PLAYSOUND", [](const AppState &s) { return QStringList{fileNumber(s.settings.playSound)}; },
     [](ReadContext &c) { return readCheckBox(c, "PLAYSOUND", c.state.settings.playSound); }},
    {"SHOWMOUSE", [](const AppState &s) { return QStringList{fileNumber(s.settings.showMouse)}; },
     [](ReadContext &c) {
         // Read as a whole number, not by its leading digits.
         return plainValue(c, "SHOWMOUSE", [&](const QString &line) {
             auto number = strictNumber(line);
             if (!number)
                 return false;
             auto value = wholeNumber(*number, 0, 2);
             if (value)
                 c.state.settings.showMouse = int(*value);
             return value.has_value();
         });
     }},
    {"LASTOVERRIDENAME", [](const AppState &s) { return QStringList{oneLine(s.LastOverrideName)}; },
     [](ReadContext &c) {
         return plainValue(c, "LASTOVERRIDENAME", [&](const QString &line) {
             c.state.LastOverrideName = trimBlanks(line);
             return true;
         });
     }},
    {"NUMBEROFSNAPS", [](const AppState &s) { return QStringList{fileNumber(s.NumberOfSnaps)}; },
     [](ReadContext &c) {
         return plainValue(c, "NUMBEROFSNAPS", [&](const QString &line) {
             auto value = longInteger(line);
             if (value)
                 c.state.NumberOfSnaps = qint32(*value);
             return value.has_value();
         });
     }},
    {"SYSTEMTRAY",
     [](const AppState &s) { return QStringList{fileNumber(s.settings.showInTaskbar)}; },
     [](ReadContext &c) {
         auto line = c.Value();
         if (!line)
             return false;
         auto value = checkBox(*line);
         if (value)
             c.state.settings.showInTaskbar = *value;
         return value.has_value();
     }},
}};

} // namespace

PreferencesFile::LoadResult PreferencesFile::Read(const QString &path, AppState &state,
                                                  const QString &logFilePath) {
    if (path.isEmpty() || !QFileInfo::exists(path))
        return LoadResult::NoFile;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadResult::Unreadable;
    LineReader reader(file);
    ReadContext context{reader, state, logFilePath};
    while (!reader.AtEnd()) {
        auto line = reader.ReadLine();
        if (!line)
            return LoadResult::Problem;
        const QString key = trimBlanks(*line);
        const Entry *entry = nullptr;
        for (const Entry &candidate : kEntries) {
            if (key == QLatin1String(candidate.key))
                entry = &candidate;
        }
        if (!entry) {
            state.log.WriteLog(QStringLiteral("Load prefs COULD NOT FIND ENTRY >> ") + key);
            continue;
        }
        if (!entry->read(context))
            return LoadResult::Problem;
    }
    return reader.status() == LineReader::Status::Ok ||
                   reader.status() == LineReader::Status::EndOfFile
               ? LoadResult::Loaded
               : LoadResult::Problem;
}

QByteArray PreferencesFile::Serialize(const AppState &state) {
    QByteArray out;
    for (const Entry &entry : kEntries) {
        out += entry.key;
        out += "\r\n";
        for (const QString &value : entry.write(state)) {
            out += value.toUtf8();
            out += "\r\n";
        }
    }
    return out;
}

bool PreferencesFile::Write(const QString &path, const AppState &state, QString *error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(Serialize(state));
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace quillcap
