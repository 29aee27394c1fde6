#!/usr/bin/env bash
# On a screen of two monitors side by side, the quarter position is taken
# on the monitor that holds most of the window: a preset and a size of the
# Sizes menu chosen while the window stands on the right-hand monitor land
# at that monitor's quarter; back on the left-hand one, a preset lands at
# its quarter. Each is measured from outside, with the readout. The first
# argument is the window manager's rule, as for test_presets.sh.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"
source "$(dirname "$0")/../scenarios/sizes.sh"
source "$(dirname "$0")/scenario_driver.sh" "${1:-quarter}"

# The monitors as RandR lists them: "X Y W H" each, in its order.
mapfile -t monitors < <(xrandr --listactivemonitors |
    sed -n 's|^ *[0-9]*: [^ ]* \([0-9]*\)/[0-9]*x\([0-9]*\)/[0-9]*+\([0-9-]*\)+\([0-9-]*\).*|\3 \4 \1 \2|p')
[ "${#monitors[@]}" = 2 ] || e2e_skip "needs two monitors (xrandr: ${#monitors[@]})"
read -r rx ry rw rh <<<"${monitors[1]}"

e2e_start_a11y
e2e_start_program
win=$(e2e_find_window "Vistrum V2.1")
e2e_wait_managed "$win"
e2e_wait_stable "$win"

# at_rect "X Y W H": the window stands there, and its readout shows the size.
_at_rect() { [ "$(e2e_outer_geometry "$win")" = "$1" ]; }
at_rect() {
    local w h
    e2e_wait_until "$E2E_TIMEOUT" _at_rect "$1" || true
    e2e_wait_stable "$win"
    e2e_assert_eq "$1" "$(e2e_outer_geometry "$win")" "outer rectangle after $2"
    read -r _ _ w h <<<"$1"
    e2e_wait_a11y "Current screen size = $w X $h" text "Current screen size = "
}
# move_onto X Y: the user drags the window's outer corner to X,Y.
move_onto() {
    local l r t b
    read -r l r t b <<<"$(e2e_frame_extents "$win")"
    xdotool windowmove "$win" $(($1 + l)) $(($2 + t))
    e2e_wait_until "$E2E_TIMEOUT" _at_rect "$1 $2 640 480" || true
    e2e_wait_stable "$win"
}
quarter() { echo $(($1 + ($3 - $5) / 4)) $(($2 + ($4 - $6) / 4)) "$5" "$6"; }

move_onto $((rx + 100)) $((ry + 100))
preset_click "800 X 600"
at_rect "$(quarter "$rx" "$ry" "$rw" "$rh" 800 600)" "'800 X 600' on the right-hand monitor"
size_choose "1280 X 720" 0
at_rect "$(quarter "$rx" "$ry" "$rw" "$rh" 1280 720)" "Sizes > 1280 X 720 on the right-hand monitor"

read -r lx ly lw lh <<<"${monitors[0]}"
preset_click "640 X 480"
at_rect "$(quarter "$rx" "$ry" "$rw" "$rh" 640 480)" "'640 X 480' on the right-hand monitor"
move_onto $((lx + 50)) $((ly + 50))
preset_click "1024 X 768"
at_rect "$(quarter "$lx" "$ly" "$lw" "$lh" 1024 768)" "'1024 X 768' back on the left-hand monitor"

e2e_key "$win" ctrl+q
e2e_assert_exits 5 0
