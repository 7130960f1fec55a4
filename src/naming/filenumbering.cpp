#include "naming/filenumbering.h"

#include "app/textnumbers.h"

#include <algorithm>
#include <utility>

namespace quillcap {

namespace {

// Numbers are read from a field three characters wide, so "p1000" reads as 100.
constexpr qsizetype kNumberField = 3;

QString padded(qint64 number) {
    return QString::number(number).rightJustified(3, u'0');
}

} // namespace

QString FoldedName(const QString &name) {
    const auto ascii = [](QChar c) { return c.unicode() < 128; };
    if (!std::all_of(name.cbegin(), name.cend(), ascii))
        return name.toCaseFolded();
    QString folded = name;
    for (QChar &c : folded)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return folded;
}

FolderEntries::FolderEntries(const QStringList &names) : m_names(names) {
    m_folded.reserve(names.size());
    for (const QString &name : names)
        m_folded << FoldedName(name);
    std::sort(m_folded.begin(), m_folded.end());
}

FolderEntries::FolderEntries(QStringList names, QStringList folded)
    : m_names(std::move(names)), m_folded(std::move(folded)) {}

bool FolderEntries::isTaken(const QString &name) const {
    return std::binary_search(m_folded.cbegin(), m_folded.cend(), FoldedName(name));
}

qint64 FolderEntries::HighestNumber(const QString &prefix) const {
    if (m_lastHighest >= 0 && prefix == m_lastPrefix)
        return m_lastHighest;
    qint64 highest = 0;
    for (const QString &entry : m_names) {
        if (QStringView(entry).left(prefix.size()).compare(prefix, Qt::CaseInsensitive) != 0)
            continue;
        const double value =
            roundHalfEven(leadingNumber(QStringView(entry).mid(prefix.size(), kNumberField)));
        if (value > double(highest))
            highest = qint64(value);
    }
    m_lastPrefix = prefix;
    m_lastHighest = highest;
    return highest;
}

namespace {

// From 1000 on the three-digit field points back at names already in use
// (p998, p999, p1000 give 1000 again); skipping taken names keeps an existing
// capture from being overwritten.
qint64 nextFreeNumber(const QString &prefix, const FolderEntries &entries,
                      const QString &typeText) {
    const QString suffix = u'.' + typeText.toLower();
    qint64 number = entries.HighestNumber(prefix) + 1;
    while (entries.isTaken(prefix + padded(number) + suffix))
        ++number;
    return number;
}

} // namespace

QString GetNextFileNumber(const TemplateExpander &expander, const QString &basePrefix,
                          const FolderEntries &entries, const QString &typeText) {
    const QString prefix = expander.MakePrefix(basePrefix);
    return padded(nextFreeNumber(prefix, entries, typeText));
}

QString NextImageName(const TemplateExpander &expander, const QString &rawTemplate,
                      const FolderEntries &entries, const QString &typeText) {
    const QString prefix = expander.MakePrefix(rawTemplate);
    return prefix + padded(nextFreeNumber(prefix, entries, typeText)) + u'.' + typeText.toLower();
}

QString CopyName(const QString &name, int copy) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype end = dot > 0 ? dot : name.size();
    return name.left(end) + QStringLiteral(" (") + QString::number(copy) + u')' + name.mid(end);
}

} // namespace quillcap
