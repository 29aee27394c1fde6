#!/usr/bin/env bash
# The About box: a modal dialog with an empty title, centred on the main
# window's outer rectangle, with the program's name, "Version 2.01" and an
# OK button. Escape, Enter, Space or OK close it. Afterwards the program
# still ends with status 0. The first argument says how:
#   keys   opened with Alt+H, A; closed with Escape, opened again and closed
#          with Enter, then with Space; the program ended with Ctrl+Q
#   mouse  opened with Help > About Vistrum; closed with a click on OK; the
#          program ended with File > Exit
source "$(dirname "$0")/lib.sh"

how=${1:-keys}
case $how in keys | mouse) ;; *) e2e_fail "unknown way: $how" ;; esac
[ "${XSESSION_WM:-none}" != none ] || e2e_skip "needs a window manager"

e2e_start_main_window
e2e_wait_a11y "640 X 480" checked

# The program's other visible window, found by its process (it has no title).
_dialog_up() {
    local w
    _dialog=""
    for w in $(xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null || true); do
        [ "$w" = "$win" ] || _dialog+="${_dialog:+ }$w"
    done
    [ -n "$_dialog" ] && [[ $_dialog != *" "* ]]
}
_dialog_gone() { [ "$(e2e_map_state "$dialog")" != IsViewable ]; }

# open: opens the About box and checks it; its window id goes to $dialog.
open() {
    if [ "$how" = keys ]; then
        e2e_key "$win" alt+h
        e2e_wait_until "$E2E_TIMEOUT" e2e_a11y_showing "About Vistrum" || e2e_fail "the Help menu did not open"
        xdotool key --clearmodifiers a
    else
        e2e_a11y_menu Help "About Vistrum"
    fi
    e2e_wait_until "$E2E_TIMEOUT" _dialog_up || e2e_fail "expected one more window of the program, got: '$_dialog'"
    dialog=$_dialog
    e2e_wait_managed "$dialog"
    e2e_wait_stable "$dialog"
    e2e_assert_eq "" "$(xdotool getwindowname "$dialog")" "title of the About box"
    xprop -id "$dialog" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL ||
        e2e_fail "the About box is not modal: $(xprop -id "$dialog" _NET_WM_STATE)"
    e2e_log "ok: the About box is modal"
    local m d cx cy cw ch name mx my mw mh dx dy dw dh
    read -r cx cy cw ch <<<"$(e2e_client_geometry "$dialog")"
    for name in "Vistrum " "Version 2.01" OK; do
        e2e_wait_until "$E2E_TIMEOUT" e2e_a11y_showing "$name" || e2e_fail "nothing named '$name' is showing"
        e2e_a11y_extents "$name"
        ((A11Y_X >= cx && A11Y_Y >= cy && A11Y_X + A11Y_W <= cx + cw && A11Y_Y + A11Y_H <= cy + ch)) ||
            e2e_fail "'$name' ($A11Y_X $A11Y_Y $A11Y_W $A11Y_H) is not inside the About box ($cx $cy $cw $ch)"
        e2e_log "ok: '$name' is in the About box"
    done
    m=$(e2e_outer_geometry "$win")
    d=$(e2e_outer_geometry "$dialog")
    e2e_log "main window $(e2e_rect "$m"), About box $(e2e_rect "$d")"
    # Centres compared at twice the scale, so that half pixels count.
    # A miss is reported at the end, so that the rest still runs.
    read -r mx my mw mh dx dy dw dh <<<"$m $d"
    local ex=$((2 * dx + dw - 2 * mx - mw)) ey=$((2 * dy + dh - 2 * my - mh))
    opened=$((opened + 1))
    if ((ex >= -2 && ex <= 2 && ey >= -2 && ey <= 2)); then
        e2e_log "ok: the About box is centred on the main window within 1 pixel"
    else
        misses+="opening $opened: About box $(e2e_rect "$d"), centre off by $(awk -v a="$ex" -v b="$ey" 'BEGIN { printf "%+.1f,%+.1f", a / 2, b / 2 }') px from the centre of the main window $(e2e_rect "$m"); "
        e2e_log "MISS: the About box is not centred (see the end)"
    fi
}
opened=0
misses=""
closes_with() {
    e2e_wait_until "$E2E_TIMEOUT" _dialog_gone || e2e_fail "the About box is still open after $1"
    e2e_wait_until "$E2E_TIMEOUT" eval '! e2e_a11y_showing Version' || e2e_fail "'Version 2.01' still showing after $1"
    e2e_log "ok: $1 closed the About box"
}

open
e2e_screenshot about >/dev/null

if [ "$how" = keys ]; then
    xdotool key --clearmodifiers Escape
    closes_with Escape
    open
    xdotool key --clearmodifiers Return
    closes_with Enter
    open
    xdotool key --clearmodifiers space
    closes_with Space
    e2e_key "$win" ctrl+q
else
    e2e_a11y_click OK
    closes_with "a click on OK"
    e2e_a11y_menu File Exit
fi
e2e_assert_exits 5 0
[ -z "$misses" ] || e2e_fail "the About box is not centred on the main window within 1 pixel: $misses"
