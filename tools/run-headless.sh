#!/usr/bin/env bash
# Runs the program on a private virtual display (Xvfb + openbox, 1024x768),
# saves a screenshot of the whole screen once its main window has settled,
# and ends it again. `make run` uses this on a machine with no display.
#
#   tools/run-headless.sh BINARY SHOT.png
#
# Exits non-zero if the program cannot be started or its window never
# appears.
set -euo pipefail

readonly PROG=${0##*/}
readonly TITLE="Vistrum V2.1"
readonly WINDOW_TIMEOUT=${RUN_HEADLESS_WINDOW_TIMEOUT:-20} # seconds for the window to appear
readonly SETTLE_TIMEOUT=5                                  # seconds for it to stop moving
readonly QUIT_TIMEOUT=5                                    # seconds for it to end after Ctrl+Q

say() { echo "$PROG: $*" >&2; }

if [ $# -ne 2 ]; then
    echo "usage: $PROG BINARY SHOT.png" >&2
    exit 2
fi
binary=$1
shot=$2
[ -x "$binary" ] || { say "error: $binary does not exist or is not executable"; exit 1; }
binary=$(cd "$(dirname "$binary")" && pwd)/$(basename "$binary")
mkdir -p "$(dirname "$shot")"
shot=$(cd "$(dirname "$shot")" && pwd)/$(basename "$shot")

tools=$(cd "$(dirname "$0")" && pwd)
session=$(mktemp -d "${TMPDIR:-/tmp}/vistrum-run.XXXXXX")
pid=""

now_us() {
    local t=${EPOCHREALTIME/[.,]/}
    echo "$t"
}
running() {
    local state
    kill -0 "$1" 2>/dev/null || return 1
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) || return 1
    [ "$state" != Z ]
}

cleanup() {
    local rc=$?
    trap - EXIT
    if [ -n "$pid" ] && running "$pid"; then
        kill -TERM "$pid" 2>/dev/null || true
        local deadline=$(($(now_us) + 3000000))
        while running "$pid" && (($(now_us) < deadline)); do sleep 0.05; done
        kill -KILL "$pid" 2>/dev/null || true
    fi
    [ -z "$pid" ] || wait "$pid" 2>/dev/null || true
    "$tools/xsession.sh" stop "$session" >/dev/null || rc=1
    rm -rf "$session"
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

"$tools/xsession.sh" start "$session" --wm openbox --size 1024x768 ||
    { say "error: could not start a virtual X session"; exit 1; }
# shellcheck source=/dev/null
source "$session/env"

"$binary" </dev/null &
pid=$!
echo "$PROG: started $binary (pid $pid) on $DISPLAY"

# Wait for the window, but stop early if the program dies.
win=""
deadline=$(($(now_us) + WINDOW_TIMEOUT * 1000000))
while [ -z "$win" ]; do
    if ! running "$pid"; then
        status=0
        wait "$pid" || status=$?
        pid=""
        say "error: the program ended (exit status $status) before its window \"$TITLE\" appeared"
        exit 1
    fi
    if (($(now_us) >= deadline)); then
        say "error: no visible window \"$TITLE\" within ${WINDOW_TIMEOUT}s"
        exit 1
    fi
    win=$(timeout 1 xdotool search --sync --onlyvisible --name "^Vistrum V2\\.1\$" 2>/dev/null | head -n 1) || true
done

# Let it settle: the window manager frames it and the program may move or
# resize it right after it appears. Settled = the same geometry over ten
# polls in a row.
last="" same=0
deadline=$(($(now_us) + SETTLE_TIMEOUT * 1000000))
while [ "$same" -lt 10 ] && (($(now_us) < deadline)); do
    now="$(xwininfo -id "$win" 2>/dev/null | grep -E 'Absolute|Width|Height' | tr -s ' ' | tr '\n' ' ')$(xprop -id "$win" _NET_FRAME_EXTENTS 2>/dev/null)"
    if [ "$now" = "$last" ]; then same=$((same + 1)); else last=$now same=0; fi
    sleep 0.03
done
[ "$same" -ge 10 ] || say "warning: the window was still changing after ${SETTLE_TIMEOUT}s"

import -window root "$shot"
echo "$PROG: screenshot saved to $shot"

# The key-up may find the window already gone; that is not an error.
xdotool key --window "$win" ctrl+q 2>/dev/null || true
deadline=$(($(now_us) + QUIT_TIMEOUT * 1000000))
while running "$pid" && (($(now_us) < deadline)); do sleep 0.05; done
if running "$pid"; then
    say "warning: the program did not end within ${QUIT_TIMEOUT}s of Ctrl+Q; killing it"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
else
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || say "warning: the program ended with exit status $status after Ctrl+Q"
fi
pid=""
