#!/usr/bin/env bash
# Readable in Windows' contrast themes: with the system colours of each
# (Aquatic, Desert, Dusk, Night sky, High Contrast Black and White) the
# readouts, the frame's caption, a preset, Start, the mark on the blue
# swatch and the About box's texts are measured on a screenshot and must
# read at 4.5 : 1 or better. Wine cannot turn the high-contrast setting
# itself on (its SPI_SETHIGHCONTRAST is not implemented and
# SPI_GETHIGHCONTRAST always answers off), so the program sees each theme's
# colours without it: the colour rule alone has to make every text readable.
# The system pairs the setting adds are the forms layer's tests' business.
source "$(dirname "$0")/lib.sh"

# Name, then Window, WindowText, ButtonFace, ButtonText, Hilight, HilightText
# as "R G B".
themes=(
    "Aquatic|32 32 32|255 255 255|32 32 32|255 255 255|142 227 240|38 59 80"
    "Desert|255 250 239|61 61 61|255 250 239|32 32 32|144 57 9|255 245 227"
    "Dusk|45 50 54|255 255 255|45 50 54|182 246 240|161 191 222|33 45 59"
    "Night sky|0 0 0|255 255 255|41 41 41|255 238 50|214 180 253|43 43 43"
    "High Contrast Black|0 0 0|255 255 0|0 0 0|255 255 255|0 128 0|255 255 255"
    "High Contrast White|255 255 255|0 0 0|255 255 255|0 0 0|55 0 110|255 255 255"
)

key='HKEY_CURRENT_USER\Control Panel\Colors'
saved=$E2E_ARTIFACTS/colours-before.reg
wine regedit /E "$saved" "$key" || e2e_fail "could not save the session's colours"
_restore_colours() { wine regedit "$saved"; }
E2E_AT_EXIT+=(_restore_colours)

# use_theme ROW: the theme's colours in the registry, where a Wine program
# reads the system colours when it starts.
use_theme() {
    local name window text face facetext hilight hilighttext
    IFS='|' read -r name window text face facetext hilight hilighttext <<<"$1"
    printf '%s\r\n' REGEDIT4 '' "[$key]" "\"Window\"=\"$window\"" "\"WindowText\"=\"$text\"" \
        "\"ButtonFace\"=\"$face\"" "\"ButtonText\"=\"$facetext\"" "\"MenuBar\"=\"$face\"" \
        "\"Menu\"=\"$face\"" "\"MenuText\"=\"$facetext\"" "\"Hilight\"=\"$hilight\"" \
        "\"HilightText\"=\"$hilighttext\"" '' >"$E2E_ARTIFACTS/theme.reg"
    wine regedit "$E2E_ARTIFACTS/theme.reg" || e2e_fail "could not set the colours of $name"
}

# measure WHAT WIN PATTERN DX DY W H: the text of that child, from DX, DY
# inside it, W x H large (arithmetic of C_W and C_H).
measure() {
    w32_control "$2" "$3"
    e2e_check_readable "$theme: $1" "$shot" $((C_X + $4)) $((C_Y + $5)) $(($6)) $(($7))
}

w32_use_dpi 96
for row in "${themes[@]}"; do
    theme=${row%%|*}
    use_theme "$row"
    w32_start_program
    w32_wait_flags "1 1 1" main "640 X 480"
    w32_settled main >/dev/null
    w32_wait_text "Color = 8000000F Hex" main "Color = *"
    sleep 0.3
    shot=$(e2e_screenshot "$theme-main")
    measure "size readout" main "Current screen size = *" 0 0 C_W C_H
    measure "colour readout" main "Color = *" 0 0 C_W C_H
    measure "frame caption" main "Screen Size" 9 0 56 12
    measure "preset" main "1024 X 768" 16 0 C_W-16 C_H
    measure "task bar's Start" main Start 0 0 C_W C_H

    read -r x y w h _ <<<"$(w32 swatch 23)"
    w32 click $((x + w / 2)) $((y + h / 2))
    w32_wait_text "Color = 00FF0000 Hex" main "Color = *"
    read -r cx cy _ <<<"$(w32 client main)"
    w32 click $((cx + 4)) $((cy + 4)) # the pointer off the swatch, on the background
    sleep 0.3
    shot=$(e2e_screenshot "$theme-blue")
    e2e_check_readable "$theme: mark on the blue swatch" "$shot" $((x + 3)) $((y + 3)) $((w - 6)) $((h - 6))

    w32_wait_answer "1 1 0 0 1" state main # in front, as Alt+H needs it
    w32_about_open
    sleep 0.3
    shot=$(e2e_screenshot "$theme-about")
    measure "About: product name" dialog "Vistrum " 0 0 C_W C_H
    measure "About: version line" dialog "Version *" 0 0 C_W C_H
    measure "About: authors' line" dialog "Written by*" 0 0 C_W C_H
    measure "About: OK" dialog OK 4 4 C_W-8 C_H-8
    w32 key return
    w32_about_closes_with Enter
    w32 key ctrl+q
    e2e_assert_exits 5 0
    _w32_quit_probe
    # shellcheck disable=SC2034 # read by lib.sh: no probe now
    W32_PROBE_PID=""
done
