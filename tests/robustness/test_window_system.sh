#!/usr/bin/env bash
# The program under a long random run of user actions, storms of input and a
# hostile window system. The first argument says which:
#   stress        tst_stress (STRESS_BIN), the in-process random run, on the
#                 session's display; VISTRUM_STRESS_SEED and _ACTIONS pass on
#   preset-storm  1,000 clicks, as fast as XTest sends them, at a point where
#                 "800 X 600" lies in the 640 X 480 window and "640 X 480" in
#                 the 800 X 600 one
#   drag-storm    one border drag of the bottom-right corner through 500 sizes
#   tiled         (i3) a tiling window manager refuses every size: each
#                 preset leaves the tiled size, the readout shows it, Custom
#                 Size is checked (the window has no preset's size), and
#                 nothing loops or hangs
#   no-wm         (no window manager) presets give client = outer size, no
#                 frame, at the quarter position
#   wm-restart    openbox dies (SIGKILL) and a new one starts while the
#                 program runs; the readout follows the frame as it goes and
#                 comes back, presets are exact with it, and without any
#   screen-resize the screen changes size (RandR) and back; a preset uses the
#                 new size
# Each ends with a consistent state (the readout, read over AT-SPI, shows the
# outer size; the checked preset has that size and stands at the quarter
# position) and the program answering Ctrl+Q within a second, with status 0.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"

mode=${1:?which test}
E2E_TIMEOUT=10

# The window's real outer rectangle "X Y W H": without a window manager it
# has no frame, whatever a dead one left in _NET_FRAME_EXTENTS.
outer() {
    local parent root
    parent=$(xwininfo -children -id "$win" | sed -n 's/^ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
    root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
    if [ "$parent" = "$root" ]; then e2e_client_geometry "$win"; else e2e_outer_geometry "$win"; fi
}
_outer_size_is() { _last=$(outer) && [ "$(e2e_size "$_last")" = "$1" ]; }

start() {
    e2e_start_a11y
    e2e_start_program
    win=$(e2e_find_window "Vistrum V2.1")
    e2e_wait_managed "$win"
    e2e_wait_stable "$win"
    consistent "640 X 480"
}

# consistent OPTION: once the window has settled, OPTION is the one checked
# button, the readout shows the real outer size and, for a preset that was
# granted, the window stands at ((screen - size) / 4) to the nearest pixel.
consistent() {
    local option=$1 x y w h sw sh
    e2e_wait_stable "$win" 60
    e2e_wait_a11y "$option" checked
    read -r x y w h <<<"$(outer)"
    e2e_wait_a11y "Current screen size = $w X $h" text "Current screen size = "
    [ "$option" != "Custom Size" ] || return 0
    read -r sw sh <<<"$(xdotool getdisplaygeometry)"
    if [ "${option// /}" = "${w}X$h" ]; then
        preset_placed quarter "$x" "$y" "$sw" "$sh" "$w" "$h" ||
            e2e_fail "$option stands at $x,$y, not at ($sw - $w) / 4, ($sh - $h) / 4"
        e2e_log "ok: $option at $x,$y, the quarter position on $sw x $sh"
    fi
}

# preset NAME: clicks the preset, waits for its outer size, checks the state.
preset() {
    local want=${1// X /x}
    e2e_a11y_extents "$1"
    read -r sw sh <<<"$(xdotool getdisplaygeometry)"
    [ "$A11Y_CX" -ge 0 ] && [ "$A11Y_CY" -ge 0 ] && [ "$A11Y_CX" -lt "$sw" ] && [ "$A11Y_CY" -lt "$sh" ] ||
        e2e_fail "'$1' is off the screen at $A11Y_CX,$A11Y_CY"
    e2e_click "$A11Y_CX" "$A11Y_CY"
    if ! e2e_wait_until "$E2E_TIMEOUT" _outer_size_is "$want"; then
        e2e_screenshot "failed-$want" >/dev/null
        e2e_fail "after a click on '$1' the outer rectangle (X Y W H) is $_last, not ${want}" \
            "($(e2e_a11y text "Current screen size = "), _NET_FRAME_EXTENTS $(e2e_frame_extents "$win"))"
    fi
    consistent "$1"
}

quit() {
    e2e_key "$win" ctrl+q
    e2e_assert_exits 1 0 # responsive: a guard of one second, as a user would wait
}

case $mode in
stress)
    [ -x "${STRESS_BIN:-}" ] || e2e_fail "STRESS_BIN is not set or not executable"
    export QT_QPA_PLATFORM=xcb QT_ENABLE_HIGHDPI_SCALING=0 VISTRUM_STRESS_ARTIFACTS=$E2E_ARTIFACTS
    e2e_start_command "$STRESS_BIN"
    e2e_wait_exit 160 || e2e_fail "tst_stress was still running after 160 s"
    [ "$E2E_STATUS" = 0 ] || e2e_fail "tst_stress failed with exit status $E2E_STATUS"
    cat "$E2E_PROGRAM_LOG"
    ;;
preset-storm)
    start
    e2e_a11y_extents "800 X 600"
    read -r ax ay aw ah <<<"$A11Y_X $A11Y_Y $A11Y_W $A11Y_H"
    preset "800 X 600"
    e2e_a11y_extents "640 X 480"
    # Where the two buttons overlap, a little right of the left edge (the
    # indicator) and half-way down.
    x0=$((ax > A11Y_X ? ax : A11Y_X)) y0=$((ay > A11Y_Y ? ay : A11Y_Y))
    x1=$((ax + aw < A11Y_X + A11Y_W ? ax + aw : A11Y_X + A11Y_W))
    y1=$((ay + ah < A11Y_Y + A11Y_H ? ay + ah : A11Y_Y + A11Y_H))
    [ $x1 -gt $((x0 + 4)) ] && [ $y1 -gt $((y0 + 4)) ] || e2e_fail "the two buttons do not overlap"
    px=$((x0 + (x1 - x0 < 16 ? (x1 - x0) / 2 : 8))) py=$(((y0 + y1) / 2))
    e2e_log "clicking at $px,$py"
    e2e_click "$px" "$py"
    e2e_wait_until "$E2E_TIMEOUT" _outer_size_is 640x480 || e2e_fail "$px,$py is not on '640 X 480'"
    consistent "640 X 480"
    # Half of them flood in at once (queued while the window moves, they
    # land on whatever is there when they are taken in), half 3 ms apart
    # (each lands on the layout of the moment: about one in three toggles).
    xdotool click --repeat 500 --delay 0 1 click --repeat 500 --delay 3 1
    e2e_log "1,000 clicks sent"
    e2e_wait_stable "$win" 60
    read -r _ _ w h <<<"$(outer)"
    consistent "$w X $h" # a preset's size; stray clicks hit no border
    quit
    ;;
drag-storm)
    start
    read -r x y w h <<<"$(outer)"
    # Press on the corner grip, inside the frame's bottom-right corner.
    gx=$((x + w - 2)) gy=$((y + h - 2))
    steps=()
    for ((i = 1; i <= 500; i++)); do
        nw=$((300 + (i * 37) % 600)) nh=$((200 + (i * 23) % 480))
        steps+=(mousemove $((gx + nw - w)) $((gy + nh - h)))
    done
    e2e_move_pointer "$gx" "$gy"
    xdotool mousedown 1 "${steps[@]}" mouseup 1
    e2e_log "dragged through 500 sizes, the last $nw x $nh"
    e2e_wait_until "$E2E_TIMEOUT" _outer_size_is "${nw}x$nh" ||
        e2e_fail "after the drag the outer size is not ${nw}x$nh: $_last"
    consistent "Custom Size"
    read -r x2 y2 _ _ <<<"$(outer)"
    e2e_assert_eq "$x $y" "$x2 $y2" "outer top-left after the drag"
    quit
    ;;
tiled)
    [ "${XSESSION_WM:-none}" = i3 ] || e2e_skip "needs i3"
    e2e_start_a11y
    e2e_start_program
    win=$(e2e_find_window "Vistrum V2.1")
    e2e_wait_stable "$win"
    read -r _ _ tw th <<<"$(outer)"
    for p in "640 X 480" "3200 X 1200" "800 X 600" "2048 X 768"; do
        e2e_a11y_click "$p"
        e2e_wait_a11y "Custom Size" checked
        e2e_wait_stable "$win"
        e2e_assert_eq "${tw}x$th" "$(e2e_size "$(outer)")" "the tiled size after '$p'"
        e2e_wait_a11y "Current screen size = $tw X $th" text "Current screen size = "
    done
    quit
    ;;
no-wm)
    [ "${XSESSION_WM:-none}" = none ] || e2e_skip "needs a session without a window manager"
    start
    for p in "800 X 600" "1600 X 1200" "640 X 480"; do
        preset "$p"
        e2e_assert_eq "$(e2e_size "$(outer)")" "$(e2e_size "$(e2e_client_geometry "$win")")" \
            "outer size = client size"
    done
    quit
    ;;
wm-restart)
    [ "${XSESSION_WM:-none}" = openbox ] || e2e_skip "needs openbox"
    start
    preset "800 X 600"
    e2e_log "killing openbox (pid $XSESSION_WM_PID)"
    kill -KILL "$XSESSION_WM_PID"
    e2e_wait_until 5 e2e_ended "$XSESSION_WM_PID" || e2e_fail "openbox did not die"
    # A new openbox with the session's configuration; the session's stop
    # ends it: its pid replaces the dead one in the session's env file.
    home=$XSESSION_DIR/home
    HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache \
        XDG_DATA_HOME=$home/.local/share openbox --sm-disable \
        --config-file "$XSESSION_DIR/openbox-rc.xml" </dev/null >>"$XSESSION_DIR/wm.log" 2>&1 &
    wm=$!
    sed -i "s/^export XSESSION_WM_PID=.*/export XSESSION_WM_PID=$wm/" "$XSESSION_DIR/env"
    e2e_log "started openbox again (pid $wm)"
    e2e_wait_managed "$win"
    # Losing the frame and getting it back are two changes of the outer
    # size, made by no preset: Custom Size, and the readout follows.
    consistent "Custom Size"
    e2e_wait_until "$E2E_TIMEOUT" _outer_size_is 800x600 ||
        e2e_fail "with the new openbox the outer size is $_last, not the 800x600 of the same frame"
    preset "640 X 480"
    preset "1600 X 600"
    # Without a window manager the window has no frame, although the dead
    # one left its extents on the window.
    kill -KILL "$wm"
    e2e_wait_until 5 e2e_ended "$wm" || e2e_fail "openbox did not die"
    XSESSION_WM=none # the keyboard focus is now given directly
    preset "1024 X 768"
    e2e_assert_eq "$(e2e_size "$(outer)")" "$(e2e_size "$(e2e_client_geometry "$win")")" \
        "outer size = client size without a window manager"
    quit
    ;;
screen-resize)
    output=$(xrandr | awk '/ connected/ { print $1; exit }')
    size0=$(xdotool getdisplaygeometry | tr ' ' x)
    xrandr --newmode 1024x768_t 63.50 1024 1072 1176 1328 768 771 775 798 -hsync +vsync || true
    xrandr --addmode "$output" 1024x768_t || true
    start
    for mode in 1024x768_t "$size0"; do
        xrandr --output "$output" --mode "$mode" --fb "${mode%_t}"
        e2e_assert_eq "${mode%_t}" "$(xdotool getdisplaygeometry | tr ' ' x)" "screen size"
        preset "800 X 600"
        preset "640 X 480"
    done
    quit
    ;;
*) e2e_fail "unknown test: $mode" ;;
esac
