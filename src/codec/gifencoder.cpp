#include "codec/gifencoder.h"

#include <QHash>

#include <gif_lib.h>
#include <memory>
#include <vector>

namespace quillcap {

namespace {

struct Indexed {
    std::vector<GifByteType> pixels;
    std::vector<GifColorType> palette;
};

// Exact palette when the picture has few colours (flat UI captures often
// do); false as soon as a 257th colour shows up.
bool IndexExactly(const QImage &image, Indexed &out) {
    QHash<QRgb, GifByteType> index;
    out.pixels.resize(size_t(image.width()) * image.height());
    GifByteType *dst = out.pixels.data();
    QRgb previous = 0;
    GifByteType previousIndex = 0;
    bool havePrevious = false;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = row[x] & 0xffffff;
            if (!havePrevious || c != previous) {
                auto it = index.constFind(c);
                if (it == index.constEnd()) {
                    if (index.size() == 256)
                        return false;
                    it = index.insert(c, GifByteType(index.size()));
                    out.palette.push_back(
                        {GifByteType(qRed(c)), GifByteType(qGreen(c)), GifByteType(qBlue(c))});
                }
                previous = c;
                previousIndex = *it;
                havePrevious = true;
            }
            *dst++ = previousIndex;
        }
    }
    return true;
}

bool Quantize(const QImage &image, Indexed &out) {
    const size_t count = size_t(image.width()) * image.height();
    std::vector<GifByteType> r(count), g(count), b(count);
    size_t i = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x, ++i) {
            r[i] = GifByteType(qRed(row[x]));
            g[i] = GifByteType(qGreen(row[x]));
            b[i] = GifByteType(qBlue(row[x]));
        }
    }
    int size = 256;
    out.palette.assign(256, GifColorType{0, 0, 0});
    out.pixels.resize(count);
    if (GifQuantizeBuffer(unsigned(image.width()), unsigned(image.height()), &size, r.data(),
                          g.data(), b.data(), out.pixels.data(), out.palette.data()) != GIF_OK)
        return false;
    // The median cut works on 5 bits a channel and its entries lose the low
    // bits (white comes out 248); the mean of the real pixels restores them.
    std::vector<quint64> sums(256 * 3, 0);
    std::vector<quint64> counts(256, 0);
    for (i = 0; i < count; ++i) {
        const GifByteType k = out.pixels[i];
        sums[k * 3] += r[i];
        sums[k * 3 + 1] += g[i];
        sums[k * 3 + 2] += b[i];
        ++counts[k];
    }
    for (int k = 0; k < 256; ++k) {
        if (counts[k] == 0)
            continue;
        const quint64 n = counts[k];
        out.palette[k] = {GifByteType((sums[k * 3] + n / 2) / n),
                          GifByteType((sums[k * 3 + 1] + n / 2) / n),
                          GifByteType((sums[k * 3 + 2] + n / 2) / n)};
    }
    out.palette.resize(size_t(std::max(size, 1)));
    return true;
}

int WriteToDevice(GifFileType *gif, const GifByteType *data, int length) {
    auto *device = static_cast<QIODevice *>(gif->UserData);
    return int(device->write(reinterpret_cast<const char *>(data), length));
}

struct MapDeleter {
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};

} // namespace

bool EncodeGif(const QImage &source, QIODevice &device) {
    if (source.isNull() || source.width() > 0xffff || source.height() > 0xffff)
        return false;
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    Indexed indexed;
    if (!IndexExactly(image, indexed)) {
        indexed = {};
        if (!Quantize(image, indexed))
            return false;
    }

    // giflib wants a power-of-two colour table of at least two entries.
    const int bits = std::max(1, GifBitSize(int(indexed.palette.size())));
    indexed.palette.resize(size_t(1) << bits, GifColorType{0, 0, 0});
    std::unique_ptr<ColorMapObject, MapDeleter> map(
        GifMakeMapObject(1 << bits, indexed.palette.data()));
    if (!map)
        return false;

    int error = 0;
    GifFileType *gif = EGifOpen(&device, WriteToDevice, &error);
    if (!gif)
        return false;
    bool ok = EGifPutScreenDesc(gif, image.width(), image.height(), bits, 0, map.get()) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < image.height(); ++y)
        ok = EGifPutLine(gif, indexed.pixels.data() + size_t(y) * image.width(), image.width()) ==
             GIF_OK;
    const bool closed = EGifCloseFile(gif, &error) == GIF_OK;
    return ok && closed;
}

} // namespace quillcap
