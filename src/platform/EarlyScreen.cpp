#include "platform/EarlyScreen.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

bool EarlyScreen::toolkitUsesX11(const QString& chosen, const QStringList& arguments)
{
    if (arguments.contains(QStringLiteral("-platform")) || arguments.contains(QStringLiteral("-display")))
        return false;
    // In a Wayland session the program always makes its own choice (see Terminalaufruf): without
    // one the toolkit's default is X11.
    const QString platform = chosen.isEmpty() ? qEnvironmentVariable("QT_QPA_PLATFORM") : chosen;
    return platform.isEmpty() || platform == u"xcb";
}

namespace {

struct Free {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using Reply = std::unique_ptr<T, Free>;

}  // namespace

EarlyScreen::EarlyScreen()
    : m_connection(xcb_connect(nullptr, &m_screenNumber))
{
}

EarlyScreen::~EarlyScreen()
{
    xcb_disconnect(m_connection);
}

std::optional<QSize> EarlyScreen::primaryScreenPixels() const
{
    xcb_connection_t* connection = m_connection;
    if (!connection || xcb_connection_has_error(connection))
        return std::nullopt;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < m_screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem <= 0 || !screens.data)
        return std::nullopt;
    const xcb_screen_t& screen = *screens.data;
    QSize size(screen.width_in_pixels, screen.height_in_pixels);

    // Several monitors share the root window: the one the toolkit calls primary.
    const Reply<xcb_randr_query_version_reply_t> version(xcb_randr_query_version_reply(
        connection, xcb_randr_query_version(connection, XCB_RANDR_MAJOR_VERSION, XCB_RANDR_MINOR_VERSION), nullptr));
    if (version && (version->major_version > 1 || version->minor_version >= 5)) {
        const Reply<xcb_randr_get_monitors_reply_t> monitors(
            xcb_randr_get_monitors_reply(connection, xcb_randr_get_monitors(connection, screen.root, 1), nullptr));
        if (monitors) {
            std::optional<QSize> first;
            std::optional<QSize> primary;
            for (auto it = xcb_randr_get_monitors_monitors_iterator(monitors.get()); it.rem > 0;
                 xcb_randr_monitor_info_next(&it)) {
                const QSize g(it.data->width, it.data->height);
                if (!first)
                    first = g;
                if (it.data->primary && !primary)
                    primary = g;
            }
            if (primary)
                size = *primary;
            else if (first)
                size = *first;
        }
    }
    if (size.isEmpty())
        return std::nullopt;
    return size;
}
