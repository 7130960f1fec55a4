#pragma once
// Whole files for tests: the bytes, or empty if unreadable; folders made first.
#include <QDir>
#include <QFile>
#include <QFileInfo>

inline QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes = {}) {
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).path()) && f.open(QIODevice::WriteOnly) &&
           f.write(bytes) == bytes.size();
}

inline QStringList entries(const QString &folder) { // hidden ones too
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}
