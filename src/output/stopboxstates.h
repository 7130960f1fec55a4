#pragma once

#include <QString>

namespace quillcap {

// The movie window's life without the window: ready (Start) -> counting
// (digits, with the countdown) -> running (Stop) -> closed. Each event says
// what the window must do.
class StopBoxStates {
public:
    enum class State { Ready, Counting, Running, Closed };
    static constexpr int kCountdownSeconds = 5;

    struct Step {
        QString caption;             // the button's new caption; empty: unchanged
        bool pink = false;           // the button turns pink
        bool shrink = false;         // the window shrinks to its button
        bool startCountdown = false; // timer5sec starts
        bool stopCountdown = false;  // timer5sec stops
        bool startSequence = false;  // StartMovieCapture
        bool stopSequence = false;   // StopMovieCapture, then the window closes
        bool abortCapture = false;   // AbortCapture: nothing was recorded
    };

    // cmdStop clicked, with the options already accepted.
    Step Click(bool countdown);
    // timer5sec fired.
    Step Tick();
    // The window closes (imgClose, the window manager, the program ending).
    Step Unload();
    // The sequence ended by itself (a limit, a failed save).
    void SequenceEnded() { m_state = State::Closed; }

    State state() const { return m_state; }
    bool started() const { return m_started; }

private:
    Step Start();

    State m_state = State::Ready;
    bool m_started = false;
    int m_countdown = 0;
};

} // namespace quillcap
