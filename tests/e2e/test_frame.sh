#!/usr/bin/env bash
# The frame "Screen Size" on a screenshot, with the window in a swatch
# colour: inside, between the controls, the frame has the controls' own
# background, so they show no box of their own; its top border line runs
# left and right of the caption and is broken behind it. Control extents are
# read over AT-SPI.
source "$(dirname "$0")/lib.sh"

e2e_start_main_window
e2e_wait_a11y "640 X 480" checked
# At 144 DPI the frame is taller than the 640 x 480 window; a larger preset
# shows it whole.
e2e_a11y_click "1024 X 768"
e2e_wait_a11y "1024 X 768" checked
e2e_wait_stable "$win"
# Read before a swatch is picked: its marker then shows, and Qt names it
# after the frame it lies in.
e2e_a11y_extents "Screen Size"
fx=$A11Y_X fy=$A11Y_Y fw=$A11Y_W
e2e_a11y_click "red 255, green 0, blue 0"
e2e_move_pointer 0 0
e2e_wait_a11y "Color = 000000FF Hex" text "Color = "
_red_around() {
    _shot=$(e2e_screenshot frame 2>/dev/null)
    [ "$(e2e_pixel "$_shot" $((fx - 10)) $((fy + 10)))" = "#FF0000" ]
}
e2e_wait_until "$E2E_TIMEOUT" _red_around || e2e_fail "the window did not turn red (see $_shot)"
shot=$_shot

# ---- one colour inside: the option buttons' and the readout's background
# and the frame between them.
e2e_a11y_extents "640 X 480"
read -r ox oy ow oh ocx ocy <<<"$A11Y_X $A11Y_Y $A11Y_W $A11Y_H $A11Y_CX $A11Y_CY"
e2e_a11y_extents "800 X 600"
below=$A11Y_Y
e2e_a11y_extents "1280 X 480"
beside=$A11Y_X
e2e_a11y_extents --prefix "Current screen size = "
face=$(e2e_pixel "$shot" $((ox + ow - 2)) $((oy + 1)))
e2e_assert_ne "#FF0000" "$face" "background of '640 X 480'"
e2e_assert_pixel "$shot" "$A11Y_CX" $((A11Y_Y + A11Y_H - 1)) "$face"
e2e_assert_pixel "$shot" "$ocx" $(((oy + oh + below) / 2)) "$face"
e2e_assert_pixel "$shot" $(((ox + ow + beside) / 2)) "$ocy" "$face"

# ---- the caption in the top border line. The line's row is the first one
# that differs from the frame's top row, right of the caption; the caption's
# columns are those with ink between the frame's top and that row.
row=$(convert "$shot" -crop "1x40+$((fx + fw - 10))+$fy" +repage txt:- |
    awk -v top="$fy" 'NR == 2 { first = $3 } NR > 2 && $3 != first { sub(/.*,/, "", $1); print top + $1; exit }')
[ -n "$row" ] || e2e_fail "no border line below the frame's top edge at y $fy"
line=$(e2e_pixel "$shot" $((fx + fw - 10)) "$row")
e2e_log "the top border line is at y $row, $line"
read -r tw _ tx _ <<<"$(convert "$shot" -crop "$((fw - 2))x$((row - fy))+$((fx + 1))+$fy" +repage \
    -trim -format '%w %h %X %Y' info: | tr -d '+')"
left=$((fx + 1 + tx)) right=$((fx + 1 + tx + tw - 1))
e2e_log "the caption's ink spans x $left to $right"
e2e_assert "the caption starts right of the frame's corner" test "$left" -gt $((fx + 3))
e2e_assert_pixel "$shot" $((fx + 3)) "$row" "$line"
e2e_assert_pixel "$shot" $((right + 10)) "$row" "$line"
e2e_assert_eq 0 "$(convert "$shot" -crop "$((right - left + 1))x1+$left+$row" +repage txt:- |
    grep -ci "$line " || true)" "border-line pixels behind the caption"

e2e_key "$win" ctrl+q
e2e_assert_exits 5 0
