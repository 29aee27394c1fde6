#!/usr/bin/env bash
# On the 1024 x 768 Wine desktop at 96 DPI, as tests/scenarios/sizes.sh
# says: each of the 13 sizes of the Sizes menu chosen from the keyboard
# (Alt+S, Down, Enter), its outer rectangle (GetWindowRect) exact also when
# larger than the screen, at the quarter position, the readout showing it
# and Custom Size checked; then the Exact Size dialog (Ctrl+E) with typed
# entries, good and bad. Then `vistrum.exe --size`, started again for each
# size. Table: $E2E_ARTIFACTS/sizes.txt.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"
source "$(dirname "$0")/../scenarios/sizes.sh"

w32_use_dpi 96
w32_start_program
presets_check_start quarter "$W32_SCREEN_W" "$W32_SCREEN_H"

table=$E2E_ARTIFACTS/sizes.txt
printf '96 DPI, desktop %sx%s\n' "$W32_SCREEN_W" "$W32_SCREEN_H" >"$table"
sizes_check_menu quarter "$W32_SCREEN_W" "$W32_SCREEN_H" "$table"
e2e_screenshot menu-last >/dev/null
sizes_check_exact quarter "$W32_SCREEN_W" "$W32_SCREEN_H"
e2e_screenshot exact-last >/dev/null
w32 key ctrl+q
e2e_assert_exits 5 0

# --size: the size given, and the button checked afterwards.
for row in "1920x1080|Custom Size" "800x600|800 X 600"; do
    IFS='|' read -r size checked <<<"$row"
    e2e_log "---- vistrum.exe --size $size"
    _w32_quit_probe # a new one comes with the program
    W32_PROBE_PID=""
    w32_start_program -- --size "$size"
    size_expect "${size/x/ X }" quarter "$W32_SCREEN_W" "$W32_SCREEN_H" "$PRESET_LAG" "$checked"
    w32 key ctrl+q
    e2e_assert_exits 5 0
done
