#!/usr/bin/env bash
# Runs the benchmark on a private virtual display (Xvfb 1024x768 + openbox),
# with one more each under mutter and KWin for the start-up and the presets
# there, and prints its table;
# then the same for the Windows build under Wine, on a
# private Wine desktop of 1024x768 at 96 DPI (tools/wine-session.sh). `make
# bench` builds what it needs and runs this.
#
#   bench/run.sh [BUILD_DIR] [--reps N] [--idle SECONDS]
#
# The Windows part needs BUILD_DIR/win64/bin (vistrum.exe and the two
# bench_*_win32.exe); without them it is skipped with a message. Its Wine
# prefix is made once in BUILD_DIR/bench/wine-session and kept.
#
# The children's output goes to a log in a temporary folder, removed at the end
# unless the run fails.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
    build=$1
    shift
fi
for tool in vistrum bench_bare_window bench_measure; do
    if [ ! -x "$build/bin/$tool" ]; then
        echo "bench: $build/bin/$tool is missing; build it first (bench_measure needs libxcb-xtest0-dev)" >&2
        exit 1
    fi
done
command -v xdotool >/dev/null || { echo "bench: xdotool is missing (make deps-test)" >&2; exit 1; }
for wm in mutter kwin_x11; do
    command -v "$wm" >/dev/null || { echo "bench: $wm is missing (make deps-test)" >&2; exit 1; }
done

# The Windows tool takes the number of repetitions only: it has no idle row.
win_args=()
args=("$@")
for ((i = 0; i + 1 < ${#args[@]}; i++)); do
    if [ "${args[i]}" = --reps ]; then win_args=(--reps "${args[i + 1]}"); fi
done
win_bin=$build/win64/bin
win_missing=""
for tool in vistrum.exe bench_bare_window_win32.exe bench_measure_win32.exe; do
    [ -f "$win_bin/$tool" ] || win_missing+=" $tool"
done
if [ -z "$win_missing" ]; then
    win_bin=$(cd "$win_bin" && pwd)
    # Checked before the Linux part, so that a missing Wine does not cost its minutes.
    command -v wine >/dev/null || { echo "bench: wine is missing (make deps-test)" >&2; exit 1; }
fi

session=$(mktemp -d "${TMPDIR:-/tmp}/vistrum-bench.XXXXXX")
others=(mutter kwin)
mkdir -p "$build/bench"
wine_session=$(cd "$build/bench" && pwd)/wine-session
finish() {
    local rc=$?
    "$root/tools/xsession.sh" stop "$session" >/dev/null || rc=1
    for wm in "${others[@]}"; do
        [ -d "$session/$wm" ] && { "$root/tools/xsession.sh" stop "$session/$wm" >/dev/null || rc=1; }
    done
    bash "$root/tools/wine-session.sh" stop "$wine_session" >/dev/null || rc=1
    if [ "$rc" -eq 0 ]; then rm -rf "$session"; else echo "bench: logs kept in $session and $wine_session" >&2; fi
    exit "$rc"
}
trap finish EXIT
"$root/tools/xsession.sh" start "$session" --wm openbox --size 1024x768 >/dev/null
# mutter and KWin have a display each; the programs started there are told
# its DISPLAY, nothing else of its environment.
under=()
for wm in "${others[@]}"; do
    mkdir -p "$session/$wm"
    "$root/tools/xsession.sh" start "$session/$wm" --wm "$wm" --size 1024x768 >/dev/null
    under+=(--under "$wm=$(sed -n 's/^export DISPLAY=//p' "$session/$wm/env")")
done
# shellcheck disable=SC1091
source "$session/env"

# The load average tells whether other work on the machine shared the run.
echo "On $DISPLAY (Xvfb 1024x768, openbox) and ${under[*]//--under/} (the same under those), $(nproc) CPUs, $(date -u '+%Y-%m-%d %H:%M UTC'); load average $(cut -d' ' -f1-3 /proc/loadavg)"
"$build/bin/bench_measure" "$build/bin/vistrum" "$build/bin/bench_bare_window" \
    --log "$session/children.log" "${under[@]}" "$@"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
# Their displays and window managers are not needed any more.
"$root/tools/xsession.sh" stop "$session" >/dev/null
for wm in "${others[@]}"; do "$root/tools/xsession.sh" stop "$session/$wm" >/dev/null; done

echo
if [ -n "$win_missing" ]; then
    echo "Windows build: skipped, $build/win64/bin lacks$win_missing (build with -DVISTRUM_WINDOWS=ON and MinGW-w64)"
    exit 0
fi
# Displays from :160 up: the Windows tests take theirs from :120.
WINESESSION_FIRST_DISPLAY=160 bash "$root/tools/wine-session.sh" start "$wine_session" --dpi 96 \
    --size 1024x768 >/dev/null
# The session's environment stays inside this part.
(
    # shellcheck disable=SC1091
    source "$wine_session/env"
    echo "On $DISPLAY (Xvfb 1024x768, Wine virtual desktop), $(nproc) CPUs, $(date -u '+%Y-%m-%d %H:%M UTC'); load average $(cut -d' ' -f1-3 /proc/loadavg)"
    wine "$win_bin/bench_measure_win32.exe" "$(winepath -w "$win_bin/vistrum.exe")" \
        "$(winepath -w "$win_bin/bench_bare_window_win32.exe")" "${win_args[@]}"
)
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
