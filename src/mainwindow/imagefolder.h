#pragma once

#include "naming/filenumbering.h"

#include <QStringList>

namespace quillcap {

// One read of the save folder for one image type ("PNG"): the files the
// image list shows, and every entry of that pattern (folders and hidden
// ones too, so numbering never picks a taken name). Names match the pattern
// without regard to letter case and are sorted the same way.
struct ImageFolder {
    QStringList files;
    FolderEntries entries;
};

ImageFolder ReadImageFolder(const QString &folder, const QString &typeText);

} // namespace quillcap
