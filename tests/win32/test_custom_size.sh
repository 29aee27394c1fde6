#!/usr/bin/env bash
# Resizes that do not come from a preset select Custom Size (checked and
# enabled), leave the window where it stands, and the readout shows the new
# outer size: a drag of the bottom-right corner, then, after a preset, a
# click on the minimise button and one on the restore button of the
# minimised window, and a click on the maximise button. A preset afterwards
# disables Custom Size again (and ends the maximised state). The largest
# preset, 3200 x 1200, far larger than the screen, is the same size again
# after it is minimised and restored, and after it is maximised and restored
# (with the window menu's commands: its caption lies off the screen).
# File > Exit, picked with Alt+F then X, ends the program with status 0.
source "$(dirname "$0")/lib.sh"

w32_use_dpi 96
w32_start_program
w32_wait_flags "1 1 1" main "640 X 480"
e2e_assert_eq "96 72 640 480" "$(w32_settled main)" "outer rectangle at start-up"

# custom WHAT "X Y W H": Custom Size is the checked button, the window
# stands at that rectangle and the readout shows its size.
custom() {
    local w h
    read -r _ _ w h <<<"$2"
    w32_wait_flags "1 1 1" main "Custom Size"
    e2e_assert_eq "$2" "$(w32_settled main)" "outer rectangle after $1"
    w32_wait_text "Current screen size = $w X $h" main "Current screen size = *"
    e2e_assert_eq "1 0 1" "$(w32_flags main "640 X 480")" "'640 X 480' (visible checked enabled) after $1"
}
preset() {
    w32_click_visible main "$1"
    w32_wait_flags "1 1 1" main "$1"
    e2e_assert_eq "$2" "$(w32_settled main)" "outer rectangle after '$1'"
    w32_wait_text "Current screen size = $1" main "Current screen size = *"
    e2e_assert_eq "1 0 0" "$(w32_flags main "Custom Size")" "Custom Size (visible checked enabled) after '$1'"
}

# ---- a drag of the bottom-right corner, 40 pixels left and 30 up
w32 drag-corner main -40 -30
custom "a drag of the bottom-right corner" "96 72 600 450"
e2e_screenshot dragged >/dev/null
preset "800 X 600" "56 42 800 600"

# ---- minimise, then restore, with the caption's buttons
# From "visible enabled iconic zoomed foreground".
e2e_log "clicked at $(w32 caption-button main minimize)"
e2e_wait_until "$E2E_TIMEOUT" w32_state_is 1 3 || e2e_fail "the window was not minimised ($(w32 state main))"
e2e_log "minimised: $(w32 rect main)"
e2e_screenshot minimised >/dev/null
# A minimised window keeps the button at the left of its caption's three:
# restore.
e2e_log "clicked at $(w32 caption-button main minimize)"
e2e_wait_until "$E2E_TIMEOUT" w32_state_is 0 3 || e2e_fail "the window was not restored ($(w32 state main))"
custom "minimise and restore" "56 42 800 600"
preset "640 X 480" "96 72 640 480"

# ---- maximise: the readout shows what GetWindowRect gives (Wine's frame
# reaches beyond the screen; it reports no DWM frame to take off). A preset
# then restores the window and sizes it.
e2e_log "clicked at $(w32 caption-button main maximize)"
e2e_wait_until "$E2E_TIMEOUT" w32_state_is 1 4 || e2e_fail "the window was not maximised ($(w32 state main))"
w32_wait_flags "1 1 1" main "Custom Size"
read -r _ _ mw mh <<<"$(w32_settled main)"
e2e_log "maximised: $(w32 rect main)"
w32_wait_text "Current screen size = $mw X $mh" main "Current screen size = *"
preset "800 X 600" "56 42 800 600"
w32_state_is 0 4 || e2e_fail "still maximised after '800 X 600' ($(w32 state main))"

# ---- the largest preset minimised and restored, maximised and restored
largest="-544 -108 3200 1200"
preset "3200 X 1200" "$largest"
w32 system main minimize
e2e_wait_until "$E2E_TIMEOUT" w32_state_is 1 3 || e2e_fail "the window was not minimised ($(w32 state main))"
w32 system main restore
e2e_wait_until "$E2E_TIMEOUT" w32_state_is 0 3 || e2e_fail "the window was not restored ($(w32 state main))"
custom "'3200 X 1200' minimised and restored" "$largest"
w32 system main maximize
e2e_wait_until "$E2E_TIMEOUT" w32_state_is 1 4 || e2e_fail "the window was not maximised ($(w32 state main))"
e2e_log "maximised: $(w32_settled main)"
w32 system main restore
e2e_wait_until "$E2E_TIMEOUT" w32_state_is 0 4 || e2e_fail "the window was not restored ($(w32 state main))"
custom "'3200 X 1200' maximised and restored" "$largest"

w32_menu alt+f x
e2e_assert_exits 5 0
