# shellcheck shell=bash
# Shared helpers of the Windows tests: vistrum.exe runs under Wine in the
# session of tools/wine-session.sh and is driven from outside by
# vistrum_probe.exe (probe.cpp): one probe per script answers every
# question through a pair of pipes (w32 COMMAND...). A script starts with
#
#   source "$(dirname "$0")/lib.sh"
#
# Inputs, set by tests/win32/CMakeLists.txt (or by hand):
#   VISTRUM_WINE_SESSION_DIR  the folder given to `tools/wine-session.sh start`
#   VISTRUM_WINDOWS_BIN       the folder holding vistrum.exe and vistrum_probe.exe
#   W32_ARTIFACTS             where logs, tables and screenshots go
#
# Rectangles are "X Y W H" in screen pixels, as the probe prints them.

set -euo pipefail
shopt -s inherit_errexit

W32_NAME=$(basename "${0%.sh}")
W32_TIMEOUT=${W32_TIMEOUT:-10} # bound, in seconds, of every wait
W32_PID=""                     # the program, started by w32_start_program
W32_PROBE_PID=""
W32_FAILURES=()                # checks that failed without stopping the script
W32_SESSION_TOOL=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)/wine-session.sh

# ---------------------------------------------------------------- reporting

w32_log() { echo "[$W32_NAME] $*"; }

w32_fail() {
    echo "[$W32_NAME] FAIL: $*" >&2
    if [ -s "${W32_ARTIFACTS:-}/program.log" ]; then
        echo "[$W32_NAME] program output:" >&2
        sed 's/^/    /' "$W32_ARTIFACTS/program.log" >&2
    fi
    exit 1
}

w32_assert_eq() {
    [ "$1" = "$2" ] || w32_fail "$3: expected '$1', got '$2'"
    w32_log "ok: $3 is '$2'"
}

# w32_check_eq EXPECTED ACTUAL WHAT: like w32_assert_eq, but the script goes
# on and fails at its end, so that one table shows every miss.
w32_check_eq() {
    if [ "$1" = "$2" ]; then
        w32_log "ok: $3 is '$2'"
    else
        w32_log "MISS: $3: expected '$1', got '$2'"
        W32_FAILURES+=("$3: expected '$1', got '$2'")
    fi
}

# ---------------------------------------------------------------- waiting

_w32_now_us() {
    local t=${EPOCHREALTIME/[.,]/}
    echo "$t"
}

# w32_wait_until SECONDS COMMAND...: polls COMMAND until it succeeds.
w32_wait_until() {
    local secs=$1
    shift
    local deadline=$(($(_w32_now_us) + secs * 1000000))
    while ! "$@"; do
        (($(_w32_now_us) < deadline)) || return 1
        sleep 0.05
    done
}

# ---------------------------------------------------------------- the probe

# w32_probe COMMAND...: asks the probe and prints its answer without the
# "ok"; an error answer is printed whole and returns 1.
w32_probe() {
    [ -n "$W32_PROBE_PID" ] || w32_fail "the probe is not running"
    printf '%s\n' "$*" >&"$W32_PROBE_IN"
    local answer=""
    IFS= read -r -t 20 answer <&"$W32_PROBE_OUT" ||
        w32_fail "the probe did not answer '$*' (see $W32_ARTIFACTS/probe.log)"
    case $answer in
        "ok") return 0 ;;
        "ok "*) printf '%s\n' "${answer#ok }" ;;
        *) printf '%s\n' "$answer" && return 1 ;;
    esac
}

# w32 COMMAND...: w32_probe that fails the script on an error answer.
w32() {
    local out
    out=$(w32_probe "$@") || w32_fail "probe: $*: $out"
    [ -z "$out" ] || printf '%s\n' "$out"
}

_w32_answer_is() {
    _W32_LAST=$(w32_probe "${@:2}") || true
    [ "$_W32_LAST" = "$1" ]
}

# w32_wait_answer EXPECTED COMMAND...: polls until the probe answers
# EXPECTED; fails with the last answer.
w32_wait_answer() {
    w32_wait_until "$W32_TIMEOUT" _w32_answer_is "$@" ||
        w32_fail "probe ${*:2}: expected '$1', got '$_W32_LAST'"
}

_w32_probe_ok() { _W32_LAST=$(w32_probe "$@"); }

# w32_wait_ok COMMAND...: polls until the probe answers without error.
w32_wait_ok() {
    w32_wait_until "$W32_TIMEOUT" _w32_probe_ok "$@" || w32_fail "probe $*: $_W32_LAST"
}

# w32_control WIN PATTERN: sets C_X C_Y C_W C_H C_VISIBLE C_CHECKED
# C_ENABLED C_CLASS C_TEXT for the child of WIN whose text matches.
# shellcheck disable=SC2034 # read by the scripts
w32_control() {
    local out
    out=$(w32 find "$@")
    read -r C_X C_Y C_W C_H C_VISIBLE C_CHECKED C_ENABLED C_CLASS C_TEXT <<<"$out"
}

# w32_text_of WIN PATTERN: the text of that child.
w32_text_of() {
    w32_control "$@"
    printf '%s\n' "$C_TEXT"
}

# The state of one child, as "visible checked enabled".
w32_flags() {
    w32_control "$@"
    echo "$C_VISIBLE $C_CHECKED $C_ENABLED"
}

_w32_flags_are() { _W32_LAST=$(w32_flags "${@:2}") && [ "$_W32_LAST" = "$1" ]; }
_w32_text_is() { _W32_LAST=$(w32_text_of "${@:2}") && [ "$_W32_LAST" = "$1" ]; }

# w32_wait_flags "V C E" WIN PATTERN, w32_wait_text TEXT WIN PATTERN.
w32_wait_flags() {
    w32_wait_until "$W32_TIMEOUT" _w32_flags_are "$@" ||
        w32_fail "'$3' (visible checked enabled): expected '$1', got '$_W32_LAST'"
}
w32_wait_text() {
    w32_wait_until "$W32_TIMEOUT" _w32_text_is "$@" ||
        w32_fail "text of '$3': expected '$1', got '$_W32_LAST'"
}

_w32_rect_settled() {
    local now
    now=$(w32 rect "$1")
    if [ "$now" = "$_W32_RECT" ]; then
        _W32_SAME=$((_W32_SAME + 1))
    else
        _W32_RECT=$now _W32_SAME=0
    fi
    [ "$_W32_SAME" -ge 5 ]
}

# w32_settled WIN: waits until the window's rectangle stays the same for
# five polls in a row, and prints it.
w32_settled() {
    _W32_RECT="" _W32_SAME=0
    w32_wait_until "$W32_TIMEOUT" _w32_rect_settled "$1" ||
        w32_fail "window $1 kept changing (last: $_W32_RECT)"
    echo "$_W32_RECT"
}

# ---------------------------------------------------------------- processes

_w32_running() {
    local state
    kill -0 "$1" 2>/dev/null || return 1
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) || return 1
    [ "$state" != Z ] && [ "$state" != X ]
}

# w32_start_program: starts vistrum.exe under Wine and the probe beside it,
# then waits for the main window.
w32_start_program() {
    local exe=$VISTRUM_WINDOWS_BIN/vistrum.exe probe=$VISTRUM_WINDOWS_BIN/vistrum_probe.exe
    [ -f "$exe" ] || w32_fail "no program at $exe"
    [ -f "$probe" ] || w32_fail "no probe at $probe"
    wine "$exe" </dev/null >"$W32_ARTIFACTS/program.log" 2>&1 &
    W32_PID=$!
    # One probe answers the whole script through two pipes, unlinked once open.
    local pipe=$W32_ARTIFACTS/probe-pipe
    rm -f "$pipe.in" "$pipe.out"
    mkfifo "$pipe.in" "$pipe.out"
    wine "$probe" <"$pipe.in" >"$pipe.out" 2>>"$W32_ARTIFACTS/probe.log" &
    W32_PROBE_PID=$!
    exec {W32_PROBE_IN}>"$pipe.in" {W32_PROBE_OUT}<"$pipe.out"
    rm -f "$pipe.in" "$pipe.out"
    w32_log "started $exe (pid $W32_PID) and the probe (pid $W32_PROBE_PID) on $DISPLAY"
    w32_wait_ok rect main
    # Without the virtual desktop Wine gives each window an X window of its
    # own and draws no frames: nothing measured then says anything.
    xwininfo -root -children | grep -q "\"Default - Wine desktop\".* ${WINESESSION_SIZE}+0+0" ||
        w32_fail "the program is not on the virtual desktop $WINESESSION_SIZE: $(xwininfo -root -children | tr '\n' ' ')"
}

_w32_ended() { ! _w32_running "$W32_PID"; }

# w32_assert_exits SECONDS STATUS: the program must end within SECONDS with
# exit status STATUS (`wine` hands on the program's).
w32_assert_exits() {
    w32_wait_until "$1" _w32_ended || w32_fail "the program (pid $W32_PID) was still running $1 s later"
    local rc=0
    wait "$W32_PID" || rc=$?
    W32_PID=""
    w32_assert_eq "$2" "$rc" "exit status of the program"
}

_w32_end() {
    local pid=$1
    _w32_running "$pid" || return 0
    kill -TERM "$pid" 2>/dev/null || true
    w32_wait_until 3 _w32_pid_gone "$pid" || kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
_w32_pid_gone() { ! _w32_running "$1"; }

_w32_cleanup() {
    local rc=$?
    trap - EXIT
    if [ -n "$W32_PROBE_PID" ] && _w32_running "$W32_PROBE_PID"; then
        { printf 'quit\n' >&"$W32_PROBE_IN"; } 2>/dev/null || true
        w32_wait_until 3 _w32_pid_gone "$W32_PROBE_PID" || _w32_end "$W32_PROBE_PID"
    fi
    if [ -n "$W32_PID" ]; then
        w32_log "ending the program (pid $W32_PID), still running"
        w32_screenshot left-running >/dev/null || true
        _w32_end "$W32_PID"
    fi
    if [ "$rc" -eq 0 ] && [ ${#W32_FAILURES[@]} -gt 0 ]; then
        printf '[%s] FAIL: %s\n' "$W32_NAME" "${W32_FAILURES[@]}" >&2
        rc=1
    fi
    if [ "$rc" -eq 0 ]; then w32_log PASS; else w32_log "artifacts in $W32_ARTIFACTS"; fi
    exit "$rc"
}

# ---------------------------------------------------------------- input and pictures

# w32_click_visible WIN PATTERN: clicks the middle of the part of the child
# that lies on the screen (a large preset puts part of the window off it).
w32_click_visible() {
    w32_control "$@"
    local x0=$C_X y0=$C_Y x1=$((C_X + C_W)) y1=$((C_Y + C_H))
    ((x0 >= 0)) || x0=0
    ((y0 >= 0)) || y0=0
    ((x1 <= W32_SCREEN_W)) || x1=$W32_SCREEN_W
    ((y1 <= W32_SCREEN_H)) || y1=$W32_SCREEN_H
    ((x0 < x1 && y0 < y1)) || w32_fail "'$2' is off the screen, at $C_X $C_Y $C_W $C_H"
    w32 click $(((x0 + x1) / 2)) $(((y0 + y1) / 2))
}

# w32_screenshot NAME: the whole Wine desktop as $W32_ARTIFACTS/NAME.png.
w32_screenshot() {
    local file=$W32_ARTIFACTS/$1.png
    import -window root "$file" || w32_fail "import could not take a screenshot"
    echo "$file"
}

# w32_menu KEYS...: opens a menu with its access key and picks an entry, as
# Alt+H then A does.
w32_menu() {
    local k
    for k in "$@"; do
        w32 key "$k"
        sleep 0.2 # the menu opens from the program's queue
    done
}

# ---------------------------------------------------------------- set-up

_w32_init() {
    local dir=${VISTRUM_WINE_SESSION_DIR:-}
    [ -n "$dir" ] || w32_fail "VISTRUM_WINE_SESSION_DIR is not set"
    [ -f "$dir/env" ] || w32_fail "no Wine session in $dir (tools/wine-session.sh start has not run)"
    # shellcheck source=/dev/null
    source "$dir/env"
    [ -n "${VISTRUM_WINDOWS_BIN:-}" ] || w32_fail "VISTRUM_WINDOWS_BIN is not set"
    W32_ARTIFACTS=${W32_ARTIFACTS:-$(mktemp -d)}
    mkdir -p "$W32_ARTIFACTS"
    rm -f "$W32_ARTIFACTS"/*.png "$W32_ARTIFACTS"/*.log "$W32_ARTIFACTS"/*.txt
    read -r W32_SCREEN_W W32_SCREEN_H <<<"${WINESESSION_SIZE/x/ }"
    trap _w32_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

# w32_use_dpi N: the DPI that programs started from now on see.
w32_use_dpi() {
    bash "$W32_SESSION_TOOL" dpi "$VISTRUM_WINE_SESSION_DIR" "$1" >/dev/null
    w32_log "display $DISPLAY, $1 DPI"
}

_w32_init
