#pragma once

#include <QtGlobal>
#include <algorithm>

namespace quillcap {

// When the frames of a sequence are due: tick n at start + n x interval, so a
// late tick does not push the later ones back. Times in nanoseconds of any
// steady clock.
class MovieSchedule {
public:
    MovieSchedule(qint64 startNs, double intervalSeconds)
        : m_start(startNs), m_interval(std::max<qint64>(1, qint64(intervalSeconds * 1e9 + 0.5))) {}

    struct Due {
        qint64 tick = 0;   // the tick to take now
        qint64 missed = 0; // ticks that passed untaken since the last one
    };

    // Called when the timer fires at `nowNs`: the latest tick due (never one
    // already taken), and how many were passed over.
    Due TakeDue(qint64 nowNs) {
        const qint64 latest = std::max<qint64>(0, (nowNs - m_start) / m_interval);
        Due due;
        due.tick = std::max(latest, m_next);
        due.missed = due.tick - m_next;
        m_next = due.tick + 1;
        return due;
    }

    // Nanoseconds from `nowNs` until the next tick is due; 0 when it is.
    qint64 WaitNs(qint64 nowNs) const {
        return std::max<qint64>(0, m_start + m_next * m_interval - nowNs);
    }

private:
    qint64 m_start;
    qint64 m_interval;
    qint64 m_next = 0;
};

} // namespace quillcap
