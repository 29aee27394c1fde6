#!/usr/bin/env bash
# The presets under a window manager: the start-up state, then each of the
# twelve preset buttons clicked once, checked as tests/scenarios/presets.sh
# says (the outer size, frame, title bar and menu bar included, also when it
# is larger than the screen; the position; the readout; the one checked
# button; Custom Size disabled). The quarter position is taken on the
# program's screen, the first monitor. The first argument is the window
# manager's rule for where a window may stand:
#   quarter   anywhere, also partly off the screen (openbox, KWin)
#   titlebar  anywhere but with the title bar's top on the screen (metacity,
#             mutter)
#   workarea  anywhere, but a size larger than the screen is cut to the work
#             area (jwm, once the program no longer holds its minimum size)
# First, in the window's own picture: the grey task bar is 24 device pixels
# high and ends at the bottom of the client area.
# A button that a large preset put off the screen is brought back by moving
# the window (a move is not a resize). Table: $E2E_ARTIFACTS/presets.txt.
# All along, the window is watched from outside (watch_geometry): it must
# be first shown at its final size, and every preset must be one step the
# user sees. The second argument is how many actions may take a step more
# while the program learns the window manager's way with a size larger than
# the screen (0 unless the session's table says otherwise).
# Then the sizes of tests/scenarios/custom_sizes.sh, set from outside, read
# back in whole pixels.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"
source "$(dirname "$0")/../scenarios/custom_sizes.sh"

rule=${1:-quarter}
learning=${2:-0}
case $rule in quarter | titlebar | workarea) ;; *) e2e_fail "unknown rule: $rule" ;; esac
[ "${XSESSION_WM:-none}" != none ] || e2e_skip "needs a window manager"
read -r sw sh <<<"$(xdotool getdisplaygeometry)"
read -r qw qh <<<"$(xrandr --listactivemonitors | sed -n 's|^ *0: [^ ]* \([0-9]*\)/[0-9]*x\([0-9]*\)/.*|\1 \2|p')"
[ -n "$qw" ] || read -r qw qh <<<"$sw $sh"

# ---- the driver: the window as the X server reports it, its controls as
# AT-SPI does, which may be a moment after the window shows them.
PRESET_LAG=$E2E_TIMEOUT
PRESET_WORKAREA=$(xprop -root _NET_WORKAREA | awk -F'= ' '{ split($2, a, ", "); print a[3], a[4] }')
preset_outer() { e2e_outer_geometry "$win"; }
preset_settled() {
    e2e_wait_stable "$win"
    e2e_outer_geometry "$win"
}
preset_readout() { e2e_a11y text "Current screen size = "; }
preset_checked() {
    local names
    names=$(e2e_a11y checked) || return 1
    echo "${names//$'\n'/, }"
}
preset_flags() { e2e_a11y_flags "$1"; }
_on_screen() {
    local ext
    ext=$(e2e_a11y find "$1") || return 1
    read -r A11Y_X A11Y_Y A11Y_W A11Y_H <<<"$ext"
    A11Y_CX=$((A11Y_X + A11Y_W / 2)) A11Y_CY=$((A11Y_Y + A11Y_H / 2))
    ((A11Y_CX >= 2 && A11Y_CY >= 2 && A11Y_CX < sw - 2 && A11Y_CY < sh - 2))
}
preset_click() {
    if ! _on_screen "$1"; then
        local x y
        read -r x y _ _ <<<"$(e2e_client_geometry "$win")"
        e2e_log "'$1' is off the screen, at $A11Y_CX,$A11Y_CY; moving the window"
        xdotool windowmove "$win" $((x + sw / 2 - A11Y_CX)) $((y + sh / 2 - A11Y_CY))
        e2e_wait_until "$E2E_TIMEOUT" _on_screen "$1" || e2e_fail "'$1' did not come onto the screen"
        e2e_wait_stable "$win"
    fi
    e2e_watch_mark "${1// /}"
    e2e_click "$A11Y_CX" "$A11Y_CY"
}
custom_resize() { e2e_resize_outer "$win" "$1" "$2"; }

e2e_start_a11y
e2e_watch_start "Vistrum V2.1"
e2e_start_program
win=$(e2e_find_window "Vistrum V2.1")
e2e_wait_managed "$win"
e2e_wait_stable "$win"
presets_check_start "$rule" "$qw" "$qh"

# ---- task bar: the rows of the bar (grey, a black line at top and bottom)
# counted upwards from the last row of the client area, away from "Start"
# and, at high DPI, from the frame of options, which grows with the DPI and
# stands over the bar in a 640 X 480 window. They are read from the window's
# own pixels: a compositing window manager (mutter, on a busy machine) can
# go on showing the picture the window had before its start-up resize for
# seconds after the window has painted itself anew, until its next paint.
read -r _ _ cw ch <<<"$(e2e_client_geometry "$win")"
bx=$((cw * 15 / 16))
_bar_painted() { shot=$(e2e_screenshot start-window "$win") && [ "$(e2e_pixel "$shot" "$bx" $((ch - 12)))" = "#808080" ]; }
e2e_wait_until "$E2E_TIMEOUT" _bar_painted || true
rows=$(convert "$shot" -crop "1x60+$bx+$((ch - 60))" +repage -depth 8 txt:- |
    awk 'NR > 1 { print toupper($3) }' | tac |
    awk '$0 != "#808080" && $0 != "#000000" { print NR - 1; exit }')
e2e_assert_pixel "$shot" "$bx" $((ch - 12)) "#808080"
e2e_assert_eq 24 "$rows" "height in device pixels of the task bar at the bottom of the client area"
e2e_screenshot start >/dev/null

presets_check_each "$rule" "$qw" "$qh" "$E2E_ARTIFACTS/presets.txt"
e2e_screenshot last >/dev/null

# ---- the steps the user saw: the first showing and each preset
e2e_watch_steps | tee "$E2E_ARTIFACTS/steps.txt"
walks=$(grep -c ' walk$' "$E2E_ARTIFACTS/steps.txt" || true)
e2e_assert "the first showing is one step" grep -q '^start .* one$' "$E2E_ARTIFACTS/steps.txt"
e2e_assert "at most $learning of the presets take a step more ($walks did)" test "$walks" -le "$learning"
custom_sizes_check_each

e2e_key "$win" ctrl+q
e2e_assert_exits 5 0
