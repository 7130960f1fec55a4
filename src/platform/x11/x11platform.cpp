#include "platform/x11/x11platform.h"

#include "platform/x11/qtscreeninfo.h"
#include "platform/x11/qtshell.h"
#include "platform/x11/x11windowsystem.h"

namespace quillcap {

Platform makeX11Platform() {
    Platform platform;
    platform.windows = std::make_unique<x11::X11WindowSystem>();
    platform.screens = std::make_unique<x11::QtScreenInfo>();
    platform.shell = std::make_unique<x11::QtShell>();
    return platform;
}

} // namespace quillcap
