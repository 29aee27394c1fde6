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
# First 640 X 480 -> 1600 X 1200 -> 640 X 480, twice. A button that a large
# preset put off the screen is brought back by moving the window (a move is
# not a resize). Table: $E2E_ARTIFACTS/presets.txt.
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
source "$(dirname "$0")/scenario_driver.sh" "${1:-quarter}"
learning=${2:-0}

e2e_start_a11y
e2e_watch_start "Vistrum V2.1"
# Under mutter one busy loop keeps the machine busy while the program
# starts: a compositing window manager on a busy machine showed the first
# picture it had of a window for seconds.
busy=""
if [ "${XSESSION_WM:-}" = mutter ]; then
    sh -c 'while :; do :; done' &
    busy=$!
    E2E_EXTRA_PIDS+=("$busy")
fi
e2e_start_program
win=$(e2e_find_window "Vistrum V2.1")
e2e_wait_managed "$win"

# ---- task bar: the rows of the bar (grey, a black line at top and bottom)
# counted upwards from the last row of the client area, away from "Start"
# and, at high DPI, from the frame of options, which grows with the DPI and
# stands over the bar in a 640 X 480 window. They are read from the screen,
# as the user sees it, in a picture of the whole screen taken as soon as the
# window is viewable: it was first shown laid out at its size, so a
# compositing window manager has no earlier picture of it to show.
read -r cx cy cw ch <<<"$(e2e_client_geometry "$win")"
bx=$((cx + cw * 15 / 16)) by=$((cy + ch))
_bar_painted() { shot=$(e2e_screenshot start) && [ "$(e2e_pixel "$shot" "$bx" $((by - 12)))" = "#808080" ]; }
e2e_wait_until "$E2E_TIMEOUT" _bar_painted || true
rows=$(convert "$shot" -crop "1x60+$bx+$((by - 60))" +repage -depth 8 txt:- |
    awk 'NR > 1 { print toupper($3) }' | tac |
    awk '$0 != "#808080" && $0 != "#000000" { print NR - 1; exit }')
e2e_assert_pixel "$shot" "$bx" $((by - 12)) "#808080"
e2e_assert_eq 24 "$rows" "height in device pixels of the task bar at the bottom of the client area"
[ -z "$busy" ] || kill "$busy"

e2e_wait_stable "$win"
presets_check_start "$rule" "$qw" "$qh"

# ---- there and back, twice: the largest size of one screen and the smallest
for name in "1600 X 1200" "640 X 480" "1600 X 1200" "640 X 480"; do
    preset_click "$name"
    preset_expect "$name" "$rule" "$qw" "$qh" "$PRESET_LAG"
done

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
