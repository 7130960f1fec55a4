#include "output/soundplayer.h"

#include <QFile>
#include <QtEndian>

namespace quillcap {

std::optional<qint64> WavDurationMs(QIODevice &device) {
    const QByteArray riff = device.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return std::nullopt;
    quint32 byteRate = 0;
    // Chunks may come in any order; each is padded to an even length. Only
    // the first few are looked at, and only the 16 bytes of "fmt " we need
    // are read, whatever sizes the file claims.
    constexpr int kMaxChunks = 64;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        const QByteArray header = device.read(8);
        if (header.size() != 8)
            return std::nullopt;
        const QByteArray id = header.left(4);
        const quint32 size = qFromLittleEndian<quint32>(header.constData() + 4);
        if (id == "fmt ") {
            const QByteArray fmt = device.read(16);
            if (size < 16 || fmt.size() < 16)
                return std::nullopt;
            byteRate = qFromLittleEndian<quint32>(fmt.constData() + 8);
            const qint64 rest = qint64(size) - 16 + size % 2;
            if (device.skip(rest) != rest)
                return std::nullopt;
        } else if (id == "data") {
            if (byteRate == 0)
                return std::nullopt;
            // Rounded up: the result bounds a wait for the end of the sound.
            return (qint64(size) * 1000 + byteRate - 1) / byteRate;
        } else {
            const qint64 skip = qint64(size) + size % 2;
            if (device.skip(skip) != skip)
                return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<qint64> WavDurationMs(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return WavDurationMs(file);
}

} // namespace quillcap
