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
# shellcheck source=tools/e2e-lib.sh
source "$tools/e2e-lib.sh"
session=$(mktemp -d "${TMPDIR:-/tmp}/vistrum-run.XXXXXX")
pid=""

cleanup() {
    local rc=$?
    trap - EXIT
    [ -z "$pid" ] || e2e_end_process "$pid" || true
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
_window_or_end() {
    e2e_running "$pid" || return 0
    win=$(timeout 1 xdotool search --sync --onlyvisible --name "^Vistrum V2\\.1\$" 2>/dev/null | head -n 1) || true
    [ -n "$win" ]
}
e2e_wait_until "$WINDOW_TIMEOUT" _window_or_end || true
if ! e2e_running "$pid"; then
    status=0
    wait "$pid" || status=$?
    pid=""
    say "error: the program ended (exit status $status) before its window \"$TITLE\" appeared"
    exit 1
fi
[ -n "$win" ] || { say "error: no visible window \"$TITLE\" within ${WINDOW_TIMEOUT}s"; exit 1; }

# Let it settle: the window manager frames it and the program may move or
# resize it right after it appears. Settled = the same geometry over ten
# polls in a row.
_geometry() {
    xwininfo -id "$win" 2>/dev/null | grep -E 'Absolute|Width|Height' | tr -s ' ' | tr '\n' ' '
    xprop -id "$win" _NET_FRAME_EXTENTS 2>/dev/null || true
}
e2e_wait_steady "$SETTLE_TIMEOUT" 10 _geometry || say "warning: the window was still changing after ${SETTLE_TIMEOUT}s"

import -window root "$shot"
echo "$PROG: screenshot saved to $shot"

# The key-up may find the window already gone; that is not an error.
xdotool key --window "$win" ctrl+q 2>/dev/null || true
if ! e2e_wait_until "$QUIT_TIMEOUT" e2e_ended "$pid"; then
    say "warning: the program did not end within ${QUIT_TIMEOUT}s of Ctrl+Q; killing it"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
else
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || say "warning: the program ended with exit status $status after Ctrl+Q"
fi
pid=""
