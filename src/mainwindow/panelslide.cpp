#include "mainwindow/panelslide.h"

namespace quillcap {

namespace {

// A third, to the nearest whole twip. Thirds never fall on a half, so the
// even-neighbour rule for halves never comes into play.
int third(int distance) {
    return (distance + 1) / 3;
}

constexpr int kClosedBelow = 130; // a closing panel this narrow is gone
constexpr int kOpenWithin = 4;    // an opening panel this close to full is open
constexpr int kStartWidth = 2;

} // namespace

void PanelSlide::OpenCloseBox() {
    if (m_open) {
        m_width = m_fullWidth;
    } else {
        m_width = kStartWidth;
        // The content's right edge starts at the panel's: its right part shows
        // first.
        m_pictureLeft = m_contentLeft - m_fullWidth + 120;
    }
    m_running = true;
}

bool PanelSlide::Tick() {
    if (!m_running)
        return true;
    const int step = m_open ? -third(m_width) : third(m_fullWidth - m_width);
    m_width += step;
    m_pictureLeft += step;
    const bool ended = m_open ? m_width < kClosedBelow : m_fullWidth - m_width < kOpenWithin;
    if (ended) {
        m_open = !m_open;
        m_running = false;
    }
    return ended;
}

} // namespace quillcap
