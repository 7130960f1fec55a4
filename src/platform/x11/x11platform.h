#pragma once

#include "platform/platform.h"

#include <functional>

namespace quillcap {

// The real back end for X11. Needs a QGuiApplication on the xcb platform for
// the window functions and the hot key; the title search, the display list and
// the grab also work before one exists. `log` hears what the back end could
// not do (a hot-key combination another program holds).
Platform makeX11Platform(std::function<void(const QString &)> log = {});

} // namespace quillcap
