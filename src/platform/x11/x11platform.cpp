#include "platform/x11/x11platform.h"

#include "platform/x11/qtscreeninfo.h"
#include "platform/x11/qtshell.h"
#include "platform/x11/x11displayenumerator.h"
#include "platform/x11/x11hotkey.h"
#include "platform/x11/x11overlayhold.h"
#include "platform/x11/x11screencapture.h"
#include "platform/x11/x11windowsystem.h"

namespace quillcap {

Platform makeX11Platform(std::function<void(const QString &)> log) {
    Platform platform;
    platform.windows = std::make_unique<x11::X11WindowSystem>();
    platform.screens = std::make_unique<x11::QtScreenInfo>();
    platform.shell = std::make_unique<x11::QtShell>();
    platform.displays = std::make_unique<x11::X11DisplayEnumerator>();
    platform.capture = std::make_unique<x11::X11ScreenCapture>();
    platform.hotKey = std::make_unique<x11::X11HotKey>(log);
    platform.overlayHold = std::make_unique<x11::X11OverlayHold>(std::move(log));
    return platform;
}

} // namespace quillcap
