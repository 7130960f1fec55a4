#pragma once

#include "output/soundplayer.h"

#include <functional>

namespace quillcap {

class DebugLog;

// Plays WAV files through Qt Multimedia. Without an audio output nothing is
// played and the call returns at once; with one, a watchdog of the sound's
// length + 1 s ends the wait, since a sound server that vanishes never
// reports the end of a sound.
class QtSoundPlayer final : public SoundPlayer {
public:
    static constexpr int kWatchdogMarginMs = 1000;
    static constexpr qint64 kLongestWaitMs = 10 * 60 * 1000;

    explicit QtSoundPlayer(DebugLog &log);

    bool PlaySoundFile(const QString &path) override;

    // Whether an audio output exists; tests replace it to reach the watchdog.
    std::function<bool()> hasAudioOutput;

private:
    DebugLog &m_log;
    bool m_toldNoOutput = false;
};

} // namespace quillcap
