#include "mainwindow/imagefolder.h"

#include <QDirIterator>
#include <algorithm>
#include <vector>

namespace quillcap {

namespace {

struct Entry {
    QString folded;
    QString name;
    bool file;
};

} // namespace

ImageFolder ReadImageFolder(const QString &folder, const QString &typeText) {
    // One pass over the folder for both lists: a folder of a hundred
    // thousand captures is read once per refresh, not twice.
    const QString suffix = (u'.' + typeText).toCaseFolded();
    std::vector<Entry> found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        QString name = it.fileName();
        QString folded = name.toCaseFolded();
        if (!folded.endsWith(suffix))
            continue;
        found.push_back({std::move(folded), std::move(name), it.fileInfo().isFile()});
    }
    std::sort(found.begin(), found.end(), [](const Entry &a, const Entry &b) {
        return a.folded != b.folded ? a.folded < b.folded : a.name < b.name;
    });
    ImageFolder result;
    QStringList all;
    all.reserve(qsizetype(found.size()));
    result.files.reserve(qsizetype(found.size()));
    for (const Entry &entry : found) {
        all << entry.name;
        if (entry.file)
            result.files << entry.name;
    }
    result.entries = FolderEntries(std::move(all));
    return result;
}

} // namespace quillcap
