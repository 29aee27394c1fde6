#!/usr/bin/env bash
# What the program says and the status it ends with, for each command line
# and start-up environment, one row each. --help and --version print to
# standard output and end with 0, without a display; every refused argument
# and every failure to start ends with exactly one line on standard error,
# with 2 and 1; none ends in Qt's abort (134).
#
#   test_command_line.sh PROGRAM BROKEN_PLUGIN_DIR VERSION
set -uo pipefail
bin=$1 broken=$2 version=$3
failed=0

# row NAME STATUS PATTERN [VAR=VALUE...] [-- ARGUMENT...]: runs the program
# with only the display variables given set; with status 0 PATTERN is for
# standard output and standard error must be empty, otherwise standard
# output must be empty and standard error one line matching PATTERN. A
# PATTERN of "-" checks the status alone.
row() {
    local name=$1 status=$2 pattern=$3 vars=() out err rc=0
    shift 3
    while [ $# -gt 0 ] && [ "$1" != -- ]; do vars+=("$1") && shift; done
    [ $# -gt 0 ] && shift
    out=$(mktemp) err=$(mktemp)
    env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE -u QT_QPA_PLATFORM \
        -u QT_QPA_PLATFORM_PLUGIN_PATH "${vars[@]}" timeout 5 "$bin" "$@" \
        >"$out" 2>"$err" </dev/null || rc=$?
    local said text problem=""
    if [ "$status" = 0 ]; then said=$out; else said=$err; fi
    text=$(cat "$said")
    if [ "$rc" != "$status" ]; then
        problem="status $rc"
    elif [ "$pattern" != - ]; then
        if [ "$status" = 0 ] && [ -s "$err" ]; then
            problem="standard error: $(cat "$err")"
        elif [ "$status" != 0 ] && [ -s "$out" ]; then
            problem="standard output: $(cat "$out")"
        elif [ "$status" != 0 ] && [ "$(wc -l <"$err")" != 1 ]; then
            problem="$(wc -l <"$err") lines"
        elif [[ $text != $pattern ]]; then
            problem="does not match $pattern"
        fi
    fi
    [ "$pattern" = - ] && text="(ran until stopped)"
    printf '%-4s %-42s %3s  %s\n' "$([ -z "$problem" ] && echo ok || echo FAIL)" "$name" "$rc" \
        "$(head -n 1 <<<"$text")"
    if [ -n "$problem" ]; then
        printf '     %s; it said:\n%s\n' "$problem" "$(sed 's/^/       /' "$said")"
        failed=1
    fi
    rm -f "$out" "$err"
}

row "--help" 0 'Usage: vistrum \[--size WIDTHxHEIGHT\] \[--help | --version\]*--size *--help *--version *man vistrum*' -- --help
row "--version" 0 "Vistrum * ($version)" -- --version
row "-display :99" 2 '*unknown argument "-display"*' -- -display :99
row "-platform foo" 2 '*unknown argument "-platform"*' -- -platform foo
row "--help --verbose" 2 '*unknown argument "--verbose"*' -- --help --verbose
# --size: the size to start at, in whole pixels from 100 to 16,384 each.
# Taken, it lets the program go on to its display.
row "--size 1920x1080" 1 "*no X display is set*" -- --size 1920x1080
row "--size=100X16384" 1 "*no X display is set*" -- --size=100X16384
row "--size 1920x1080, --help" 0 "Usage: vistrum*" -- --size 1920x1080 --help
row "--size alone" 2 "*--size needs a size*" -- --size
row "--size 1920" 2 '*--size "1920" is not WIDTHxHEIGHT in whole pixels*' -- --size 1920
row "--size 1920x" 2 '*--size "1920x" is not WIDTHxHEIGHT*' -- --size 1920x
row "--size=x1080" 2 '*--size "x1080" is not WIDTHxHEIGHT*' -- --size=x1080
row "--size 12.5x100" 2 '*--size "12.5x100" is not WIDTHxHEIGHT*' -- --size 12.5x100
row "--size -800x600" 2 '*--size "-800x600" is not WIDTHxHEIGHT*' -- --size -800x600
row "--size 1920x1080x1" 2 '*--size "1920x1080x1" is not WIDTHxHEIGHT*' -- --size 1920x1080x1
row "--size 99x100" 2 '*--size "99x100": *from 100 to 16,384 pixels' -- --size 99x100
row "--size 800x16385" 2 '*--size "800x16385": *from 100 to 16,384 pixels' -- --size 800x16385
row "--size 1920x1080 --bogus" 2 '*unknown argument "--bogus"*' -- --size 1920x1080 --bogus
row "DISPLAY unset" 1 "*no X display is set (DISPLAY is empty)*"
row "DISPLAY=:4242, no server" 1 '*cannot open the X display ":4242"*' DISPLAY=:4242
# Never a Wayland client: the X display is used instead, also in a Wayland
# session, where it is XWayland's.
row "QT_QPA_PLATFORM=wayland" 1 "*no X display is set (DISPLAY is empty)*" QT_QPA_PLATFORM=wayland
row "Wayland session, QT_QPA_PLATFORM=wayland" 1 '*cannot open the X display ":4242"*' \
    QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-9 XDG_SESSION_TYPE=wayland DISPLAY=:4242
row "QT_QPA_PLATFORM=foo" 1 '*no platform plugin "foo"*' QT_QPA_PLATFORM=foo
row "a plugin Qt cannot start" 1 '*cannot start its platform "broken"*' \
    QT_QPA_PLATFORM=broken QT_QPA_PLATFORM_PLUGIN_PATH="$broken"
# Other platforms are Qt's: offscreen starts and runs until it is stopped.
row "QT_QPA_PLATFORM=offscreen" 124 - QT_QPA_PLATFORM=offscreen
row "--size 3840x2160, offscreen" 124 - QT_QPA_PLATFORM=offscreen -- --size 3840x2160
exit "$failed"
