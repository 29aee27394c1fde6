#include "x11_frame_probe.h"

#include "window_system.h"
#include "x11_connection.h"

#include <array>
#include <cstdlib>

namespace forms::x11 {

namespace {

// Copies a property as it is, whatever its type and format.
void copyProperty(xcb_connection_t* c, xcb_window_t from, xcb_window_t to, xcb_atom_t property) {
    auto cookie = xcb_get_property(c, 0, from, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 64);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    if (reply && reply->type != XCB_ATOM_NONE)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, to, property, reply->type, reply->format,
                            static_cast<uint32_t>(xcb_get_property_value_length(reply)) * 8 /
                                reply->format,
                            xcb_get_property_value(reply));
    std::free(reply);
}

// The frame as the window the window manager put the client into measures
// it: the client's ancestor that is a child of the root, measured the way
// Qt measures a mapped window's frame. Nothing while it is not framed yet.
std::optional<PixelMargins> frameWindowAround(xcb_connection_t* c, xcb_window_t window) {
    const xcb_window_t root = rootWindow(c);
    xcb_window_t child = window;
    for (;;) {
        xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, child), nullptr);
        if (!tree)
            return std::nullopt;
        const xcb_window_t parent = tree->parent;
        std::free(tree);
        if (parent == root)
            break;
        child = parent;
    }
    if (child == window)
        return std::nullopt;
    xcb_translate_coordinates_reply_t* at = xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, child, 0, 0), nullptr);
    xcb_get_geometry_reply_t* inner =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    xcb_get_geometry_reply_t* outer =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, child), nullptr);
    std::optional<PixelMargins> frame;
    if (at && inner && outer)
        frame = PixelMargins{at->dst_x, at->dst_y, outer->width - inner->width - at->dst_x,
                             outer->height - inner->height - at->dst_y};
    std::free(at);
    std::free(inner);
    std::free(outer);
    return frame;
}

} // namespace

// _NET_FRAME_EXTENTS lists left, right, top, bottom.
std::optional<PixelMargins> toldFrame(xcb_connection_t* c, xcb_window_t window) {
    const auto v = property32(c, window, atom(c, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 4);
    if (v.size() != 4)
        return std::nullopt;
    return PixelMargins{static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]),
                        static_cast<int>(v[3])};
}

std::optional<PixelMargins> probeFrame(xcb_connection_t* c, xcb_window_t like,
                                       std::chrono::milliseconds limit, FrameTold told) {
    xcb_get_geometry_reply_t* size = xcb_get_geometry_reply(c, xcb_get_geometry(c, like), nullptr);
    const uint16_t width = size ? size->width : 100;
    const uint16_t height = size ? size->height : 100;
    std::free(size);

    const xcb_window_t probe = xcb_generate_id(c);
    // The window manager's changes to it wake the wait below.
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, rootWindow(c), 0, 0, width, height, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    for (const char* name : {"_NET_WM_WINDOW_TYPE", "_MOTIF_WM_HINTS", "WM_TRANSIENT_FOR"})
        copyProperty(c, like, probe, atom(c, name));
    copyProperty(c, like, probe, XCB_ATOM_WM_NORMAL_HINTS);
    // ICCCM WM_HINTS: the input and initial-state fields set, no input,
    // initial state iconic.
    const std::array<uint32_t, 9> hints{1U | 2U, 0, 3, 0, 0, 0, 0, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, probe, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        static_cast<uint32_t>(hints.size()), hints.data());
    const std::array<xcb_atom_t, 2> states{atom(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                                           atom(c, "_NET_WM_STATE_SKIP_PAGER")};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, probe, atom(c, "_NET_WM_STATE"), XCB_ATOM_ATOM,
                        32, static_cast<uint32_t>(states.size()), states.data());
    xcb_map_window(c, probe);
    xcb_flush(c);

    // A frame window may be made at the client's size first and grown
    // around it after: one that measures nothing is taken only when nothing
    // more comes within the limit.
    std::optional<PixelMargins> frame;
    ws::waitUntil(
        [&] {
            if (told == FrameTold::InProperty) {
                frame = toldFrame(c, probe);
                return frame.has_value();
            }
            frame = frameWindowAround(c, probe);
            return frame.has_value() && *frame != PixelMargins{};
        },
        limit);
    xcb_destroy_window(c, probe);
    xcb_flush(c);
    return frame;
}

} // namespace forms::x11
