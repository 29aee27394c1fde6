# shellcheck shell=bash
# shellcheck disable=SC2034,SC2154 # what is set here is the scenarios'; $win is the script's
# The driver of tests/scenarios on Linux: the program's main window ($win,
# set by the script) as the X server reports it, its controls as AT-SPI
# does, which may be a moment after the window shows them, and the user's
# clicks and keys through the X server. Sourced after lib.sh and the
# scenarios, with the window manager's rule as its argument (presets.sh):
# sets rule, the screen (sw, sh) and the quarter position's monitor (qw, qh).

rule=$1
case $rule in quarter | titlebar | workarea) ;; *) e2e_fail "unknown rule: $rule" ;; esac
[ "${XSESSION_WM:-none}" != none ] || e2e_skip "needs a window manager"
# The whole X screen, all monitors (xdotool's display geometry is the first
# monitor's where there are several).
read -r sw sh <<<"$(xwininfo -root | awk -F: '/^ *Width:/ { w = $2 + 0 } /^ *Height:/ { h = $2 + 0 } END { print w, h }')"
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
        e2e_log "'$1' is off the screen, at $A11Y_CX,$A11Y_CY; moving it to the first monitor's middle"
        xdotool windowmove "$win" $((x + qw / 2 - A11Y_CX)) $((y + qh / 2 - A11Y_CY))
        e2e_wait_until "$E2E_TIMEOUT" _on_screen "$1" || e2e_fail "'$1' did not come onto the screen"
        e2e_wait_stable "$win"
    fi
    e2e_watch_mark "${1// /}"
    e2e_click "$A11Y_CX" "$A11Y_CY"
}
custom_resize() { e2e_resize_outer "$win" "$1" "$2"; }

# ---- the Sizes menu and the Exact Size dialog (sizes.sh)
size_choose() {
    e2e_key "$win" alt+s
    e2e_wait_until "$E2E_TIMEOUT" e2e_a11y_showing "$1" || e2e_fail "Alt+S shows no entry '$1'"
    e2e_a11y_click "$1"
}
exact_open() {
    e2e_key "$win" ctrl+e
    dialog=$(e2e_find_window "Exact Size")
    e2e_wait_managed "$dialog"
    e2e_wait_stable "$dialog"
}
exact_filled_in() { echo "$(e2e_a11y value "Width in pixels") $(e2e_a11y value "Height in pixels")"; }
exact_key() { xdotool key --clearmodifiers "$1"; }
exact_enter() {
    xdotool type "$1"
    exact_key Tab
    xdotool type "$2"
    exact_key "$3"
}
exact_message() { e2e_a11y text "The "; }
exact_is_open() { [ "$(e2e_map_state "$dialog")" = IsViewable ]; }
# Centres compared at twice the scale, so that half pixels count.
exact_centred() {
    local mx my mw mh dx dy dw dh
    read -r mx my mw mh <<<"$(e2e_outer_geometry "$win")"
    read -r dx dy dw dh <<<"$(e2e_outer_geometry "$dialog")"
    local ex=$((2 * dx + dw - 2 * mx - mw)) ey=$((2 * dy + dh - 2 * my - mh))
    ((ex >= -2 && ex <= 2 && ey >= -2 && ey <= 2)) && return
    e2e_log "Exact Size $dw x $dh at $dx,$dy; the main window $mw x $mh at $mx,$my"
    return 1
}
