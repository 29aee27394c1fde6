#!/usr/bin/env bash
# Readable and found in the desktop's palette. The first argument names it:
#   light  Qt's own palette: the layout's colours stand as designed (navy
#          readouts and caption on the button face)
#   dark   Adwaita's dark variant through Qt's GTK 3 platform theme
# Each readout and caption, a preset, the mark on the blue swatch and the
# About box's texts are measured on a screenshot and must read at 4.5 : 1
# or better against the background they are drawn on. Every control is
# found over AT-SPI, as a screen reader finds it (GTK, loaded by the theme,
# would otherwise hide them behind a bridge of its own).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"

palette=${1:-light}
case $palette in
    light) unset QT_QPA_PLATFORMTHEME GTK_THEME ;;
    dark)
        [ -f /usr/lib/x86_64-linux-gnu/qt6/plugins/platformthemes/libqgtk3.so ] ||
            e2e_fail "Qt's GTK 3 platform theme is not installed (qt6-gtk-platformtheme; tools/install-deps.sh test)"
        export QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
        ;;
    *) e2e_fail "unknown palette: $palette" ;;
esac

e2e_start_a11y
e2e_start_program
win=$(e2e_find_window "Vistrum V2.1")
e2e_wait_managed "$win"
e2e_wait_stable "$win"
e2e_wait_a11y "640 X 480" checked
e2e_wait_a11y "Current screen size = 640 X 480" text "Current screen size = "

# ---- every control, as a screen reader finds it: in the one application
# the process shows, Qt's, with its one window
e2e_check_eq "Qt Vistrum 1" "$(e2e_a11y apps)" "the program's applications over AT-SPI (toolkit, name, windows)"
for name in "${PRESETS[@]}" "Custom Size" "Screen Size" Start; do
    e2e_check "a control named '$name'" e2e_a11y find "$name"
done
e2e_check_eq 24 "$(e2e_a11y text "red " | wc -l)" "swatches named by their colour"

# measure WHAT [--prefix] NAME DX DY W H: the text of the control named NAME
# within its extents, from DX, DY inside them, W x H large: arithmetic read
# once the extents are known (A11Y_W, A11Y_H), to leave out an option
# button's circle or a frame's line.
measure() {
    local what=$1
    shift
    local args=("$1")
    [ "$1" != --prefix ] || { args+=("$2") && shift; }
    e2e_a11y_extents "${args[@]}"
    e2e_check_readable "$what" "$shot" $((A11Y_X + $2)) $((A11Y_Y + $3)) $(($4)) $(($5))
}

shot=$(e2e_screenshot "$palette-main")
measure "size readout" --prefix "Current screen size = " 0 0 A11Y_W A11Y_H
readout=$E2E_TEXT_COLOUR
measure "colour readout" --prefix "Color = " 0 0 A11Y_W A11Y_H
# The caption: left of the frame's top line, at the font's height.
measure "frame caption" "Screen Size" 8 0 56 12
caption=$E2E_TEXT_COLOUR
measure "preset" "1024 X 768" 18 0 A11Y_W-18 A11Y_H
measure "task bar's Start" Start 0 0 A11Y_W A11Y_H
if [ "$palette" = light ]; then
    e2e_check_eq "#000080 #000080" "$readout $caption" "readout and caption in the light palette (navy, as designed)"
fi

e2e_a11y_click "red 0, green 0, blue 255"
e2e_wait_a11y "Color = 00FF0000 Hex" text "Color = "
e2e_move_pointer 0 0
sleep 0.3 # the mark is painted after the readout is set
shot=$(e2e_screenshot "$palette-blue")
# Inside the white marker frame and the swatch's own border.
measure "mark on the blue swatch" "red 0, green 0, blue 255, selected" 3 3 A11Y_W-6 A11Y_H-6

# ---- the About box
e2e_a11y_menu Help "About Vistrum"
e2e_wait_until "$E2E_TIMEOUT" e2e_a11y_showing "Version " || e2e_fail "the About box did not open"
sleep 0.5
shot=$(e2e_screenshot "$palette-about")
measure "About: product name" "Vistrum " 0 0 A11Y_W A11Y_H
measure "About: version line" --prefix "Version " 0 0 A11Y_W A11Y_H
measure "About: authors' line" --prefix "Written by" 0 0 A11Y_W A11Y_H
measure "About: OK" OK 4 4 A11Y_W-8 A11Y_H-8
e2e_a11y_click OK
e2e_wait_until "$E2E_TIMEOUT" eval '! e2e_a11y_showing "Version "' || e2e_fail "the About box did not close"

e2e_key "$win" ctrl+q
e2e_assert_exits 5 0
