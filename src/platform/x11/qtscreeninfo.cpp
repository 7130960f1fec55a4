#include "platform/x11/qtscreeninfo.h"

#include <QGuiApplication>
#include <QScreen>

namespace quillcap::x11 {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kDefaultTwipsPerPixel = 15.0; // 96 DPI

double TwipsPerPixel(double dotsPerInch) {
    return dotsPerInch > 0 ? kTwipsPerInch / dotsPerInch : kDefaultTwipsPerPixel;
}

} // namespace

double QtScreenInfo::TwipsPerPixelX() const {
    const QScreen *primary = QGuiApplication::primaryScreen();
    return TwipsPerPixel(primary ? primary->logicalDotsPerInchX() : 0);
}

double QtScreenInfo::TwipsPerPixelY() const {
    const QScreen *primary = QGuiApplication::primaryScreen();
    return TwipsPerPixel(primary ? primary->logicalDotsPerInchY() : 0);
}

QPoint QtScreenInfo::PrimaryOrigin() const {
    const QScreen *primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().topLeft() : QPoint();
}

QSize QtScreenInfo::PrimarySize() const {
    const QScreen *primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().size() : QSize();
}

} // namespace quillcap::x11
