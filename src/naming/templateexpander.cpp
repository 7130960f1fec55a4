#include "naming/templateexpander.h"

namespace quillcap {

namespace {

QString weekdayName(QDate date) {
    // QDate counts Monday as 1 and Sunday as 7; fixed names keep file names
    // the same on every system language.
    static constexpr std::array<QStringView, 7> names = {u"Mon", u"Tue", u"Wed", u"Thu",
                                                         u"Fri", u"Sat", u"Sun"};
    const int day = date.dayOfWeek();
    return day >= 1 && day <= 7 ? names[day - 1].toString() : QString();
}

QString monthName(QDate date) {
    static constexpr std::array<QStringView, 12> names = {u"Jan", u"Feb", u"Mar", u"Apr",
                                                          u"May", u"Jun", u"Jul", u"Aug",
                                                          u"Sep", u"Oct", u"Nov", u"Dec"};
    const int month = date.month();
    return month >= 1 && month <= 12 ? names[month - 1].toString() : QString();
}

QString yearText(QDate date) {
    return QString::number(date.year());
}

QString shortYearText(QDate date) {
    return yearText(date).right(2);
}

QString dayText(QDate date) {
    return TemplateExpander::FillNumber(date.day());
}

QString monthText(QDate date) {
    return TemplateExpander::FillNumber(date.month());
}

QString dateText(QDate date) {
    return yearText(date) + u'-' + monthText(date) + u'-' + dayText(date);
}

constexpr QStringView kYear4 = u"inserts the year as 4 digits (e.g. 2006)";
constexpr QStringView kYear2 = u"inserts the year as 2 digits (e.g. 06)";
constexpr QStringView kMonth3 = u"inserts the month as 3 char (e.g. Feb)";
constexpr QStringView kMonth2 = u"inserts the month as 2 digits (e.g. 03)";
constexpr QStringView kWeekday = u"inserts the day of the week (e.g. Tue)";
constexpr QStringView kDay2 = u"inserts the day as 2 digits (e.g. 31)";
constexpr QStringView kDate = u"inserts the current date";

constexpr std::array<TemplateCode, 14> kCodes = {{
    {u"$ddd", kWeekday, weekdayName, -1},
    {u"$dd", kDay2, dayText, -1},
    {u"$yyyy", kYear4, yearText, -1},
    {u"$yy", kYear2, shortYearText, -1},
    {u"$mmm", kMonth3, monthName, -1},
    {u"$mm", kMonth2, monthText, -1},
    {u"$date", kDate, dateText, -1},
    {u"$DDD", kWeekday, weekdayName, 4},
    {u"$DD", kDay2, dayText, 5},
    {u"$YYYY", kYear4, yearText, 0},
    {u"$YY", kYear2, shortYearText, 1},
    {u"$MMM", kMonth3, monthName, 2},
    {u"$MM", kMonth2, monthText, 3},
    {u"$DATE", kDate, dateText, 6},
}};

// Dropped from the expanded template, in this order: a '$' that began no code,
// and characters that are unsafe in a file name. '?' and '"' are kept, so a
// name holding them fails at save time and is reported there.
constexpr QStringView kDeleted = u"$&!/\\<>~*^#|;:";

} // namespace

QString TemplateExpander::MakePrefix(QString raw) const {
    if (raw.isEmpty())
        return raw;
    // Each code reads the clock when its turn comes, so a template expanded
    // across midnight mixes the two days exactly as the steps run.
    for (const TemplateCode &code : kCodes) {
        if (raw.contains(code.code))
            raw.replace(code.code.toString(), code.expand(m_clock.today()), Qt::CaseSensitive);
    }
    for (QChar c : kDeleted)
        raw.remove(c);
    // Control characters have no place in a name, and leading dots would hide
    // the file ("../x" has become "..x" by now).
    raw.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    qsizetype dots = 0;
    while (dots < raw.size() && raw[dots] == u'.')
        ++dots;
    return raw.mid(dots);
}

QString TemplateExpander::MakeDate() const {
    return dateText(m_clock.today());
}

QString TemplateExpander::GetWeekday() const {
    return weekdayName(m_clock.today());
}

QString TemplateExpander::GetMonth() const {
    return monthName(m_clock.today());
}

QString TemplateExpander::FillNumber(int number) {
    return number < 10 ? u'0' + QString::number(number) : QString::number(number);
}

const std::array<TemplateCode, 14> &TemplateExpander::codes() {
    return kCodes;
}

QStringView TemplateExpander::deletedCharacters() {
    return kDeleted;
}

} // namespace quillcap
