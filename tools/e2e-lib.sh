# shellcheck shell=bash
# The shell library of the end-to-end tests on both platforms and of the
# session tools that run them: what they share, and nothing of a platform.
#
#   - Waits and processes, for everyone: e2e_wait_until, e2e_running,
#     e2e_end_process. The session tools (tools/session-lib.sh) and
#     tools/run-headless.sh use only these.
#   - A test script's life: reporting and assertions, waits that fail with a
#     message, the program and helpers it starts, screenshots, the artifacts
#     folder, and the trap that ends every process the script started,
#     whatever way it leaves. tests/e2e/lib.sh (Linux: X11 and AT-SPI) and
#     tests/win32/lib.sh (Windows under Wine: the probe) source this file,
#     find their session and call e2e_test_init.
#
# Start processes with e2e_start_command / e2e_start_helper /
# e2e_start_server directly, never inside $(...): the script's own shell has
# to be their parent to wait for them and end them.
#
# Every helper that waits takes a bound (seconds, whole or decimal).

E2E_POLL=${E2E_POLL:-0.05} # seconds between two polls of a wait

# ---------------------------------------------------------------- waits and processes

# Microseconds since the epoch: monotonic enough for bounded waits.
e2e_now_us() {
    local t=${EPOCHREALTIME/[.,]/}
    echo "$t"
}

# Accepts whole or decimal seconds ("2", "0.5").
_e2e_seconds_to_us() {
    local s=$1 whole frac
    whole=${s%%.*}
    frac=""
    [ "$whole" = "$s" ] || frac=${s#*.}
    frac=${frac}000000
    echo $((10#${whole:-0} * 1000000 + 10#${frac:0:6}))
}

# e2e_wait_until SECONDS COMMAND...: polls COMMAND until it succeeds;
# returns 1 once SECONDS have passed (0: one try).
e2e_wait_until() {
    local secs=$1
    shift
    local deadline
    deadline=$(($(e2e_now_us) + $(_e2e_seconds_to_us "$secs")))
    while ! "$@"; do
        (($(e2e_now_us) < deadline)) || return 1
        sleep "$E2E_POLL"
    done
}

# e2e_running PID: true while PID runs; a zombie counts as ended.
e2e_running() {
    local pid=$1 state
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 1
    state=$(awk '{ print $3 }' "/proc/$pid/stat" 2>/dev/null) || return 1
    [ "$state" != Z ] && [ "$state" != X ]
}
e2e_ended() { ! e2e_running "$1"; }

# e2e_end_process PID [SECONDS]: SIGTERM, up to SECONDS (3) for PID to end,
# then SIGKILL and 2 s more; reaps it when this shell is its parent. Returns
# 0 when it ended by itself or on SIGTERM, 1 when it took SIGKILL, 2 when it
# is still there.
e2e_end_process() {
    local pid=$1 secs=${2:-3} rc=0
    if e2e_running "$pid"; then
        kill -TERM "$pid" 2>/dev/null || true
        if ! e2e_wait_until "$secs" e2e_ended "$pid"; then
            rc=1
            kill -KILL "$pid" 2>/dev/null || true
            e2e_wait_until 2 e2e_ended "$pid" || rc=2
        fi
    fi
    wait "$pid" 2>/dev/null || true
    return "$rc"
}

# ---------------------------------------------------------------- a test: reporting

E2E_NAME=$(basename "${0%.sh}")
E2E_TIMEOUT=${E2E_TIMEOUT:-10} # default bound, in seconds, of a test's waits
E2E_PID=""                     # the process started by e2e_start_command
E2E_STATUS=""                  # its exit status once e2e_wait_exit has seen it end
E2E_EXTRA_PIDS=()              # more background processes for the trap to end, in order
E2E_AT_EXIT=()                 # functions the trap calls first (a platform's own ending)
E2E_MISSES=()                  # checks that failed without stopping the script
E2E_LAST=""                    # what a wait saw last, for its message

e2e_log() { echo "[$E2E_NAME] $*"; }

# e2e_fail MESSAGE...: prints the message (and the program's output) and
# ends the script with status 1.
e2e_fail() {
    echo "[$E2E_NAME] FAIL: $*" >&2
    if [ -n "${E2E_PROGRAM_LOG:-}" ] && [ -s "$E2E_PROGRAM_LOG" ]; then
        echo "[$E2E_NAME] program output ($E2E_PROGRAM_LOG):" >&2
        sed 's/^/    /' "$E2E_PROGRAM_LOG" >&2
    fi
    exit 1
}

# e2e_skip MESSAGE: ends the script with 77, which CTest reports as skipped.
e2e_skip() {
    echo "[$E2E_NAME] SKIP: $*"
    exit 77
}

# e2e_assert_eq EXPECTED ACTUAL WHAT
e2e_assert_eq() {
    [ "$1" = "$2" ] || e2e_fail "$3: expected '$1', got '$2'"
    e2e_log "ok: $3 is '$2'"
}

# e2e_assert_ne UNEXPECTED ACTUAL WHAT
e2e_assert_ne() {
    [ "$1" != "$2" ] || e2e_fail "$3: expected anything but '$1'"
    e2e_log "ok: $3 is '$2' (not '$1')"
}

# e2e_assert WHAT COMMAND...: fails unless COMMAND succeeds.
e2e_assert() {
    local what=$1
    shift
    "$@" || e2e_fail "$what (check failed: $*)"
    e2e_log "ok: $what"
}

# e2e_check_eq EXPECTED ACTUAL WHAT, e2e_check WHAT COMMAND...: like the
# asserts, but a miss lets the script go on and fails it at its end, so
# that one run shows every miss.
e2e_check_eq() {
    if [ "$1" = "$2" ]; then
        e2e_log "ok: $3 is '$2'"
    else
        e2e_log "MISS: $3: expected '$1', got '$2'"
        E2E_MISSES+=("$3: expected '$1', got '$2'")
    fi
}
e2e_check() {
    local what=$1
    shift
    if "$@"; then
        e2e_log "ok: $what"
    else
        e2e_log "MISS: $what"
        E2E_MISSES+=("$what")
    fi
}

# ---------------------------------------------------------------- a test: waits

_e2e_prints() {
    E2E_LAST=$("${@:2}") || true
    [ "$E2E_LAST" = "$1" ]
}

# e2e_wait_output EXPECTED WHAT COMMAND...: waits (E2E_TIMEOUT at most)
# until COMMAND prints EXPECTED; fails with what it printed last.
e2e_wait_output() {
    local want=$1 what=$2
    shift 2
    E2E_LAST=""
    e2e_wait_until "$E2E_TIMEOUT" _e2e_prints "$want" "$@" ||
        e2e_fail "$what: expected '$want', got '$E2E_LAST'"
    e2e_log "ok: $what is '$want'"
}

# e2e_check_output SECONDS EXPECTED WHAT COMMAND...: waits up to SECONDS (0:
# one look) until COMMAND prints EXPECTED; a miss is an e2e_check_eq miss.
e2e_check_output() {
    local secs=$1 want=$2 what=$3
    shift 3
    E2E_LAST=""
    e2e_wait_until "$secs" _e2e_prints "$want" "$@" || true
    e2e_check_eq "$want" "$E2E_LAST" "$what"
}

_e2e_steady() {
    local now
    now=$("${@:2}")
    if [ "$now" = "$E2E_LAST" ]; then
        _E2E_SAME=$((_E2E_SAME + 1))
    else
        E2E_LAST=$now _E2E_SAME=0
    fi
    [ "$_E2E_SAME" -ge "$1" ]
}

# e2e_wait_steady SECONDS POLLS COMMAND...: waits until COMMAND prints the
# same POLLS polls in a row; E2E_LAST holds it. Returns 1 after SECONDS.
e2e_wait_steady() {
    local secs=$1
    shift
    E2E_LAST="" _E2E_SAME=0
    e2e_wait_until "$secs" _e2e_steady "$@"
}

# ---------------------------------------------------------------- a test: processes

# e2e_start_command COMMAND [ARGS...]: starts COMMAND in the background on
# the session's display; E2E_PID holds its PID, E2E_PROGRAM_LOG its output.
e2e_start_command() {
    [ -z "$E2E_PID" ] || e2e_fail "e2e_start_command: a program (pid $E2E_PID) is already running"
    E2E_PROGRAM_LOG=$E2E_ARTIFACTS/program.log
    "$@" </dev/null >"$E2E_PROGRAM_LOG" 2>&1 &
    E2E_PID=$!
    E2E_STATUS=""
    e2e_log "started $* (pid $E2E_PID) on $DISPLAY"
}

# e2e_start_helper COMMAND [ARGS...]: starts a supporting process (a bus, a
# watcher) that the trap ends with the script; its PID is in E2E_HELPER_PID.
e2e_start_helper() {
    "$@" </dev/null >>"$E2E_ARTIFACTS/helpers.log" 2>&1 &
    E2E_HELPER_PID=$!
    E2E_EXTRA_PIDS+=("$E2E_HELPER_PID")
}

# e2e_start_server NAME LOG COMMAND...: starts COMMAND to answer questions
# for the whole script: it reads them from one pipe and writes its answers
# to another, both unlinked once open. The script writes to the descriptor
# in E2E_SERVER_IN and reads from E2E_SERVER_OUT; the PID is in
# E2E_SERVER_PID, for the caller to end (or add to E2E_EXTRA_PIDS); stderr
# goes to LOG.
# shellcheck disable=SC2034 # E2E_SERVER_* are the caller's
e2e_start_server() {
    local pipe=$E2E_ARTIFACTS/$1-pipe log=$2 in out
    shift 2
    rm -f "$pipe.in" "$pipe.out"
    mkfifo "$pipe.in" "$pipe.out"
    "$@" <"$pipe.in" >"$pipe.out" 2>>"$log" &
    E2E_SERVER_PID=$!
    exec {in}>"$pipe.in" {out}<"$pipe.out"
    rm -f "$pipe.in" "$pipe.out"
    E2E_SERVER_IN=$in E2E_SERVER_OUT=$out
}

# e2e_wait_exit SECONDS: waits for the started program to end; sets
# E2E_STATUS to its exit status (128+N for signal N). Returns 1, with the
# program still running, if it has not ended within SECONDS.
e2e_wait_exit() {
    local secs=$1
    [ -n "$E2E_PID" ] || e2e_fail "e2e_wait_exit: no program was started"
    e2e_wait_until "$secs" e2e_ended "$E2E_PID" || return 1
    local rc=0
    wait "$E2E_PID" || rc=$?
    E2E_STATUS=$rc
    E2E_PID=""
    return 0
}

# e2e_assert_exits SECONDS STATUS: the program must end within SECONDS with
# exit status STATUS.
e2e_assert_exits() {
    local secs=$1 want=$2
    if ! e2e_wait_exit "$secs"; then
        e2e_fail "the program (pid $E2E_PID) was still running ${secs}s later"
    fi
    if [ "$E2E_STATUS" != "$want" ] && [ "$E2E_STATUS" -gt 128 ]; then
        e2e_fail "exit status of the program: expected '$want', got '$E2E_STATUS' (killed by signal $(kill -l "$E2E_STATUS" 2>/dev/null || echo $((E2E_STATUS - 128))))"
    fi
    e2e_assert_eq "$want" "$E2E_STATUS" "exit status of the program"
}

# ---------------------------------------------------------------- a test: pictures

# e2e_screenshot NAME [WIN]: saves the whole screen, or with WIN what that
# window itself holds (the program's own pixels, its client area from 0,0),
# as $E2E_ARTIFACTS/NAME.png and prints the file's path. Under a compositing
# window manager a window's own picture is not always the one the compositor
# last put on the screen.
e2e_screenshot() {
    local file=$E2E_ARTIFACTS/$1.png
    import -window "${2:-root}" "$file" || e2e_fail "import could not take a picture of ${2:-the screen}"
    e2e_log "screenshot: $file" >&2
    echo "$file"
}

# e2e_contrast FILE X Y W H: "RATIO #BACKGROUND #TEXT" of the text in that
# rectangle of a picture, as WCAG 2 measures contrast (tools/contrast.py).
E2E_CONTRAST_TOOL=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/contrast.py
e2e_contrast() {
    python3 "$E2E_CONTRAST_TOOL" "$@" || e2e_fail "no text to measure at $4x$5+$2+$3 in $1"
}

# e2e_check_readable WHAT FILE X Y W H: measures the text there, logs its
# contrast as a row of the table "contrast: WHAT | RATIO | BACKGROUND |
# TEXT | WxH+X+Y", and misses (e2e_check) below 4.5 : 1. E2E_TEXT_COLOUR
# holds the text colour measured.
e2e_check_readable() {
    local what=$1 ratio bg fg
    shift
    read -r ratio bg fg <<<"$(e2e_contrast "$@")"
    # shellcheck disable=SC2034 # read by the scripts
    E2E_TEXT_COLOUR=$fg
    e2e_log "contrast: $what | $ratio | $bg | $fg | $4x$5+$2+$3"
    e2e_check "'$what' reads at 4.5 : 1 or better ($ratio)" awk -v r="$ratio" 'BEGIN { exit !(r >= 4.5) }'
}

# ---------------------------------------------------------------- a test: set-up and clean-up

_e2e_cleanup() {
    local rc=$? f p
    trap - EXIT
    for f in "${E2E_AT_EXIT[@]}"; do "$f" || true; done
    if [ -n "$E2E_PID" ]; then
        if e2e_running "$E2E_PID"; then
            e2e_log "ending the program (pid $E2E_PID) left running"
            import -window root "$E2E_ARTIFACTS/left-running.png" 2>/dev/null || true
            e2e_end_process "$E2E_PID" || true
        else
            local status=0
            wait "$E2E_PID" 2>/dev/null || status=$?
            e2e_log "the program (pid $E2E_PID) had ended by itself with exit status $status"
        fi
    fi
    for p in "${E2E_EXTRA_PIDS[@]}"; do e2e_end_process "$p" || true; done
    if [ ${#E2E_MISSES[@]} -gt 0 ]; then
        for f in "${E2E_MISSES[@]}"; do echo "[$E2E_NAME] FAIL: $f" >&2; done
        [ "$rc" -ne 0 ] && [ "$rc" -ne 77 ] || rc=1
    fi
    if [ "$rc" -eq 0 ]; then
        e2e_log "PASS"
        [ -z "${_E2E_OWN_ARTIFACTS:-}" ] || rm -rf "$E2E_ARTIFACTS"
    elif [ "$rc" -ne 77 ]; then
        e2e_log "artifacts in $E2E_ARTIFACTS"
    fi
    exit "$rc"
}

# e2e_test_init: makes the artifacts folder (E2E_ARTIFACTS, or a temporary
# one that is removed again when the script passes), clears what an earlier
# run left there, and installs the trap that ends what the script started.
e2e_test_init() {
    _E2E_OWN_ARTIFACTS=""
    if [ -z "${E2E_ARTIFACTS:-}" ]; then
        E2E_ARTIFACTS=$(mktemp -d "${TMPDIR:-/tmp}/e2e-$E2E_NAME.XXXXXX")
        _E2E_OWN_ARTIFACTS=1
    fi
    mkdir -p "$E2E_ARTIFACTS"
    E2E_ARTIFACTS=$(cd "$E2E_ARTIFACTS" && pwd)
    # What an earlier run of the same test left must not pass for this run's.
    rm -f "$E2E_ARTIFACTS"/*.png "$E2E_ARTIFACTS"/*.log "$E2E_ARTIFACTS"/*.txt
    trap _e2e_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

# ---------------------------------------------------------------- the steps the user sees

# A change the user sees in one step leaves the window at its old rectangle
# until the window manager takes the one request, and then at the new one;
# a window manager that applies a request in two moves (openbox moves the
# frame and sizes the client apart) shows one state between, made of the old
# and the new values. Anything else (more states, or a size or a place that
# is neither) is a walk.

# The log ($E2E_WATCH_LOG) has the lines the platform's watcher writes
# (tests/e2e/watch_geometry.cpp on Linux, the probe's watch under Wine):
# "MILLISECONDS viewable|hidden X Y W H" for each change of the window's outer
# rectangle, and "MILLISECONDS mark ACTION" before each action.

# e2e_watch_steps: one line for the first showing and for each action
# marked: "ACTION STATES VERDICT", where STATES are the rectangles seen
# (WxH+X+Y, ", " between them) and VERDICT is "one" or "walk". An action is
# one step when it shows at most one state before its last, made of the old
# and the new values. The first showing is one step when every state the
# window was viewable in had its final size, at most two of them (a window
# manager that places the frame before it moves it to the place asked for;
# its 1 x 1 frame in the making aside).
e2e_watch_steps() {
    awk '
        function verdict(   i, n, f, ok) {
            if (name == "") return
            n = split(seen, s, ";"); ok = 1; real = 0
            split(s[n], f, " ")
            for (i = 1; i <= n; i++) {
                split(s[i], v, " ")
                if (name == "start") {
                    if (v[3] <= 1 && v[4] <= 1) continue
                    real++
                    if (v[3] != f[3] || v[4] != f[4]) ok = 0
                } else {
                    real++
                    for (k = 1; k <= 4; k++) if (v[k] != old[k] && v[k] != f[k]) ok = 0
                }
            }
            if (real > 2) ok = 0
            printf "%s %s %s\n", name, shown == "" ? "-" : shown, ok ? "one" : "walk"
        }
        $2 == "mark" { verdict(); split(last, old, " "); name = $3 == "" ? "action" ++marks : $3; seen = ""; shown = ""; next }
        $2 == "viewable" {
            if (name == "") { name = "start" }
            r = $3 " " $4 " " $5 " " $6; last = r
            seen = seen (seen == "" ? "" : ";") r
            shown = shown (shown == "" ? "" : ",") $5 "x" $6 ($3 < 0 ? "" : "+") $3 ($4 < 0 ? "" : "+") $4
        }
        END { verdict() }' "$E2E_WATCH_LOG"
}
