# shellcheck shell=bash
# Sizes given to the window from outside the program (a border drag,
# another program, the window manager), written once for the end-to-end
# tests on Linux (tests/e2e) and on Windows (tests/win32): the window keeps
# the size it was given, Custom Size is the one checked button and enabled,
# and the readout shows the outer size in whole pixels.
#
# With twips per pixel kept unrounded in single precision, these readouts
# came out a hair off the whole number: 957 wide read 956.9999 at 168 DPI,
# 617 and 641 read 616.9999 and 640.9999 at 216 DPI (the other DPIs tried,
# 96, 120 and 144, divide 1440 exactly). Both sizes fit on a 1024 x 768
# screen from its top-left corner, where "1024 X 768" puts the window.
#
# Source presets.sh first: the driver is that of presets.sh (preset_click,
# preset_outer, preset_settled, preset_readout, preset_checked,
# preset_flags, PRESET_LAG), and:
#   custom_resize W H   gives the window the outer size W x H from outside

# shellcheck disable=SC2034 # used by the scripts that source this file
CUSTOM_SIZES=("957 617" "641 479")

# custom_sizes_check_each: from "1024 X 768", each size given from outside
# in turn, and the state it gives.
custom_sizes_check_each() {
    local size w h what outer
    preset_click "1024 X 768"
    e2e_wait_output "1 1 1" "'1024 X 768' (shown checked enabled)" preset_flags "1024 X 768"
    preset_settled >/dev/null
    for size in "${CUSTOM_SIZES[@]}"; do
        read -r w h <<<"$size"
        what="$w x $h from outside"
        e2e_log "---- $what"
        custom_resize "$w" "$h"
        e2e_wait_output "1 1 1" "Custom Size (shown checked enabled) after $what" preset_flags "Custom Size"
        e2e_wait_until "$E2E_TIMEOUT" _preset_size_is "$w $h" || true
        outer=$(preset_settled)
        e2e_check_eq "$w $h" "${outer#* * }" "outer size after $what"
        e2e_check_output "$PRESET_LAG" "Current screen size = $w X $h" "readout after $what" preset_readout
        e2e_check_output "$PRESET_LAG" "Custom Size" "checked buttons after $what" preset_checked
    done
}
