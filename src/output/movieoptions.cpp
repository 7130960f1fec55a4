#include "output/movieoptions.h"

#include <QLocale>
#include <cmath>

namespace quillcap {

MovieOptionsCheck CheckMovieOptions(const QString &intervalText, const QString &maxImagesText) {
    MovieOptionsCheck check;
    check.intervalText = intervalText;
    bool isNumber = false;
    // Both a dot and the user's own decimal sign are understood.
    double interval = QLocale::c().toDouble(intervalText.trimmed(), &isNumber);
    if (!isNumber)
        interval = QLocale().toDouble(intervalText.trimmed(), &isNumber);
    if (!isNumber || !std::isfinite(interval)) {
        check.problem = QStringLiteral("The seconds between captures must be a number, "
                                       "such as 0.05.");
        return check;
    }
    if (interval <= 0) {
        interval = kShortestInterval;
        check.intervalText = QStringLiteral("0.01");
    }
    if (interval < kShortestInterval) {
        check.problem = QStringLiteral("The seconds between captures cannot be less than 0.01.");
        return check;
    }
    bool isWhole = false;
    const qint64 maxImages = QLocale::c().toLongLong(maxImagesText.trimmed(), &isWhole);
    if (!isWhole || maxImages < 1) {
        check.problem = QStringLiteral("The maximum number of images captured must be a whole "
                                       "number of 1 or more.");
        return check;
    }
    check.options = MovieOptions{interval, maxImages};
    return check;
}

QString PaddedFrameNumber(qint32 number) {
    return QStringLiteral("%1").arg(number, 5, 10, QLatin1Char('0'));
}

QString MovieFrameName(const QString &prefix, qint32 number, const QString &typeText) {
    return prefix + PaddedFrameNumber(number) + u'.' + typeText;
}

} // namespace quillcap
