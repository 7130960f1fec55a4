#pragma once

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QString>

#include <xcb/xcb.h>

#include <vector>

namespace quillcap::x11 {

// A RandR output that is connected or lights a CRTC.
struct Output {
    QString name;          // "DP-1"
    QString monitorName;   // from the EDID; empty when there is none
    bool attached = false; // drives a CRTC, so it is part of the desktop
    QRect rootRect;        // X root coordinates; empty when not attached
    int refreshHz = 0;     // of the CRTC's mode; 0 when unknown
    quint32 handle = 0;    // the CRTC id
};

// The monitors where X places them, and the one conversion between X root
// coordinates and virtual-screen coordinates: the primary monitor's top-left
// corner is (0, 0), so monitors left of or above it are negative. X root
// coordinates themselves are never negative.
class VirtualScreen {
public:
    // Geometry is what a grab needs; Full also reads EDIDs and the provider.
    enum class Detail { Geometry, Full };

    // Without RandR the root window is the only monitor.
    static VirtualScreen Read(xcb_connection_t *c, Detail detail);

    bool HasRandr() const { return m_hasRandr; }
    // Server order.
    const std::vector<Output> &Outputs() const { return m_outputs; }
    // Index into Outputs(): RandR's primary output when it is attached, else
    // the first attached one; -1 when nothing is attached.
    int PrimaryIndex() const { return m_primary; }
    QString ProviderName() const { return m_provider; }
    QRect RootBounds() const { return QRect(QPoint(0, 0), m_rootSize); }
    // Root pixels some attached monitor shows.
    QRegion ShownRoot() const;
    // Bounding box of the attached monitors, virtual-screen coordinates.
    QRect DesktopBounds() const;

    QPoint ToVirtual(QPoint root) const { return root - m_origin; }
    QRect ToVirtual(const QRect &root) const { return root.translated(-m_origin); }
    QRect ToRoot(const QRect &area) const { return area.translated(m_origin); }

private:
    bool m_hasRandr = false;
    std::vector<Output> m_outputs;
    int m_primary = -1;
    QString m_provider;
    QSize m_rootSize;
    QPoint m_origin;
};

// The monitor name of an EDID block (display descriptor 0xFC), or empty.
QString EdidMonitorName(const QByteArray &edid);

} // namespace quillcap::x11
