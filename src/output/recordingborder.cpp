#include "output/recordingborder.h"

namespace quillcap {

RecordingBorder::RecordingBorder() {
    for (QWidget *&side : m_sides) {
        side =
            new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                     Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput |
                                     Qt::X11BypassWindowManagerHint);
        side->setObjectName(QStringLiteral("recordingBorder"));
        side->setAttribute(Qt::WA_ShowWithoutActivating);
        QPalette palette = side->palette();
        palette.setColor(QPalette::Window, kColour);
        side->setPalette(palette);
        side->setAutoFillBackground(true);
    }
}

RecordingBorder::~RecordingBorder() {
    for (QWidget *side : m_sides)
        delete side;
}

void RecordingBorder::Show(const QRect &area) {
    const int t = kThickness;
    const QRect outer = area.adjusted(-t, -t, t, t);
    const std::array<QRect, 4> rects{
        QRect(outer.left(), outer.top(), outer.width(), t),
        QRect(outer.left(), area.bottom() + 1, outer.width(), t),
        QRect(outer.left(), area.top(), t, area.height()),
        QRect(area.right() + 1, area.top(), t, area.height()),
    };
    for (std::size_t i = 0; i < m_sides.size(); ++i) {
        m_sides[i]->setGeometry(rects[i]);
        m_sides[i]->show();
    }
}

void RecordingBorder::Hide() {
    for (QWidget *side : m_sides)
        side->hide();
}

} // namespace quillcap
