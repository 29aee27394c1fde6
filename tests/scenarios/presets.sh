# shellcheck shell=bash
# The twelve screen-size presets and where a preset puts the window, shared
# by the end-to-end tests on Linux (tests/e2e) and on Windows (tests/win32).
#
# Each caption is also the size it asks for, outer size in pixels: frame,
# title bar and menu bar included. The left column holds single screens, the
# right one the same heights at double width; the tests click them in this
# order.

# shellcheck disable=SC2034 # used by the scripts that source this file
PRESETS=("640 X 480" "800 X 600" "1024 X 768" "1152 X 870" "1280 X 1024" "1600 X 1200"
    "1280 X 480" "1600 X 600" "2048 X 768" "2304 X 870" "2560 X 1024" "3200 X 1200")

# preset_size CAPTION: "W H".
preset_size() { echo "${1% X *} ${1#* X }"; }

# preset_quarter_miss POS SCREEN SIZE: how far, in quarter pixels, POS lies
# from the quarter position (SCREEN - SIZE) / 4 (negative when the window is
# larger than the screen). The rule: within 2, i.e. the nearest pixel.
preset_quarter_miss() { echo $((4 * $1 - ($2 - $3))); }
preset_at_quarter() {
    local d
    d=$(preset_quarter_miss "$@")
    ((d >= -2 && d <= 2))
}
