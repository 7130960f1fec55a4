#include "output/qtsoundplayer.h"

#include "app/debuglog.h"

#include <QAudioDevice>
#include <QEventLoop>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace quillcap {

QtSoundPlayer::QtSoundPlayer(DebugLog &log)
    : hasAudioOutput([] { return !QMediaDevices::audioOutputs().isEmpty(); }), m_log(log) {}

bool QtSoundPlayer::PlaySoundFile(const QString &path) {
    if (!QFileInfo::exists(path)) {
        m_log.WriteLog(QStringLiteral("SOUND ERROR - can't find ") + path);
        return false;
    }
    if (!hasAudioOutput()) {
        // Once per run: a machine without sound is not worth a line per capture.
        if (!m_toldNoOutput)
            m_log.WriteLog(QStringLiteral("SOUND - no audio output, sounds are not played"));
        m_toldNoOutput = true;
        return false;
    }

    // The watchdog covers loading as well as playing.
    QEventLoop loop;
    // A quit before exec() would be lost, so the end is also kept as a flag.
    bool done = false;
    auto finish = [&] {
        done = true;
        loop.quit();
    };
    QTimer watchdog;
    watchdog.setSingleShot(true);
    // An unreadable header still gets the margin; a huge file a sane cap.
    const qint64 lengthMs = qBound<qint64>(0, WavDurationMs(path).value_or(0), kLongestWaitMs);
    watchdog.setInterval(int(lengthMs) + kWatchdogMarginMs);
    QObject::connect(&watchdog, &QTimer::timeout, &loop, finish);
    watchdog.start();

    QSoundEffect effect;
    bool started = false;
    auto startWhenLoaded = [&] {
        if (effect.status() == QSoundEffect::Ready && !started) {
            started = true;
            effect.play();
        } else if (effect.status() == QSoundEffect::Error) {
            finish();
        }
    };
    QObject::connect(&effect, &QSoundEffect::statusChanged, &loop, startWhenLoaded);
    QObject::connect(&effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (started && !effect.isPlaying())
            finish();
    });
    effect.setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    startWhenLoaded();
    // User input waits, as it would for a blocking call: a key press must not
    // start a second capture while the first one's sound plays.
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    effect.stop();
    return started;
}

} // namespace quillcap
