#include "codec/pngwriter.h"

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <zlib.h>

namespace quillcap {
namespace {

// Noise on top, a flat area with thin stripes below: what screenshots mix,
// and both of deflate's paths (literals and long matches).
QImage Picture(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, QImage::Format_ARGB32);
    QRandomGenerator random(quint32(width * 7919 + height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y,
                           y < height / 2 ? random.generate()
                           : x % 50 < 3   ? qRgb(x, y, 7)
                                          : qRgb(224, 224, 240));
    return image.convertToFormat(format);
}

QByteArray RgbBytes(const QImage &image) {
    QByteArray bytes;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            bytes += char(qRed(pixel));
            bytes += char(qGreen(pixel));
            bytes += char(qBlue(pixel));
        }
    return bytes;
}

quint32 Crc(const QByteArray &bytes) {
    return quint32(crc32(0, reinterpret_cast<const Bytef *>(bytes.constData()), bytes.size()));
}

// Reads an 8-bit RGB PNG strictly: every CRC, IHDR then IDATs then IEND and
// nothing after, one zlib stream inflated to its end (which checks its
// Adler-32) with nothing trailing, filter None on every row.
struct Decoded {
    QSize size;
    QByteArray rgb;
    std::string error; // empty when it read
};

Decoded DecodePng(const QByteArray &png) {
    QSize size;
    if (!png.startsWith("\x89PNG\r\n\x1a\n"))
        return {{}, {}, "signature"};
    QByteArrayList types;
    QByteArray stream;
    for (qsizetype at = 8; at < png.size();) {
        const qsizetype length =
            png.size() - at < 12 ? 0 : qFromBigEndian<quint32>(png.data() + at);
        if (png.size() - at < 12 || length > png.size() - at - 12)
            return {{}, {}, "chunk overruns the file"};
        const QByteArray typed = png.mid(at + 4, 4 + length), data = typed.mid(4);
        if (qFromBigEndian<quint32>(png.data() + at + 8 + length) != Crc(typed))
            return {{}, {}, "CRC of " + typed.left(4).toStdString()};
        types += typed.left(4);
        if (types.size() == 1 && data.size() == 13 &&
            data.mid(8) == QByteArray("\x08\x02\0\0\0", 5))
            size =
                QSize(qFromBigEndian<qint32>(data.data()), qFromBigEndian<qint32>(data.data() + 4));
        if (types.last() == "IDAT")
            stream += data;
        at += 12 + length;
    }
    if (types.size() < 3 || types != QByteArrayList{"IHDR"} +
                                         QByteArrayList(types.size() - 2, "IDAT") +
                                         QByteArrayList{"IEND"})
        return {{}, {}, "chunks " + types.join(' ').toStdString()};
    if (size.isEmpty())
        return {{}, {}, "not 8-bit RGB"};
    const qsizetype rowBytes = 1 + 3 * qsizetype(size.width());
    QByteArray rows(rowBytes * size.height() + 1, 0); // one more shows excess data
    z_stream zs{};
    inflateInit(&zs);
    zs.next_in = reinterpret_cast<Bytef *>(stream.data());
    zs.avail_in = uInt(stream.size());
    zs.next_out = reinterpret_cast<Bytef *>(rows.data());
    zs.avail_out = uInt(rows.size());
    const int result = inflate(&zs, Z_FINISH);
    inflateEnd(&zs);
    if (result != Z_STREAM_END || zs.avail_in != 0 || zs.avail_out != 1)
        return {{}, {}, "zlib stream: " + std::to_string(result)};
    QByteArray rgb;
    for (qsizetype at = 0; at + 1 < rows.size(); at += rowBytes) {
        if (rows[at] != 0)
            return {{}, {}, "filter"};
        rgb += rows.mid(at + 1, rowBytes - 1);
    }
    return {size, rgb, ""};
}

void ExpectDecodes(const QByteArray &png, const QImage &image) {
    const auto [size, rgb, error] = DecodePng(png);
    ASSERT_EQ(error, "");
    EXPECT_EQ(size, image.size());
    EXPECT_TRUE(rgb == RgbBytes(image)) << "pixels differ";
}

QByteArray Encode(const QImage &image, int bands = 0) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(WritePng(image, buffer, bands));
    return png;
}

TEST(WritePng, EveryShapeAndBandCountDecodesStrictlyToTheSamePixels) {
    // Width, height, bands (0: one per core), input format.
    const std::tuple<int, int, int, QImage::Format> cases[] = {
        {1, 1, 0, QImage::Format_RGB32},      {37, 1, 0, QImage::Format_RGB32},
        {1, 53, 0, QImage::Format_RGB32},     {5, 3, 8, QImage::Format_RGB32},
        {301, 203, 1, QImage::Format_RGB32},  {301, 203, 2, QImage::Format_RGB32},
        {301, 203, 3, QImage::Format_RGB32},  {301, 203, 7, QImage::Format_RGB32},
        {301, 203, 0, QImage::Format_RGB32},  {64, 40, 2, QImage::Format_ARGB32}, // alpha dropped
        {64, 40, 3, QImage::Format_RGB888},   {40, 30, 2, QImage::Format_Indexed8},
        {22000, 4, 3, QImage::Format_RGB32},  // a row larger than a batch
        {1000, 800, 1, QImage::Format_RGB32}, // more than one IDAT's worth
    };
    for (const auto &[width, height, bands, format] : cases) {
        SCOPED_TRACE(testing::Message()
                     << width << "x" << height << " bands " << bands << " format " << format);
        const QImage image = Picture(width, height, format);
        ExpectDecodes(Encode(image, bands), image);
    }
}

TEST(WritePng, ADamagedChecksumIsCaught) {
    const QByteArray png = Encode(Picture(31, 17), 2);
    // The last IDAT ends with the stream's Adler-32, then its own CRC.
    const qsizetype type = png.lastIndexOf("IDAT"), end = png.size() - 12 - 4;
    for (const bool fixCrc : {false, true}) {
        QByteArray damaged = png;
        damaged[end - 1] = char(damaged[end - 1] ^ 1);
        if (fixCrc)
            qToBigEndian(Crc(damaged.mid(type, end - type)), damaged.data() + end);
        EXPECT_EQ(DecodePng(damaged).error, fixCrc ? "zlib stream: -3" : "CRC of IDAT");
    }
}

TEST(WritePng, OtherDecodersReadBackTheSamePixels) {
    const QString pngcheck = QStandardPaths::findExecutable("pngcheck");
    if (pngcheck.isEmpty() || !QFile::exists("/usr/bin/convert"))
        GTEST_SKIP() << "pngcheck or ImageMagick missing";
    QTemporaryDir dir;
    QFile file(dir.filePath("a.png"));
    const QImage image = Picture(301, 203);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && WritePng(image, file, 3));
    file.close();
    EXPECT_EQ(QProcess::execute(pngcheck, {"-q", file.fileName()}), 0);
    QProcess convert;
    convert.start("/usr/bin/convert", {file.fileName(), "-depth", "8", "rgb:-"});
    ASSERT_TRUE(convert.waitForFinished());
    EXPECT_TRUE(convert.readAllStandardOutput() == RgbBytes(image)) << "pixels differ";
}

// Takes `room` bytes, then fails every write.
class FullDevice : public QIODevice {
public:
    explicit FullDevice(qint64 room) : m_room(room) { open(WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override {
        if (size > m_room)
            return -1;
        m_room -= size;
        return size;
    }

private:
    qint64 m_room;
};

TEST(WritePng, AFailedWriteOrANullImageIsReported) {
    const QImage image = Picture(301, 203);
    const qsizetype size = Encode(image, 3).size();
    // Failing in the signature, IHDR, the first IDAT, the last, and IEND.
    for (const qint64 room : {qint64(0), qint64(20), qint64(41), size - 30, size - 1}) {
        FullDevice device(room);
        EXPECT_FALSE(WritePng(image, device, 3)) << room;
    }
    FullDevice roomy(size);
    EXPECT_TRUE(WritePng(image, roomy, 3));
    QByteArray bytes;
    QBuffer readOnly(&bytes);
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(WritePng(image, readOnly));
    EXPECT_FALSE(WritePng(QImage(), roomy));
}

} // namespace
} // namespace quillcap
