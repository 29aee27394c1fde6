#!/usr/bin/env bash
# The About box (Alt+H, A): a window with an empty title holding "Vistrum ",
# "Version 2.01" and OK, centred on the main window's outer rectangle to the
# pixel, also after a preset has moved the main window. It is modal: the
# main window is disabled and a click on one of its preset buttons changes
# nothing (the same click selects it once the box is closed). Escape leaves it open; a click on OK, Enter and Space each close
# it, and the main window takes input again. Ctrl+Q then ends the program
# with status 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"

w32_use_dpi 96
w32_start_program
w32_wait_flags "1 1 1" main "640 X 480"
w32_settled main >/dev/null

_dialog_gone() { [ "$(w32_probe rect dialog)" = "error 0 other windows of the program are showing" ]; }

# open: opens the About box and checks it.
open() {
    w32_menu alt+h a
    w32_wait_ok rect dialog
    local m d mx my mw mh dx dy dw dh name
    d=$(w32_settled dialog)
    m=$(w32 rect main)
    e2e_assert_eq "" "$(w32 title dialog)" "title of the About box"
    read -r mx my mw mh <<<"$m"
    read -r dx dy dw dh <<<"$d"
    for name in "Vistrum " "Version 2.01" OK; do
        w32_control dialog "$name"
        ((C_VISIBLE == 1 && C_X >= dx && C_Y >= dy && C_X + C_W <= dx + dw && C_Y + C_H <= dy + dh)) ||
            e2e_fail "'$name' ($C_X $C_Y $C_W $C_H, visible $C_VISIBLE) is not shown in the About box ($d)"
    done
    e2e_log "ok: 'Vistrum ', 'Version 2.01' and OK are in the About box"
    # Centres compared at twice the scale, so that half pixels count.
    local ex=$((2 * dx + dw - 2 * mx - mw)) ey=$((2 * dy + dh - 2 * my - mh))
    ((ex >= -1 && ex <= 1 && ey >= -1 && ey <= 1)) ||
        e2e_fail "the About box ($d) is not centred on the main window ($m): off by $ex,$ey half pixels"
    e2e_log "ok: the About box ($d) is centred on the main window ($m)"
    # The main window stays disabled while the box is up.
    e2e_assert_eq "1 0 0 0 0" "$(w32 state main)" "main window (visible enabled iconic zoomed foreground)"
}
closes_with() {
    e2e_wait_until "$E2E_TIMEOUT" _dialog_gone || e2e_fail "the About box is still open after $1"
    w32_wait_answer "1 1 0 0 1" state main
    e2e_log "ok: $1 closed the About box; the main window is enabled and in front"
}

# A preset button that the box does not cover and that is not checked.
uncovered_preset() {
    local name dx dy dw dh cx cy
    read -r dx dy dw dh <<<"$(w32 rect dialog)"
    for name in "${PRESETS[@]}"; do
        w32_control main "$name"
        [ "$C_CHECKED" = 0 ] || continue
        cx=$((C_X + C_W / 2)) cy=$((C_Y + C_H / 2))
        if ((cx < dx || cx >= dx + dw || cy < dy || cy >= dy + dh)); then
            echo "$name"
            return
        fi
    done
    e2e_fail "the About box covers every preset button"
}

open
e2e_screenshot about >/dev/null
name=$(uncovered_preset)
w32_click_visible main "$name"
w32 key escape
sleep 1
e2e_assert_eq "1 1 1" "$(w32_flags main "640 X 480")" "'640 X 480' after a click on '$name' while the box is up"
e2e_assert_eq "96 72 640 480" "$(w32 rect main)" "outer rectangle after a click on '$name' while the box is up"
w32_wait_ok rect dialog
e2e_log "ok: the About box is still open after Escape"

w32 click-child dialog OK
closes_with "a click on OK"
# The same click now selects the preset: it was the box that held it off.
w32_click_visible main "$name"
w32_wait_flags "1 1 1" main "$name"
e2e_log "ok: with the box closed, a click on '$name' selects it ($(w32_settled main))"

open
w32 key return
closes_with Enter

# Moved by a preset: the box follows the main window.
w32_click_visible main "1024 X 768"
w32_wait_flags "1 1 1" main "1024 X 768"
e2e_assert_eq "0 0 1024 768" "$(w32_settled main)" "outer rectangle after '1024 X 768'"
open
w32 key space
closes_with Space

w32 key ctrl+q
e2e_assert_exits 5 0
