#include "output/stopboxstates.h"

namespace quillcap {

StopBoxStates::Step StopBoxStates::Click(bool countdown) {
    Step step;
    switch (m_state) {
    case State::Counting: // clicks wait for the countdown
    case State::Closed:
        return step;
    case State::Running:
        step.pink = true;
        step.stopSequence = true;
        m_state = State::Closed;
        return step;
    case State::Ready:
        break;
    }
    step.pink = true;
    step.shrink = true;
    if (!countdown)
        return Start();
    m_countdown = kCountdownSeconds;
    m_state = State::Counting;
    step.caption = QString::number(m_countdown);
    step.startCountdown = true;
    return step;
}

StopBoxStates::Step StopBoxStates::Tick() {
    if (m_state != State::Counting)
        return {};
    --m_countdown;
    Step step;
    step.caption = QString::number(m_countdown);
    if (m_countdown < 1) {
        const Step start = Start();
        step.caption = start.caption;
        step.startSequence = true;
        step.stopCountdown = true;
    }
    return step;
}

StopBoxStates::Step StopBoxStates::Start() {
    m_started = true;
    m_state = State::Running;
    Step step;
    step.pink = true;
    step.shrink = true;
    step.caption = QStringLiteral("Stop");
    step.startSequence = true;
    return step;
}

StopBoxStates::Step StopBoxStates::Unload() {
    Step step;
    step.stopCountdown = true;
    if (!m_started && m_state != State::Closed)
        step.abortCapture = true;
    else if (m_state == State::Running)
        step.stopSequence = true; // closed from outside: the frames are kept
    m_state = State::Closed;
    return step;
}

} // namespace quillcap
