#!/usr/bin/env bash
# `vistrum --size WIDTHxHEIGHT` under a window manager: the program starts
# at that outer size at the quarter position, with Custom Size checked, or
# with the preset's button where the size is one of the twelve; measured
# from outside as tests/scenarios/presets.sh measures a preset. The first
# argument is the window manager's rule, as for test_presets.sh.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"
source "$(dirname "$0")/scenario_driver.sh" "${1:-quarter}"

# size given, and the button checked afterwards
rows=("1920x1080|Custom Size" "1024x768|1024 X 768" "333x222|Custom Size")

e2e_start_a11y
for row in "${rows[@]}"; do
    IFS='|' read -r size checked <<<"$row"
    e2e_log "---- --size $size"
    e2e_start_program --size "$size"
    win=$(e2e_find_window "Vistrum V2.1")
    e2e_wait_managed "$win"
    e2e_wait_stable "$win"
    e2e_wait_until "$E2E_TIMEOUT" _preset_size_is "${size/x/ }" || true
    size_expect "${size/x/ X }" "$rule" "$qw" "$qh" "$PRESET_LAG" "$checked"
    e2e_key "$win" ctrl+q
    e2e_assert_exits 5 0
done
