#pragma once

#include <QString>
#include <optional>

class QIODevice;

namespace quillcap {

// Plays the capture and error sounds. Synchronous, so a capture's sound is
// heard before its file is written.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Returns when the sound has ended (or could not be played); true when it
    // was handed to an audio output.
    virtual bool PlaySoundFile(const QString &path) = 0;
};

// The playing time of a PCM WAV file, from its "fmt " and "data" chunks;
// nothing when the header is not one we understand.
std::optional<qint64> WavDurationMs(QIODevice &device);
std::optional<qint64> WavDurationMs(const QString &path);

} // namespace quillcap
