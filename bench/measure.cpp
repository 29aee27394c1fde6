// Measures the program against its floors on the current X display (bench/run.sh
// gives it a private one under openbox) and prints one table:
//   start-up        launch -> main window at 640 x 480 outer pixels at its quarter
//                   position; floor: launch -> bare window viewable
//   preset latency  XTest click on a preset -> ConfigureNotify with the new outer
//                   size; floor: ConfigureWindow on the same window from here
//                   -> the same ConfigureNotify (and `xdotool windowsize --sync`)
//   outer rectangles  the rectangles a preset passes through, read from the X
//                   server without pause in clicks of their own
//   peak memory     VmHWM after start-up and the idle interval
//   idle wakeups    context switches of all threads during the idle interval
// With --under NAME=DISPLAY (bench/run.sh gives mutter and KWin a display
// each) also the start-up and the presets under that window manager, against
// the same floors measured there: click -> the window's final outer
// rectangle, and the rectangles on the way.
// Program and floor alternate in every repetition; medians are quoted.
//
//   bench_measure PROGRAM BARE_WINDOW [--reps N] [--idle S] [--log FILE]
//                 [--under NAME=DISPLAY]...

#include "table.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

using bench::median;
using bench::row;
using bench::Samples;

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::vector<pid_t> g_children; // ended by die(), so a failed run leaves nothing behind
std::string g_log = "/dev/null";

// SIGTERM, up to 3 s to end, then SIGKILL; never signals a PID it has reaped.
void stop(pid_t pid) {
    kill(pid, SIGTERM);
    bool reaped = false;
    for (int i = 0; i < 300 && !reaped; ++i) {
        reaped = waitpid(pid, nullptr, WNOHANG) == pid;
        if (!reaped)
            poll(nullptr, 0, 10);
    }
    if (!reaped) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    std::erase(g_children, pid);
}

// What the table cannot show (a click that was not one step), printed below it.
std::vector<std::string> g_notes;
void note(const std::string& what) {
    g_notes.push_back(what);
}

[[noreturn]] void die(const std::string& what) {
    std::fprintf(stderr, "bench_measure: %s (children's output: %s)\n", what.c_str(),
                 g_log.c_str());
    while (!g_children.empty())
        stop(g_children.back());
    std::exit(1);
}

// On `display` when one is given, otherwise on this process's display.
pid_t spawn(const std::vector<std::string>& args, const std::string& display = "") {
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, g_log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> env;
    const std::string displayVar = "DISPLAY=" + display;
    for (char** e = environ; *e; ++e)
        if (display.empty() || std::strncmp(*e, "DISPLAY=", 8) != 0)
            env.push_back(*e);
    if (!display.empty())
        env.push_back(const_cast<char*>(displayVar.c_str()));
    env.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&fa);
    if (rc != 0)
        die("cannot start " + args[0] + ": " + std::strerror(rc));
    g_children.push_back(pid);
    return pid;
}

// ---------------------------------------------------------------- /proc

long long statusField(const std::string& path, const char* key) {
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return -1;
    char line[256];
    long long value = -1;
    const size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, key, n) == 0 && line[n] == ':')
            value = std::atoll(line + n + 1);
    std::fclose(f);
    return value;
}

// Every wakeup of every thread is a context switch, voluntary or not.
long long contextSwitches(pid_t pid) {
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* d = opendir(dir.c_str());
    if (!d)
        die("cannot read " + dir);
    long long sum = 0;
    while (const dirent* e = readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        const std::string status = dir + "/" + e->d_name + "/status";
        sum += std::max(0LL, statusField(status, "voluntary_ctxt_switches")) +
               std::max(0LL, statusField(status, "nonvoluntary_ctxt_switches"));
    }
    closedir(d);
    return sum;
}

// ---------------------------------------------------------------- X

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Rect&) const = default;
};

struct Geometry {
    int x = 0, y = 0, w = 0, h = 0; // outer: the client grown by the frame
    int clientX = 0, clientY = 0, clientW = 0, clientH = 0;
    int left = 0, right = 0, top = 0, bottom = 0;
    bool framed = false, viewable = false;
    Rect outer() const { return {x, y, w, h}; }
};

struct X {
    std::string display; // as the programs started on it are told
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    int screenW = 0, screenH = 0;
    xcb_atom_t clientList = 0, wmPid = 0, frameExtents = 0;

    xcb_atom_t atom(const char* name) {
        auto* r = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : 0;
        std::free(r);
        return a;
    }
    std::vector<uint32_t> prop32(xcb_window_t w, xcb_atom_t prop, xcb_atom_t type) {
        std::vector<uint32_t> v;
        auto* r =
            xcb_get_property_reply(c, xcb_get_property(c, 0, w, prop, type, 0, 4096), nullptr);
        if (r && r->format == 32) {
            const auto* d = static_cast<const uint32_t*>(xcb_get_property_value(r));
            v.assign(d, d + xcb_get_property_value_length(r) / 4);
        }
        std::free(r);
        return v;
    }
    void watch(xcb_window_t w) {
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(c, w, XCB_CW_EVENT_MASK, &mask);
    }
    void sync() { std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); }

    // One snapshot of the window as the X server has it; all four requests
    // go out together, so it costs one round trip.
    std::optional<Geometry> geometry(xcb_window_t w) {
        auto ca = xcb_get_window_attributes(c, w);
        auto cg = xcb_get_geometry(c, w);
        auto ct = xcb_translate_coordinates(c, w, root, 0, 0);
        auto ce = xcb_get_property(c, 0, w, frameExtents, XCB_ATOM_CARDINAL, 0, 4);
        auto* a = xcb_get_window_attributes_reply(c, ca, nullptr);
        auto* g = xcb_get_geometry_reply(c, cg, nullptr);
        auto* t = xcb_translate_coordinates_reply(c, ct, nullptr);
        auto* e = xcb_get_property_reply(c, ce, nullptr);
        std::optional<Geometry> out;
        if (a && g && t) {
            Geometry r;
            r.viewable = a->map_state == XCB_MAP_STATE_VIEWABLE;
            r.clientX = t->dst_x, r.clientY = t->dst_y, r.clientW = g->width, r.clientH = g->height;
            if (e && e->format == 32 && xcb_get_property_value_length(e) == 16) {
                const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(e));
                r.left = int(v[0]), r.right = int(v[1]), r.top = int(v[2]), r.bottom = int(v[3]);
                r.framed = true;
            }
            r.x = r.clientX - r.left, r.y = r.clientY - r.top;
            r.w = r.clientW + r.left + r.right, r.h = r.clientH + r.top + r.bottom;
            out = r;
        }
        std::free(a), std::free(g), std::free(t), std::free(e);
        return out;
    }

    // Hands each event to `done` until it returns true or the deadline
    // passes; waits in poll(), never in a sleep loop.
    bool pump(double deadline, const std::function<bool(const xcb_generic_event_t*)>& done) {
        for (;;) {
            while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
                const bool finished = (e->response_type & 0x7F) != 0 && done(e);
                std::free(e);
                if (finished)
                    return true;
            }
            if (xcb_connection_has_error(c))
                die("lost the X connection");
            const double left = deadline - nowMs();
            if (left <= 0)
                return false;
            pollfd p{xcb_get_file_descriptor(c), POLLIN, 0};
            poll(&p, 1, static_cast<int>(std::ceil(left)));
        }
    }
    void idle(double ms) {
        pump(nowMs() + ms, [](const xcb_generic_event_t*) { return false; });
    }
};

X connectTo(const std::string& display) {
    X x;
    x.display = display;
    x.c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(x.c))
        die("cannot open the X display " + display);
    const xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(x.c)).data;
    x.root = s->root, x.screenW = s->width_in_pixels, x.screenH = s->height_in_pixels;
    x.clientList = x.atom("_NET_CLIENT_LIST");
    x.wmPid = x.atom("_NET_WM_PID");
    x.frameExtents = x.atom("_NET_FRAME_EXTENTS");
    const uint32_t rootMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(x.c, x.root, XCB_CW_EVENT_MASK, &rootMask);
    return x;
}

// ---------------------------------------------------------------- measures

struct Target {
    int w, h;
};

struct Running {
    pid_t pid = 0;
    xcb_window_t window = 0;
    double startupMs = 0;
};

// Launches a program and returns when its top-level window satisfies
// `ready`; the window is found by _NET_WM_PID among the managed clients.
Running launch(X& x, const std::vector<std::string>& args,
               const std::function<bool(const Geometry&)>& ready) {
    Running r;
    const double t0 = nowMs();
    r.pid = spawn(args, x.display);
    const double deadline = t0 + 20000;
    auto find = [&] {
        for (uint32_t w : x.prop32(x.root, x.clientList, XCB_ATOM_WINDOW))
            if (x.prop32(w, x.wmPid, XCB_ATOM_CARDINAL) == std::vector<uint32_t>{uint32_t(r.pid)})
                r.window = w;
        return r.window != 0;
    };
    if (!find() && !x.pump(deadline, [&](const xcb_generic_event_t*) {
            if (waitpid(r.pid, nullptr, WNOHANG) == r.pid) {
                std::erase(g_children, r.pid);
                die(args[0] + " ended before showing a window");
            }
            return find();
        }))
        die(args[0] + " showed no window within 20 s");
    // The frame too: openbox moves a window by moving its frame.
    x.watch(r.window);
    if (auto* t = xcb_query_tree_reply(x.c, xcb_query_tree(x.c, r.window), nullptr)) {
        if (t->parent != x.root)
            x.watch(t->parent);
        std::free(t);
    }
    auto check = [&] {
        const auto g = x.geometry(r.window);
        return g && ready(*g);
    };
    if (!check() && !x.pump(deadline, [&](const xcb_generic_event_t* e) {
            if ((e->response_type & 0x7F) == XCB_REPARENT_NOTIFY)
                x.watch(reinterpret_cast<const xcb_reparent_notify_event_t*>(e)->parent);
            return check();
        }))
        die(args[0] + " did not reach its start-up state within 20 s");
    r.startupMs = nowMs() - t0;
    return r;
}

// Waits for the ConfigureNotify that gives the window the outer size `to`.
double waitForSize(X& x, xcb_window_t w, const Geometry& frame, Target to, double t0,
                   const char* what) {
    const bool ok = x.pump(t0 + 3000, [&](const xcb_generic_event_t* e) {
        if ((e->response_type & 0x7F) != XCB_CONFIGURE_NOTIFY)
            return false;
        const auto* c = reinterpret_cast<const xcb_configure_notify_event_t*>(e);
        return c->window == w && c->width + frame.left + frame.right == to.w &&
               c->height + frame.top + frame.bottom == to.h;
    });
    if (!ok)
        die(std::string(what) + ": the window did not reach " + std::to_string(to.w) + " x " +
            std::to_string(to.h) + " within 3 s");
    return nowMs() - t0;
}

// Where preset `index` is on the screen: the "Screen Size" frame (225 x 297 px)
// is centred in the client area below the menu bar; preset i sits at
// (24 or 120, 24 + 24 * (i mod 6)) px in it and is 81 x 17 px. The point is on
// the option's indicator.
std::pair<int, int> presetPoint(const Geometry& g, int menuHeight, int index) {
    const int frameLeft = static_cast<int>(std::lround(g.clientW / 2.0 - 112.5));
    const int frameTop = static_cast<int>(std::lround((g.clientH - menuHeight) / 2.0 - 148.5));
    const int left = frameLeft + (index < 6 ? 24 : 120);
    const int top = frameTop + 24 + 24 * (index % 6);
    return {g.clientX + left + 8, g.clientY + menuHeight + top + 8};
}

// Moves the pointer onto preset `index`, lets it settle and clicks; returns
// the time of the click.
double click(X& x, const Geometry& g, int menuHeight, int index, std::string& what) {
    const auto [px, py] = presetPoint(g, menuHeight, index);
    xcb_test_fake_input(x.c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, x.root, int16_t(px),
                        int16_t(py), 0);
    x.sync();
    x.idle(30); // the pointer has arrived and the program has seen it
    const double t0 = nowMs();
    xcb_test_fake_input(x.c, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(x.c, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(x.c);
    what = "click at (" + std::to_string(px) + ", " + std::to_string(py) + ")";
    return t0;
}

// Where a preset ends: at the quarter position; where the window manager keeps
// the title bar's top on the screen (mutter), no higher than y = 0.
Rect finalRect(const X& x, Target t, bool titleBarOnScreen) {
    const int y = (x.screenH - t.h) / 4;
    return {(x.screenW - t.w) / 4, titleBarOnScreen ? std::max(0, y) : y, t.w, t.h};
}

std::string describe(const Rect& r) {
    return std::to_string(r.w) + " x " + std::to_string(r.h) + " at (" + std::to_string(r.x) +
           ", " + std::to_string(r.y) + ")";
}

struct PresetTimes {
    double sized, placed;
};

PresetTimes clickPreset(X& x, xcb_window_t w, int menuHeight, int index, Rect to) {
    const Geometry g = x.geometry(w).value();
    std::string what;
    const double t0 = click(x, g, menuHeight, index, what);
    PresetTimes t{waitForSize(x, w, g, {to.w, to.h}, t0, what.c_str()), 0};
    // Then the program moves the window to its place.
    auto placed = [&] {
        const auto now = x.geometry(w);
        return now && now->outer() == to;
    };
    if (!placed() && !x.pump(t0 + 3000, [&](const xcb_generic_event_t*) { return placed(); }))
        die(what + ": the window did not reach " + describe(to) + " within 3 s");
    t.placed = nowMs() - t0;
    return t;
}

struct Walk {
    int states;   // outer rectangles seen after the click, the final one included
    bool oneStep; // at most one before the final one, made of the old and the new values
};

// The rectangles the window passes through: after the click its outer
// rectangle is read as often as one round trip to the X server allows, until
// it has been `to` for 100 ms.
Walk walkPreset(X& x, xcb_window_t w, int menuHeight, int index, Rect to) {
    const Geometry g = x.geometry(w).value();
    std::string what;
    const double t0 = click(x, g, menuHeight, index, what);
    const Rect from = g.outer();
    std::vector<Rect> seen;
    double arrived = 0;
    for (double now = t0;
         now < t0 + 3000 && (seen.empty() || seen.back() != to || now < arrived + 100);) {
        const auto s = x.geometry(w);
        now = nowMs();
        if (!s)
            die(what + ": the window went away");
        if (s->outer() != (seen.empty() ? from : seen.back())) {
            seen.push_back(s->outer());
            arrived = now;
        }
        while (xcb_generic_event_t* e = xcb_poll_for_event(x.c)) // only the reads count here
            std::free(e);
    }
    if (seen.empty() || seen.back() != to)
        die(what + ": the window did not reach " + describe(to) + " within 3 s");
    const auto mixed = [&](const Rect& r) {
        return (r.x == from.x || r.x == to.x) && (r.y == from.y || r.y == to.y) &&
               (r.w == from.w || r.w == to.w) && (r.h == from.h || r.h == to.h);
    };
    const bool oneStep = seen.size() == 1 || (seen.size() == 2 && mixed(seen[0]));
    if (!oneStep) {
        std::string states;
        for (const Rect& r : seen)
            states += "; " + describe(r);
        note(what + " from " + describe(from) + ": " + states.substr(2));
    }
    return {int(seen.size()), oneStep};
}

// One ConfigureWindow from here, answered. A window manager that keeps
// windows within the screen (mutter, KWin) answers a size larger than it with
// another one: with `anySize` the first new size is the answer.
double configureFloor(X& x, xcb_window_t w, Target to, bool anySize = false) {
    const Geometry g = x.geometry(w).value();
    const uint32_t size[] = {uint32_t(to.w - g.left - g.right), uint32_t(to.h - g.top - g.bottom)};
    const double t0 = nowMs();
    xcb_configure_window(x.c, w, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_flush(x.c);
    if (!anySize)
        return waitForSize(x, w, g, to, t0, "ConfigureWindow");
    if (!x.pump(t0 + 3000, [&](const xcb_generic_event_t* e) {
            const auto* c = reinterpret_cast<const xcb_configure_notify_event_t*>(e);
            return (e->response_type & 0x7F) == XCB_CONFIGURE_NOTIFY && c->window == w &&
                   (c->width != g.clientW || c->height != g.clientH);
        }))
        die("ConfigureWindow: no new size within 3 s");
    return nowMs() - t0;
}

// xdotool as a user would run it: its process start is part of the figure.
double xdotoolFloor(X& x, xcb_window_t w, Target to) {
    const Geometry g = x.geometry(w).value();
    const double t0 = nowMs();
    const pid_t pid =
        spawn({"xdotool", "windowsize", "--sync", std::to_string(w),
               std::to_string(to.w - g.left - g.right), std::to_string(to.h - g.top - g.bottom)});
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = nowMs() - t0;
    std::erase(g_children, pid);
    const auto after = x.geometry(w);
    if (status != 0 || !after || after->w != to.w || after->h != to.h)
        die("xdotool windowsize did not resize the window");
    return ms;
}

// ---------------------------------------------------------------- other window managers

// The start-up and the presets under another window manager, on its own
// display. mutter and metacity keep the title bar's top on the screen.
struct Under {
    std::string name;
    X x;
    bool titleBarOnScreen = false;
    Samples startP, startF, up, down, upConf, downConf, upStates, downStates;
    bool upOneStep = true, downOneStep = true;
};

// ---------------------------------------------------------------- report

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: %s PROGRAM BARE_WINDOW [--reps N] [--idle S] [--log FILE] "
                     "[--under NAME=DISPLAY]...\n",
                     argv[0]);
        return 2;
    }
    const std::string program = argv[1], bare = argv[2];
    int reps = 10;
    double idleSeconds = 10;
    std::vector<std::string> unders; // NAME=DISPLAY
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--reps") == 0)
            reps = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--idle") == 0)
            idleSeconds = std::max(1.0, std::atof(argv[i + 1]));
        else if (std::strcmp(argv[i], "--log") == 0)
            g_log = argv[i + 1];
        else if (std::strcmp(argv[i], "--under") == 0)
            unders.push_back(argv[i + 1]);
    }
    signal(SIGPIPE, SIG_IGN);

    const char* display = std::getenv("DISPLAY");
    X x = connectTo(display ? display : "");
    std::vector<Under> others;
    for (const std::string& u : unders) {
        const size_t eq = u.find('=');
        if (eq == std::string::npos)
            die("--under takes NAME=DISPLAY, not " + u);
        const std::string name = u.substr(0, eq);
        Under& under = others.emplace_back();
        under.name = name, under.x = connectTo(u.substr(eq + 1));
        under.titleBarOnScreen = name == "mutter" || name == "metacity";
    }

    // The program's menu bar has the bare window's menus, style and font.
    int menuHeight = 0;
    if (FILE* p = popen(("'" + bare + "' --menu-height").c_str(), "r")) {
        if (std::fscanf(p, "%d", &menuHeight) != 1)
            menuHeight = 0;
        pclose(p);
    }
    if (menuHeight <= 0)
        die("cannot read the menu bar's height from " + bare);

    const Target small{640, 480}, large{1600, 1200};
    const int qx = (x.screenW - small.w) / 4, qy = (x.screenH - small.h) / 4;
    using Ready = std::function<bool(const Geometry&)>;
    const auto readyAt = [](Rect start) {
        return Ready(
            [start](const Geometry& g) { return g.viewable && g.framed && g.outer() == start; });
    };
    const Ready programReady = readyAt({qx, qy, small.w, small.h});
    const Ready bareReady = [](const Geometry& g) { return g.viewable; };

    Samples startP, startF, memP, memF, wakeP, wakeF;
    Samples upClick, upPlaced, downClick, downPlaced, upConf, downConf, upXdo, downXdo;
    Samples upStates, downStates;
    bool upOneStep = true, downOneStep = true;
    // The rectangles are read in clicks of their own: reading without pause
    // slows the click it watches (by about 1 ms under openbox).
    const auto walk = [&](X& on, xcb_window_t w, int index, Rect to, Samples& states,
                          bool& oneStep) {
        const Walk t = walkPreset(on, w, menuHeight, index, to);
        states.push_back(t.states), oneStep = oneStep && t.oneStep;
        on.idle(150);
    };
    // One launch of each first, so that both start with warm file caches.
    for (auto* args : {&program, &bare}) {
        const Running r = launch(x, {*args}, *args == program ? programReady : bareReady);
        stop(r.pid);
    }
    for (int rep = 0; rep < reps; ++rep) {
        std::fprintf(stderr, "\rrepetition %d of %d ", rep + 1, reps);
        for (const bool isProgram : {true, false}) {
            const Running r =
                launch(x, {isProgram ? program : bare}, isProgram ? programReady : bareReady);
            (isProgram ? startP : startF).push_back(r.startupMs);
            // Idle: no input, no requests to the window; the program owes nothing.
            x.idle(1000);
            const long long before = contextSwitches(r.pid);
            x.idle(idleSeconds * 1000);
            const long long woke = contextSwitches(r.pid) - before;
            (isProgram ? wakeP : wakeF).push_back(double(woke) / idleSeconds);
            const std::string status = "/proc/" + std::to_string(r.pid) + "/status";
            (isProgram ? memP : memF).push_back(double(statusField(status, "VmHWM")) / 1024);
            if (isProgram) {
                const Rect up = finalRect(x, large, false), down = finalRect(x, small, false);
                // Click and floor alternate; each change settles before the next.
                for (int round = 0; round < 2; ++round) {
                    PresetTimes t = clickPreset(x, r.window, menuHeight, 5, up);
                    upClick.push_back(t.sized), upPlaced.push_back(t.placed);
                    x.idle(150);
                    t = clickPreset(x, r.window, menuHeight, 0, down);
                    downClick.push_back(t.sized), downPlaced.push_back(t.placed);
                    x.idle(150);
                    upConf.push_back(configureFloor(x, r.window, large));
                    x.idle(150);
                    downConf.push_back(configureFloor(x, r.window, small));
                    x.idle(150);
                    upXdo.push_back(xdotoolFloor(x, r.window, large));
                    x.idle(150);
                    downXdo.push_back(xdotoolFloor(x, r.window, small));
                    x.idle(150);
                    walk(x, r.window, 5, up, upStates, upOneStep);
                    walk(x, r.window, 0, down, downStates, downOneStep);
                }
            }
            stop(r.pid);
        }
        for (Under& u : others) {
            // Start-up as on the first display; then the presets, timed and
            // watched (the first click of a launch is a watched one in every
            // other launch, a timed one in the others), and the floor.
            const Rect up = finalRect(u.x, large, u.titleBarOnScreen),
                       down = finalRect(u.x, small, u.titleBarOnScreen);
            const Running r = launch(u.x, {program}, readyAt(down));
            u.startP.push_back(r.startupMs);
            u.x.idle(150);
            for (int round = 0; round < 2; ++round) {
                for (const bool watched : {rep % 2 == 0, rep % 2 != 0}) {
                    if (watched) {
                        walk(u.x, r.window, 5, up, u.upStates, u.upOneStep);
                        walk(u.x, r.window, 0, down, u.downStates, u.downOneStep);
                        continue;
                    }
                    u.up.push_back(clickPreset(u.x, r.window, menuHeight, 5, up).placed);
                    u.x.idle(150);
                    u.down.push_back(clickPreset(u.x, r.window, menuHeight, 0, down).placed);
                    u.x.idle(150);
                }
                u.upConf.push_back(configureFloor(u.x, r.window, large, true));
                u.x.idle(150);
                u.downConf.push_back(configureFloor(u.x, r.window, small, true));
                u.x.idle(150);
            }
            stop(r.pid);
            const Running b = launch(u.x, {bare}, bareReady);
            u.startF.push_back(b.startupMs);
            stop(b.pid);
        }
    }
    std::fprintf(stderr, "\r%30s\r", "");

    const auto within = [](const Samples& p, const Samples& f, double ratio) {
        return median(p) <= ratio * median(f);
    };
    const auto most = [](const Samples& v) { return Samples{std::ranges::max(v)}; };
    std::printf("Medians of %d launches of each (alternating, after one warm-up launch); "
                "%zu clicks per direction; idle interval %.0f s\n",
                reps, upClick.size(), idleSeconds);
    std::printf("Screen %d x %d; quarter position of 640 x 480: (%d, %d); menu bar %d px\n",
                x.screenW, x.screenH, qx, qy, menuHeight);
    for (const Under& u : others) {
        const Rect up = finalRect(u.x, large, u.titleBarOnScreen);
        std::printf("Under %s: screen %d x %d, 1600 x 1200 placed at (%d, %d)\n", u.name.c_str(),
                    u.x.screenW, u.x.screenH, up.x, up.y);
    }
    std::printf("\n%-40s %9s %9s %-5s %8s  %-22s %s\n", "measure", "program", "floor", "unit",
                "ratio", "target", "");
    row("start-up (floor: bare window mapped)", startP, startF, "ms", "<= 1.15 x",
        within(startP, startF, 1.15));
    const bool upMet = within(upClick, upConf, 1.5) && median(upClick) < 16.7;
    const bool downMet = within(downClick, downConf, 1.5) && median(downClick) < 16.7;
    row("preset 640x480 -> 1600x1200", upClick, upConf, "ms", "<= 1.5 x, < 16.7 ms", upMet);
    row("preset 1600x1200 -> 640x480", downClick, downConf, "ms", "<= 1.5 x, < 16.7 ms", downMet);
    row("  the same, floor: xdotool --sync (up)", upClick, upXdo, "ms", "", {});
    row("  the same, floor: xdotool --sync (down)", downClick, downXdo, "ms", "", {});
    row("  until also at quarter position: up", upPlaced, {}, "ms", "", {});
    row("  until also at quarter position: down", downPlaced, {}, "ms", "", {});
    row("  outer rectangles seen, most: up", most(upStates), {}, "", "one step each click",
        upOneStep);
    row("  outer rectangles seen, most: down", most(downStates), {}, "", "one step each click",
        downOneStep);
    for (const Under& u : others) {
        const auto label = [&](const char* what) { return u.name + ": " + what; };
        row(label("start-up").c_str(), u.startP, u.startF, "ms", "<= 1.15 x",
            within(u.startP, u.startF, 1.15));
        row(label("640x480 -> 1600x1200, placed").c_str(), u.up, u.upConf, "ms", "< 16.7 ms",
            median(u.up) < 16.7);
        row(label("1600x1200 -> 640x480, placed").c_str(), u.down, u.downConf, "ms", "< 16.7 ms",
            median(u.down) < 16.7);
        row("  outer rectangles seen, most: up", most(u.upStates), {}, "", "one step each click",
            u.upOneStep);
        row("  outer rectangles seen, most: down", most(u.downStates), {}, "",
            "one step each click", u.downOneStep);
    }
    row("peak resident memory (VmHWM)", memP, memF, "MiB", "<= 1.15 x", within(memP, memF, 1.15));
    row("idle wakeups (context switches)", wakeP, wakeF, "/s", "0 /s", median(wakeP) == 0);
    std::printf("\nfloor of the presets: ConfigureWindow from the measuring tool on the same "
                "window; xdotool figures include starting its process\n");
    std::printf("outer rectangles: the most one click passed through, the final one included, "
                "read without pause in clicks of their own;\none step: at most one before the "
                "final one, made of the old and the new values\n");
    for (const std::string& n : g_notes)
        std::printf("not one step: %s\n", n.c_str());
    return 0;
}
