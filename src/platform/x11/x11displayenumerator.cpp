#include "platform/x11/x11displayenumerator.h"

#include "platform/x11/virtualscreen.h"

#include <algorithm>
#include <optional>

namespace quillcap::x11 {

namespace {

// A desktop reports the size of a pixel in memory: depth 24 is "32-bit".
int BitsPerPixel(xcb_connection_t *c) {
    const uint8_t depth = FirstScreen(c)->root_depth;
    const xcb_setup_t *setup = xcb_get_setup(c);
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == depth)
            return it.data->bits_per_pixel;
    }
    return depth;
}

// The first desktop's work area, root coordinates (EWMH: one rectangle
// spanning all monitors).
std::optional<QRect> WorkArea(xcb_connection_t *c, xcb_get_property_cookie_t cookie) {
    const auto reply = TakeReply(xcb_get_property_reply, c, cookie);
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) < 16)
        return std::nullopt;
    const auto *v = static_cast<const uint32_t *>(xcb_get_property_value(reply.get()));
    return QRect(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                 static_cast<int>(v[3]));
}

} // namespace

std::vector<DisplayDevice> X11DisplayEnumerator::EnumerateDisplays() {
    xcb_connection_t *c = m_connection.Get();
    if (!c)
        return {};
    const auto workCookie = xcb_get_property(c, 0, FirstScreen(c)->root, Atoms::For(c).netWorkarea,
                                             XCB_ATOM_CARDINAL, 0, 4);
    const VirtualScreen screen = VirtualScreen::Read(c, VirtualScreen::Detail::Full);
    const std::optional<QRect> workArea = WorkArea(c, workCookie);
    const int bitsPerPixel = BitsPerPixel(c);

    std::vector<DisplayDevice> devices;
    const std::vector<Output> &outputs = screen.Outputs();
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const Output &output = outputs[i];
        DisplayDevice device;
        device.deviceName = output.name;
        device.adapterDescription = screen.ProviderName();
        device.monitorDescription = !output.monitorName.isEmpty() ? output.monitorName
                                    : screen.HasRandr()           ? output.name
                                                        : QStringLiteral("Default Monitor");
        device.attached = output.attached;
        device.primary = static_cast<int>(i) == screen.PrimaryIndex();
        device.mirroring = output.attached &&
                           std::any_of(outputs.begin(), outputs.begin() + i, [&](const Output &o) {
                               return o.attached && o.rootRect == output.rootRect;
                           });
        device.bitsPerPixel = bitsPerPixel;
        device.refreshHz = output.refreshHz;
        device.monitorHandle = output.handle;
        if (output.attached) {
            device.rect = screen.ToVirtual(output.rootRect);
            const QRect usable = workArea ? (*workArea & output.rootRect) : QRect();
            device.workArea = screen.ToVirtual(usable.isEmpty() ? output.rootRect : usable);
        }
        devices.push_back(device);
    }
    return devices;
}

} // namespace quillcap::x11
