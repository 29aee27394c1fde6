#!/usr/bin/env bash
# Resizes that do not come from a preset select Custom Size (checked and
# enabled), leave the window where it is, and the readout shows the new outer
# size: a size set from outside (xdotool windowsize, granted by the window
# manager), a drag of the bottom border, minimise then restore, maximise
# (wmctrl). A preset afterwards gives its exact size and position again, and
# ends the maximised state. Whatever made the window manager grant a preset
# larger than the screen holds the window to no size: a smaller preset and a
# drag that shrinks the window work after it.
source "$(dirname "$0")/lib.sh"

[ "${XSESSION_WM:-none}" != none ] || e2e_skip "needs a window manager"
command -v wmctrl >/dev/null || e2e_skip "wmctrl is not installed"
read -r sw sh <<<"$(xdotool getdisplaygeometry)"

e2e_start_a11y
e2e_start_program
win=$(e2e_find_window "Vistrum V2.1")
hex=$(printf '0x%x' "$win")
e2e_wait_managed "$win"
e2e_wait_stable "$win"
e2e_wait_a11y "640 X 480" checked

# custom WHAT X Y W H: Custom Size is the one checked button and enabled,
# the outer rectangle is WxH+X+Y (X and Y "any": wherever the window
# manager keeps it), and the readout shows the outer size measured from
# outside.
_outer_is() {
    _last=$(e2e_rect "$(e2e_outer_geometry "$win")") || return 1
    [[ $_last == $1 ]]
}
_outer_size_is() { _last=$(e2e_rect "$(e2e_outer_geometry "$win")") && [ "${_last%%+*}" = "$1" ]; }
custom() {
    e2e_wait_a11y "Custom Size" checked
    local want="$4x$5+$2+$3"
    [ "$2" != any ] || want="$4x$5+*"
    e2e_wait_until "$E2E_TIMEOUT" _outer_is "$want" ||
        e2e_fail "outer rectangle after $1: expected $want, got $_last"
    e2e_wait_stable "$win"
    read -r _ _ ow oh <<<"$(e2e_outer_geometry "$win")"
    _outer_is "$want" || e2e_fail "outer rectangle after $1: expected $want, got $_last"
    e2e_log "ok: outer rectangle after $1 is $_last"
    e2e_wait_a11y "Current screen size = $ow X $oh" text "Current screen size = "
    e2e_a11y_has "Custom Size" enabled || e2e_fail "Custom Size is not enabled after $1"
}
# preset NAME X Y: the window gets exactly that outer size at X,Y, and
# Custom Size is unchecked and disabled.
preset() {
    local want="${1% X *}x${1#* X }+$2+$3"
    e2e_a11y_click "$1"
    e2e_wait_a11y "$1" checked
    e2e_wait_until "$E2E_TIMEOUT" _outer_is "$want" || e2e_fail "outer rectangle after '$1': expected $want, got $_last"
    e2e_wait_stable "$win"
    read -r _ _ ow oh <<<"$(e2e_outer_geometry "$win")"
    e2e_assert_eq "$want" "$(e2e_rect "$(e2e_outer_geometry "$win")")" "outer rectangle after '$1'"
    e2e_wait_a11y "Current screen size = $ow X $oh" text "Current screen size = "
    ! e2e_a11y_has "Custom Size" enabled || e2e_fail "Custom Size is enabled after '$1'"
}

# ---- sizes set from outside: the client becomes 700 x 500, then the outer
# size 956 x 533, which read 955.9999 at 168 DPI when twips were inexact
read -r l r t b <<<"$(e2e_frame_extents "$win")"
xdotool windowsize "$win" 700 500
custom "a resize from outside" 96 72 $((700 + l + r)) $((500 + t + b))
e2e_resize_outer "$win" 956 533
# It does not fit beside its place: the window manager may move it.
custom "a resize from outside to 956 x 533" any any 956 533
preset "640 X 480" 96 72

# ---- a preset larger than the screen, then a smaller one
e2e_a11y_click "1600 X 1200"
e2e_wait_until "$E2E_TIMEOUT" _outer_size_is 1600x1200 || e2e_fail "'1600 X 1200' gave $_last"
e2e_wait_stable "$win"
preset "640 X 480" 96 72

# ---- a drag of the bottom border, 40 pixels up: smaller than any preset
# The border is grabbed inside a frame that has one; mutter and KWin draw
# none at the bottom and keep their resize border just outside the window.
read -r x y w h <<<"$(e2e_outer_geometry "$win")"
read -r _ _ _ b <<<"$(e2e_frame_extents "$win")"
gy=$((b >= 2 ? y + h - 2 : y + h + 1))
e2e_move_pointer $((x + w / 2)) "$gy"
xdotool mousedown 1
e2e_move_pointer $((x + w / 2)) $((gy - 20))
e2e_move_pointer $((x + w / 2)) $((gy - 40))
xdotool mouseup 1
custom "a drag of the bottom border" 96 72 640 440
e2e_screenshot dragged >/dev/null
preset "800 X 600" 56 42

# ---- minimise, then restore
_wm_state_is() { xprop -id "$win" WM_STATE 2>/dev/null | grep -q "window state: $1"; }
xdotool windowminimize "$win"
e2e_wait_until "$E2E_TIMEOUT" _wm_state_is Iconic || e2e_fail "the window was not minimised"
wmctrl -i -a "$hex"
e2e_wait_until "$E2E_TIMEOUT" _wm_state_is Normal || e2e_fail "the window was not restored"
custom "minimise and restore" 56 42 800 600
preset "640 X 480" 96 72

# ---- maximise, then a preset
_maximised() {
    local s
    s=$(xprop -id "$win" _NET_WM_STATE)
    [[ $s == *_NET_WM_STATE_MAXIMIZED_VERT* && $s == *_NET_WM_STATE_MAXIMIZED_HORZ* ]]
}
wmctrl -i -r "$hex" -b add,maximized_vert,maximized_horz
e2e_wait_until "$E2E_TIMEOUT" _maximised || e2e_fail "the window was not maximised"
custom "maximise" 0 0 "$sw" "$sh"
e2e_screenshot maximised >/dev/null
preset "800 X 600" 56 42
! _maximised || e2e_fail "still maximised after '800 X 600': $(xprop -id "$win" _NET_WM_STATE)"

e2e_key "$win" ctrl+q
e2e_assert_exits 5 0
