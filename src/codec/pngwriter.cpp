#include "codec/pngwriter.h"

#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>
#include <zlib.h>

namespace quillcap {

namespace {

// Rows are converted and handed to zlib this much at a time: few calls, and
// the batch stays in cache beside zlib's window.
constexpr qsizetype kBatchBytes = 64 * 1024;
// Largest IDAT chunk: bounds what one write and one CRC pass cover.
constexpr qsizetype kMaxIdatBytes = 1 << 20;

struct Band {
    int firstRow = 0;
    int endRow = 0;
    QByteArray deflated;  // the zlib header goes ahead of the first band's data
    uLong adler = 1;      // of the band's PNG rows, joined into the whole stream's
    z_off_t rawBytes = 0; // their count, for the joining
    bool ok = false;
};

void ToPngRows(const QImage &image, int firstRow, int rows, uchar *out) {
    const int width = image.width();
    for (int y = firstRow; y < firstRow + rows; ++y) {
        const auto *pixels = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        *out++ = 0; // filter None
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = uchar(qRed(pixels[x]));
            out[1] = uchar(qGreen(pixels[x]));
            out[2] = uchar(qBlue(pixels[x]));
        }
    }
}

// Runs deflate until it took all the input and, when flushing, gave out
// everything; the output grows if ever the bound was short.
bool Drain(z_stream &zs, int flush, QByteArray &out, qsizetype &used) {
    for (;;) {
        if (used == out.size())
            out.resize(out.size() * 2);
        const uInt room = uInt(std::min<qsizetype>(out.size() - used, UINT_MAX));
        zs.next_out = reinterpret_cast<Bytef *>(out.data()) + used;
        zs.avail_out = room;
        const int result = deflate(&zs, flush);
        used += room - zs.avail_out;
        if (result == Z_STREAM_END)
            return true;
        if ((result != Z_OK && result != Z_BUF_ERROR) || (zs.avail_out != 0 && flush == Z_FINISH))
            return false;
        if (zs.avail_out != 0)
            return true;
    }
}

// Each band is a raw deflate stream of its own, so bands need nothing from
// one another. All but the last end with a sync flush: an empty stored block
// that aligns them to a byte without marking a final block, so the next
// band's data can follow as if one stream. A full flush would also reset the
// dictionary, which nothing after this point would use.
void DeflateBand(const QImage &image, int level, bool last, Band &band) {
    z_stream zs{};
    if (deflateInit2(&zs, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return;
    const qsizetype rowBytes = 1 + 3 * qsizetype(image.width());
    const int batchRows = int(std::max<qsizetype>(1, kBatchBytes / rowBytes));
    const std::unique_ptr<uchar[]> batch(new uchar[rowBytes * batchRows]);
    band.rawBytes = z_off_t(rowBytes) * (band.endRow - band.firstRow);
    qsizetype used = band.deflated.size();
    // Pages past what deflate writes are never touched.
    band.deflated.resize(used + qsizetype(deflateBound(&zs, uLong(band.rawBytes))) + 64);
    bool ok = true;
    for (int y = band.firstRow; ok && y < band.endRow;) {
        const int rows = std::min(batchRows, band.endRow - y);
        ToPngRows(image, y, rows, batch.get());
        y += rows;
        zs.next_in = batch.get();
        zs.avail_in = uInt(rowBytes * rows);
        band.adler = adler32(band.adler, zs.next_in, zs.avail_in);
        const int flush = y < band.endRow ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
        ok = Drain(zs, flush, band.deflated, used);
    }
    deflateEnd(&zs);
    band.deflated.truncate(used);
    band.ok = ok;
}

QByteArray ZlibHeader(int level) {
    // Deflate with a 32 KiB window, the level class as zlib itself writes it,
    // and the check bits that make the pair a multiple of 31.
    const int levelClass = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    int header = 0x78 << 8 | levelClass << 6;
    header += (31 - header % 31) % 31;
    const char bytes[2] = {char(header >> 8), char(header & 0xff)};
    return QByteArray(bytes, 2);
}

bool Put(QIODevice &device, const void *data, qsizetype size) {
    return device.write(static_cast<const char *>(data), size) == size;
}

bool WriteChunk(QIODevice &device, const char *type, const void *data, qsizetype size) {
    uchar head[8];
    qToBigEndian(quint32(size), head);
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0, head + 4, 4);
    if (size > 0)
        crc = crc32_z(crc, static_cast<const Bytef *>(data), z_size_t(size));
    uchar tail[4];
    qToBigEndian(quint32(crc), tail);
    return Put(device, head, 8) && (size == 0 || Put(device, data, size)) && Put(device, tail, 4);
}

bool WriteIdat(QIODevice &device, const QByteArray &data) {
    for (qsizetype at = 0; at < data.size(); at += kMaxIdatBytes)
        if (!WriteChunk(device, "IDAT", data.constData() + at,
                        std::min(kMaxIdatBytes, data.size() - at)))
            return false;
    return true;
}

} // namespace

bool WritePng(const QImage &image, QIODevice &device, int bands, int level) {
    if (image.isNull())
        return false;
    level = std::clamp(level, 0, 9);
    // 32-bit pixels are read in place, alpha ignored; anything else once
    // converted.
    const QImage rgb =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
            ? image
            : image.convertToFormat(QImage::Format_RGB32);
    const int height = rgb.height();
    if (bands <= 0)
        bands = int(std::max(1u, std::thread::hardware_concurrency()));
    bands = std::min(bands, height);

    std::vector<Band> parts(bands);
    for (int i = 0; i < bands; ++i) {
        parts[i].firstRow = int(qint64(height) * i / bands);
        parts[i].endRow = int(qint64(height) * (i + 1) / bands);
    }
    parts[0].deflated = ZlibHeader(level);
    // Declared after the bands, so they are joined before the bands go, even
    // on an early return.
    std::vector<std::jthread> workers(bands);
    for (int i = 1; i < bands; ++i) {
        const auto job = [&, i] { DeflateBand(rgb, level, i == bands - 1, parts[i]); };
        try {
            workers[i] = std::jthread(job);
        } catch (const std::system_error &) { // no thread to be had: do it here
            job();
        }
    }

    static const uchar kSignature[8] = {137, 'P', 'N', 'G', '\r', '\n', 26, '\n'};
    uchar header[13] = {0, 0, 0, 0, 0, 0, 0, 0, 8, 2, 0, 0, 0}; // 8-bit RGB
    qToBigEndian(quint32(rgb.width()), header);
    qToBigEndian(quint32(height), header + 4);
    if (!Put(device, kSignature, 8) || !WriteChunk(device, "IHDR", header, 13))
        return false;

    DeflateBand(rgb, level, bands == 1, parts[0]);
    uLong adler = 1;
    for (int i = 0; i < bands; ++i) {
        if (workers[i].joinable())
            workers[i].join();
        if (!parts[i].ok)
            return false;
        adler = adler32_combine(adler, parts[i].adler, parts[i].rawBytes);
        if (i == bands - 1) {
            uchar trailer[4];
            qToBigEndian(quint32(adler), trailer);
            parts[i].deflated.append(reinterpret_cast<const char *>(trailer), 4);
        }
        if (!WriteIdat(device, parts[i].deflated))
            return false;
        parts[i].deflated = QByteArray(); // written: its memory can go
    }
    return WriteChunk(device, "IEND", nullptr, 0);
}

} // namespace quillcap
