#include "codec/gdiplus.h"

#include "codec/gifencoder.h"
#include "codec/pngwriter.h"

#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

namespace quillcap {

namespace {

GdiStatus EncodeWithQt(const QImage &image, QIODevice &device, ImageFormat format, int quality) {
    QImageWriter writer(&device, QByteArray());
    switch (format) {
    case ImageFormat::Bmp:
        writer.setFormat("bmp");
        break;
    case ImageFormat::Jpeg:
        writer.setFormat("jpeg");
        writer.setQuality(qBound(0, quality, 100));
        break;
    case ImageFormat::Tiff:
        writer.setFormat("tiff");
        writer.setCompression(1); // LZW; Qt's default is uncompressed
        break;
    case ImageFormat::Png: // our own writers
    case ImageFormat::Gif:
        return GdiStatus::NotImplemented;
    }
    if (!writer.canWrite())
        return GdiStatus::UnknownImageFormat;
    if (writer.write(image))
        return GdiStatus::Ok;
    return writer.error() == QImageWriter::DeviceError ? GdiStatus::Win32Error
                                                       : GdiStatus::GenericError;
}

GdiStatus StatusFromReader(QImageReader::ImageReaderError error) {
    switch (error) {
    case QImageReader::FileNotFoundError:
        return GdiStatus::FileNotFound;
    case QImageReader::DeviceError:
        return GdiStatus::Win32Error;
    case QImageReader::UnsupportedFormatError:
        return GdiStatus::UnknownImageFormat;
    case QImageReader::InvalidDataError:
        return GdiStatus::InvalidParameter;
    default:
        return GdiStatus::GenericError;
    }
}

} // namespace

void GdiPlus::Raise(GdiStatus status) {
    m_lastStatus = status;
    if (Error)
        Error(qint32(status), GdiErrorString(qint32(status)));
}

QString GdiPlus::LastReason() const {
    return m_lastErrno != 0 ? qt_error_string(m_lastErrno) : GdiErrorString(qint32(m_lastStatus));
}

bool GdiPlus::PictureBoxToFile(const QImage &pic, const QString &fileName, int quality,
                               ExistingFile existing, Durability durability) {
    m_lastStatus = GdiStatus::Ok;
    m_lastErrno = 0;
    const EncoderInfo *encoder = m_registry.ForFileName(fileName);
    if (!encoder) {
        m_lastStatus = GdiStatus::UnknownImageFormat;
        return false;
    }
    if (pic.isNull()) {
        Raise(GdiStatus::InvalidParameter);
        return false;
    }
    const bool jExtension = FileExtension(fileName).front().toUpper() == u'J';
    // A capture has no transparency; an alpha channel would only make the
    // writers store a fourth channel.
    const QImage opaque = pic.hasAlphaChannel() ? pic.convertToFormat(QImage::Format_RGB32) : pic;
    const WriteOutcome outcome = WriteAtomically(
        fileName, existing,
        [&](QFile &file) {
            if (encoder->format == ImageFormat::Gif)
                return EncodeGif(opaque, file) ? GdiStatus::Ok : GdiStatus::Win32Error;
            if (encoder->format == ImageFormat::Png)
                return WritePng(opaque, file) ? GdiStatus::Ok : GdiStatus::Win32Error;
            return EncodeWithQt(opaque, file, encoder->format,
                                jExtension ? quality : kDefaultQuality);
        },
        durability);
    m_lastErrno = outcome.error;
    if (outcome.status != GdiStatus::Ok)
        Raise(outcome.status);
    return QFileInfo::exists(fileName) && outcome.status == GdiStatus::Ok;
}

QImage GdiPlus::FilenameToIPicture(const QString &fileName) {
    m_lastStatus = GdiStatus::Ok;
    m_lastErrno = 0;
    QImageReader reader(fileName);
    // Qt reads ".dib" as a bitmap without its file header; ours have one.
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(kLoadLimitMiB);
    QImage image = reader.read();
    if (image.isNull()) {
        Raise(StatusFromReader(reader.error()));
        return {};
    }
    if (!image.hasAlphaChannel())
        return image;
    // Premultiplied colours are the picture composited on black; dropping
    // the alpha channel keeps exactly that.
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace quillcap
