#pragma once

#include "output/movieoptions.h"
#include "output/movieschedule.h"

#include <QImage>
#include <QObject>
#include <QTimer>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace quillcap {

class FrameSink;

// Records a sequence: grabs the area on each tick, in order, on the thread
// it lives on, and hands the frames to a writer thread through a short
// queue. When the queue is full a tick is missed and counted, so a slow disk
// never costs unbounded memory, and the numbers stay in order without holes.
class MovieRecorder : public QObject {
    Q_OBJECT
public:
    enum class End {
        Stopped,     // the user stopped it, or the window closed
        MaxImages,   // as many frames as the field asked for
        FrameLimit,  // kFrameLimit frames, fewer than the field asked for
        NumberLimit, // the five-digit numbers ran out
        SaveFailed,  // a frame could not be written
    };
    struct Outcome {
        End end = End::Stopped;
        qint64 framesWritten = 0;
        qint64 ticksMissed = 0;
        int namesSkipped = 0;
        QString lastName;   // full name of the last file written
        QString failedName; // full name of the frame that failed
        QString reason;
    };
    using GrabFrame = std::function<QImage()>;
    using Clock = std::function<qint64()>; // steady nanoseconds

    static constexpr int kQueueFrames = 4;

    MovieRecorder(std::unique_ptr<FrameSink> sink, GrabFrame grab, const MovieOptions &options,
                  Clock clock = {});
    ~MovieRecorder() override;

    // Takes the frames on schedule from one interval on.
    void Start();
    // No further ticks; what is queued is written, then finished() follows.
    void Stop(End end = End::Stopped);
    // Stop and wait for the writer: for the program's end.
    void StopAndWait();

signals:
    // A frame file was written under this number (not for a video).
    void frameWritten(qint32 number);
    void finished(const quillcap::MovieRecorder::Outcome &outcome);

private:
    struct Frame {
        QImage image;
        qint64 tick;
    };
    void OnTick();
    void ArmTimer();
    void WriterLoop();
    // On this object's thread once the writer has stopped.
    void WriterDone();

    std::unique_ptr<FrameSink> m_sink;
    GrabFrame m_grab;
    MovieOptions m_options;
    Clock m_clock;
    QTimer m_timer;
    std::optional<MovieSchedule> m_schedule;
    qint64 m_taken = 0;
    qint64 m_missed = 0;
    bool m_stopping = false;
    bool m_done = false;
    End m_end = End::Stopped;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Frame> m_queue; // guarded by m_mutex
    bool m_closing = false;    // guarded by m_mutex
    bool m_failed = false;     // guarded by m_mutex
    qint64 m_written = 0;      // the writer's; read once it has joined
    std::thread m_writer;
};

} // namespace quillcap
