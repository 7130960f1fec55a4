#pragma once

namespace quillcap {

// Where the start-up splash stands while it slides in from beyond the right
// edge of the screen, rests, and slides out again. Positions are twips; each
// stage moves on at the ticks of its own timer.
class SplashSlide {
public:
    enum class Stage { SlidingIn, Resting, SlidingOut, Done };
    static constexpr int kInStep = 400;
    static constexpr int kOutStep = 200;
    static constexpr int kSlideIntervalMs = 100;
    static constexpr int kRestIntervalMs = 1500;

    // Starts just beyond the right edge.
    SplashSlide(int screenWidth, int width) : m_screenWidth(screenWidth), m_width(width) {}

    // One tick of the current stage; returns the stage after it.
    Stage Tick();
    int Left() const { return m_left; }
    Stage CurrentStage() const { return m_stage; }
    // Milliseconds until the next tick; 0 once done.
    int IntervalMs() const;

private:
    int m_screenWidth;
    int m_width;
    int m_left = m_screenWidth;
    Stage m_stage = Stage::SlidingIn;
};

} // namespace quillcap
