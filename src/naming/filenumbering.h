#pragma once

#include "naming/templateexpander.h"

#include <QString>
#include <QStringList>

namespace quillcap {

// `name` case-folded as QString::toCaseFolded does, quicker for the plain
// ASCII names captures mostly have.
QString FoldedName(const QString &name);

// The save folder's listing (names only) of the entries of the chosen type,
// read once and asked on every pointer move: the taken names are folded
// once, and the highest number is remembered for the last prefix asked.
class FolderEntries {
public:
    FolderEntries() = default;
    FolderEntries(const QStringList &names); // implicit: any list of names is a listing
    // `names` with their case-folded forms, both in the order of `folded`,
    // which is sorted: as a folder read gives them, without folding twice.
    FolderEntries(QStringList names, QStringList folded);
    const QStringList &names() const { return m_names; }
    bool isTaken(const QString &name) const;
    // The highest number in the three characters after `prefix` (compared
    // without regard to case); 0 when none.
    qint64 HighestNumber(const QString &prefix) const;

private:
    QStringList m_names;
    QStringList m_folded; // sorted, for a binary search
    mutable QString m_lastPrefix;
    mutable qint64 m_lastHighest = -1;
};

// `typeText` is the chosen type as shown ("PNG").

// The running number for the next capture under `basePrefix` (a raw template):
// one above the highest number found in the three characters after the
// expanded prefix, padded to three digits ("001", "042", "1000"), and never a
// number whose file name is already taken.
QString GetNextFileNumber(const TemplateExpander &expander, const QString &basePrefix,
                          const FolderEntries &entries, const QString &typeText);

// The full next file name, without folder: "Quillcap_001.png". The template is
// expanded once, so prefix and number agree even across midnight.
QString NextImageName(const TemplateExpander &expander, const QString &rawTemplate,
                      const FolderEntries &entries, const QString &typeText);

// The name a copy gets when `name` is taken, as file managers do: "shot.png"
// becomes "shot (2).png" for copy 2; the extension is what follows the last
// dot.
QString CopyName(const QString &name, int copy);

} // namespace quillcap
