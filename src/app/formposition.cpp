#include "app/formposition.h"

#include <QLocale>

namespace quillcap {

namespace {

// Positions are reported in pixels in their shortest form (100, 100.5).
QString pixels(double twips, double twipsPerPixel) {
    return QString::number(float(twips / twipsPerPixel), 'g', 7);
}

} // namespace

TwipsRect CheckFormPosition(TwipsRect w, const QRect &bounds, double tx, double ty, DebugLog &log) {
    const qint32 minLeft = bounds.left();
    const qint32 minTop = bounds.top();
    const qint32 maxRight = bounds.left() + bounds.width();
    const qint32 maxBottom = bounds.top() + bounds.height();
    log.WriteLog(QStringLiteral("Check form is on a visible screen..."));
    log.WriteLogLazy([&] {
        return QStringLiteral("    Left ") + pixels(w.left, tx) + QStringLiteral(" minLeft is ") +
               QString::number(minLeft);
    });
    log.WriteLogLazy([&] {
        return QStringLiteral("     Top ") + pixels(w.top, ty) + QStringLiteral(" mintop is ") +
               QString::number(minTop);
    });
    log.WriteLogLazy([&] {
        return QStringLiteral("   Right ") + pixels(w.left + w.width, tx) +
               QStringLiteral(" maxRight is ") + QString::number(maxRight);
    });
    log.WriteLogLazy([&] {
        return QStringLiteral("  Bottom ") + pixels(w.top + w.height, ty) +
               QStringLiteral(" maxBottom is ") + QString::number(maxBottom);
    });
    // Compared in single precision, as the stored positions always were.
    if (float(w.left) < float(minLeft * tx)) {
        log.WriteLog(QStringLiteral("       - moving me.left to 0"));
        w.left = 0;
    }
    if (float(w.top) < float(minTop * ty)) {
        log.WriteLog(QStringLiteral("       - moving me.top to 0"));
        w.top = 0;
    }
    if (float(w.left + w.width) > float(maxRight * tx)) {
        w.left = maxRight * tx - w.width;
        log.WriteLog(QStringLiteral("       - wrapping off right, moving left to ") +
                     pixels(w.left, tx));
    }
    if (float(w.top + w.height) > float(maxBottom * ty)) {
        w.top = maxBottom * ty - w.height;
        log.WriteLog(QStringLiteral("       - wrapping off bottom, moving top to ") +
                     pixels(w.top, ty));
    }
    return w;
}

QString MainCaption(qint32 numberOfSnaps, const QLocale &locale) {
    QLocale grouped = locale;
    // "##,###0": always grouped, with the user's separator.
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return QLatin1String(kCaptionPrefix) + grouped.toString(numberOfSnaps) +
           QStringLiteral(" snaps)");
}

} // namespace quillcap
