#include "common/desktop/x11desktop.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

namespace desktop {

namespace {

// All desktops, as _NET_WM_DESKTOP spells it.
constexpr uint32_t kEveryDesktop = 0xFFFFFFFFu;
// _NET_WM_STATE client message actions.
constexpr uint32_t kStateAdd = 1;
// Where the client messages came from: a normal application.
constexpr uint32_t kSourceApplication = 1;

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_connection_t* connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

struct Atoms {
    xcb_atom_t state = XCB_ATOM_NONE;
    xcb_atom_t skipTaskbar = XCB_ATOM_NONE;
    xcb_atom_t skipPager = XCB_ATOM_NONE;
    xcb_atom_t sticky = XCB_ATOM_NONE;
    xcb_atom_t desktop = XCB_ATOM_NONE;

    explicit Atoms(xcb_connection_t* c)
    {
        const char* names[] = {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR",
                               "_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_STICKY",
                               "_NET_WM_DESKTOP"};
        xcb_atom_t* targets[] = {&state, &skipTaskbar, &skipPager, &sticky, &desktop};
        // Every request first, then every reply: one round trip.
        xcb_intern_atom_cookie_t cookies[std::size(names)];
        for (std::size_t i = 0; i < std::size(names); ++i)
            cookies[i] = xcb_intern_atom(c, 0, uint16_t(std::strlen(names[i])), names[i]);
        for (std::size_t i = 0; i < std::size(names); ++i) {
            ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr),
                                                    &std::free);
            if (reply)
                *targets[i] = reply->atom;
        }
    }

    bool complete() const { return state && skipTaskbar && skipPager && sticky && desktop; }
};

std::vector<xcb_atom_t> currentStates(xcb_connection_t* c, xcb_window_t window, const Atoms& atoms)
{
    std::vector<xcb_atom_t> states;
    ReplyPtr<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, atoms.state, XCB_ATOM_ATOM, 0, 64),
                               nullptr),
        &std::free);
    if (reply && reply->type == XCB_ATOM_ATOM && reply->format == 32) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        states.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
    return states;
}

void sendToRoot(xcb_connection_t* c, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                const uint32_t (&data)[5])
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::memcpy(message.data.data32, data, sizeof data);
    xcb_send_event(c, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
}

} // namespace

bool X11Desktop::available()
{
    return connection() != nullptr;
}

void X11Desktop::markAccessory(WId id)
{
    xcb_connection_t* c = connection();
    if (!c || id == 0)
        return;
    const auto window = xcb_window_t(id);
    const Atoms atoms(c);
    if (!atoms.complete())
        return;

    const xcb_get_window_attributes_cookie_t attributesCookie =
        xcb_get_window_attributes(c, window);
    const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(c, window);
    ReplyPtr<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, attributesCookie, nullptr), &std::free);
    ReplyPtr<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, nullptr),
                                                &std::free);
    if (!attributes || !geometry)
        return;

    if (attributes->map_state == XCB_MAP_STATE_UNMAPPED) {
        // Read when the window manager takes the window on. Qt adds its own
        // states (stay on top) to these when it maps the window.
        std::vector<xcb_atom_t> states = currentStates(c, window, atoms);
        for (xcb_atom_t wanted : {atoms.skipTaskbar, atoms.skipPager, atoms.sticky})
            if (std::find(states.begin(), states.end(), wanted) == states.end())
                states.push_back(wanted);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atoms.state, XCB_ATOM_ATOM, 32,
                            uint32_t(states.size()), states.data());
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atoms.desktop, XCB_ATOM_CARDINAL, 32,
                            1, &kEveryDesktop);
    } else {
        // A managed window asks the window manager.
        const xcb_window_t root = geometry->root;
        sendToRoot(c, root, window, atoms.state,
                   {kStateAdd, atoms.skipTaskbar, atoms.skipPager, kSourceApplication, 0});
        sendToRoot(c, root, window, atoms.state,
                   {kStateAdd, atoms.sticky, XCB_ATOM_NONE, kSourceApplication, 0});
        sendToRoot(c, root, window, atoms.desktop, {kEveryDesktop, kSourceApplication, 0, 0, 0});
    }
    xcb_flush(c);
}

} // namespace desktop
