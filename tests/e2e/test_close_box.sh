#!/usr/bin/env bash
# Closing the main window through the window manager ends the program with
# status 0. How it is closed is the first argument:
#   keys    Alt+F4, the window manager's key binding for Close
#   button  a click on the close button at the right end of the title bar
#   ewmh    a _NET_CLOSE_WINDOW request to the window manager (wmctrl -c)
# In each case the window manager sends WM_DELETE_WINDOW to the program.
source "$(dirname "$0")/lib.sh"

how=${1:-keys}
case $how in keys | button | ewmh) ;; *) e2e_fail "unknown way to close: $how" ;; esac
[ "${XSESSION_WM:-none}" != none ] || e2e_skip "needs a window manager"
[ "$how" != ewmh ] || command -v wmctrl >/dev/null || e2e_skip "wmctrl is not installed"

e2e_start_program
win=$(e2e_find_window "Vistrum V2.1")
e2e_wait_managed "$win"
e2e_wait_stable "$win"

case $how in
    keys)
        e2e_key "$win" alt+F4
        ;;
    button)
        # The close button sits at the right end of the title bar, which is
        # the top frame extent; aim a few pixels inside the right border,
        # half-way down the title bar.
        read -r x y w _ <<<"$(e2e_outer_geometry "$win")"
        read -r left right top bottom <<<"$(e2e_frame_extents "$win")"
        [ "$top" -gt 0 ] || e2e_fail "the window has no title bar (frame extents: $left $right $top $bottom)"
        bx=$((x + w - right - top / 2))
        by=$((y + top / 2))
        shot=$(e2e_screenshot before-close-click)
        e2e_log "clicking the close button at $bx,$by (colour there: $(e2e_pixel "$shot" "$bx" "$by"))"
        e2e_click "$bx" "$by"
        ;;
    ewmh)
        wmctrl -i -c "$(printf '0x%x' "$win")"
        ;;
esac

# A hang guard, not a speed requirement.
e2e_assert_exits 10 0
