#!/usr/bin/env bash
# At the DPI given as the first argument (96, 120 or 144), on the 1024 x 768
# Wine desktop: the screen and DPI programs see, the start-up state (also the
# colour readout), then each of the twelve presets clicked once, checked as
# tests/scenarios/presets.sh says: the outer rectangle (GetWindowRect) has
# exactly the preset's size, also when it is larger than the screen, and
# stands at the quarter position; the clicked button is the only one
# checked, Custom Size is disabled and the readout shows the size. Ctrl+Q
# then ends the program with status 0. Table: $E2E_ARTIFACTS/presets.txt.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"

dpi=${1:-96}

# ---- the driver: the probe reads the window's own state.
PRESET_LAG=0
preset_click() { w32_click_visible main "$1"; }
preset_outer() { w32 rect main; }
preset_settled() { w32_settled main; }
preset_readout() { w32_text_of main "Current screen size = *"; }
preset_checked() {
    local name out=""
    for name in "${PRESETS[@]}" "Custom Size"; do
        w32_control main "$name"
        [ "$C_CHECKED" = 0 ] || out+="${out:+, }$name"
    done
    echo "$out"
}
preset_flags() { w32_flags main "$1"; }

w32_use_dpi "$dpi"
w32_start_program
e2e_assert_eq "$W32_SCREEN_W $W32_SCREEN_H $dpi" "$(w32 screen)" "screen size and DPI seen by programs"
presets_check_start quarter "$W32_SCREEN_W" "$W32_SCREEN_H"
e2e_log "DWM frame bounds: $(w32 frame main); client area: $(w32 client main)"
w32_wait_text "Color = 8000000F Hex" main "Color = *"
e2e_screenshot "start-$dpi" >/dev/null

table=$E2E_ARTIFACTS/presets.txt
printf '%s DPI, desktop %sx%s\n' "$dpi" "$W32_SCREEN_W" "$W32_SCREEN_H" >"$table"
presets_check_each quarter "$W32_SCREEN_W" "$W32_SCREEN_H" "$table"
e2e_screenshot "last-$dpi" >/dev/null

w32 key ctrl+q
e2e_assert_exits 5 0
