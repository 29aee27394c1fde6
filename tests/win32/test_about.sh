#!/usr/bin/env bash
# The About box (Alt+H, A): a window with an empty title holding "Vistrum ",
# "Version 2.01" and OK, centred on the main window's outer rectangle to the
# pixel, also after a preset has moved the main window. It is modal: the
# main window is disabled and a click on one of its preset buttons changes
# nothing (the same click selects it once the box is closed). Escape, a
# click on OK and Space each close it (Enter: test_presets.sh), and the main
# window takes input again. Ctrl+Q then ends the program with status 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"

w32_use_dpi 96
w32_start_program
w32_wait_flags "1 1 1" main "640 X 480"
w32_settled main >/dev/null

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

w32_about_open
e2e_screenshot about >/dev/null
name=$(uncovered_preset)
w32_click_visible main "$name"
sleep 1
e2e_assert_eq "1 1 1" "$(w32_flags main "640 X 480")" "'640 X 480' after a click on '$name' while the box is up"
e2e_assert_eq "96 72 640 480" "$(w32 rect main)" "outer rectangle after a click on '$name' while the box is up"
w32_wait_ok rect dialog

w32 key escape
w32_about_closes_with Escape
# The same click now selects the preset: it was the box that held it off.
w32_click_visible main "$name"
w32_wait_flags "1 1 1" main "$name"
e2e_log "ok: with the box closed, a click on '$name' selects it ($(w32_settled main))"

w32_about_open
w32 click-child dialog OK
w32_about_closes_with "a click on OK"

# Moved by a preset: the box follows the main window.
w32_click_visible main "1024 X 768"
w32_wait_flags "1 1 1" main "1024 X 768"
e2e_assert_eq "0 0 1024 768" "$(w32_settled main)" "outer rectangle after '1024 X 768'"
w32_about_open
w32 key space
w32_about_closes_with Space

w32 key ctrl+q
e2e_assert_exits 5 0
