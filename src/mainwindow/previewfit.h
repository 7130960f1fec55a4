#pragma once

#include <QRect>
#include <QSize>

namespace quillcap {

// The size a picture is shown at in a viewer: shrunk to fit without
// distortion, never enlarged. Empty for an empty picture or viewer.
QSize FitPreview(QSize picture, QSize viewer);

// Where a picture of `shown` size sits in the viewer: centred.
QRect CentredIn(QSize shown, QSize viewer);

} // namespace quillcap
