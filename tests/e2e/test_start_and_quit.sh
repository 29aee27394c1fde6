#!/usr/bin/env bash
# The program starts, shows its main window "Vistrum V2.1" with an outer
# size of 640 x 480 at (96, 72) on a 1024 x 768 screen, and Ctrl+Q ends it
# with status 0 within two seconds.
source "$(dirname "$0")/lib.sh"

e2e_assert_eq "1024 768" "$(xdotool getdisplaygeometry)" "screen size of the session"

e2e_start_program
win=$(e2e_find_window "Vistrum V2.1")
e2e_log "main window: $win ($(printf '0x%x' "$win"))"

e2e_assert "window $win exists" e2e_window_exists "$win"
e2e_assert_eq IsViewable "$(e2e_map_state "$win")" "map state of the main window"

e2e_wait_managed "$win"
e2e_wait_stable "$win"
client=$(e2e_client_geometry "$win")
extents=$(e2e_frame_extents "$win")
outer=$(e2e_outer_geometry "$win")
e2e_log "client $(e2e_rect "$client"), frame extents (left right top bottom) $extents, outer $(e2e_rect "$outer")"
e2e_screenshot started >/dev/null

# Outer means frame included: the client is smaller by the frame.
e2e_assert_eq "640x480+96+72" "$(e2e_rect "$outer")" "outer rectangle of the main window"

e2e_key "$win" ctrl+q
e2e_assert_exits 2 0
