#pragma once

#include <QHash>
#include <QString>
#include <span>

namespace quillcap {

enum class ImageFormat { Bmp, Jpeg, Gif, Tiff, Png };

struct EncoderInfo {
    ImageFormat format;
    const char *name;
    // Patterns as GDI+ declared them, ";"-separated; they decide which file
    // names an encoder writes.
    const char *patterns;
};

// The encoders in GDI+'s order, with its file patterns.
std::span<const EncoderInfo> Encoders();

// The text after the last "." of a file name, as typed; empty when there is
// no dot or a folder separator follows it ("C:\my.folder\shot").
QString FileExtension(const QString &fileName);

// Maps "*.<extension>" keys to encoders, ignoring letter case.
class EncoderRegistry {
public:
    EncoderRegistry();

    // Index into Encoders(), or -1 when no encoder declares the extension.
    int Lookup(const QString &extension) const;
    const EncoderInfo *ForFileName(const QString &fileName) const;

private:
    QHash<QString, int> m_byKey; // keys upper case
};

} // namespace quillcap
