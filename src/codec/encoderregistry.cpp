#include "codec/encoderregistry.h"

#include <QStringList>

namespace quillcap {

namespace {

constexpr EncoderInfo kEncoders[] = {
    {ImageFormat::Bmp, "BMP", "*.BMP;*.DIB;*.RLE"},
    {ImageFormat::Jpeg, "JPEG", "*.JPG;*.JPEG;*.JPE;*.JFIF"},
    {ImageFormat::Gif, "GIF", "*.GIF"},
    {ImageFormat::Tiff, "TIFF", "*.TIF;*.TIFF"},
    {ImageFormat::Png, "PNG", "*.PNG"},
};

} // namespace

std::span<const EncoderInfo> Encoders() {
    return kEncoders;
}

QString FileExtension(const QString &fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot < 0)
        return {};
    const QStringView after = QStringView(fileName).mid(dot + 1);
    if (after.contains(u'\\') || after.contains(u'/'))
        return {};
    return after.toString();
}

EncoderRegistry::EncoderRegistry() {
    // Built from the last encoder to the first, as the pattern lists were
    // read, so that should two encoders share a pattern the earlier one wins.
    for (int n = int(std::size(kEncoders)) - 1; n >= 0; --n) {
        const QStringList pieces = QString::fromLatin1(kEncoders[n].patterns).split(u';');
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            const bool last = i == pieces.size() - 1;
            const QString key = last ? pieces[i].trimmed() : pieces[i];
            if (last && key.isEmpty())
                continue;
            m_byKey.insert(key.toUpper(), n);
        }
    }
}

int EncoderRegistry::Lookup(const QString &extension) const {
    return m_byKey.value(QStringLiteral("*.") + extension.toUpper(), -1);
}

const EncoderInfo *EncoderRegistry::ForFileName(const QString &fileName) const {
    const int index = Lookup(FileExtension(fileName));
    return index < 0 ? nullptr : &kEncoders[index];
}

} // namespace quillcap
