#!/usr/bin/env bash
# The help pane (F1 or Help > Vistrum Help) and the notice pane (Help >
# ShareWare) show in the middle of the window, light grey; any key, or a
# click on the pane, on the task bar or on the window, closes them. Read over
# AT-SPI (the panes' texts and whether they are showing) and on screenshots.
source "$(dirname "$0")/lib.sh"

e2e_start_main_window
e2e_wait_a11y "640 X 480" checked

help="Select an option button"
notice="Vistrum is shareware."
_hidden() { ! e2e_a11y_showing "$1"; }

# opened PANE WHAT: waits for the pane whose text starts with PANE, checks
# that it is centred across the client area and light grey.
opened() {
    e2e_wait_until "$E2E_TIMEOUT" e2e_a11y_showing "$1" || e2e_fail "no pane '$1...' after $2"
    local px py pw ph cx cw shot
    e2e_a11y_extents --prefix "$1"
    px=$A11Y_X py=$A11Y_Y pw=$A11Y_W ph=$A11Y_H
    read -r cx _ cw _ <<<"$(e2e_client_geometry "$win")"
    e2e_log "pane '$1...' at $px,$py, $pw x $ph, after $2"
    e2e_assert "the pane is centred across the client area ($cx, $cw)" \
        test $(((2 * px + pw) - (2 * cx + cw))) -ge -2 -a $(((2 * px + pw) - (2 * cx + cw))) -le 2
    shot=$(e2e_screenshot "pane-$(tr -cs 'a-zA-Z0-9' - <<<"$2" | sed 's/-$//')")
    e2e_assert_pixel "$shot" $((px + pw - 4)) $((py + ph - 4)) "#C0C0C0"
}
closed() {
    e2e_wait_until "$E2E_TIMEOUT" _hidden "$1" || e2e_fail "the pane '$1...' is still showing after $2"
    e2e_log "ok: the pane '$1...' closed after $2"
}

e2e_key "$win" F1
opened "$help" F1
e2e_key "$win" a
closed "$help" "the key A"

e2e_a11y_menu Help ShareWare
opened "$notice" "Help > ShareWare"
e2e_a11y_click --prefix "$notice"
closed "$notice" "a click on it"

e2e_a11y_menu Help "Vistrum Help"
opened "$help" "Help > Vistrum Help"
e2e_a11y_extents Start
read -r cx _ cw _ <<<"$(e2e_client_geometry "$win")"
e2e_click $((cx + cw * 3 / 4)) $((A11Y_Y + A11Y_H / 2))
closed "$help" "a click on the task bar"

e2e_key "$win" F1
opened "$help" "F1 again"
e2e_a11y_extents "Screen Size"
e2e_click $((A11Y_X - 10)) $((A11Y_Y + 10))
closed "$help" "a click on the window"

# Nothing else changed on the way.
e2e_wait_a11y "640 X 480" checked
e2e_assert_eq "640x480+96+72" "$(e2e_rect "$(e2e_outer_geometry "$win")")" "outer rectangle"

e2e_key "$win" ctrl+q
e2e_assert_exits 5 0
