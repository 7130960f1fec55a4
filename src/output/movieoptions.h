#pragma once

#include <QString>
#include <optional>

namespace quillcap {

// What the movie window's two fields ask for, checked before anything starts.
struct MovieOptions {
    double intervalSeconds = 0.05;
    qint64 maxImages = 500;
};

struct MovieOptionsCheck {
    std::optional<MovieOptions> options;
    // Why the fields were refused; empty when they were taken.
    QString problem;
    // The interval field's text after the check ("0.01" for zero or less).
    QString intervalText;
};

// The shortest tick a timer can keep.
constexpr double kShortestInterval = 0.01;
// The most frames one sequence takes, whatever the field says.
constexpr qint64 kFrameLimit = 30000;
// Frame numbers have five digits.
constexpr qint32 kLastFrameNumber = 99999;

// Zero or a negative interval becomes 0.01; text that is not a number, or an
// interval below 0.01, is refused, as is a maximum that is not a positive
// whole number.
MovieOptionsCheck CheckMovieOptions(const QString &intervalText, const QString &maxImagesText);

// "Quillcap_00007.PNG": the frame's name inside the save folder, the type as
// the list shows it.
QString MovieFrameName(const QString &prefix, qint32 number, const QString &typeText);
QString PaddedFrameNumber(qint32 number);

} // namespace quillcap
