#include "app/splashslide.h"

namespace quillcap {

SplashSlide::Stage SplashSlide::Tick() {
    switch (m_stage) {
    case Stage::SlidingIn:
        m_left -= kInStep;
        // Rests as soon as the right edge is inside the screen.
        if (m_screenWidth - m_width > m_left)
            m_stage = Stage::Resting;
        break;
    case Stage::Resting:
        m_stage = Stage::SlidingOut;
        break;
    case Stage::SlidingOut:
        m_left += kOutStep;
        if (m_left > m_screenWidth)
            m_stage = Stage::Done;
        break;
    case Stage::Done:
        break;
    }
    return m_stage;
}

int SplashSlide::IntervalMs() const {
    switch (m_stage) {
    case Stage::Resting:
        return kRestIntervalMs;
    case Stage::Done:
        return 0;
    default:
        return kSlideIntervalMs;
    }
}

} // namespace quillcap
