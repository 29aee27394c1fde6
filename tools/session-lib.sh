# shellcheck shell=bash
# What the session tools share (tools/xsession.sh, tools/wine-session.sh):
# messages, processes ended only when they are really ours, and a private
# Xvfb on the first free display; bounded waits and the ending of processes
# come from tools/e2e-lib.sh. A tool sets PROG, FIRST_DISPLAY, DISPLAY_TRIES,
# START_TIMEOUT and STOP_TIMEOUT, then sources this file; start_xvfb reads
# $dir and $size and sets started_xvfb and display_n.
# shellcheck disable=SC2154,SC2034 # dir and size are the tool's, and so are the variables set for it

# shellcheck source=tools/e2e-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/e2e-lib.sh"

say() { echo "$PROG: $*" >&2; }
die() {
    say "error: $*"
    exit 1
}

# True if PID is alive and its command line contains WORD, so that a PID
# recycled by an unrelated process is never killed.
is_our_process() {
    local pid=$1 word=$2
    e2e_running "$pid" || return 1
    tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "$word"
}

# terminate PID WORD [WHAT]: SIGTERM, STOP_TIMEOUT seconds for it to end,
# then SIGKILL; only if PID is ours (is_our_process).
terminate() {
    local pid=$1 word=$2 what=${3:-$2} rc=0
    is_our_process "$pid" "$word" || return 0
    e2e_end_process "$pid" "$STOP_TIMEOUT" || rc=$?
    [ "$rc" = 0 ] || say "$what (pid $pid) ignored SIGTERM for ${STOP_TIMEOUT}s; killed it"
    [ "$rc" != 2 ] || say "warning: $what (pid $pid) is still there after SIGKILL"
}

# The PID written in an X server's lock file, or nothing.
lock_pid() {
    local lock=/tmp/.X$1-lock
    if [ -r "$lock" ]; then tr -dc '0-9' <"$lock" 2>/dev/null || true; fi
}

# Removes the lock file and socket of display N when no live server owns them.
remove_stale_lock() {
    local n=$1 owner
    owner=$(lock_pid "$n")
    if [ -n "$owner" ] && e2e_running "$owner"; then
        return 0
    fi
    rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
}

server_answers() {
    xdpyinfo -display ":$1" >/dev/null 2>&1
}

# True once the server we started (PID) owns display N and answers on it.
our_server_is_up() {
    local n=$1 pid=$2
    e2e_running "$pid" && [ "$(lock_pid "$n")" = "$pid" ] && server_answers "$n"
}

# Starts Xvfb on the first free display from FIRST_DISPLAY. Another session
# may grab the same number between our check and the server's start; the
# loser's server exits with "Server is already active", and we move on.
start_xvfb() {
    local n pid tries=0
    for ((n = FIRST_DISPLAY; tries < DISPLAY_TRIES; n++, tries++)); do
        if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then
            continue
        fi
        Xvfb ":$n" -screen 0 "${size}x24" -noreset -nolisten tcp \
            </dev/null >"$dir/xvfb.log" 2>&1 &
        pid=$!
        started_xvfb=$pid
        display_n=$n
        if e2e_wait_until "$START_TIMEOUT" our_server_is_up_or_gone "$n" "$pid" &&
            our_server_is_up "$n" "$pid"; then
            return 0
        fi
        if e2e_running "$pid"; then
            # Neither up nor gone: a hung server is an error, not a race.
            die "Xvfb on :$n did not answer within ${START_TIMEOUT}s; its log ($dir/xvfb.log):
$(cat "$dir/xvfb.log")"
        fi
        wait "$pid" 2>/dev/null || true
        started_xvfb=""
        if grep -q -i -E 'already active|server is already|cannot establish|EADDRINUSE|Address already in use' "$dir/xvfb.log"; then
            say "display :$n was taken meanwhile; trying the next one"
            continue
        fi
        die "Xvfb could not start on :$n; its log ($dir/xvfb.log):
$(cat "$dir/xvfb.log")"
    done
    die "no free display number in :$FIRST_DISPLAY..:$((FIRST_DISPLAY + DISPLAY_TRIES - 1))"
}

our_server_is_up_or_gone() {
    our_server_is_up "$1" "$2" || e2e_ended "$2"
}

# require_tools TOOL...: dies naming the first one that is not installed.
require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || die "$tool is not installed (tools/install-deps.sh test installs it)"
    done
}

# begin_start: makes $dir absolute, stops a session that an earlier run left
# in it (with the tool's cmd_stop) and, from here on, has the tool's
# cleanup_failed_start undo a start that fails.
begin_start() {
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    if [ -f "$dir/env" ]; then
        say "stopping the session an earlier run left in $dir"
        cmd_stop "$dir"
    fi
    trap cleanup_failed_start EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

# The value VAR has in an env file the tool wrote.
env_value() {
    sed -n "s/^export $1=//p" "$2" | tr -d "'\"" | head -n 1
}
