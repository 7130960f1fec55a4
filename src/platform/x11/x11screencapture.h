#pragma once

#include "platform/platform.h"
#include "platform/x11/xcbutil.h"

#include <memory>

namespace quillcap::x11 {

class ShmSegment;

// Reads the screen through the X server: one request for the whole area,
// through MIT-SHM when the server offers it and can reach our memory.
class X11ScreenCapture final : public ScreenCapture {
public:
    X11ScreenCapture();
    ~X11ScreenCapture() override;
    X11ScreenCapture(const X11ScreenCapture &) = delete;
    X11ScreenCapture &operator=(const X11ScreenCapture &) = delete;

    QImage GrabDesktop(const QRect &area) override;
    CursorImage GrabCursor() override;
    std::optional<ActiveWindowFrame> ActiveWindow() override;

    // Whether the last GrabDesktop read pixels through shared memory.
    bool LastGrabUsedSharedMemory() const { return m_lastUsedShm; }
    // Off: the plain request only, to compare the two.
    void SetSharedMemoryAllowed(bool allowed);

private:
    // Copies the root's `source` into `into` at `at`; false when neither
    // way worked.
    bool Fetch(xcb_connection_t *c, const QRect &source, QImage &into, QPoint at);
    bool FetchShared(xcb_connection_t *c, const QRect &source, QImage &into, QPoint at);
    void DropSegment();
    // A picture of `size` to grab into: the last one when nobody holds it any
    // more. Fresh memory costs a page fault per 4 KiB on first touch, which
    // at 4K is more than the whole grab; memory already touched costs none.
    QImage &ReusablePicture(QSize size);

    XcbConnection m_connection;
    std::unique_ptr<ShmSegment> m_shm;
    bool m_shmAllowed = true;
    bool m_shmFailed = false;
    bool m_lastUsedShm = false;
    QImage m_lastPicture;
};

} // namespace quillcap::x11
