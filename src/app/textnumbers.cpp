#include "app/textnumbers.h"

#include <cmath>

namespace quillcap {

namespace {

bool isBlank(QChar c) {
    return c == u' ';
}

// Collects the characters of a number from `text` starting at `pos`, skipping
// blanks (and tabs) inside it. Returns the collected text and where it ended.
QString collectNumber(QStringView text, qsizetype &pos) {
    QString digits;
    auto skipSpace = [&] {
        while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t'))
            ++pos;
    };
    auto takeDigits = [&] {
        bool any = false;
        for (;;) {
            skipSpace();
            if (pos < text.size() && text[pos].isDigit() && text[pos].unicode() < 128) {
                digits += text[pos++];
                any = true;
            } else {
                return any;
            }
        }
    };
    skipSpace();
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+'))
        digits += text[pos++];
    bool whole = takeDigits();
    bool fraction = false;
    skipSpace();
    if (pos < text.size() && text[pos] == u'.') {
        qsizetype dot = pos++;
        QString before = digits;
        digits += u'.';
        fraction = takeDigits();
        if (!fraction && !whole) {
            digits = before;
            pos = dot;
        }
    }
    if (!whole && !fraction)
        return {};
    qsizetype mark = pos;
    skipSpace();
    if (pos < text.size() &&
        (text[pos] == u'e' || text[pos] == u'E' || text[pos] == u'd' || text[pos] == u'D')) {
        QString mantissa = digits;
        digits += u'e';
        ++pos;
        skipSpace();
        if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+'))
            digits += text[pos++];
        if (!takeDigits()) {
            digits = mantissa;
            pos = mark;
        }
    } else {
        pos = mark;
    }
    return digits;
}

} // namespace

QString trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

double leadingNumber(QStringView text) {
    qsizetype pos = 0;
    const QString digits = collectNumber(text, pos);
    if (digits.isEmpty())
        return 0.0;
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

std::optional<double> strictNumber(QStringView text) {
    qsizetype pos = 0;
    const QString digits = collectNumber(text, pos);
    if (digits.isEmpty())
        return std::nullopt;
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t'))
        ++pos;
    if (pos != text.size())
        return std::nullopt;
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<bool> parseBoolean(QStringView text) {
    const QString trimmed = trimBlanks(text);
    if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    if (auto number = strictNumber(trimmed))
        return *number != 0.0;
    return std::nullopt;
}

QString fileNumber(qint64 value) {
    return (value < 0 ? QString() : QStringLiteral(" ")) + QString::number(value) + u' ';
}

} // namespace quillcap
