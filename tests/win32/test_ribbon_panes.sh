#!/usr/bin/env bash
# The colour ribbon: a click on a swatch paints the window's own background
# (beside the frame "Screen Size", not the task bar) in its colour, as
# sampled on the screen, marks that swatch alone with "×", and the readout
# shows the colour value, blue byte first ("Color = 000000FF Hex" for red).
# Then the panes: F1 and Help > Vistrum Help open the help text, Help >
# ShareWare the notice, each shown whole and centred on the frame, the one
# replacing the other; a key, a click on the pane, on the task bar or on the
# window's background closes it. Last, a click on the caption's close button ends the program with
# status 0.
source "$(dirname "$0")/lib.sh"

w32_use_dpi 96
w32_start_program
w32_wait_flags "1 1 1" main "640 X 480"
w32_settled main >/dev/null
w32_wait_text "Color = 8000000F Hex" main "Color = *"

w32_control main "Screen Size"
fx=$C_X fy=$C_Y fw=$C_W fh=$C_H
read -r cx cy cw ch <<<"$(w32 client main)"
w32_control main "Start"
bar_y=$((C_Y + C_H / 2))
# A spot of the window's own background, half-way between its left edge and
# the frame; one on the task bar, right of "Start".
bg_x=$(((cx + fx) / 2)) bg_y=$((fy + fh / 2))
bar_x=$((cx + cw * 7 / 8))
e2e_log "background sampled at $bg_x,$bg_y (frame $fx $fy $fw $fh, client $cx $cy $cw $ch)"
design=$(w32 pixel "$bg_x" "$bg_y")
e2e_log "background at start-up: $design"

# marks: the indices of the swatches that carry a mark.
marks() {
    local i out=""
    for ((i = 0; i < 24; i++)); do
        read -r _ _ _ _ text <<<"$(w32 swatch "$i")"
        [ -z "${text:-}" ] || out+="${out:+ }$i:$text"
    done
    echo "$out"
}
e2e_assert_eq "" "$(marks)" "marked swatches at start-up"

_background_is() { _bg=$(w32 pixel "$bg_x" "$bg_y") && [ "$_bg" = "$1" ]; }
# pick INDEX COLOUR READOUT: COLOUR "#RRGGBB" as on the screen.
pick() {
    local x y w h
    read -r x y w h _ <<<"$(w32 swatch "$1")"
    w32 click $((x + w / 2)) $((y + h / 2))
    w32_wait_text "Color = $3 Hex" main "Color = *"
    e2e_wait_until "$E2E_TIMEOUT" _background_is "$2" ||
        e2e_fail "the background at $bg_x,$bg_y is $_bg after swatch $1, not $2"
    e2e_log "ok: the background is $2 after swatch $1"
    e2e_assert_eq "$1:×" "$(marks)" "marked swatches after swatch $1"
    e2e_assert_eq "#808080" "$(w32 pixel "$bar_x" "$bar_y")" "the task bar at $bar_x,$bar_y after swatch $1"
}
pick 18 "#FF0000" 000000FF
e2e_screenshot red >/dev/null
pick 9 "#404040" 00404040
pick 23 "#0000FF" 00FF0000

# ---- panes
help_text='Select an option button to instantly set "Vistrum" to the screen size shown.\r\n\r\nOr use the mouse to resize "Vistrum" to a custom size by dragging any border.\r\n\r\nChange the background color by clicking a color you like in the color selection ribbon.\r\n'
help='Select an option button*'
notice='Vistrum is shareware.*'

# opened PATTERN WHAT: that pane is showing, centred on the frame to the pixel.
opened() {
    w32_wait_flags "1 0 1" main "$1"
    w32_control main "$1"
    local ex=$((2 * C_X + C_W - 2 * fx - fw)) ey=$((2 * C_Y + C_H - 2 * fy - fh))
    ((ex >= -2 && ex <= 2 && ey >= -2 && ey <= 2)) ||
        e2e_fail "the pane ($C_X $C_Y $C_W $C_H) is not centred on the frame ($fx $fy $fw $fh) after $2"
    e2e_log "ok: pane '$1' showing, centred on the frame, after $2"
}
closed() {
    w32_wait_flags "0 0 1" main "$1"
    e2e_log "ok: pane '$1' closed after $2"
}

w32 key f1
opened "$help" F1
e2e_assert_eq "$help_text" "$(w32_text_of main "$help")" "the help text"
e2e_screenshot help >/dev/null
w32 key a
closed "$help" "the key A"

# Help while the notice is open: the help text takes its place.
w32_menu alt+h s
opened "$notice" "Help > ShareWare"
w32_menu alt+h h
opened "$help" "Help > Vistrum Help"
closed "$notice" "Help > Vistrum Help"
w32 click "$bar_x" "$bar_y"
closed "$help" "a click on the task bar"

w32_menu alt+h s
opened "$notice" "Help > ShareWare again"
w32 click-child main "$notice"
closed "$notice" "a click on it"

w32 key f1
opened "$help" "F1 again"
w32 click "$bg_x" "$bg_y"
closed "$help" "a click on the window's background"
e2e_assert_eq "96 72 640 480" "$(w32 rect main)" "outer rectangle after the panes"

e2e_log "close button clicked at $(w32 caption-button main close)"
e2e_assert_exits 5 0
