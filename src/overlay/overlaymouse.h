#pragma once

#include "overlay/capturebox.h"

#include <QPoint>
#include <Qt>
#include <optional>

namespace quillcap {

// The overlay window's pointer shapes.
enum class PointerShape {
    Arrow,
    Move,
    NorthSouth,
    WestEast,
    NorthwestSoutheast,
    NortheastSouthwest
};

constexpr Qt::CursorShape toQtCursor(PointerShape shape) {
    switch (shape) {
    case PointerShape::Move:
        return Qt::SizeAllCursor;
    case PointerShape::NorthSouth:
        return Qt::SizeVerCursor;
    case PointerShape::WestEast:
        return Qt::SizeHorCursor;
    case PointerShape::NorthwestSoutheast:
        return Qt::SizeFDiagCursor;
    case PointerShape::NortheastSouthwest:
        return Qt::SizeBDiagCursor;
    case PointerShape::Arrow:
        break;
    }
    return Qt::ArrowCursor;
}

// Where a press lands: the shaded desktop around the box, or the bright image
// inside it. The surface that got the first press keeps the moves and releases
// until the last button is up.
enum class Surface { Outside, Inside };

// The mouse on the overlay: drawing a new box, moving it, or resizing it by an
// edge or corner, driving the geometry of a CaptureBox. Every button acts
// alike; points are the cursor in overlay (device) pixels.
class OverlayMouse {
public:
    enum class Drag { None, Drawing, Moving, Resizing };
    static constexpr qint32 EdgeMargin = 5;

    explicit OverlayMouse(CaptureBox &box) : m_box(box) {}

    void press(QPoint cursor);
    // A move with or without a button down; returns the pointer to show.
    PointerShape move(QPoint cursor);
    // `stillDown`: the buttons held after this release (QMouseEvent::buttons()).
    void release(Qt::MouseButtons stillDown = Qt::NoButton);

    Drag drag() const { return m_drag; }
    // Where the pointer was at the last move inside the box; frozen during a resize.
    BoxEdges edges() const { return m_edges; }
    QPoint anchor() const { return m_anchor; }
    PointerShape pointer() const { return m_pointer; }

private:
    Surface surfaceFor(QPoint cursor) const;
    BoxEdges edgeTest(QPoint cursor);

    CaptureBox &m_box;
    Drag m_drag = Drag::None;
    std::optional<Surface> m_grab;
    BoxEdges m_edges;
    QPoint m_press;
    QPoint m_anchor;
    PointerShape m_pointer = PointerShape::Arrow;
};

} // namespace quillcap
