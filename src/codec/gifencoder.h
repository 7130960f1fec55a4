#pragma once

#include <QIODevice>
#include <QImage>

namespace quillcap {

// Writes `image` as a single-frame GIF. A picture of 256 colours or fewer
// keeps its colours exactly; a richer one is reduced to a 256-colour palette
// by median cut, refined to the mean of the pixels each entry stands for.
bool EncodeGif(const QImage &image, QIODevice &device);

} // namespace quillcap
