#!/usr/bin/env bash
# Each of the twelve preset buttons, clicked once, gives the main window that
# size outside (frame, title bar and menu bar included), also when it is
# larger than the screen, and moves it to ((screen width - w) / 4,
# (screen height - h) / 4), to the nearest pixel. The readout then shows the
# outer size, the clicked button is the only one checked and Custom Size is
# disabled. The first argument says where the window manager lets a window
# stand:
#   quarter   anywhere, also partly off the screen (openbox, KWin)
#   titlebar  anywhere but with the title bar's top above the screen's:
#             y = max(0, quarter) (metacity, mutter)
# First, on a screenshot: the grey task bar is 24 device pixels high and ends
# at the bottom of the client area.
# A button that a large preset put off the screen is brought back by moving
# the window (a move is not a resize). Sizes measured: $E2E_ARTIFACTS/presets.txt.
source "$(dirname "$0")/lib.sh"

rule=${1:-quarter}
case $rule in quarter | titlebar) ;; *) e2e_fail "unknown position rule: $rule" ;; esac
[ "${XSESSION_WM:-none}" != none ] || e2e_skip "needs a window manager"
source "$(dirname "$0")/../scenarios/presets.sh"
read -r sw sh <<<"$(xdotool getdisplaygeometry)"
# The quarter position is taken on the program's screen, the first monitor.
read -r qw qh <<<"$(xrandr --listactivemonitors | sed -n 's|^ *0: [^ ]* \([0-9]*\)/[0-9]*x\([0-9]*\)/.*|\1 \2|p')"
[ -n "$qw" ] || read -r qw qh <<<"$sw $sh"
table=$E2E_ARTIFACTS/presets.txt
printf '%-12s %-10s %s\n' asked granted position >"$table"

e2e_start_a11y
e2e_start_program
win=$(e2e_find_window "Vistrum V2.1")
e2e_wait_managed "$win"
e2e_wait_stable "$win"
e2e_wait_a11y "Current screen size = 640 X 480" text "Current screen size = "
# The readout is written before the window is moved to its place.
_at_start_place() { _last=$(e2e_rect "$(e2e_outer_geometry "$win")") && [ "$_last" = "640x480+$(((qw - 640) / 4))+$(((qh - 480) / 4))" ]; }
e2e_wait_until "$E2E_TIMEOUT" _at_start_place || e2e_fail "the window did not reach its start-up place: $_last"
e2e_wait_stable "$win"

# ---- task bar: the rows of the bar (grey, a black line at top and bottom)
# counted upwards from the last row of the client area, away from "Start"
# and, at high DPI, from the frame of options, which grows with the DPI and
# stands over the bar in a 640 X 480 window.
read -r cx cy cw ch <<<"$(e2e_client_geometry "$win")"
bx=$((cx + cw * 15 / 16))
# A compositing window manager (mutter) puts the window on the screen a
# moment after it has painted it.
_bar_on_screen() { shot=$(e2e_screenshot start) && [ "$(e2e_pixel "$shot" "$bx" $((cy + ch - 12)))" = "#808080" ]; }
e2e_wait_until "$E2E_TIMEOUT" _bar_on_screen || true
rows=$(convert "$shot" -crop "1x60+$bx+$((cy + ch - 60))" +repage -depth 8 txt:- |
    awk 'NR > 1 { print toupper($3) }' | tac |
    awk '$0 != "#808080" && $0 != "#000000" { print NR - 1; exit }')
e2e_assert_pixel "$shot" "$bx" $((cy + ch - 12)) "#808080"
e2e_assert_eq 24 "$rows" "height in device pixels of the task bar at the bottom of the client area"

# ---- presets
_outer_size_is() { _last=$(e2e_outer_geometry "$win") && [ "$(e2e_size "$_last")" = "$1" ]; }
_on_screen() {
    local ext
    ext=$(e2e_a11y find "$1") || return 1
    read -r A11Y_X A11Y_Y A11Y_W A11Y_H <<<"$ext"
    A11Y_CX=$((A11Y_X + A11Y_W / 2)) A11Y_CY=$((A11Y_Y + A11Y_H / 2))
    ((A11Y_CX >= 2 && A11Y_CY >= 2 && A11Y_CX < sw - 2 && A11Y_CY < sh - 2))
}
bring_into_view() {
    _on_screen "$1" && return 0
    local x y
    read -r x y _ _ <<<"$(e2e_client_geometry "$win")"
    e2e_log "'$1' is off the screen, at $A11Y_CX,$A11Y_CY; moving the window"
    xdotool windowmove "$win" $((x + sw / 2 - A11Y_CX)) $((y + sh / 2 - A11Y_CY))
    e2e_wait_until "$E2E_TIMEOUT" _on_screen "$1" || e2e_fail "'$1' did not come onto the screen"
    e2e_wait_stable "$win"
}
# assert_quarter AXIS POS SCREEN SIZE [MIN]: 4 * POS is within 2 of
# SCREEN - SIZE, or POS is MIN where the quarter lies below it.
assert_quarter() {
    if [ -n "${5:-}" ] && ((($3 - $4) / 4 < $5)); then
        e2e_assert_eq "$5" "$2" "$1 position (the quarter, ($3 - $4) / 4, lies above the screen)"
        return
    fi
    preset_at_quarter "$2" "$3" "$4" || e2e_fail "$1 position $2: expected ($3 - $4) / 4 to the nearest pixel"
    e2e_log "ok: $1 position $2 is ($3 - $4) / 4 rounded"
}

# click_preset NAME: clicks the button and checks the outcome. Leaves the
# outer geometry in ox oy ow oh.
click_preset() {
    local name=$1 w=${1% X *} h=${1#* X }
    bring_into_view "$name"
    e2e_log "---- $name"
    e2e_click "$A11Y_CX" "$A11Y_CY"
    e2e_wait_a11y "$name" checked
    e2e_wait_until "$E2E_TIMEOUT" _outer_size_is "${w}x$h" ||
        e2e_fail "outer size after '$name': expected ${w}x$h, got $(e2e_rect "$_last")"
    e2e_wait_stable "$win"
    read -r ox oy ow oh <<<"$(e2e_outer_geometry "$win")"
    e2e_wait_a11y "Current screen size = $ow X $oh" text "Current screen size = "
    e2e_wait_a11y "$name" checked
    ! e2e_a11y_has "Custom Size" enabled || e2e_fail "Custom Size is enabled after '$name'"
    e2e_assert_eq "${w}x$h" "${ow}x$oh" "outer size after '$name'"
    assert_quarter x "$ox" "$qw" "$w"
    assert_quarter y "$oy" "$qh" "$h" "$([ "$rule" = titlebar ] && echo 0)"
}

for name in "${PRESETS[@]}"; do
    click_preset "$name"
    printf '%-12s %-10s %s\n' "${name// X /x}" "${ow}x$oh" "$ox,$oy" >>"$table"
done
e2e_screenshot last >/dev/null
cat "$table"

e2e_key "$win" ctrl+q
e2e_assert_exits 5 0
