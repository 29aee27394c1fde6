# shellcheck shell=bash
# The Linux end-to-end tests' library: the program in the private X session
# of tools/xsession.sh, found and measured with xdotool, xwininfo and xprop,
# its controls read over AT-SPI as a screen reader does (a11y.py). What both
# platforms share (reporting, assertions, waits, processes, screenshots,
# clean-up) is in tools/e2e-lib.sh, sourced here. A script starts with
#
#   source "$(dirname "$0")/lib.sh"
#
# which sources the X session's env file, checks that the display answers,
# and installs a trap that ends every process the script started, whatever
# way the script leaves.
#
# Inputs, set by tests/e2e/CMakeLists.txt (or by hand):
#   VISTRUM_XSESSION_DIR  folder given to `tools/xsession.sh start`
#   VISTRUM_BIN           the program under test
#   E2E_ARTIFACTS         where logs and screenshots go (default: a temp folder)
#
# Geometry is "X Y WIDTH HEIGHT" in screen pixels; colours are "#RRGGBB".

set -euo pipefail
# Helpers are often called as $(helper ...); let a failure inside one stop it.
shopt -s inherit_errexit

# shellcheck source=tools/e2e-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/e2e-lib.sh"
E2E_POLL=0.02 # the X server answers at once: poll often

# e2e_start_program [ARGS...]: starts the program under test.
e2e_start_program() {
    [ -n "${VISTRUM_BIN:-}" ] || e2e_fail "VISTRUM_BIN is not set"
    [ -x "$VISTRUM_BIN" ] || e2e_fail "program not found or not executable: $VISTRUM_BIN"
    e2e_start_command "$VISTRUM_BIN" "$@"
}

# ---------------------------------------------------------------- windows

# Window ids are printed as decimal numbers, as xdotool prints them.

# e2e_find_window NAME [SECONDS]: prints the id of the one visible window
# whose title is exactly NAME. Fails if the program ends first, if none
# appears in time, or if more than one does.
e2e_find_window() {
    local name=$1 secs=${2:-$E2E_TIMEOUT}
    local re
    re="^$(printf '%s' "$name" | sed 's/[][\.*^$+?(){}|]/\\&/g')\$"
    _E2E_FOUND=""
    e2e_wait_until "$secs" _e2e_search_visible "$re" "$name" || true
    if [ -z "$_E2E_FOUND" ]; then
        if [ -n "$E2E_PID" ] && ! e2e_running "$E2E_PID"; then
            e2e_fail "the program ended before a window named '$name' appeared"
        fi
        e2e_fail "no visible window named '$name' within ${secs}s"
    fi
    local count
    count=$(printf '%s\n' "$_E2E_FOUND" | wc -l)
    [ "$count" -eq 1 ] || e2e_fail "$count visible windows are named '$name' (ids: $(tr '\n' ' ' <<<"$_E2E_FOUND"))"
    echo "$_E2E_FOUND"
}
_e2e_search_visible() {
    if [ -n "$E2E_PID" ] && ! e2e_running "$E2E_PID"; then
        return 0 # stop waiting; e2e_find_window reports it
    fi
    # xdotool matches without regard to case; keep exact titles only.
    local w found=""
    for w in $(xdotool search --onlyvisible --name "$1" 2>/dev/null || true); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" != "$2" ] || found+="${found:+$'\n'}$w"
    done
    _E2E_FOUND=$found
    [ -n "$_E2E_FOUND" ]
}

# e2e_map_state WIN: IsViewable, IsUnMapped or IsUnviewable.
e2e_map_state() {
    xwininfo -id "$1" 2>/dev/null | sed -n 's/^ *Map State: *//p'
}

# e2e_window_exists WIN: true while the X server knows the window.
e2e_window_exists() {
    xwininfo -id "$1" >/dev/null 2>&1
}

# e2e_client_geometry WIN: "X Y WIDTH HEIGHT" of the window itself (without
# the frame), X and Y absolute on the screen.
e2e_client_geometry() {
    local info
    info=$(xwininfo -id "$1" 2>/dev/null) || e2e_fail "xwininfo: no window $1"
    awk -F: '
        /Absolute upper-left X/ { x = $2 + 0 }
        /Absolute upper-left Y/ { y = $2 + 0 }
        /^ *Width:/  { w = $2 + 0 }
        /^ *Height:/ { h = $2 + 0 }
        END { printf "%d %d %d %d\n", x, y, w, h }' <<<"$info"
}

# e2e_frame_extents WIN: "LEFT RIGHT TOP BOTTOM" of the frame the window
# manager put around WIN, read from _NET_FRAME_EXTENTS, which the window
# manager sets on the client window itself; where it sets none (an older
# pekwm, i3), measured from the window tree: the client's ancestor just
# below the root is the frame. "0 0 0 0" when there is none (no window
# manager, or not framed yet).
e2e_frame_extents() {
    local line frame root parent cx cy cw ch fx fy fw fh
    line=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null) || e2e_fail "xprop: no window $1"
    case $line in
        *" = "*)
            echo "${line#* = }" | tr -d ','
            return
            ;;
    esac
    root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
    frame=$1
    while parent=$(xwininfo -tree -id "$frame" 2>/dev/null | sed -n 's/.*Parent window id: \(0x[0-9a-f]*\).*/\1/p') &&
        [ -n "$parent" ] && [ "$parent" != "$root" ]; do
        frame=$parent
    done
    read -r cx cy cw ch <<<"$(e2e_client_geometry "$1")"
    # The frame's own X border is part of it; xwininfo's corner is the
    # border's.
    read -r fx fy fw fh <<<"$(xwininfo -id "$frame" | awk -F: '
        /Absolute upper-left X/ { x = $2 + 0 }
        /Absolute upper-left Y/ { y = $2 + 0 }
        /^ *Width:/  { w = $2 + 0 }
        /^ *Height:/ { h = $2 + 0 }
        /^ *Border width:/ { b = $2 + 0 }
        END { printf "%d %d %d %d\n", x, y, w + 2 * b, h + 2 * b }')"
    echo "$((cx - fx)) $((fx + fw - cx - cw)) $((cy - fy)) $((fy + fh - cy - ch))"
}

# e2e_outer_geometry WIN: "X Y WIDTH HEIGHT" of the window with its frame:
# the client rectangle grown by the frame extents.
e2e_outer_geometry() {
    local x y w h l r t b client frame
    client=$(e2e_client_geometry "$1")
    frame=$(e2e_frame_extents "$1")
    read -r x y w h <<<"$client"
    read -r l r t b <<<"$frame"
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

# e2e_resize_outer WIN W H: gives WIN the outer size W x H from outside, as
# another program would: the client size its frame leaves of it.
e2e_resize_outer() {
    local l r t b
    read -r l r t b <<<"$(e2e_frame_extents "$1")"
    xdotool windowsize "$1" $(($2 - l - r)) $(($3 - t - b))
}

# e2e_size GEOMETRY: "X Y W H" -> "WxH"; e2e_rect GEOMETRY -> "WxH+X+Y".
e2e_size() { awk '{ printf "%dx%d\n", $3, $4 }' <<<"$1"; }
e2e_rect() { awk '{ printf "%dx%d+%d+%d\n", $3, $4, $1, $2 }' <<<"$1"; }

_e2e_is_managed() {
    local w=$1
    [ "$(e2e_map_state "$w")" = IsViewable ] || return 1
    [ "${XSESSION_WM:-none}" = none ] && return 0
    xprop -id "$w" WM_STATE 2>/dev/null | grep -q 'window state: Normal' || return 1
    xprop -id "$w" _NET_FRAME_EXTENTS 2>/dev/null | grep -q ' = ' && return 0
    # A window manager that sets no frame extents still puts a frame window
    # around the client.
    ! xwininfo -tree -id "$w" | grep -q "Parent window id: $(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')"
}

# e2e_wait_managed WIN [SECONDS]: waits until WIN is viewable and, under a
# window manager, managed (WM_STATE Normal) and framed (_NET_FRAME_EXTENTS,
# or a frame window around it).
e2e_wait_managed() {
    local w=$1 secs=${2:-$E2E_TIMEOUT}
    e2e_wait_until "$secs" _e2e_is_managed "$w" ||
        e2e_fail "window $w was not mapped and framed by ${XSESSION_WM:-the window manager} within ${secs}s (map state: $(e2e_map_state "$w"), $(xprop -id "$w" _NET_FRAME_EXTENTS 2>&1))"
}

_e2e_geometry_snapshot() {
    echo "$(e2e_client_geometry "$1") / $(e2e_frame_extents "$1")"
}

# e2e_wait_stable WIN [SECONDS]: waits until the client geometry and the
# frame extents of WIN stop changing: the same over ten polls in a row
# (about a quarter of a second).
e2e_wait_stable() {
    local w=$1 secs=${2:-$E2E_TIMEOUT}
    e2e_wait_steady "$secs" 10 _e2e_geometry_snapshot "$w" ||
        e2e_fail "window $w kept changing for ${secs}s (last: $E2E_LAST)"
}

# ---------------------------------------------------------------- input

# e2e_focus WIN: makes WIN the active window, as a click on it would.
e2e_focus() {
    local w=$1
    if [ "${XSESSION_WM:-none}" = none ]; then
        xdotool windowfocus --sync "$w"
    else
        xdotool windowactivate --sync "$w"
    fi
}

# e2e_key WIN KEY...: activates WIN and types the keys (xdotool names,
# e.g. ctrl+q, alt+F4, Return) through the X keyboard, as a person would.
e2e_key() {
    local w=$1
    shift
    e2e_focus "$w"
    xdotool key --clearmodifiers "$@"
}

# e2e_key_to WIN KEY...: sends the keys to WIN as synthetic events, without
# activating it.
e2e_key_to() {
    local w=$1
    shift
    xdotool key --window "$w" --clearmodifiers "$@"
}

# e2e_click X Y [BUTTON]: moves the pointer to X,Y on the screen and clicks
# (button 1 unless given).
e2e_click() {
    e2e_move_pointer "$1" "$2"
    xdotool click "${3:-1}"
}

# e2e_move_pointer X Y: moves the pointer and waits until it is there.
# (xdotool's --sync waits for a motion that never comes when the pointer is
# already at X,Y, so that case is left alone.)
e2e_move_pointer() {
    [ "$(e2e_pointer_position)" = "$1 $2" ] || xdotool mousemove --sync "$1" "$2"
}

# e2e_pointer_position: "X Y" of the pointer on the screen.
e2e_pointer_position() {
    local X Y
    eval "$(xdotool getmouselocation --shell | grep -E '^[XY]=')"
    echo "$X $Y"
}

# ---------------------------------------------------------------- pictures

# e2e_pixel FILE X Y: the colour "#RRGGBB" of one pixel of a picture.
e2e_pixel() {
    local hex
    hex=$(convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null) ||
        e2e_fail "convert could not read pixel $2,$3 of $1"
    echo "#${hex:0:6}"
}

# e2e_assert_pixel FILE X Y COLOUR: the pixel must have exactly that colour.
e2e_assert_pixel() {
    e2e_assert_eq "$(echo "$4" | tr 'a-f' 'A-F')" "$(e2e_pixel "$1" "$2" "$3")" "colour of pixel $2,$3 in $(basename "$1")"
}

# ---------------------------------------------------------------- set-up

_e2e_init() {
    local dir=${VISTRUM_XSESSION_DIR:-}
    [ -n "$dir" ] || e2e_fail "VISTRUM_XSESSION_DIR is not set (the folder given to tools/xsession.sh start)"
    [ -f "$dir/env" ] || e2e_fail "no X session in $dir (tools/xsession.sh start $dir has not run, or failed)"
    # shellcheck source=/dev/null
    source "$dir/env"
    local tool
    for tool in xdotool xwininfo xprop xdpyinfo import convert; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is not installed"
    done
    xdpyinfo >/dev/null 2>&1 || e2e_fail "the X session on $DISPLAY (from $dir/env) does not answer"
    e2e_test_init
    e2e_log "display $DISPLAY, window manager ${XSESSION_WM:-none}${XSESSION_DPI:+, Xft.dpi $XSESSION_DPI}"
}

_e2e_init

# ---------------------------------------------------------------- accessibility

# Controls are found and read as a screen reader does, over AT-SPI, with
# a11y.py (next to this file). The system Python is used because the `gi`
# bindings are Debian packages (python3-gi, gir1.2-atspi-2.0).
E2E_PYTHON=${E2E_PYTHON:-/usr/bin/python3}
E2E_A11Y_TOOL=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/a11y.py

_e2e_has_line() { [ -s "$1" ]; }
# True once our launcher owns org.a11y.Bus (asking before that would make
# the bus start a second launcher) and has announced its bus on the display,
# where Qt looks for it.
_e2e_a11y_bus_up() {
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -qw true || return 1
    _E2E_A11Y_BUS=$(dbus-send --session --print-reply=literal --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress 2>/dev/null | tr -d ' ') && [ -n "$_E2E_A11Y_BUS" ] &&
        [ "$(xprop -root AT_SPI_BUS 2>/dev/null)" = "AT_SPI_BUS(STRING) = \"$_E2E_A11Y_BUS\"" ]
}

# e2e_start_main_window: the program started where a screen reader sees it,
# its main window found, managed by the window manager and settled; the
# window's id in $win.
e2e_start_main_window() {
    e2e_start_a11y
    e2e_start_program
    win=$(e2e_find_window "Vistrum V2.1")
    e2e_wait_managed "$win"
    e2e_wait_stable "$win"
}

# e2e_start_a11y: starts a private session bus and the accessibility bus
# launcher, and exports what a program started afterwards needs to publish
# its controls there: DBUS_SESSION_BUS_ADDRESS and
# QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1. Qt finds the accessibility bus through
# the session bus and the display's AT_SPI_BUS property, which the launcher
# sets (replacing what a window manager's own launcher put there); e2e_a11y
# reads the same bus, named in E2E_A11Y_BUS. (Qt 6.4 given AT_SPI_BUS_ADDRESS
# in its environment was seen to publish nothing, so it is not exported.)
e2e_start_a11y() {
    local file=$E2E_ARTIFACTS/session-bus.address bus launcher tool
    for tool in dbus-daemon dbus-send "$E2E_PYTHON" /usr/libexec/at-spi-bus-launcher; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is not installed (tools/install-deps.sh test)"
    done
    "$E2E_PYTHON" -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
        e2e_fail "$E2E_PYTHON cannot load the Atspi bindings (python3-gi, gir1.2-atspi-2.0)"
    : >"$file"
    dbus-daemon --session --nofork --nopidfile --address=unix:tmpdir=/tmp --print-address=1 \
        </dev/null >"$file" 2>>"$E2E_ARTIFACTS/helpers.log" &
    bus=$!
    E2E_EXTRA_PIDS+=("$bus")
    e2e_wait_until "$E2E_TIMEOUT" _e2e_has_line "$file" || e2e_fail "the session bus did not start"
    export DBUS_SESSION_BUS_ADDRESS
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$file")
    e2e_start_helper /usr/libexec/at-spi-bus-launcher --launch-immediately
    launcher=$E2E_HELPER_PID
    # The launcher has to end before the bus it is connected to.
    local n=${#E2E_EXTRA_PIDS[@]}
    E2E_EXTRA_PIDS[n - 2]=$launcher
    E2E_EXTRA_PIDS[n - 1]=$bus
    e2e_wait_until "$E2E_TIMEOUT" _e2e_a11y_bus_up ||
        e2e_fail "the accessibility bus did not start (address '${_E2E_A11Y_BUS:-}', on the display: $(xprop -root AT_SPI_BUS 2>&1))"
    E2E_A11Y_BUS=$_E2E_A11Y_BUS
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    # One reader answers all questions (starting Python for each costs more
    # than the question); it is ended first, before the buses.
    e2e_start_server a11y "$E2E_ARTIFACTS/helpers.log" \
        env AT_SPI_BUS_ADDRESS="$E2E_A11Y_BUS" "$E2E_PYTHON" "$E2E_A11Y_TOOL" serve
    E2E_EXTRA_PIDS=("$E2E_SERVER_PID" "${E2E_EXTRA_PIDS[@]}")
    _E2E_A11Y_IN=$E2E_SERVER_IN _E2E_A11Y_OUT=$E2E_SERVER_OUT
    e2e_log "accessibility bus $E2E_A11Y_BUS (session bus pid $bus, launcher pid $launcher, reader pid ${E2E_EXTRA_PIDS[0]})"
}

# e2e_a11y COMMAND ARGS...: asks a11y.py about the started program (see its
# usage: dump, find, states, text, checked); prints the answer,
# or a message on stderr and returns 1. Arguments hold no line breaks.
e2e_a11y() {
    [ -n "${_E2E_A11Y_OUT:-}" ] || e2e_fail "e2e_a11y: e2e_start_a11y has not run"
    local IFS=$'\x1f' line out="" status=""
    printf '%s\n' "--pid${IFS}${E2E_PID:?no program was started}${IFS}$*" >&"$_E2E_A11Y_IN"
    while IFS= read -r -t 30 line <&"$_E2E_A11Y_OUT"; do
        if [[ $line == $'\x1e'* ]]; then
            status=${line:1}
            break
        fi
        out+=$line$'\n'
    done
    if [ "$status" = 0 ]; then
        printf '%s' "$out"
        return 0
    fi
    printf '%s' "${out:-a11y: the reader did not answer}"$'\n' >&2
    return 1
}

# e2e_a11y_extents [--prefix] NAME: sets A11Y_X A11Y_Y A11Y_W A11Y_H (and
# the centre A11Y_CX A11Y_CY) to the screen extents of the control named NAME
# (or whose name starts with it); fails if there is none.
e2e_a11y_extents() {
    local out
    out=$(e2e_a11y find "$@") || e2e_fail "no control named '${*: -1}'"
    read -r A11Y_X A11Y_Y A11Y_W A11Y_H <<<"$out"
    A11Y_CX=$((A11Y_X + A11Y_W / 2)) A11Y_CY=$((A11Y_Y + A11Y_H / 2))
}

# e2e_a11y_click [--prefix] NAME: clicks the centre of the control named NAME.
e2e_a11y_click() {
    e2e_a11y_extents "$@"
    e2e_click "$A11Y_CX" "$A11Y_CY"
}

# e2e_a11y_showing PREFIX: true if a showing control's name starts with PREFIX.
e2e_a11y_showing() { e2e_a11y text "$1" >/dev/null 2>&1; }

# e2e_a11y_has NAME STATE: true if the control named NAME has STATE
# (checked, enabled, showing, ...).
e2e_a11y_has() {
    local states
    states=$(e2e_a11y states "$1") || e2e_fail "no control named '$1'"
    [[ " $states " == *" $2 "* ]]
}

# e2e_a11y_menu MENU ITEM: opens a menu of the menu bar and picks an item,
# with the mouse.
e2e_a11y_menu() {
    e2e_a11y_click "$1"
    e2e_wait_until "$E2E_TIMEOUT" e2e_a11y_showing "$2" || e2e_fail "menu '$1' shows no item '$2'"
    e2e_a11y_click "$2"
}

# e2e_a11y_flags NAME: "SHOWING CHECKED ENABLED" of the control named NAME,
# each 1 or 0.
e2e_a11y_flags() {
    local states state out=""
    states=" $(e2e_a11y states "$1") " || return 1
    for state in showing checked enabled; do
        if [[ $states == *" $state "* ]]; then out+=" 1"; else out+=" 0"; fi
    done
    echo "${out# }"
}

_e2e_a11y_answer() { e2e_a11y "$@" 2>&1; }

# e2e_wait_a11y EXPECTED COMMAND ARGS...: waits (E2E_TIMEOUT at most) until
# `e2e_a11y COMMAND ARGS...` prints EXPECTED; fails with what it printed last.
e2e_wait_a11y() {
    local want=$1
    shift
    e2e_wait_output "$want" "a11y $*" _e2e_a11y_answer "$@"
}

# ---------------------------------------------------------------- what the screen shows on the way
# (e2e_watch_steps in tools/e2e-lib.sh reads what is watched here)

# e2e_watch_start TITLE: from now on, watches the window titled TITLE from
# outside with watch_geometry ($VISTRUM_WATCH): every change of its outer
# rectangle goes to $E2E_WATCH_LOG. Start it before the program to see its
# first showing.
e2e_watch_start() {
    local pipe=$E2E_ARTIFACTS/watch-pipe
    [ -x "${VISTRUM_WATCH:-}" ] || e2e_fail "VISTRUM_WATCH does not name watch_geometry"
    rm -f "$pipe"
    mkfifo "$pipe"
    E2E_WATCH_LOG=$E2E_ARTIFACTS/geometry.log
    "$VISTRUM_WATCH" "$1" 3600 <"$pipe" >"$E2E_WATCH_LOG" 2>>"$E2E_ARTIFACTS/helpers.log" &
    E2E_EXTRA_PIDS+=("$!")
    exec {_E2E_WATCH_IN}>"$pipe"
    rm -f "$pipe"
}

# e2e_watch_mark ACTION: the states from here on follow ACTION (no blanks);
# returns once the watcher has taken the mark. Nothing when none watches.
e2e_watch_mark() {
    [ -n "${_E2E_WATCH_IN:-}" ] || return 0
    echo "mark $1" >&"$_E2E_WATCH_IN"
    e2e_wait_until "$E2E_TIMEOUT" grep -q " mark $1\$" "$E2E_WATCH_LOG" ||
        e2e_fail "the geometry watcher did not take the mark $1"
}

