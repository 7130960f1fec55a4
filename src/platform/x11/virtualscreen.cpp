#include "platform/x11/virtualscreen.h"

#include "platform/x11/xcbutil.h"

#include <xcb/randr.h>

#include <cmath>
#include <optional>

namespace quillcap::x11 {

namespace {

int RefreshHz(const xcb_randr_mode_info_t &mode) {
    double lines = mode.vtotal;
    if (mode.mode_flags & XCB_RANDR_MODE_FLAG_DOUBLE_SCAN)
        lines *= 2;
    if (mode.mode_flags & XCB_RANDR_MODE_FLAG_INTERLACE)
        lines /= 2;
    if (mode.htotal == 0 || lines == 0)
        return 0; // Xvfb's modes carry no timing
    return static_cast<int>(std::lround(mode.dot_clock / (mode.htotal * lines)));
}

int RefreshOf(const xcb_randr_get_screen_resources_current_reply_t *resources,
              xcb_randr_mode_t id) {
    const xcb_randr_mode_info_t *modes = xcb_randr_get_screen_resources_current_modes(resources);
    for (int i = 0; i < xcb_randr_get_screen_resources_current_modes_length(resources); ++i) {
        if (modes[i].id == id)
            return RefreshHz(modes[i]);
    }
    return 0;
}

QString FirstProviderName(xcb_connection_t *c, xcb_window_t root) {
    const auto providers =
        TakeReply(xcb_randr_get_providers_reply, c, xcb_randr_get_providers(c, root));
    if (!providers || xcb_randr_get_providers_providers_length(providers.get()) == 0)
        return {};
    const xcb_randr_provider_t first = xcb_randr_get_providers_providers(providers.get())[0];
    const auto info = TakeReply(xcb_randr_get_provider_info_reply, c,
                                xcb_randr_get_provider_info(c, first, providers->timestamp));
    if (!info)
        return {};
    return QString::fromUtf8(xcb_randr_get_provider_info_name(info.get()),
                             xcb_randr_get_provider_info_name_length(info.get()));
}

struct RandrOutputs {
    std::vector<Output> outputs;
    int primary = -1;
};

// Connected or lit outputs in server order; requests go out in batches and
// their replies are collected afterwards.
RandrOutputs ReadOutputs(xcb_connection_t *c, xcb_window_t root,
                         const xcb_randr_get_screen_resources_current_reply_t *resources,
                         bool full) {
    RandrOutputs result;
    const auto primaryCookie = xcb_randr_get_output_primary(c, root);
    const xcb_randr_output_t *ids = xcb_randr_get_screen_resources_current_outputs(resources);
    const int count = xcb_randr_get_screen_resources_current_outputs_length(resources);
    std::vector<xcb_randr_get_output_info_cookie_t> infoCookies;
    std::vector<xcb_randr_get_output_property_cookie_t> edidCookies;
    const Atoms &atoms = Atoms::For(c);
    for (int i = 0; i < count; ++i) {
        infoCookies.push_back(xcb_randr_get_output_info(c, ids[i], resources->config_timestamp));
        if (full) {
            constexpr uint32_t kEdidWords = 64; // the base block and one extension
            edidCookies.push_back(xcb_randr_get_output_property(c, ids[i], atoms.edid, XCB_ATOM_ANY,
                                                                0, kEdidWords, 0, 0));
        }
    }
    std::vector<Reply<xcb_randr_get_output_info_reply_t>> infos;
    std::vector<std::optional<xcb_randr_get_crtc_info_cookie_t>> crtcCookies;
    for (const auto &cookie : infoCookies) {
        infos.push_back(TakeReply(xcb_randr_get_output_info_reply, c, cookie));
        crtcCookies.emplace_back();
        if (infos.back() && infos.back()->crtc != XCB_NONE)
            crtcCookies.back() =
                xcb_randr_get_crtc_info(c, infos.back()->crtc, resources->config_timestamp);
    }
    const auto primary = TakeReply(xcb_randr_get_output_primary_reply, c, primaryCookie);

    for (int i = 0; i < count; ++i) {
        const auto crtc =
            crtcCookies[i] ? TakeReply(xcb_randr_get_crtc_info_reply, c, *crtcCookies[i]) : nullptr;
        const auto edid =
            full ? TakeReply(xcb_randr_get_output_property_reply, c, edidCookies[i]) : nullptr;
        const auto &info = infos[i];
        const bool attached = info && crtc && crtc->mode != XCB_NONE && crtc->width > 0;
        if (!info || (!attached && info->connection != XCB_RANDR_CONNECTION_CONNECTED))
            continue;
        Output output;
        output.name = QString::fromUtf8(
            reinterpret_cast<const char *>(xcb_randr_get_output_info_name(info.get())),
            xcb_randr_get_output_info_name_length(info.get()));
        if (edid && edid->format == 8) {
            output.monitorName = EdidMonitorName(QByteArray(
                reinterpret_cast<const char *>(xcb_randr_get_output_property_data(edid.get())),
                xcb_randr_get_output_property_data_length(edid.get())));
        }
        if (attached) {
            output.attached = true;
            output.rootRect = QRect(crtc->x, crtc->y, crtc->width, crtc->height);
            output.refreshHz = RefreshOf(resources, crtc->mode);
            output.handle = info->crtc;
            const bool randrPrimary = primary && primary->output == ids[i];
            if (result.primary < 0 || randrPrimary)
                result.primary = static_cast<int>(result.outputs.size());
        }
        result.outputs.push_back(std::move(output));
    }
    return result;
}

} // namespace

QString EdidMonitorName(const QByteArray &edid) {
    constexpr int kFirstDescriptor = 54, kDescriptorSize = 18, kDescriptors = 4;
    constexpr uchar kMonitorName = 0xFC;
    if (edid.size() < kFirstDescriptor + kDescriptors * kDescriptorSize)
        return {};
    for (int i = 0; i < kDescriptors; ++i) {
        const auto *d = reinterpret_cast<const uchar *>(edid.constData()) + kFirstDescriptor +
                        i * kDescriptorSize;
        if (d[0] != 0 || d[1] != 0 || d[2] != 0 || d[3] != kMonitorName)
            continue;
        // Up to 13 characters, ended by a line feed and padded with blanks.
        QByteArray text(reinterpret_cast<const char *>(d + 5), kDescriptorSize - 5);
        text.truncate(text.indexOf('\n') < 0 ? text.size() : text.indexOf('\n'));
        return QString::fromLatin1(text.trimmed());
    }
    return {};
}

VirtualScreen VirtualScreen::Read(xcb_connection_t *c, Detail detail) {
    VirtualScreen screen;
    const xcb_screen_t *root = FirstScreen(c);
    // The connection's setup keeps the root's size from when it was opened;
    // RandR has resized it since whenever monitors changed.
    const auto geometryCookie = xcb_get_geometry(c, root->root);

    // Ask for the newest version this library knows: the server remembers
    // the last answer per connection, and asking for less would take RandR
    // features away from Qt on its own connection.
    const auto version = HasExtension(c, &xcb_randr_id)
                             ? TakeReply(xcb_randr_query_version_reply, c,
                                         xcb_randr_query_version(c, XCB_RANDR_MAJOR_VERSION,
                                                                 XCB_RANDR_MINOR_VERSION))
                             : nullptr;
    const auto atLeast = [&](uint32_t minor) {
        return version && (version->major_version > 1 ||
                           (version->major_version == 1 && version->minor_version >= minor));
    };
    const auto resources = atLeast(3)
                               ? TakeReply(xcb_randr_get_screen_resources_current_reply, c,
                                           xcb_randr_get_screen_resources_current(c, root->root))
                               : nullptr;
    if (const auto geometry = TakeReply(xcb_get_geometry_reply, c, geometryCookie))
        screen.m_rootSize = QSize(geometry->width, geometry->height);
    if (!resources) {
        screen.m_outputs.push_back(
            {QStringLiteral("screen"), {}, true, screen.RootBounds(), 0, root->root});
        screen.m_primary = 0;
        return screen;
    }
    screen.m_hasRandr = true;

    RandrOutputs randr = ReadOutputs(c, root->root, resources.get(), detail == Detail::Full);
    screen.m_outputs = std::move(randr.outputs);
    screen.m_primary = randr.primary;
    if (screen.m_primary >= 0)
        screen.m_origin = screen.m_outputs[screen.m_primary].rootRect.topLeft();
    if (detail == Detail::Full && atLeast(4))
        screen.m_provider = FirstProviderName(c, root->root);
    return screen;
}

QRegion VirtualScreen::ShownRoot() const {
    QRegion shown;
    for (const Output &output : m_outputs) {
        if (output.attached)
            shown += output.rootRect;
    }
    return shown;
}

QRect VirtualScreen::DesktopBounds() const {
    return ToVirtual(ShownRoot().boundingRect());
}

} // namespace quillcap::x11
