#pragma once

#include <QPixmap>

namespace quillcap {

enum class HelpTab { Commands, Codes };

// The pictures of a help panel's tab: an arrow out while the panel is closed,
// an arrow back while it is open, and a faded stand-in while it slides.
enum class TabPicture { WhenClosed, WhenOpen, Faded };

// Drawn for `size` logical pixels at the screen's pixel ratio.
QPixmap DrawTabPicture(HelpTab tab, TabPicture picture, int size, qreal pixelRatio);

} // namespace quillcap
