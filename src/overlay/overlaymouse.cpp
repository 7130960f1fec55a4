#include "overlay/overlaymouse.h"

namespace quillcap {

Surface OverlayMouse::surfaceFor(QPoint cursor) const {
    if (m_grab)
        return *m_grab;
    return m_box.shown().contains(cursor) ? Surface::Inside : Surface::Outside;
}

void OverlayMouse::press(QPoint cursor) {
    const Surface surface = surfaceFor(cursor);
    m_grab = surface;
    m_press = cursor;
    if (surface == Surface::Outside) {
        m_drag = Drag::Drawing;
        return;
    }
    if (!m_edges.any()) {
        m_drag = Drag::Moving;
        return;
    }
    m_drag = Drag::Resizing;
    const CaptureRegion &cap = m_box.cap();
    if (m_edges.y == EdgeY::Bottom)
        m_anchor.setY(cap.y);
    else if (m_edges.y == EdgeY::Top)
        m_anchor.setY(cap.y + cap.h);
    if (m_edges.x == EdgeX::Right)
        m_anchor.setX(cap.x);
    else if (m_edges.x == EdgeX::Left)
        m_anchor.setX(cap.x + cap.w);
}

PointerShape OverlayMouse::move(QPoint cursor) {
    const bool inside = surfaceFor(cursor) == Surface::Inside;
    m_pointer = inside ? PointerShape::Move : PointerShape::Arrow;
    switch (m_drag) {
    case Drag::Moving:
        if (inside) {
            const CaptureRegion &cap = m_box.cap();
            const QPoint moved = cursor - m_press;
            m_box.DrawCapBox(cap.x + moved.x(), cap.y + moved.y(), cap.w, cap.h);
        }
        break;
    case Drag::Drawing:
        m_box.ReDrawingbox(cursor, m_press);
        break;
    case Drag::Resizing:
        m_box.ReSizingbox(cursor, m_edges, m_anchor);
        break;
    case Drag::None:
        break;
    }
    if (inside) {
        const BoxEdges found = edgeTest(cursor);
        // A resize keeps dragging the edges grabbed at its press.
        if (m_drag != Drag::Resizing)
            m_edges = found;
    }
    return m_pointer;
}

BoxEdges OverlayMouse::edgeTest(QPoint cursor) {
    const QRect box = m_box.shown();
    const qint32 dx = cursor.x() - box.x();
    const qint32 dy = cursor.y() - box.y();
    BoxEdges found;
    if (dy < EdgeMargin)
        found.y = EdgeY::Top;
    else if (dy > box.height() - EdgeMargin)
        found.y = EdgeY::Bottom;
    if (dx < EdgeMargin)
        found.x = EdgeX::Left;
    else if (dx > box.width() - EdgeMargin)
        found.x = EdgeX::Right;

    if (found.y != EdgeY::None && found.x != EdgeX::None)
        m_pointer = (found.y == EdgeY::Top) == (found.x == EdgeX::Left)
                        ? PointerShape::NorthwestSoutheast
                        : PointerShape::NortheastSouthwest;
    else if (found.y != EdgeY::None)
        m_pointer = PointerShape::NorthSouth;
    else if (found.x != EdgeX::None)
        m_pointer = PointerShape::WestEast;
    return found;
}

// Either surface ends every drag the same way.
void OverlayMouse::release(Qt::MouseButtons stillDown) {
    m_drag = Drag::None;
    m_box.SetNewCaptureSize();
    if (stillDown == Qt::NoButton)
        m_grab.reset();
}

} // namespace quillcap
