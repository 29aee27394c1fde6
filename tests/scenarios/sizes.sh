# shellcheck shell=bash
# The sizes chosen other than by a preset button: the Sizes menu and the
# Exact Size dialog, written once for the end-to-end tests on Linux
# (tests/e2e) and on Windows (tests/win32). Each acts as a preset does: the
# outer size (as the window manager grants it), the quarter position and the
# readout, checked as presets.sh checks a preset; but Custom Size is the one
# checked button, and enabled, except where the size is a preset's, whose
# button is then checked.
#
# Source presets.sh first: the driver is that of presets.sh, and:
#   size_choose NAME INDEX   chooses the entry NAME of the Sizes menu, the
#                            INDEX-th size in it (from 0), as a user would
#   exact_open               opens Exact Size (Ctrl+E) and waits for it
#   exact_filled_in          "W H" in its two boxes
#   exact_enter W H KEY      types W into the width (selected as the dialog
#                            opens), Tab, H, then presses KEY (Return or
#                            Escape)
#   exact_key KEY            presses KEY in the dialog
#   exact_message            the message the dialog shows, if any
#   exact_is_open            true while the dialog is shown
#   exact_centred            true when the dialog's outer rectangle is
#                            centred on the main window's, to the pixel

# shellcheck disable=SC2034 # used by the scripts that source this file
MENU_SIZES=("1280 X 720" "1280 X 800" "1366 X 768" "1440 X 900" "1536 X 864" "1600 X 900"
    "1680 X 1050" "1920 X 1080" "1920 X 1200" "2560 X 1080" "2560 X 1440" "3440 X 1440"
    "3840 X 2160")

# Entries of the Exact Size dialog, one row each: width, height, key, and
# what follows: "size W H" (the size taken, as a menu size is), or the
# message the dialog shows while it stays open (it is then closed with
# Escape, and nothing has changed), or "unchanged".
EXACT_ENTRIES=(
    "1024|768|Return|size 1024 X 768"
    "1000|700|Return|size 1000 X 700"
    "1500|900|Escape|unchanged"
    "12.5|700|Return|The width must be a whole number of pixels."
    "800|99|Return|The height must be from 100 to 16,384 pixels."
    "800|600px|Return|The height must be a whole number of pixels."
    "2200|1000|Return|size 2200 X 1000"
)

# sizes_check_menu RULE SCREEN_W SCREEN_H TABLE: chooses each menu size once,
# in order, and checks the state it gives; writes the table of sizes and
# positions to TABLE (after what is there already) and prints it.
sizes_check_menu() {
    local rule=$1 sw=$2 sh=$3 table=$4 i
    printf '%-12s %-10s %-12s %s\n' asked granted position readout >>"$table"
    for i in "${!MENU_SIZES[@]}"; do
        e2e_log "---- Sizes > ${MENU_SIZES[i]}"
        size_choose "${MENU_SIZES[i]}" "$i"
        size_expect "${MENU_SIZES[i]}" "$rule" "$sw" "$sh" "$PRESET_LAG" "Custom Size"
        echo "$PRESET_ROW" >>"$table"
    done
    cat "$table"
}

# sizes_check_exact RULE SCREEN_W SCREEN_H: first 1000 x 700 (no check but
# its size), from where the window stands: after the menu sizes it is larger
# than the screen, and a dialog centred on it stands off the screen, or
# where the window manager keeps it. Then each entry of EXACT_ENTRIES in
# turn; the dialog opens centred on the main window, filled in with its
# outer size.
sizes_check_exact() {
    local rule=$1 sw=$2 sh=$3 entry w h key outcome before name
    exact_open
    exact_enter 1000 700 Return
    e2e_wait_until "$E2E_TIMEOUT" _preset_size_is "1000 700" || e2e_fail "Exact Size did not give 1000 x 700 (last: $E2E_LAST)"
    for entry in "${EXACT_ENTRIES[@]}"; do
        IFS="|" read -r w h key outcome <<<"$entry"
        e2e_log "---- Exact Size: $w x $h, $key"
        before=$(preset_settled)
        exact_open
        e2e_check "the Exact Size dialog is centred on the main window" exact_centred
        e2e_check_output 0 "${before#* * }" "Exact Size filled in" exact_filled_in
        exact_enter "$w" "$h" "$key"
        case $outcome in
            "size "*)
                name=${outcome#size }
                e2e_wait_until "$E2E_TIMEOUT" eval '! exact_is_open' || e2e_fail "Exact Size stayed open after $w x $h"
                if _is_preset "$name"; then
                    preset_expect "$name" "$rule" "$sw" "$sh" "$PRESET_LAG"
                else
                    size_expect "$name" "$rule" "$sw" "$sh" "$PRESET_LAG" "Custom Size"
                fi
                ;;
            unchanged)
                e2e_wait_until "$E2E_TIMEOUT" eval '! exact_is_open' || e2e_fail "Exact Size stayed open after $key"
                e2e_check_eq "$before" "$(preset_settled)" "outer rectangle after $w x $h, $key"
                ;;
            *)
                e2e_check_output "$E2E_TIMEOUT" "$outcome" "message after $w x $h" exact_message
                e2e_check "Exact Size is still open after $w x $h" exact_is_open
                e2e_screenshot "exact-$w-$h" >/dev/null
                exact_key Escape
                e2e_wait_until "$E2E_TIMEOUT" eval '! exact_is_open' || e2e_fail "Escape did not close Exact Size"
                e2e_check_eq "$before" "$(preset_settled)" "outer rectangle after $w x $h"
                ;;
        esac
    done
}

# _is_preset NAME: true when NAME is one of the presets' captions.
_is_preset() {
    local p
    for p in "${PRESETS[@]}"; do [ "$p" != "$1" ] || return 0; done
    return 1
}
