#pragma once

#include "output/soundplayer.h"

#include <QStringList>
#include <functional>

namespace quillcap {

// Plays nothing; records each path in order and answers with `result`.
// `onPlay` runs at the moment of the call, so a test can look at what had
// (or had not yet) been written when the sound was played.
class RecordingSoundPlayer final : public SoundPlayer {
public:
    QStringList played;
    bool result = true;
    std::function<void(const QString &)> onPlay;

    bool PlaySoundFile(const QString &path) override {
        played << path;
        if (onPlay)
            onPlay(path);
        return result;
    }
};

} // namespace quillcap
