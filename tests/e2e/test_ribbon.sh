#!/usr/bin/env bash
# The state at start-up, then the colour ribbon: a click on a swatch paints
# the window's background (the client area around the frame "Screen Size",
# not the task bar) in its colour, marks the swatch with a white frame two
# pixels wide and a "×", takes the mark off the swatch marked before, and the
# readout shows the colour as 00BBGGRR. Read over AT-SPI and on screenshots.
source "$(dirname "$0")/lib.sh"

e2e_start_main_window

# ---- start-up state
e2e_assert_eq "640x480+96+72" "$(e2e_rect "$(e2e_outer_geometry "$win")")" "outer rectangle at start-up"
e2e_wait_a11y "640 X 480" checked
e2e_wait_a11y "Current screen size = 640 X 480" text "Current screen size = "
e2e_wait_a11y "Color = 8000000F Hex" text "Color = "
! e2e_a11y_has "Custom Size" enabled || e2e_fail "Custom Size is enabled at start-up"
# The 24 swatches are named by their colour, "red R, green G, blue B".
_selected() { _sel=$(e2e_a11y text "red " | grep ', selected$' || true) && [ "$_sel" = "$1" ]; }
e2e_assert_eq 24 "$(e2e_a11y text "red " | wc -l)" "number of swatches"
_selected "" || e2e_fail "a swatch is selected at start-up: $_sel"
e2e_screenshot start-up >/dev/null

e2e_a11y_extents "Screen Size"
fx=$A11Y_X fy=$A11Y_Y fw=$A11Y_W
read -r cx _ cw _ <<<"$(e2e_client_geometry "$win")"
e2e_a11y_extents Start
by=$A11Y_Y
bar_y=$((A11Y_Y + A11Y_H / 2))

# _ring FILE X Y: the distinct colours of four pixels just inside the border
# of the swatch whose top-left corner is X,Y, one on each side. The mark's
# white frame covers them; _colours_inside counts colours within it.
_ring() {
    local f=$1 x=$2 y=$3 p
    for p in "$((x + 1)) $((y + 8))" "$((x + 15)) $((y + 8))" "$((x + 8)) $((y + 1))" "$((x + 8)) $((y + 15))"; do
        # shellcheck disable=SC2086
        e2e_pixel "$f" $p
    done | sort -u | tr '\n' ' '
}
_colours_inside() { convert "$1" -crop "11x11+$(($2 + 3))+$(($3 + 3))" +repage -format %k info:; }

shot_matches() {
    _shot=$(e2e_screenshot "$1" 2>/dev/null)
    [ "$(e2e_pixel "$_shot" $((fx - 10)) $((fy + 10)))" = "$2" ]
}

# pick NAME COLOUR HEX: clicks the swatch named NAME; COLOUR is "#RRGGBB".
prev=""
pick() {
    local name=$1 colour=$2 hex=$3 sx sy shot px py pc
    e2e_a11y_extents "$name"
    sx=$A11Y_X sy=$A11Y_Y
    e2e_a11y_click "$name"
    e2e_move_pointer 0 0
    e2e_wait_a11y "Color = $hex Hex" text "Color = "
    e2e_wait_until "$E2E_TIMEOUT" _selected "$name, selected" ||
        e2e_fail "expected only '$name' to be selected, got: $_sel"
    e2e_log "ok: only '$name, selected'"
    e2e_wait_until "$E2E_TIMEOUT" shot_matches "swatch-$hex" "$colour" ||
        e2e_fail "the background did not turn $colour (see $_shot)"
    shot=$_shot
    # Left and right of the frame, and below it, above the task bar.
    e2e_assert_pixel "$shot" $((fx - 10)) $((fy + 10)) "$colour"
    e2e_assert_pixel "$shot" $((fx + fw + 10)) $((fy + 10)) "$colour"
    e2e_assert_pixel "$shot" $((cx + 10)) $((by - 10)) "$colour"
    e2e_assert_pixel "$shot" $((cx + cw * 3 / 4)) "$bar_y" "#808080"
    e2e_assert_eq "#FFFFFF " "$(_ring "$shot" "$sx" "$sy")" "colours of the white frame inside the border of '$name'"
    e2e_assert_pixel "$shot" $((sx + 3)) $((sy + 3)) "$colour"
    e2e_assert "'$name' carries a mark" test "$(_colours_inside "$shot" "$sx" "$sy")" -gt 1
    if [ -n "$prev" ]; then
        read -r px py pc <<<"$prev"
        e2e_assert_eq "$pc " "$(_ring "$shot" "$px" "$py")" "the swatch marked before, at $px,$py, without the frame"
        e2e_assert_eq 1 "$(_colours_inside "$shot" "$px" "$py")" "colours inside the swatch marked before"
    fi
    prev="$sx $sy $colour"
}

pick "red 255, green 0, blue 0" "#FF0000" 000000FF
pick "red 0, green 0, blue 255" "#0000FF" 00FF0000
pick "red 0, green 0, blue 0" "#000000" 00000000

e2e_key "$win" ctrl+q
e2e_assert_exits 5 0
