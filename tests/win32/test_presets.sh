#!/usr/bin/env bash
# At the DPI given as the first argument (96, 120, 144, 168 or 216), on the
# 1024 x 768 Wine desktop: the screen and DPI programs see, the start-up
# state (also the colour readout), the About box centred on the main window
# to the pixel at its first showing, then each of the twelve presets clicked
# once, checked as tests/scenarios/presets.sh says: the outer rectangle
# (GetWindowRect) has exactly the preset's size, also when it is larger than
# the screen, and stands at the quarter position; the clicked button is the
# only one checked, Custom Size is disabled and the readout shows the size.
# Then the sizes of tests/scenarios/custom_sizes.sh, given by dragging the
# bottom-right corner, read back in whole pixels. Ctrl+Q then ends the
# program with status 0. Table: $E2E_ARTIFACTS/presets.txt. All along, the
# window is watched from outside: it is first shown at its final rectangle,
# and every preset is one step (steps.txt).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"
source "$(dirname "$0")/../scenarios/custom_sizes.sh"

dpi=${1:-96}

w32_use_dpi "$dpi"
W32_WATCH=1 w32_start_program
e2e_assert_eq "$W32_SCREEN_W $W32_SCREEN_H $dpi" "$(w32 screen)" "screen size and DPI seen by programs"
presets_check_start quarter "$W32_SCREEN_W" "$W32_SCREEN_H"
e2e_log "DWM frame bounds: $(w32 frame main); client area: $(w32 client main)"
w32_wait_text "Color = 8000000F Hex" main "Color = *"
e2e_screenshot "start-$dpi" >/dev/null

# The About box's size is read before it is first shown.
w32_about_open
w32 key return
w32_about_closes_with Enter

table=$E2E_ARTIFACTS/presets.txt
printf '%s DPI, desktop %sx%s\n' "$dpi" "$W32_SCREEN_W" "$W32_SCREEN_H" >"$table"
presets_check_each quarter "$W32_SCREEN_W" "$W32_SCREEN_H" "$table"
e2e_screenshot "last-$dpi" >/dev/null
w32_watched
e2e_watch_steps | tee "$E2E_ARTIFACTS/steps.txt"
e2e_assert "the first showing is one step" grep -q '^start .* one$' "$E2E_ARTIFACTS/steps.txt"
e2e_assert "every preset is one step" test "$(grep -c ' walk$' "$E2E_ARTIFACTS/steps.txt")" = 0

custom_sizes_check_each

w32 key ctrl+q
e2e_assert_exits 5 0
