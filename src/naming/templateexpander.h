#pragma once

#include "naming/clock.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <array>

namespace quillcap {

// One date code of a name template. The help panel lists the same table the
// expander runs, so the two cannot drift apart.
struct TemplateCode {
    QStringView code;
    QStringView description;
    QString (*expand)(QDate today);
    // Place in the help panel's list; the lower-case twins are not listed.
    int helpRow = -1;
};

// Turns the user's name template into the prefix of the next file name: date
// codes are replaced, characters a file name must not hold are dropped.
class TemplateExpander {
public:
    explicit TemplateExpander(const Clock &clock) : m_clock(clock) {}

    QString MakePrefix(QString raw) const;

    // "2026-03-05" for 5 March 2026.
    QString MakeDate() const;
    // "Sun".."Sat" and "Jan".."Dec", English whatever the locale.
    QString GetWeekday() const;
    QString GetMonth() const;

    // Two digits below 10 ("05"), plain decimal text otherwise.
    static QString FillNumber(int number);

    // In the order they are replaced: a longer code before the shorter one it
    // starts with, lower case before upper case.
    static const std::array<TemplateCode, 14> &codes();

    // Removed, in this order, after the codes are replaced.
    static QStringView deletedCharacters();

private:
    const Clock &m_clock;
};

} // namespace quillcap
