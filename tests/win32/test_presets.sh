#!/usr/bin/env bash
# At the DPI given as the first argument (96, 120 or 144), on the 1024 x 768
# Wine desktop: the start-up state (640 x 480 at 96, 72, "640 X 480" the one
# checked button, Custom Size disabled, both readouts), then each of the
# twelve presets clicked once: the outer rectangle (GetWindowRect) has
# exactly the preset's size, also when it is larger than the screen, and
# stands at ((1024 - w) / 4, (768 - h) / 4); the clicked button is the only
# one checked, Custom Size is disabled and the readout shows the size. Every
# preset is tried; the misses are listed at the end. Ctrl+Q then ends the
# program with status 0. Table of the sizes: $E2E_ARTIFACTS/presets.txt.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"

dpi=${1:-96}
w32_use_dpi "$dpi"
w32_start_program
e2e_assert_eq "$W32_SCREEN_W $W32_SCREEN_H $dpi" "$(w32 screen)" "screen size and DPI seen by programs"

# ---- start-up
w32_wait_flags "1 1 1" main "640 X 480"
e2e_assert_eq "96 72 640 480" "$(w32_settled main)" "outer rectangle at start-up"
e2e_log "DWM frame bounds: $(w32 frame main); client area: $(w32 client main)"
w32_wait_text "Current screen size = 640 X 480" main "Current screen size = *"
w32_wait_text "Color = 8000000F Hex" main "Color = *"
e2e_assert_eq "1 0 0" "$(w32_flags main "Custom Size")" "Custom Size (visible checked enabled) at start-up"
e2e_screenshot "start-$dpi" >/dev/null

# ---- presets
# checked_buttons: the captions of the checked option buttons, one line.
checked_buttons() {
    local name out=""
    for name in "${PRESETS[@]}" "Custom Size"; do
        w32_control main "$name"
        [ "$C_CHECKED" = 0 ] || out+="${out:+, }$name"
    done
    echo "$out"
}
_size_is() { _rect=$(w32 rect main) && [ "${_rect#* * }" = "$1" ]; }

table=$E2E_ARTIFACTS/presets.txt
printf '%s DPI, desktop %sx%s\n%-12s %-10s %-12s %s\n' "$dpi" "$W32_SCREEN_W" "$W32_SCREEN_H" \
    asked granted position readout >"$table"
for name in "${PRESETS[@]}"; do
    read -r w h <<<"$(preset_size "$name")"
    e2e_log "---- $name"
    w32_click_visible main "$name"
    w32_wait_flags "1 1 1" main "$name"
    e2e_wait_until "$E2E_TIMEOUT" _size_is "$w $h" || true
    read -r x y gw gh <<<"$(w32_settled main)"
    readout=$(w32_text_of main "Current screen size = *")
    printf '%-12s %-10s %-12s %s\n' "${w}x$h" "${gw}x$gh" "$x,$y" "${readout#Current screen size = }" >>"$table"
    e2e_check_eq "$w $h" "$gw $gh" "outer size after '$name'"
    at=far
    if preset_at_quarter "$x" "$W32_SCREEN_W" "$w" && preset_at_quarter "$y" "$W32_SCREEN_H" "$h"; then
        at=quarter
    fi
    e2e_check_eq quarter "$at" "position $x,$y after '$name', ((${W32_SCREEN_W} - $w) / 4, ($W32_SCREEN_H - $h) / 4) to the pixel"
    e2e_check_eq "Current screen size = $gw X $gh" "$readout" "readout after '$name'"
    e2e_check_eq "$name" "$(checked_buttons)" "checked buttons after '$name'"
    e2e_check_eq "1 0 0" "$(w32_flags main "Custom Size")" "Custom Size (visible checked enabled) after '$name'"
done
e2e_screenshot "last-$dpi" >/dev/null
cat "$table"

w32 key ctrl+q
e2e_assert_exits 5 0
