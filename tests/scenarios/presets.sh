# shellcheck shell=bash
# The twelve screen-size presets, where a preset puts the window and what
# the window shows afterwards, written once for the end-to-end tests on
# Linux (tests/e2e) and on Windows (tests/win32).
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

# preset_at_quarter POS SCREEN SIZE: true when POS is the quarter position
# (SCREEN - SIZE) / 4 (negative when the window is larger than the screen)
# to the nearest pixel: 4 * POS lies within 2 of SCREEN - SIZE.
preset_at_quarter() {
    local d=$((4 * $1 - ($2 - $3)))
    ((d >= -2 && d <= 2))
}

# preset_placed RULE X Y SCREEN_W SCREEN_H W H: true when a window of W x H
# outside stands at X,Y as RULE puts it on that screen:
#   quarter   ((SCREEN_W - W) / 4, (SCREEN_H - H) / 4), anywhere, also
#             partly off the screen
#   titlebar  the same, but with the title bar's top kept on the screen:
#             y = max(0, quarter)
#   workarea  the window manager cuts a size larger than the screen to the
#             work area and keeps the window on the screen: the quarter
#             position of the size asked for (PW x PH), with x = 0 or y = 0
#             where that lies left of or above the screen
preset_placed() {
    local rule=$1 x=$2 y=$3 sw=$4 sh=$5 w=$6 h=$7 pw=${8:-$6} ph=${9:-$7}
    if [ "$rule" = workarea ]; then
        w=$pw h=$ph
        if (((sw - w) / 4 < 0)); then [ "$x" = 0 ] || return 1; else preset_at_quarter "$x" "$sw" "$w" || return 1; fi
    else
        preset_at_quarter "$x" "$sw" "$w" || return 1
    fi
    if [ "$rule" != quarter ] && (((sh - h) / 4 < 0)); then
        [ "$y" = 0 ]
    else
        preset_at_quarter "$y" "$sh" "$h"
    fi
}

# preset_granted RULE W H SCREEN_W SCREEN_H: "W H" the window manager grants
# for a preset of W x H. Under the rule workarea (jwm) a dimension larger
# than the screen is cut to the work area's (PRESET_WORKAREA, "W H", set by
# the driver); every other rule grants the preset in full.
preset_granted() {
    local rule=$1 w=$2 h=$3 sw=$4 sh=$5 ww wh
    if [ "$rule" = workarea ]; then
        read -r ww wh <<<"$PRESET_WORKAREA"
        ((w <= sw)) || w=$ww
        ((h <= sh)) || h=$wh
    fi
    echo "$w $h"
}

# ---------------------------------------------------------------- the checks
#
# They run on a platform's driver, which the test script defines: it knows
# how to click a preset and how to read the window, nothing of what either
# should give.
#
#   preset_click NAME   clicks the option button NAME as a user would
#   preset_outer        the outer rectangle "X Y W H" now
#   preset_settled      waits until the window stops changing; prints it
#   preset_readout      the readout "Current screen size = ..."
#   preset_checked      the checked option buttons, ", " between them
#   preset_flags NAME   "SHOWN CHECKED ENABLED" of the button NAME, 1 or 0
#   PRESET_LAG          seconds by which what the driver reads may trail the
#                       window (0: it reads the window's own state)
#
# Checks that can miss do not stop the script: every preset is tried and
# the misses are listed at its end.

_preset_size_is() { E2E_LAST=$(preset_outer) && [ "${E2E_LAST#* * }" = "$1" ]; }
# _preset_at_place RULE SCREEN_W SCREEN_H W H
_preset_at_place() {
    local x y w h
    read -r x y w h <<<"$(preset_outer)"
    [ "$w $h" = "$4 $5" ] && preset_placed "$1" "$x" "$y" "$2" "$3" "$w" "$h"
}

# size_expect SIZE RULE SCREEN_W SCREEN_H LAG CHECKED: the window has the
# outer size SIZE ("W X H", as RULE grants it), placed by RULE, and the
# readout shows it; CHECKED is the one checked button, and Custom Size
# (shown, checked, enabled) is "1 1 1" when CHECKED names it and "1 0 0"
# otherwise. LAG bounds the wait for the readout and the checked buttons.
# Sets PRESET_ROW to the line of the table.
size_expect() {
    local name=$1 rule=$2 sw=$3 sh=$4 lag=$5 checked=$6 pw ph w h outer x y gw gh readout where custom
    read -r pw ph <<<"$(preset_size "$name")"
    read -r w h <<<"$(preset_granted "$rule" "$pw" "$ph" "$sw" "$sh")"
    where="(($sw - $w) / 4, ($sh - $h) / 4) to the pixel"
    [ "$rule" = quarter ] || where+=", y = 0 where that lies above the screen"
    [ "$rule" != workarea ] || where+=", x = 0 where left of it, for the size asked for"
    custom="1 0 0"
    [ "$checked" != "Custom Size" ] || custom="1 1 1"
    e2e_wait_until "$E2E_TIMEOUT" _preset_size_is "$w $h" || true
    outer=$(preset_settled)
    read -r x y gw gh <<<"$outer"
    e2e_check_output "$lag" "Current screen size = $gw X $gh" "readout after '$name'" preset_readout
    readout=$E2E_LAST
    e2e_check_eq "$w $h" "$gw $gh" "outer size after '$name'"
    e2e_check "position $x,$y after '$name' is $where" preset_placed "$rule" "$x" "$y" "$sw" "$sh" "$w" "$h" "$pw" "$ph"
    e2e_check_output "$lag" "$checked" "checked buttons after '$name'" preset_checked
    e2e_check_output "$lag" "$custom" "Custom Size (shown checked enabled) after '$name'" preset_flags "Custom Size"
    PRESET_ROW=$(printf '%-12s %-10s %-12s %s' "${name// X /x}" "${gw}x$gh" "$x,$y" "${readout#Current screen size = }")
}

# preset_expect NAME RULE SCREEN_W SCREEN_H LAG: the window is in the state
# that choosing NAME gives: NAME the one checked button (shown and enabled),
# Custom Size shown, unchecked and disabled, and the size_expect of NAME;
# where the window manager grants another size, Custom Size checked instead.
preset_expect() {
    # shellcheck disable=SC2046 # the sizes are two words
    if [ "$(preset_granted "$2" $(preset_size "$1") "$3" "$4")" = "$(preset_size "$1")" ]; then
        e2e_wait_output "1 1 1" "'$1' (shown checked enabled)" preset_flags "$1"
        size_expect "$@" "$1"
    else
        size_expect "$@" "Custom Size"
    fi
}

# presets_check_start RULE SCREEN_W SCREEN_H: at start-up the window is in
# the state of "640 X 480". The program moves its window to its place after
# showing it, so that is waited for first.
presets_check_start() {
    e2e_wait_until "$E2E_TIMEOUT" _preset_at_place "$1" "$2" "$3" 640 480 || true
    preset_expect "640 X 480" "$1" "$2" "$3" "$E2E_TIMEOUT"
}

# presets_check_each RULE SCREEN_W SCREEN_H TABLE: clicks each preset once,
# in order, and checks the state it gives; writes the table of sizes and
# positions to TABLE (after what is there already) and prints it.
presets_check_each() {
    local rule=$1 sw=$2 sh=$3 table=$4 name
    printf '%-12s %-10s %-12s %s\n' asked granted position readout >>"$table"
    for name in "${PRESETS[@]}"; do
        e2e_log "---- $name"
        preset_click "$name"
        preset_expect "$name" "$rule" "$sw" "$sh" "$PRESET_LAG"
        echo "$PRESET_ROW" >>"$table"
    done
    cat "$table"
}
