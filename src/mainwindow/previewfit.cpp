#include "mainwindow/previewfit.h"

#include <algorithm>
#include <cmath>

namespace quillcap {

namespace {

// Halves go to the even neighbour, as every other rounding of sizes here.
int whole(double value) {
    return int(std::nearbyint(value));
}

} // namespace

QSize FitPreview(QSize picture, QSize viewer) {
    if (picture.isEmpty() || viewer.isEmpty())
        return {0, 0};
    const double pictureRatio = double(picture.width()) / picture.height();
    const double viewerRatio = double(viewer.width()) / viewer.height();
    // The relatively wider side decides; the other follows the ratio.
    if (pictureRatio >= viewerRatio) {
        const int width = std::min(viewer.width(), picture.width());
        return {width, std::max(1, whole(width / pictureRatio))};
    }
    const int height = std::min(viewer.height(), picture.height());
    return {std::max(1, whole(pictureRatio * height)), height};
}

QRect CentredIn(QSize shown, QSize viewer) {
    return {QPoint((viewer.width() - shown.width()) / 2, (viewer.height() - shown.height()) / 2),
            shown};
}

} // namespace quillcap
