#pragma once

namespace quillcap {

// The drawer motion of a help panel, in twips. The panel's left edge stays
// put; its width grows or shrinks by a third of the remaining distance per
// tick, and the content picture moves with the right edge.
class PanelSlide {
public:
    // A freshly loaded panel: closed, at its designed width.
    PanelSlide(int fullWidth, int contentLeft)
        : m_fullWidth(fullWidth), m_contentLeft(contentLeft), m_width(fullWidth),
          m_pictureLeft(contentLeft) {}

    // Starts a slide the way the open flag points: a panel that is open (or
    // closing) closes from its full width, any other opens from 2 twips.
    void OpenCloseBox();
    // One timer step; true when the slide has ended.
    bool Tick();

    bool open() const { return m_open; }
    bool running() const { return m_running; }
    int width() const { return m_width; }
    int pictureLeft() const { return m_pictureLeft; }

    static constexpr int kTickMs = 100;

private:
    int m_fullWidth;
    int m_contentLeft;
    int m_width;
    int m_pictureLeft;
    bool m_open = false;
    bool m_running = false;
};

} // namespace quillcap
