#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>
#include <array>

namespace quillcap {

// A thin frame just outside the area being recorded, made of four small
// windows so nothing of it ever lands inside a frame. Clicks pass through.
class RecordingBorder {
public:
    static constexpr int kThickness = 2;
    static constexpr QColor kColour{230, 40, 40};

    RecordingBorder();
    ~RecordingBorder();
    RecordingBorder(const RecordingBorder &) = delete;
    RecordingBorder &operator=(const RecordingBorder &) = delete;

    // `area` in Qt's global coordinates.
    void Show(const QRect &area);
    void Hide();

private:
    std::array<QWidget *, 4> m_sides{};
};

} // namespace quillcap
