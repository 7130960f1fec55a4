#pragma once

#include "platform/platform.h"

namespace quillcap::x11 {

// Screen facts from Qt's screen list. Qt 6.4 on X11 lists RandR monitors, in
// logical pixels.
class QtScreenInfo final : public ScreenInfo {
public:
    double TwipsPerPixelX() const override;
    double TwipsPerPixelY() const override;
    QPoint PrimaryOrigin() const override;
    QSize PrimarySize() const override;
};

} // namespace quillcap::x11
