# shellcheck shell=bash
# The Windows tests' library: vistrum.exe runs under Wine in the session of
# tools/wine-session.sh and is driven from outside by vistrum_probe.exe
# (probe.cpp): one probe per script answers every question through a pair
# of pipes (w32 COMMAND...). What both platforms share (reporting,
# assertions, waits, processes, screenshots, clean-up) is in
# tools/e2e-lib.sh, sourced here. A script starts with
#
#   source "$(dirname "$0")/lib.sh"
#
# Inputs, set by tests/win32/CMakeLists.txt (or by hand):
#   VISTRUM_WINE_SESSION_DIR  the folder given to `tools/wine-session.sh start`
#   VISTRUM_WINDOWS_BIN       the folder holding vistrum.exe and vistrum_probe.exe
#   E2E_ARTIFACTS             where logs, tables and screenshots go
#
# Rectangles are "X Y W H" in screen pixels, as the probe prints them.

set -euo pipefail
shopt -s inherit_errexit

_w32_tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)
# shellcheck source=tools/e2e-lib.sh
source "$_w32_tools/e2e-lib.sh"
W32_PROBE_PID=""

# ---------------------------------------------------------------- the probe

# w32_probe COMMAND...: asks the probe and prints its answer without the
# "ok"; an error answer is printed whole and returns 1.
w32_probe() {
    [ -n "$W32_PROBE_PID" ] || e2e_fail "the probe is not running"
    printf '%s\n' "$*" >&"$W32_PROBE_IN"
    local answer=""
    IFS= read -r -t 20 answer <&"$W32_PROBE_OUT" ||
        e2e_fail "the probe did not answer '$*' (see $E2E_ARTIFACTS/probe.log)"
    case $answer in
        "ok") return 0 ;;
        "ok "*) printf '%s\n' "${answer#ok }" ;;
        *) printf '%s\n' "$answer" && return 1 ;;
    esac
}

# w32 COMMAND...: w32_probe that fails the script on an error answer.
w32() {
    local out
    out=$(w32_probe "$@") || e2e_fail "probe: $*: $out"
    [ -z "$out" ] || printf '%s\n' "$out"
}

# w32_wait_answer EXPECTED COMMAND...: polls until the probe answers
# EXPECTED; fails with the last answer.
w32_wait_answer() {
    e2e_wait_output "$1" "probe ${*:2}" w32_probe "${@:2}"
}

_w32_probe_ok() { E2E_LAST=$(w32_probe "$@"); }

# w32_wait_ok COMMAND...: polls until the probe answers without error.
w32_wait_ok() {
    e2e_wait_until "$E2E_TIMEOUT" _w32_probe_ok "$@" || e2e_fail "probe $*: $E2E_LAST"
}

# w32_control WIN PATTERN: sets C_X C_Y C_W C_H C_VISIBLE C_CHECKED
# C_ENABLED C_CLASS C_TEXT for the child of WIN whose text matches.
# shellcheck disable=SC2034 # read by the scripts
w32_control() {
    local out
    out=$(w32 find "$@")
    read -r C_X C_Y C_W C_H C_VISIBLE C_CHECKED C_ENABLED C_CLASS C_TEXT <<<"$out"
}

# w32_text_of WIN PATTERN: the text of that child.
w32_text_of() {
    w32_control "$@"
    printf '%s\n' "$C_TEXT"
}

# The state of one child, as "visible checked enabled".
w32_flags() {
    w32_control "$@"
    echo "$C_VISIBLE $C_CHECKED $C_ENABLED"
}

# w32_wait_flags "V C E" WIN PATTERN, w32_wait_text TEXT WIN PATTERN.
w32_wait_flags() {
    e2e_wait_output "$1" "'$3' (visible checked enabled)" w32_flags "${@:2}"
}
w32_wait_text() {
    e2e_wait_output "$1" "text of '$3'" w32_text_of "${@:2}"
}

# w32_settled WIN: waits until the window's rectangle stays the same for
# five polls in a row, and prints it.
w32_settled() {
    e2e_wait_steady "$E2E_TIMEOUT" 5 w32 rect "$1" || e2e_fail "window $1 kept changing (last: $E2E_LAST)"
    echo "$E2E_LAST"
}

# ---------------------------------------------------------------- the program

# w32_start_program [LAUNCHER...] [-- ARGUMENT...]: starts vistrum.exe under
# Wine (with the ARGUMENTs after "--") and the probe beside it, then waits
# for the main window. With LAUNCHER (a Wine program and its options, e.g.
# start /min /wait), that starts it instead, with the program's path after
# "/unix".
# With W32_WATCH=1 the probe starts first and watches the main window from
# outside from before its first showing (w32_watched).
w32_start_program() {
    local exe=$VISTRUM_WINDOWS_BIN/vistrum.exe probe=$VISTRUM_WINDOWS_BIN/vistrum_probe.exe
    local launcher=()
    [ -f "$exe" ] || e2e_fail "no program at $exe"
    [ -f "$probe" ] || e2e_fail "no probe at $probe"
    while [ $# -gt 0 ] && [ "$1" != -- ]; do launcher+=("$1") && shift; done
    [ $# -eq 0 ] || shift
    e2e_start_server probe "$E2E_ARTIFACTS/probe.log" wine "$probe"
    W32_PROBE_PID=$E2E_SERVER_PID W32_PROBE_IN=$E2E_SERVER_IN W32_PROBE_OUT=$E2E_SERVER_OUT
    e2e_log "started the probe (pid $W32_PROBE_PID)"
    [ "${W32_WATCH:-0}" = 0 ] || w32 watch >/dev/null
    if [ ${#launcher[@]} -gt 0 ]; then
        e2e_start_command wine "${launcher[@]}" /unix "$exe" "$@"
    else
        e2e_start_command wine "$exe" "$@"
    fi
    w32_wait_ok rect main
    # Without the virtual desktop Wine gives each window an X window of its
    # own and draws no frames: nothing measured then says anything.
    xwininfo -root -children | grep -q "\"Default - Wine desktop\".* ${WINESESSION_SIZE}+0+0" ||
        e2e_fail "the program is not on the virtual desktop $WINESESSION_SIZE: $(xwininfo -root -children | tr '\n' ' ')"
}

# w32_watched: what the probe's watch saw so far into $E2E_WATCH_LOG, for
# e2e_watch_steps.
w32_watched() {
    E2E_WATCH_LOG=$E2E_ARTIFACTS/geometry.log
    w32 watched | tr ';' '\n' >"$E2E_WATCH_LOG"
}

# w32_state_is N WHICH: true when field WHICH (1 visible, 2 enabled, 3
# iconic, 4 zoomed, 5 foreground) of the main window's state is N.
w32_state_is() {
    local state
    state=$(w32 state main)
    read -ra state <<<"$state"
    [ "${state[$2 - 1]}" = "$1" ]
}

# Asked to quit, the probe ends before the program; the trap calls this first.
_w32_quit_probe() {
    if [ -n "$W32_PROBE_PID" ] && e2e_running "$W32_PROBE_PID"; then
        { printf 'quit\n' >&"$W32_PROBE_IN"; } 2>/dev/null || true
        e2e_wait_until 3 e2e_ended "$W32_PROBE_PID" || e2e_end_process "$W32_PROBE_PID" || true
    fi
}

# ---------------------------------------------------------------- input

# w32_reachable WIN PATTERN: true when part of that child lies on the
# screen (a large preset puts part of the window off it) and inside WIN's
# client area (at 216 DPI the layout is larger than a 640 x 480 window);
# W32_AT holds "X Y", the middle of that part. Sets C_* as w32_control.
w32_reachable() {
    w32_control "$@"
    local cx cy cw ch x0 y0 x1 y1
    read -r cx cy cw ch <<<"$(w32 client "$1")"
    x0=$((C_X > cx ? C_X : cx)) y0=$((C_Y > cy ? C_Y : cy))
    x1=$((C_X + C_W < cx + cw ? C_X + C_W : cx + cw))
    y1=$((C_Y + C_H < cy + ch ? C_Y + C_H : cy + ch))
    ((x0 >= 0)) || x0=0
    ((y0 >= 0)) || y0=0
    ((x1 <= W32_SCREEN_W)) || x1=$W32_SCREEN_W
    ((y1 <= W32_SCREEN_H)) || y1=$W32_SCREEN_H
    W32_AT="$(((x0 + x1) / 2)) $(((y0 + y1) / 2))"
    ((x0 < x1 && y0 < y1))
}

# w32_click_visible WIN PATTERN: clicks the middle of the part of the child
# that w32_reachable finds.
w32_click_visible() {
    w32_reachable "$@" ||
        e2e_fail "'$2' is off the screen or outside the client area, at $C_X $C_Y $C_W $C_H"
    # shellcheck disable=SC2086 # two words
    w32 click $W32_AT
}

# w32_menu KEYS...: opens a menu with its access key and picks an entry, as
# Alt+H then A does.
w32_menu() {
    local k
    for k in "$@"; do
        w32 key "$k"
        sleep 0.2 # the menu opens from the program's queue
    done
}

# ---------------------------------------------------------------- the About box

_w32_dialog_gone() { [ "$(w32_probe rect dialog)" = "error 0 other windows of the program are showing" ]; }

# w32_about_open: opens the About box (Alt+H, A) and checks it: an empty
# title, "Vistrum ", "Version 2.01" and OK shown inside it, centred on the
# main window's outer rectangle to the pixel, the main window disabled.
w32_about_open() {
    w32_menu alt+h a
    w32_wait_ok rect dialog
    local m d mx my mw mh dx dy dw dh name
    d=$(w32_settled dialog)
    m=$(w32 rect main)
    e2e_assert_eq "" "$(w32 title dialog)" "title of the About box"
    read -r mx my mw mh <<<"$m"
    read -r dx dy dw dh <<<"$d"
    for name in "Vistrum " "Version 2.01" OK; do
        w32_control dialog "$name"
        ((C_VISIBLE == 1 && C_X >= dx && C_Y >= dy && C_X + C_W <= dx + dw && C_Y + C_H <= dy + dh)) ||
            e2e_fail "'$name' ($C_X $C_Y $C_W $C_H, visible $C_VISIBLE) is not shown in the About box ($d)"
    done
    e2e_log "ok: 'Vistrum ', 'Version 2.01' and OK are in the About box"
    # Centres compared at twice the scale, so that half pixels count.
    local ex=$((2 * dx + dw - 2 * mx - mw)) ey=$((2 * dy + dh - 2 * my - mh))
    ((ex >= -1 && ex <= 1 && ey >= -1 && ey <= 1)) ||
        e2e_fail "the About box ($d) is not centred on the main window ($m): off by $ex,$ey half pixels"
    e2e_log "ok: the About box ($d) is centred on the main window ($m)"
    # The main window stays disabled while the box is up.
    e2e_assert_eq "1 0 0 0 0" "$(w32 state main)" "main window (visible enabled iconic zoomed foreground)"
}

# w32_about_closes_with WHAT: the About box has gone after WHAT, and the
# main window is enabled and in front again.
w32_about_closes_with() {
    e2e_wait_until "$E2E_TIMEOUT" _w32_dialog_gone || e2e_fail "the About box is still open after $1"
    w32_wait_answer "1 1 0 0 1" state main
    e2e_log "ok: $1 closed the About box; the main window is enabled and in front"
}

# ---------------------------------------------------------------- the scenarios' driver

# What tests/scenarios/presets.sh and custom_sizes.sh ask of a platform,
# read by the probe from the window's own state.
# shellcheck disable=SC2034 # read by the scenarios
PRESET_LAG=0
preset_outer() { w32 rect main; }
preset_settled() { w32_settled main; }
preset_readout() { w32_text_of main "Current screen size = *"; }
preset_flags() { w32_flags main "$1"; }
preset_checked() {
    local name out=""
    for name in "${PRESETS[@]}" "Custom Size"; do
        w32_control main "$name"
        [ "$C_CHECKED" = 0 ] || out+="${out:+, }$name"
    done
    echo "$out"
}
# At 216 DPI the layout is larger than a 640 x 480 window: a button that
# lies outside the client area is reached from "1600 X 1200", whose window
# holds the whole layout, as a user would do it.
preset_click() {
    if ! w32_reachable main "$1"; then
        e2e_log "'$1' lies outside the window's client area; '1600 X 1200' first"
        w32 mark "to-1600X1200" >/dev/null
        w32_click_visible main "1600 X 1200"
        w32_wait_flags "1 1 1" main "1600 X 1200"
        w32_settled main >/dev/null
    fi
    w32 mark "${1// /}" >/dev/null
    w32_click_visible main "$1"
}
# The Sizes menu from the keyboard: Alt+S opens it at its first entry.
size_choose() {
    local k
    w32 key alt+s
    sleep 0.2 # the menu opens from the program's queue
    for ((k = 0; k < $2; k++)); do w32 key down; done
    w32 key return
}
exact_open() {
    w32 key ctrl+e
    w32_wait_ok rect dialog
    w32_settled dialog >/dev/null
}
exact_filled_in() { echo "$(w32 edit dialog 0) $(w32 edit dialog 1)"; }
exact_key() { w32 key "${1,,}"; }
exact_enter() {
    w32 type "$1"
    w32 key tab
    w32 type "$2"
    exact_key "$3"
}
exact_message() { w32_text_of dialog "The *"; }
exact_is_open() { w32_probe rect dialog >/dev/null; }
# Centres compared at twice the scale, so that half pixels count.
exact_centred() {
    local mx my mw mh dx dy dw dh
    read -r mx my mw mh <<<"$(w32 rect main)"
    read -r dx dy dw dh <<<"$(w32 rect dialog)"
    local ex=$((2 * dx + dw - 2 * mx - mw)) ey=$((2 * dy + dh - 2 * my - mh))
    ((ex >= -1 && ex <= 1 && ey >= -1 && ey <= 1)) && return
    e2e_log "Exact Size $dw x $dh at $dx,$dy; the main window $mw x $mh at $mx,$my"
    return 1
}
# A drag of the bottom-right corner, which must stay on the screen.
custom_resize() {
    local x y w h
    read -r x y w h <<<"$(w32 rect main)"
    ((x + $1 <= W32_SCREEN_W && y + $2 <= W32_SCREEN_H && x + w <= W32_SCREEN_W && y + h <= W32_SCREEN_H)) ||
        e2e_fail "a drag from $w x $h to $1 x $2 at $x,$y would leave the screen"
    w32 drag-corner main $(($1 - w)) $(($2 - h))
}

# ---------------------------------------------------------------- set-up

_w32_init() {
    local dir=${VISTRUM_WINE_SESSION_DIR:-}
    [ -n "$dir" ] || e2e_fail "VISTRUM_WINE_SESSION_DIR is not set"
    [ -f "$dir/env" ] || e2e_fail "no Wine session in $dir (tools/wine-session.sh start has not run)"
    # shellcheck source=/dev/null
    source "$dir/env"
    [ -n "${VISTRUM_WINDOWS_BIN:-}" ] || e2e_fail "VISTRUM_WINDOWS_BIN is not set"
    read -r W32_SCREEN_W W32_SCREEN_H <<<"${WINESESSION_SIZE/x/ }"
    E2E_AT_EXIT+=(_w32_quit_probe)
    e2e_test_init
}

# w32_use_dpi N: the DPI that programs started from now on see.
w32_use_dpi() {
    bash "$_w32_tools/wine-session.sh" dpi "$VISTRUM_WINE_SESSION_DIR" "$1" >/dev/null
    e2e_log "display $DISPLAY, $1 DPI"
}

_w32_init
