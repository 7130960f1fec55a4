#include "codec/pngwriter.h"
#include "files.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <optional>

#include <gtest/gtest.h>
#include <zlib.h>

namespace quillcap {
namespace {

// Noise (random alpha too) on top, a flat area with thin stripes below: what
// screenshots mix, and both of deflate's paths (literals and long matches).
QImage Picture(int width, int height, QImage::Format format = QImage::Format_RGB32) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(qRgb(224, 224, 240));
    QRandomGenerator random(quint32(width * 7919 + height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; x += y < height / 2 ? 1 : 50)
            image.setPixel(x, y, y < height / 2 ? random.generate() : qRgb(x, y, 7));
    return image.convertToFormat(format);
}

// Big-endian, as a PNG chunk ends.
QByteArray Crc(const QByteArray &bytes) {
    const quint32 crc = qToBigEndian(
        quint32(crc32(0, reinterpret_cast<const Bytef *>(bytes.data()), bytes.size())));
    return QByteArray(reinterpret_cast<const char *>(&crc), 4);
}

// What is wrong with `png` as an 8-bit RGB PNG of exactly `image`, read
// strictly: every CRC, IHDR, IDATs, IEND and nothing after, one zlib stream
// inflated to its end (checking its Adler-32), filter None on every row.
std::string Check(const QByteArray &png, const QImage &image) {
    if (!png.startsWith("\x89PNG\r\n\x1a\n"))
        return "signature";
    QByteArrayList types;
    QByteArray ihdr, stream;
    for (qsizetype at = 8; at < png.size();) { // a chunk past the end fails its CRC
        const qsizetype length = qFromBigEndian<quint32>(png.mid(at, 4).leftJustified(4).data());
        const QByteArray typed = png.mid(at + 4, 4 + length);
        if (png.mid(at + 8 + length, 4) != Crc(typed))
            return "CRC of " + typed.left(4).toStdString();
        types += typed.left(4);
        (types.size() == 1 ? ihdr : stream) += typed.mid(4); // IEND is empty
        at += 12 + length;
    }
    const QString order = QString(types.join(' '));
    if (!QRegularExpression("^IHDR( IDAT)+ IEND$").match(order).hasMatch())
        return "chunks " + order.toStdString();
    if (ihdr.size() != 13 || ihdr.mid(8) != QByteArray("\x08\x02\0\0\0", 5) ||
        QSize(qFromBigEndian<qint32>(ihdr.data()), qFromBigEndian<qint32>(ihdr.data() + 4)) !=
            image.size())
        return "IHDR";
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QByteArray rows; // as they should inflate
    for (int y = 0; y < rgb.height(); ++y)
        rows.append('\0').append(reinterpret_cast<const char *>(rgb.constScanLine(y)),
                                 3 * rgb.width());
    QByteArray inflated(rows.size() + 1, 0); // one more shows excess data
    uLongf inflatedLength = inflated.size();
    uLong streamLength = stream.size();
    const int result = uncompress2(reinterpret_cast<Bytef *>(inflated.data()), &inflatedLength,
                                   reinterpret_cast<const Bytef *>(stream.data()), &streamLength);
    if (result != Z_OK || streamLength != uLong(stream.size()))
        return "zlib stream: " + std::to_string(result);
    return inflated.left(inflatedLength) == rows ? "" : "pixels";
}

// What WritePng gives a device that takes `room` bytes, then fails every
// write; nothing when it reports a failure.
std::optional<QByteArray> Encode(const QImage &image, int bands, qint64 room = 1 << 30) {
    struct Device : QIODevice {
        QByteArray bytes;
        qint64 room;
        explicit Device(qint64 bytes) : room(bytes) { open(WriteOnly); }
        qint64 readData(char *, qint64) override { return -1; }
        qint64 writeData(const char *data, qint64 size) override {
            return size > room ? -1 : (room -= size, bytes.append(data, size), size);
        }
    } device(room);
    return WritePng(image, device, bands) ? std::optional(device.bytes) : std::nullopt;
}

TEST(WritePng, EveryShapeAndBandCountDecodesStrictlyToTheSamePixels) {
    // 0 bands: one per core. 32-bit formats are read in place, alpha dropped, others
    // converted. A row of 22000 is larger than a batch; 1000x800 needs two IDATs.
    const auto rgb = QImage::Format_RGB32, argb = QImage::Format_ARGB32,
               packed = QImage::Format_RGB888;
    const std::tuple<int, int, int, QImage::Format> cases[] = {
        {1, 1, 0, rgb},     {37, 1, 0, rgb},     {1, 53, 0, rgb},    {5, 3, 8, rgb},
        {301, 203, 1, rgb}, {301, 203, 2, rgb},  {301, 203, 7, rgb}, {301, 203, 0, rgb},
        {64, 40, 2, argb},  {64, 40, 3, packed}, {22000, 4, 3, rgb}, {1000, 800, 1, rgb}};
    for (const auto &[width, height, bands, format] : cases) {
        const QImage image = Picture(width, height, format);
        EXPECT_EQ(Check(Encode(image, bands).value_or(""), image), "")
            << width << "x" << height << " bands " << bands << " format " << format;
    }
}

TEST(WritePng, ADamagedChecksumIsCaught) {
    const QImage image = Picture(31, 17);
    QByteArray png = Encode(image, 2).value_or("");
    // The last IDAT ends with the stream's Adler-32, then its own CRC.
    const qsizetype type = png.lastIndexOf("IDAT"), end = png.size() - 12 - 4;
    png[end - 1] = char(png[end - 1] ^ 1);
    EXPECT_EQ(Check(png, image), "CRC of IDAT");
    png.replace(end, 4, Crc(png.mid(type, end - type)));
    EXPECT_EQ(Check(png, image), "zlib stream: -3");
}

TEST(WritePng, OtherDecodersReadBackTheSamePixels) {
    const QString pngcheck = QStandardPaths::findExecutable("pngcheck");
    if (pngcheck.isEmpty() || !QFile::exists("/usr/bin/convert"))
        GTEST_SKIP() << "pngcheck or ImageMagick missing";
    QTemporaryDir dir;
    const QString path = dir.filePath("a.png");
    const QImage image = Picture(300, 203, QImage::Format_RGB888); // rows with no padding
    ASSERT_TRUE(writeFile(path, Encode(image, 3).value_or("")));
    EXPECT_EQ(QProcess::execute(pngcheck, {"-q", path}), 0);
    QProcess convert;
    convert.start("/usr/bin/convert", {path, "-depth", "8", "rgb:-"});
    ASSERT_TRUE(convert.waitForFinished());
    EXPECT_TRUE(convert.readAllStandardOutput() ==
                QByteArrayView(image.constBits(), image.sizeInBytes()));
}

TEST(WritePng, AFailedWriteOrANullImageIsReported) {
    const QImage image = Picture(301, 203);
    const qint64 size = Encode(image, 3).value_or("").size();
    // Failing in the signature, IHDR, the first IDAT, the last, IEND; then room for all.
    for (const qint64 room : {qint64(0), qint64(20), qint64(41), size - 30, size - 1, size})
        EXPECT_EQ(Encode(image, 3, room).has_value(), room == size) << room;
    EXPECT_FALSE(Encode(QImage(), 0));
}

} // namespace
} // namespace quillcap
