#pragma once

#include <QIODevice>
#include <QImage>

namespace quillcap {

// zlib level of our PNGs. On screenshots 3 takes a tenth longer than 1 and
// is 5 % smaller; 4 turns to lazy matching, 40 % slower for 1 % at best
// (bench/codec_bench prints each).
inline constexpr int kPngLevel = 3;

// Writes `image` as an 8-bit RGB PNG, no interlace, filter None on every
// row: on screenshots that is both the fastest and the smallest. The rows
// are cut into `bands` (0: one per core, never more than the rows), each
// compressed on a thread of its own and joined into one zlib stream. Alpha
// is dropped. False when the image is null or a write to `device` fails.
bool WritePng(const QImage &image, QIODevice &device, int bands = 0, int level = kPngLevel);

} // namespace quillcap
