#!/usr/bin/env bash
# Started minimised, as a shortcut set to "Run: Minimized" starts it (here
# `start /min`, which passes the same show command in STARTUPINFO): the
# window comes up minimised, and nothing is laid out while it is (no preset
# is chosen yet). Restored (the window menu's Restore), it is in the
# start-up state of tests/scenarios/presets.sh: 640 x 480 at the quarter
# position, "640 X 480" checked, the readout true. Ctrl+Q then ends the
# program with status 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"

w32_use_dpi 96
w32_start_program start /min /wait
e2e_wait_until "$E2E_TIMEOUT" w32_state_is 1 3 || e2e_fail "the window is not minimised ($(w32 state main))"
e2e_log "minimised: $(w32 rect main)"
e2e_assert_eq "1 0 1" "$(w32_flags main "640 X 480")" "'640 X 480' (shown checked enabled) while minimised"

w32 system main restore
e2e_wait_until "$E2E_TIMEOUT" w32_state_is 0 3 || e2e_fail "the window was not restored ($(w32 state main))"
presets_check_start quarter "$W32_SCREEN_W" "$W32_SCREEN_H"
e2e_screenshot restored >/dev/null

w32 key ctrl+q
e2e_assert_exits 5 0
