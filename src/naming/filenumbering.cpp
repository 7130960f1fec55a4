#include "naming/filenumbering.h"

#include "app/textnumbers.h"

#include <QSet>

namespace quillcap {

namespace {

// Numbers are read from a field three characters wide, so "p1000" reads as 100.
constexpr qsizetype kNumberField = 3;

QString padded(qint64 number) {
    return QString::number(number).rightJustified(3, u'0');
}

qint64 highestNumber(const QString &prefix, const QStringList &entries) {
    qint64 highest = 0;
    for (const QString &entry : entries) {
        if (QStringView(entry).left(prefix.size()).compare(prefix, Qt::CaseInsensitive) != 0)
            continue;
        const double value =
            roundHalfEven(leadingNumber(QStringView(entry).mid(prefix.size(), kNumberField)));
        if (value > double(highest))
            highest = qint64(value);
    }
    return highest;
}

// From 1000 on the three-digit field points back at names already in use
// (p998, p999, p1000 give 1000 again); skipping taken names keeps an existing
// capture from being overwritten.
qint64 nextFreeNumber(const QString &prefix, const QStringList &entries, const QString &typeText) {
    QSet<QString> taken;
    taken.reserve(entries.size());
    for (const QString &entry : entries)
        taken.insert(entry.toCaseFolded());
    const QString suffix = u'.' + typeText.toLower();
    qint64 number = highestNumber(prefix, entries) + 1;
    while (taken.contains((prefix + padded(number) + suffix).toCaseFolded()))
        ++number;
    return number;
}

} // namespace

QString GetNextFileNumber(const TemplateExpander &expander, const QString &basePrefix,
                          const QStringList &entries, const QString &typeText) {
    const QString prefix = expander.MakePrefix(basePrefix);
    return padded(nextFreeNumber(prefix, entries, typeText));
}

QString NextImageName(const TemplateExpander &expander, const QString &rawTemplate,
                      const QStringList &entries, const QString &typeText) {
    const QString prefix = expander.MakePrefix(rawTemplate);
    return prefix + padded(nextFreeNumber(prefix, entries, typeText)) + u'.' + typeText.toLower();
}

QString CopyName(const QString &name, int copy) {
    const qsizetype dot = name.lastIndexOf(u'.');
    const qsizetype end = dot > 0 ? dot : name.size();
    return name.left(end) + QStringLiteral(" (") + QString::number(copy) + u')' + name.mid(end);
}

} // namespace quillcap
