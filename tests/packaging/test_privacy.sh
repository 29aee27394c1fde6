#!/usr/bin/env bash
# The program reads and writes no files and keeps no settings: a whole
# session (start, a preset, a colour, the help pane, the About dialog, Ctrl+Q)
# with HOME, the XDG folders and TMPDIR in an empty scratch tree leaves that
# tree as it was, apart from caches that system libraries keep on their own:
#   .cache/fontconfig              fontconfig's font cache, when the system
#                                  cache is out of date
#   .cache/mesa_shader_cache*      Mesa's shader cache, if OpenGL is loaded
# The program gets a session bus of its own, as on a desktop; without one,
# libdbus would launch a bus through X11 and record it in ~/.dbus.
#
# Input: PACKAGING_WORK_DIR, a folder the test may empty and use.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/checks.sh"

packaging_require dbus-daemon find
readonly LIBRARY_CACHES=(home/.cache/fontconfig home/.cache/mesa_shader_cache
    home/.cache/mesa_shader_cache_db)
readonly BACKGROUND="#0000FF" # swatch 23, the last of the ribbon: OLE colour 00FF0000

work=${PACKAGING_WORK_DIR:?}
rm -rf "$work"
scratch=$work/scratch
home=$scratch/home
mkdir -p "$home/.config" "$home/.cache" "$home/.local/share" "$home/.local/state" \
    "$home/runtime" "$scratch/tmp"
chmod 700 "$home/runtime"

# ---------------------------------------------------------------- snapshots

# Every entry under the scratch tree: path, type, mode, and for files size,
# modification and change times; for folders the two times (which change
# when an entry is added, removed or renamed).
raw_snapshot() {
    (cd "$scratch" && find . -mindepth 1 -printf '%P\t%y\t%m\t%s\t%T@\t%C@\n') | LC_ALL=C sort
}

# normalise RAW [RELAXED...]: drops the library caches, the size of folders,
# and the times of the RELAXED folders (the parents of a cache a library
# created, whose times that creation changed).
normalise() {
    local raw=$1
    shift
    awk -F'\t' -v OFS='\t' -v ignored="$(printf '%s\n' "${LIBRARY_CACHES[@]}")" \
        -v relaxed="$(printf '%s\n' "$@")" '
        BEGIN {
            n = split(ignored, ign, "\n")
            split(relaxed, rel, "\n")
            for (i in rel) if (rel[i] != "") relax[rel[i]] = 1
        }
        {
            for (i = 1; i <= n; i++)
                if (ign[i] != "" && ($1 == ign[i] || index($1, ign[i] "/") == 1))
                    next
            size = $2 == "f" ? $4 : "-"
            if ($1 in relax) { $5 = "-"; $6 = "-" }
            print $1, $2, $3, size, $5, $6
        }' "$raw"
}

# compare BEFORE AFTER: prints the entries added, removed or changed, with
# the library caches left out.
compare() {
    local before=$1 after=$2 cache relaxed=()
    for cache in "${LIBRARY_CACHES[@]}"; do
        if [ -e "$scratch/$cache" ] && ! grep -q "^$cache"$'\t' "$before"; then
            e2e_log "a system library created $cache (ignored)" >&2
            relaxed+=("$(dirname "$cache")")
        fi
    done
    diff <(normalise "$before" "${relaxed[@]}") <(normalise "$after" "${relaxed[@]}") |
        sed -n 's/^</    before:/p; s/^>/    after: /p' || true
}

raw_snapshot >"$work/before.txt"
e2e_log "scratch tree at the start:"
sed 's/^/    /' "$work/before.txt"
e2e_assert_eq "" "$(find "$scratch" -mindepth 1 ! -type d)" "files in the scratch tree at the start"

# ---------------------------------------------------------------- the session

# A session bus of our own: dbus-daemon runs in the test's environment, so
# whatever it or a service it starts writes lands outside the scratch tree.
bus_file=$work/bus.address
: >"$bus_file"
e2e_start_helper dbus-daemon --session --nofork --nopidfile --address=unix:tmpdir=/tmp --print-address=3 3>"$bus_file"
_bus_up() { [ -s "$bus_file" ]; }
e2e_wait_until "$E2E_TIMEOUT" _bus_up || e2e_fail "dbus-daemon did not print its address"
bus=$(head -n 1 "$bus_file")

e2e_start_command env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
    XDG_DATA_HOME="$home/.local/share" XDG_STATE_HOME="$home/.local/state" \
    XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$scratch/tmp" DBUS_SESSION_BUS_ADDRESS="$bus" \
    "${VISTRUM_BIN:?}"
win=$(e2e_find_window "Vistrum V2.1")
e2e_assert "the program runs with the scratch HOME" \
    grep -qxF "HOME=$home" <(tr '\0' '\n' <"/proc/$E2E_PID/environ")
e2e_wait_managed "$win"
e2e_wait_stable "$win"

# Where the size frame "Screen Size" (225 x 297 pixels at 96 DPI) stands on
# the screen: centred in the client area below the menu bar.
readonly MENU_BAR=20
frame_origin() {
    local x y w h
    read -r x y w h <<<"$(e2e_client_geometry "$win")"
    echo "$((x + (w - 225) / 2)) $((y + MENU_BAR + (h - MENU_BAR - 297) / 2))"
}
# A point of the window's own background, left of the frame.
background_point() {
    local x y w h
    read -r x y w h <<<"$(e2e_client_geometry "$win")"
    echo "$((x + 8)) $((y + MENU_BAR + 8))"
}
pixel_at() {
    local shot
    shot=$(e2e_screenshot "$1")
    e2e_pixel "$shot" "$2" "$3"
}

# Preset 1, "800 X 600": 81 x 17 pixels at (24, 48) in the frame.
read -r fx fy <<<"$(frame_origin)"
e2e_click $((fx + 24 + 40)) $((fy + 48 + 8))
_is_800x600() { [ "$(e2e_size "$(e2e_outer_geometry "$win")")" = 800x600 ]; }
e2e_wait_until "$E2E_TIMEOUT" _is_800x600 ||
    e2e_fail "a click on \"800 X 600\" left the window at $(e2e_rect "$(e2e_outer_geometry "$win")")"
e2e_wait_stable "$win"
e2e_assert_eq 800x600+56+42 "$(e2e_rect "$(e2e_outer_geometry "$win")")" "outer rectangle after the preset"

# Swatch 23: 17 x 17 pixels at (152, 248) in the frame.
read -r fx fy <<<"$(frame_origin)"
e2e_click $((fx + 152 + 8)) $((fy + 248 + 8))
read -r bx by <<<"$(background_point)"
_background_is() { [ "$(pixel_at background "$bx" "$by")" = "$1" ]; }
e2e_wait_until "$E2E_TIMEOUT" _background_is "$BACKGROUND" ||
    e2e_fail "after a click on the last swatch the background at $bx,$by is $(pixel_at background "$bx" "$by")"
e2e_log "ok: the background is $BACKGROUND"

# F1 opens the help pane, which stands 20 pixels out from the frame on
# either side; a click on the background closes it again.
hx=$((fx - 16))
hy=$((fy + 150))
e2e_assert_eq "$BACKGROUND" "$(pixel_at before-help "$hx" "$hy")" "colour beside the frame before F1"
e2e_key "$win" F1
_help_shown() { [ "$(pixel_at help "$hx" "$hy")" != "$BACKGROUND" ]; }
e2e_wait_until "$E2E_TIMEOUT" _help_shown || e2e_fail "F1 showed no help pane beside the frame"
e2e_log "ok: the help pane is open ($(pixel_at help "$hx" "$hy") at $hx,$hy)"
e2e_click "$bx" "$by"
_help_closed() { [ "$(pixel_at help-closed "$hx" "$hy")" = "$BACKGROUND" ]; }
e2e_wait_until "$E2E_TIMEOUT" _help_closed || e2e_fail "a click on the background left the help pane open"
e2e_log "ok: the help pane is closed"

# Alt+H, A opens the About dialog, a second window of the program; Enter
# closes it.
_other_windows() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null || true); do
        [ "$w" = "$win" ] || echo "$w"
    done
}
_about_shown() { _ABOUT=$(_other_windows) && [ -n "$_ABOUT" ]; }
e2e_key "$win" alt+h
e2e_key "$win" a
e2e_wait_until "$E2E_TIMEOUT" _about_shown || e2e_fail "Alt+H, A showed no About dialog"
about=$(head -n 1 <<<"$_ABOUT")
e2e_log "ok: the About dialog is window $about"
e2e_key "$about" Return
_about_gone() { [ -z "$(_other_windows)" ]; }
e2e_wait_until "$E2E_TIMEOUT" _about_gone || e2e_fail "Enter left the About dialog open"
e2e_log "ok: the About dialog is closed"

packaging_quit "$win"

# ---------------------------------------------------------------- the verdict

raw_snapshot >"$work/after.txt"
changes=$(compare "$work/before.txt" "$work/after.txt")
if [ -n "$changes" ]; then
    e2e_fail "the session changed the scratch tree:
$changes"
fi
e2e_log "ok: the scratch tree is as it was"

# The comparison itself sees a file written where the program could have.
touch "$home/.config/written-by-the-test"
raw_snapshot >"$work/control.txt"
grep -q 'written-by-the-test' <<<"$(compare "$work/before.txt" "$work/control.txt")" ||
    e2e_fail "the comparison missed a file written into .config"
e2e_log "ok: the comparison sees a file written into .config"
