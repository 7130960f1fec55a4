#include "app/pathtext.h"

namespace quillcap {

namespace {

constexpr qsizetype kLookBack = 250;

qsizetype lastSeparator(const QString &path) {
    const qsizetype stop = qMax<qsizetype>(0, path.size() - kLookBack);
    for (qsizetype i = path.size() - 1; i >= stop; --i) {
        if (path[i] == u'\\' || path[i] == u'/')
            return i;
    }
    return -1;
}

} // namespace

QString FileNamePart(const QString &path) {
    const qsizetype at = lastSeparator(path);
    return at < 0 ? QString() : path.mid(at + 1);
}

QString GetParentFolder(const QString &path) {
    const qsizetype at = lastSeparator(path);
    return at < 0 ? QString() : path.left(at);
}

} // namespace quillcap

#include <QFileInfo>

namespace quillcap {

bool PathExists(const QString &path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool DirExists(const QString &path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace quillcap
