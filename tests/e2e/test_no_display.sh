#!/usr/bin/env bash
# Without a reachable X display the program ends at once with status 1 and
# one line on standard error that names the display it tried and says what
# it needs (Qt on its own aborts with status 134). No session is needed.
set -euo pipefail
bin=${VISTRUM_BIN:?VISTRUM_BIN is not set}
failed=0

# check WHAT NAMED [VAR=VALUE...]: the program run with only those display
# variables set.
check() {
    local what=$1 named=$2 err rc=0
    shift 2
    err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE -u QT_QPA_PLATFORM "$@" \
        timeout 10 "$bin" 2>&1 >/dev/null </dev/null) || rc=$?
    if [ "$rc" = 1 ] && [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] && [[ $err == *"$named"* ]] &&
        [[ $err == *"needs an X11 or XWayland display"* ]]; then
        echo "ok: $what: $err"
    else
        echo "FAIL: $what: exit status $rc, standard error: $err"
        failed=1
    fi
}
check "DISPLAY unset" "DISPLAY is empty"
check "no server on the display" '":4242"' DISPLAY=:4242
check "a Wayland session without XWayland" "DISPLAY is empty" WAYLAND_DISPLAY=wayland-9 XDG_SESSION_TYPE=wayland
exit "$failed"
