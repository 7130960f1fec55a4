#include "output/movierecorder.h"

#include "output/framesinks.h"

#include <chrono>
#include <climits>

namespace quillcap {

MovieRecorder::MovieRecorder(std::unique_ptr<FrameSink> sink, GrabFrame grab,
                             const MovieOptions &options, Clock clock)
    : m_sink(std::move(sink)), m_grab(std::move(grab)), m_options(options),
      m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = [] {
            return std::chrono::duration_cast<std::chrono::nanoseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                .count();
        };
    }
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &MovieRecorder::OnTick);
}

MovieRecorder::~MovieRecorder() {
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    if (m_writer.joinable())
        m_writer.join();
}

void MovieRecorder::Start() {
    // The first frame one interval on, as a timer would: the control window
    // has shrunk by then.
    m_schedule.emplace(m_clock() + qint64(m_options.intervalSeconds * 1e9),
                       m_options.intervalSeconds);
    m_writer = std::thread([this] { WriterLoop(); });
    ArmTimer();
}

void MovieRecorder::OnTick() {
    if (m_stopping)
        return;
    const MovieSchedule::Due due = m_schedule->TakeDue(m_clock());
    m_missed += due.missed;
    bool room = false;
    {
        const std::lock_guard lock(m_mutex);
        if (m_failed)
            return; // the writer's report stops the sequence
        room = m_queue.size() < std::size_t(kQueueFrames);
    }
    if (!room) {
        ++m_missed;
    } else {
        QImage frame = m_grab();
        {
            const std::lock_guard lock(m_mutex);
            m_queue.push_back({std::move(frame), due.tick});
        }
        m_wake.notify_one();
        const qint64 limit = std::min(m_options.maxImages, kFrameLimit);
        if (++m_taken >= limit) {
            Stop(m_options.maxImages <= kFrameLimit ? End::MaxImages : End::FrameLimit);
            return;
        }
    }
    ArmTimer();
}

void MovieRecorder::ArmTimer() {
    const qint64 waitNs = m_schedule->WaitNs(m_clock());
    const qint64 waitMs = (waitNs + 999'999) / 1'000'000;
    m_timer.start(int(std::min<qint64>(waitMs, INT_MAX)));
}

void MovieRecorder::Stop(End end) {
    if (m_stopping)
        return;
    m_stopping = true;
    m_end = end;
    m_timer.stop();
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_all();
    if (!m_writer.joinable())
        QMetaObject::invokeMethod(this, &MovieRecorder::WriterDone, Qt::QueuedConnection);
}

void MovieRecorder::StopAndWait() {
    Stop();
    WriterDone();
}

void MovieRecorder::WriterLoop() {
    for (;;) {
        Frame frame;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_queue.empty() || m_closing; });
            if (m_queue.empty())
                break;
            frame = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (!m_sink->Write(frame.image, frame.tick)) {
            {
                const std::lock_guard lock(m_mutex);
                m_failed = true;
                m_queue.clear();
            }
            QMetaObject::invokeMethod(
                this, [this] { Stop(); }, Qt::QueuedConnection);
            break;
        }
        ++m_written;
        if (const qint32 number = m_sink->lastNumber())
            QMetaObject::invokeMethod(
                this, [this, number] { emit frameWritten(number); }, Qt::QueuedConnection);
    }
    m_sink->Finish();
    QMetaObject::invokeMethod(this, &MovieRecorder::WriterDone, Qt::QueuedConnection);
}

void MovieRecorder::WriterDone() {
    if (m_done)
        return;
    if (m_writer.joinable())
        m_writer.join();
    m_done = true;
    Outcome outcome;
    outcome.end = m_end;
    if (m_failed)
        outcome.end = m_sink->numbersExhausted() ? End::NumberLimit : End::SaveFailed;
    outcome.framesWritten = m_written;
    outcome.ticksMissed = m_missed;
    outcome.namesSkipped = m_sink->namesSkipped();
    outcome.lastName = m_sink->lastName();
    outcome.failedName = m_sink->failedName();
    outcome.reason = m_sink->reason();
    emit finished(outcome);
}

} // namespace quillcap
