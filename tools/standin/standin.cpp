// Stand-ins for the rest of a desktop in the whole-program tests:
//   standin panel HEIGHT   a top panel: a dock window across the screen that
//                          reserves HEIGHT pixels at the top with
//                          _NET_WM_STRUT_PARTIAL (change it later with xprop)
//   standin window         a plain window that takes the keyboard focus
// Prints the window's id (decimal) and runs until killed.
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Disconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, Disconnect>;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

void setAtoms(xcb_connection_t* connection, xcb_window_t window, const char* property,
              const std::vector<xcb_atom_t>& values)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(connection, property),
                        XCB_ATOM_ATOM, 32, uint32_t(values.size()), values.data());
}

void setCardinals(xcb_connection_t* connection, xcb_window_t window, const char* property,
                  const std::vector<uint32_t>& values)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(connection, property),
                        XCB_ATOM_CARDINAL, 32, uint32_t(values.size()), values.data());
}

void setText(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
             const std::string& text)
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_STRING, 8,
                        uint32_t(text.size()), text.data());
}

int usage()
{
    std::fprintf(stderr, "usage: standin panel HEIGHT | standin window\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usage();
    const std::string mode = argv[1];
    const bool panel = mode == "panel";
    if (!panel && mode != "window")
        return usage();
    const int height = panel ? (argc > 2 ? std::atoi(argv[2]) : 0) : 200;
    if (panel && height <= 0)
        return usage();

    Connection connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get())) {
        std::fprintf(stderr, "standin: no X display\n");
        return 1;
    }
    xcb_connection_t* c = connection.get();
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;

    const int16_t x = panel ? 0 : 100;
    const int16_t y = panel ? 0 : 300;
    const uint16_t width = panel ? screen->width_in_pixels : 300;
    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t values[] = {panel ? 0x808080u : screen->white_pixel,
                               XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, x, y, width, uint16_t(height),
                      0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    const std::string title = panel ? "standin panel" : "standin window";
    setText(c, window, XCB_ATOM_WM_NAME, title);
    const char wmClass[] = "standin\0Standin";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        sizeof wmClass, wmClass);
    // WM_HINTS: flags = InputHint, input = True.
    const uint32_t hints[9] = {1, 1, 0, 0, 0, 0, 0, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        9, hints);
    // WM_NORMAL_HINTS with a program-given position, so the window manager
    // leaves the window where it was asked to be.
    uint32_t sizeHints[18] = {};
    sizeHints[0] = (1u << 0) | (1u << 2); // USPosition | PPosition
    sizeHints[1] = uint32_t(x);
    sizeHints[2] = uint32_t(y);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, 18, sizeHints);

    if (panel) {
        setAtoms(c, window, "_NET_WM_WINDOW_TYPE", {atom(c, "_NET_WM_WINDOW_TYPE_DOCK")});
        setCardinals(c, window, "_NET_WM_DESKTOP", {0xFFFFFFFFu});
        const uint32_t right = uint32_t(width) - 1;
        // left, right, top, bottom, then the start and end of each edge's band.
        setCardinals(c, window, "_NET_WM_STRUT_PARTIAL",
                     {0, 0, uint32_t(height), 0, 0, 0, 0, 0, 0, right, 0, 0});
        setCardinals(c, window, "_NET_WM_STRUT", {0, 0, uint32_t(height), 0});
    } else {
        setAtoms(c, window, "_NET_WM_WINDOW_TYPE", {atom(c, "_NET_WM_WINDOW_TYPE_NORMAL")});
    }
    xcb_map_window(c, window);
    xcb_flush(c);
    std::printf("%u\n", window);
    std::fflush(stdout);

    while (std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event{xcb_wait_for_event(c),
                                                                            &std::free}) {
    }
    return 0;
}
