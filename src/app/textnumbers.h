#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace quillcap {

// The settings and region files are read leniently: blanks (spaces only) are
// trimmed and the number at the start of a line is taken, whatever follows.
QString trimBlanks(QStringView text);

// The number at the start of `text`: leading blanks skipped, optional sign,
// digits with an optional fraction and exponent; blanks between digits are
// ignored. Text that does not start with a number reads as 0.
double leadingNumber(QStringView text);

// Halves go to the even neighbour (2.5 -> 2, 3.5 -> 4), as the stored files
// have always been rounded.
double roundHalfEven(double value);

// The whole text (blanks around it allowed) must be a number; otherwise none.
std::optional<double> strictNumber(QStringView text);

// True/False in any letter case, or a number (0 false, anything else true).
std::optional<bool> parseBoolean(QStringView text);

// A whole number as the files store it: one blank before it unless it is
// negative, one blank after it (" 2 ", "-5 ").
QString fileNumber(qint64 value);

// A boolean as the files store it.
inline QString fileBoolean(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace quillcap
