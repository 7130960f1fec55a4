#include "platform/x11/x11screencapture.h"

#include "platform/x11/activewindow.h"
#include "platform/x11/virtualscreen.h"

#include <xcb/shm.h>
#include <xcb/xfixes.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <optional>

namespace quillcap::x11 {

// A System V shared memory segment the X server has attached as well.
class ShmSegment {
public:
    static std::unique_ptr<ShmSegment> Create(xcb_connection_t *c, std::size_t size) {
        const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
        if (id < 0)
            return nullptr;
        void *address = shmat(id, nullptr, 0);
        if (address == reinterpret_cast<void *>(-1)) {
            shmctl(id, IPC_RMID, nullptr);
            return nullptr;
        }
        const xcb_shm_seg_t seg = xcb_generate_id(c);
        xcb_generic_error_t *error = xcb_request_check(c, xcb_shm_attach_checked(c, seg, id, 0));
        // Marked for removal now, the segment vanishes with its last user,
        // even when this process dies without cleaning up.
        shmctl(id, IPC_RMID, nullptr);
        if (error) { // a server on another host cannot see our memory
            std::free(error);
            shmdt(address);
            return nullptr;
        }
        return std::unique_ptr<ShmSegment>(new ShmSegment(c, seg, address, size));
    }

    ~ShmSegment() {
        if (m_serverAttached)
            xcb_shm_detach(m_c, m_seg);
        shmdt(m_address);
    }

    ShmSegment(const ShmSegment &) = delete;
    ShmSegment &operator=(const ShmSegment &) = delete;

    xcb_connection_t *Connection() const { return m_c; }
    xcb_shm_seg_t Id() const { return m_seg; }
    const uchar *Data() const { return static_cast<const uchar *>(m_address); }
    std::size_t Size() const { return m_size; }
    // The connection is gone and the server with it has let go.
    void Abandon() { m_serverAttached = false; }

private:
    ShmSegment(xcb_connection_t *c, xcb_shm_seg_t seg, void *address, std::size_t size)
        : m_c(c), m_seg(seg), m_address(address), m_size(size) {}

    xcb_connection_t *m_c;
    xcb_shm_seg_t m_seg;
    void *m_address;
    std::size_t m_size;
    bool m_serverAttached = true;
};

namespace {

constexpr QRgb kOpaque = 0xff000000;

// Qt formats that read the server's Z pixmap pixels as they are.
struct PixelLayout {
    uint8_t bitsPerPixel;
    uint32_t red, green, blue;
    QImage::Format format;
};
constexpr PixelLayout kLayouts[] = {
    {32, 0xff0000, 0xff00, 0xff, QImage::Format_RGB32},
    {32, 0x3ff00000, 0xffc00, 0x3ff, QImage::Format_RGB30},
    {32, 0x3ff, 0xffc00, 0x3ff00000, QImage::Format_BGR30},
    {24, 0xff0000, 0xff00, 0xff, QImage::Format_BGR888},
    {16, 0xf800, 0x7e0, 0x1f, QImage::Format_RGB16},
    {16, 0x7c00, 0x3e0, 0x1f, QImage::Format_RGB555},
};

// How the server lays out a Z pixmap of `depth` with `visual`.
struct ZPixmap {
    QImage::Format format = QImage::Format_Invalid;
    int bitsPerPixel = 0;
    int scanlinePad = 32;

    int Stride(int width) const {
        return (width * bitsPerPixel + scanlinePad - 1) / scanlinePad * scanlinePad / 8;
    }
};

ZPixmap ZPixmapOf(xcb_connection_t *c, uint8_t depth, xcb_visualid_t visual) {
    ZPixmap z;
    const xcb_setup_t *setup = xcb_get_setup(c);
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == depth) {
            z.bitsPerPixel = it.data->bits_per_pixel;
            z.scanlinePad = it.data->scanline_pad;
        }
    }
    const bool hostOrder = (setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST) ==
                           (std::endian::native == std::endian::little);
    const xcb_visualtype_t *type = nullptr;
    for (auto d = xcb_screen_allowed_depths_iterator(FirstScreen(c)); d.rem && !type;
         xcb_depth_next(&d)) {
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
            if (v.data->visual_id == visual)
                type = v.data;
        }
    }
    for (const PixelLayout &l : kLayouts) {
        if (hostOrder && type && l.bitsPerPixel == z.bitsPerPixel && l.red == type->red_mask &&
            l.green == type->green_mask && l.blue == type->blue_mask)
            z.format = l.format;
    }
    return z;
}

// Puts the pixels into `into` at `at`. RGB32 wants 0xff in the unused byte,
// which X leaves at 0: Qt copies it into images with alpha otherwise.
bool Convert(xcb_connection_t *c, uint8_t depth, xcb_visualid_t visual, const uchar *data,
             std::size_t length, QSize size, QImage &into, QPoint at) {
    const ZPixmap z = ZPixmapOf(c, depth, visual);
    const int stride = z.Stride(size.width());
    if (z.format == QImage::Format_Invalid || length < std::size_t(stride) * size.height())
        return false;
    QImage converted;
    if (z.format != QImage::Format_RGB32) {
        converted = QImage(data, size.width(), size.height(), stride, z.format)
                        .convertToFormat(QImage::Format_RGB32);
        data = converted.constBits();
    }
    const int rowStride = converted.isNull() ? stride : converted.bytesPerLine();
    for (int y = 0; y < size.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(data + std::size_t(y) * rowStride);
        QRgb *to = reinterpret_cast<QRgb *>(into.scanLine(at.y() + y)) + at.x();
        for (int x = 0; x < size.width(); ++x)
            to[x] = from[x] | kOpaque;
    }
    return true;
}

void FillBlack(QImage &image, const QRect &rect) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb *>(image.scanLine(y)) + rect.left(), rect.width(),
                    kOpaque);
}

} // namespace

X11ScreenCapture::X11ScreenCapture() = default;

X11ScreenCapture::~X11ScreenCapture() {
    DropSegment();
}

void X11ScreenCapture::SetSharedMemoryAllowed(bool allowed) {
    m_shmAllowed = allowed;
}

void X11ScreenCapture::DropSegment() {
    if (m_shm && !m_connection.IsAlive(m_shm->Connection()))
        m_shm->Abandon();
    m_shm.reset();
}

QImage X11ScreenCapture::GrabDesktop(const QRect &area) {
    m_lastUsedShm = false;
    // Filled in place: a copy taken now would be shared, and writing to it
    // would copy it again.
    QImage &image = ReusablePicture(area.size());
    if (image.isNull())
        return image;
    xcb_connection_t *c = m_connection.Get();
    if (!c) {
        image.fill(Qt::black);
        return image;
    }
    const VirtualScreen screen = VirtualScreen::Read(c, VirtualScreen::Detail::Geometry);
    const QRect rootArea = screen.ToRoot(area);
    const QRect source = rootArea & screen.RootBounds();
    // X hands out whatever the framebuffer holds where no monitor shows.
    QRegion black = QRegion(rootArea) - screen.ShownRoot();
    if (source.isEmpty() || !Fetch(c, source, image, source.topLeft() - rootArea.topLeft()))
        black = QRegion(rootArea);
    for (const QRect &rect : black)
        FillBlack(image, rect.translated(-rootArea.topLeft()));
    return image;
}

QImage &X11ScreenCapture::ReusablePicture(QSize size) {
    // Only this object holding it: nobody else sees the pixels change.
    if (m_lastPicture.size() != size || !m_lastPicture.isDetached())
        m_lastPicture = QImage(size, QImage::Format_RGB32);
    return m_lastPicture;
}

bool X11ScreenCapture::Fetch(xcb_connection_t *c, const QRect &source, QImage &into, QPoint at) {
    if (m_shmAllowed && !m_shmFailed && HasExtension(c, &xcb_shm_id) &&
        FetchShared(c, source, into, at)) {
        m_lastUsedShm = true;
        return true;
    }
    const xcb_window_t root = FirstScreen(c)->root;
    const auto reply = TakeReply(xcb_get_image_reply, c,
                                 xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, source.x(),
                                               source.y(), source.width(), source.height(), ~0u));
    return reply && Convert(c, reply->depth, reply->visual, xcb_get_image_data(reply.get()),
                            xcb_get_image_data_length(reply.get()), source.size(), into, at);
}

bool X11ScreenCapture::FetchShared(xcb_connection_t *c, const QRect &source, QImage &into,
                                   QPoint at) {
    const xcb_screen_t *screen = FirstScreen(c);
    const std::size_t size =
        std::size_t(ZPixmapOf(c, screen->root_depth, screen->root_visual).Stride(source.width())) *
        source.height();
    if (!m_shm || m_shm->Connection() != c || m_shm->Size() < size) {
        DropSegment();
        m_shm = ShmSegment::Create(c, size);
        // A server that cannot attach our memory (it runs on another host)
        // never will.
        m_shmFailed = !m_shm;
        if (!m_shm)
            return false;
    }
    const auto reply = TakeReply(xcb_shm_get_image_reply, c,
                                 xcb_shm_get_image(c, screen->root, source.x(), source.y(),
                                                   source.width(), source.height(), ~0u,
                                                   XCB_IMAGE_FORMAT_Z_PIXMAP, m_shm->Id(), 0));
    return reply && Convert(c, reply->depth, reply->visual, m_shm->Data(), m_shm->Size(),
                            source.size(), into, at);
}

CursorImage X11ScreenCapture::GrabCursor() {
    CursorImage cursor;
    xcb_connection_t *c = m_connection.Get();
    if (!c || !HasExtension(c, &xcb_xfixes_id))
        return cursor;
    // XFixes wants a version first. The server remembers the last one asked
    // per connection: asking for less than Qt did would take features from it.
    const auto versionCookie =
        xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION);
    const auto imageCookie = xcb_xfixes_get_cursor_image(c);
    const auto version = TakeReply(xcb_xfixes_query_version_reply, c, versionCookie);
    const auto reply = TakeReply(xcb_xfixes_get_cursor_image_reply, c, imageCookie);
    if (!version || !reply)
        return cursor;
    const VirtualScreen screen = VirtualScreen::Read(c, VirtualScreen::Detail::Geometry);
    cursor.position = screen.ToVirtual(QPoint(reply->x, reply->y));
    const int width = reply->width, height = reply->height;
    // An animated cursor once answered 1x1 with serial 0: no usable shape.
    if (width * height <= 1 || reply->cursor_serial == 0 ||
        xcb_xfixes_get_cursor_image_cursor_image_length(reply.get()) < width * height)
        return cursor;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    const uint32_t *pixels = xcb_xfixes_get_cursor_image_cursor_image(reply.get());
    for (int y = 0; y < height; ++y)
        std::copy_n(pixels + y * width, width, reinterpret_cast<uint32_t *>(image.scanLine(y)));
    cursor.image = image;
    cursor.hotSpot = QPoint(reply->xhot, reply->yhot);
    return cursor;
}

std::optional<ActiveWindowFrame> X11ScreenCapture::ActiveWindow() {
    xcb_connection_t *c = m_connection.Get();
    if (!c)
        return std::nullopt;
    std::optional<ActiveWindowFrame> frame = FindActiveWindow(c, Atoms::For(c));
    if (frame) {
        const VirtualScreen screen = VirtualScreen::Read(c, VirtualScreen::Detail::Geometry);
        frame->rect = screen.ToVirtual(frame->rect);
    }
    return frame;
}

} // namespace quillcap::x11
