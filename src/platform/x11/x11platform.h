#pragma once

#include "platform/platform.h"

namespace quillcap {

// The real back end for X11. Needs a QGuiApplication on the xcb platform for
// the window functions; the title search also works before one exists.
Platform makeX11Platform();

} // namespace quillcap
