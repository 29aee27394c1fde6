// Watches a top-level window from outside, as the user's screen shows it:
// every millisecond it asks the X server for the window's outer rectangle
// (its client area grown by the window manager's frame) and whether it is
// viewable, and prints a line each time that changes:
//
//   MILLISECONDS viewable|hidden X Y WIDTH HEIGHT
//
// Milliseconds count from the watcher's start. The window is the one whose
// title is exactly TITLE, there already or made later; the watch ends after
// SECONDS, or at once when the window goes. A line "mark NAME" on standard
// input prints "MILLISECONDS mark NAME" in the output, so that a test can
// tell which states followed which of its actions.
//
//   watch_geometry TITLE SECONDS
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

template<typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template<typename T> Reply<T> own(T* reply) {
    return Reply<T>(reply, &std::free);
}

struct State {
    bool viewable = false;
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const State&) const = default;
};

class Watcher {
public:
    explicit Watcher(xcb_connection_t* c)
        : m_c(c)
        , m_root(xcb_setup_roots_iterator(xcb_get_setup(c)).data->root)
        , m_extents(atom("_NET_FRAME_EXTENTS"))
        , m_netName(atom("_NET_WM_NAME"))
        , m_utf8(atom("UTF8_STRING")) {
        // Every window made on the root from now on is a candidate, and so
        // is every top-level window there already, framed or not.
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(c);
        for (xcb_window_t top : children(m_root)) {
            m_made.push_back(top);
            for (xcb_window_t inner : children(top))
                m_made.push_back(inner);
        }
    }

    // The window made since the start whose title is `title`, once known.
    std::optional<xcb_window_t> find(const std::string& title) {
        while (auto* event = xcb_poll_for_event(m_c)) {
            if ((event->response_type & 0x7F) == XCB_CREATE_NOTIFY)
                m_made.push_back(reinterpret_cast<xcb_create_notify_event_t*>(event)->window);
            std::free(event);
        }
        for (xcb_window_t w : m_made)
            if (titleOf(w) == title)
                return w;
        return std::nullopt;
    }

    // The outer rectangle and whether it is viewable; nothing once the
    // window is gone.
    std::optional<State> read(xcb_window_t w) {
        auto attributes =
            own(xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, w), nullptr));
        auto geometry = own(xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, w), nullptr));
        auto at = own(xcb_translate_coordinates_reply(
            m_c, xcb_translate_coordinates(m_c, w, m_root, 0, 0), nullptr));
        if (!attributes || !geometry || !at)
            return std::nullopt;
        const Margins f = frame(w, at->dst_x, at->dst_y, geometry->width, geometry->height);
        return State{attributes->map_state == XCB_MAP_STATE_VIEWABLE, at->dst_x - f.left,
                     at->dst_y - f.top, geometry->width + f.left + f.right,
                     geometry->height + f.top + f.bottom};
    }

private:
    struct Margins {
        int left = 0, right = 0, top = 0, bottom = 0;
    };

    xcb_atom_t atom(const char* name) {
        auto reply = own(xcb_intern_atom_reply(
            m_c, xcb_intern_atom(m_c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    std::vector<xcb_window_t> children(xcb_window_t w) {
        auto tree = own(xcb_query_tree_reply(m_c, xcb_query_tree(m_c, w), nullptr));
        if (!tree)
            return {};
        const xcb_window_t* first = xcb_query_tree_children(tree.get());
        return {first, first + xcb_query_tree_children_length(tree.get())};
    }

    std::string titleOf(xcb_window_t w) {
        for (const auto& [property, type] :
             {std::pair{m_netName, m_utf8},
              std::pair{xcb_atom_t(XCB_ATOM_WM_NAME), xcb_atom_t(XCB_ATOM_STRING)}}) {
            auto reply = own(xcb_get_property_reply(
                m_c, xcb_get_property(m_c, 0, w, property, type, 0, 256), nullptr));
            if (reply && xcb_get_property_value_length(reply.get()) > 0)
                return {static_cast<const char*>(xcb_get_property_value(reply.get())),
                        static_cast<size_t>(xcb_get_property_value_length(reply.get()))};
        }
        return {};
    }

    // _NET_FRAME_EXTENTS where the window manager sets it; otherwise the
    // client's ancestor just below the root, which is its frame (none: the
    // client itself).
    Margins frame(xcb_window_t w, int x, int y, int width, int height) {
        auto extents = own(xcb_get_property_reply(
            m_c, xcb_get_property(m_c, 0, w, m_extents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
        if (extents && xcb_get_property_value_length(extents.get()) == 16) {
            const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(extents.get()));
            return {static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                    static_cast<int>(v[3])};
        }
        xcb_window_t top = w;
        for (;;) {
            auto tree = own(xcb_query_tree_reply(m_c, xcb_query_tree(m_c, top), nullptr));
            if (!tree || tree->parent == m_root || tree->parent == XCB_WINDOW_NONE)
                break;
            top = tree->parent;
        }
        if (top == w)
            return {};
        auto g = own(xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, top), nullptr));
        if (!g)
            return {};
        const int border = g->border_width;
        return {x - g->x, g->x + g->width + 2 * border - x - width, y - g->y,
                g->y + g->height + 2 * border - y - height};
    }

    xcb_connection_t* m_c;
    xcb_window_t m_root;
    xcb_atom_t m_extents, m_netName, m_utf8;
    std::vector<xcb_window_t> m_made;
};

// The line standard input gave since the last call, if any.
std::optional<std::string> lineGiven() {
    pollfd in{STDIN_FILENO, POLLIN, 0};
    if (poll(&in, 1, 0) <= 0 || !(in.revents & POLLIN))
        return std::nullopt;
    char line[256];
    if (!std::fgets(line, sizeof line, stdin))
        return std::nullopt;
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: watch_geometry TITLE SECONDS\n");
        return 2;
    }
    const std::string title = argv[1];
    const auto limit = std::chrono::milliseconds(static_cast<long>(std::atof(argv[2]) * 1000));
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "watch_geometry: cannot open the display\n");
        return 1;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    Watcher watcher(c);
    const Clock::time_point start = Clock::now();
    const auto ms = [&] {
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    std::optional<xcb_window_t> window;
    std::optional<State> last;
    while (Clock::now() - start < limit) {
        if (const auto line = lineGiven(); line && line->rfind("mark", 0) == 0)
            std::printf("%.1f %s\n", ms(), line->c_str());
        if (!window)
            window = watcher.find(title);
        if (window) {
            const std::optional<State> now = watcher.read(*window);
            if (!now)
                break; // the window is gone
            if (now != last)
                std::printf("%.1f %s %d %d %d %d\n", ms(), now->viewable ? "viewable" : "hidden",
                            now->x, now->y, now->width, now->height);
            last = now;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    xcb_disconnect(c);
    return 0;
}
