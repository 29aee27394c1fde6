#!/usr/bin/env bash
# Starts and stops a private Wine session for the Windows tests: an Xvfb
# display of its own and a Wine prefix of its own whose virtual desktop
# "Default" fills that display, so that Wine draws the window frames itself
# as Windows does (no X window manager is involved).
#
#   tools/wine-session.sh start DIR [--dpi 96|120|144|168|216] [--size WxH]
#   tools/wine-session.sh dpi DIR N
#   tools/wine-session.sh stop DIR
#
# `start` picks a free display from :120 up (or $WINESESSION_FIRST_DISPLAY),
# makes the prefix DIR/prefix on first use (wineboot, about 10 s) and reuses
# it afterwards, writes the desktop and the DPI into its registry, and writes
# DIR/env, which a test sources:
#
#   export DISPLAY=:120 WINEPREFIX=DIR/prefix WINEDEBUG=-all ...
#
# `dpi` changes the DPI ("LogPixels") of the session. A program started
# afterwards sees it: every Wine process reads it when it starts, and the
# desktop process draws nothing that depends on it (measured: a screenshot at
# 120 DPI after a switch from 96 is the same as one from a fresh session).
# One thing does: after switches between 120, 144, 168 and 216, a
# SetWindowPos that one program made on another's window came out scaled by
# the ratio of an earlier DPI of the session to the current one (measured,
# not understood), so the tests size windows by dragging them instead.
#
# `stop` ends every Wine process of the prefix (wineserver -k), waits for the
# server to go, ends the Xvfb and removes the display's lock file and socket
# if the server left them. It is safe to call twice, or on a DIR whose
# session never started. Logs stay in DIR (xvfb.log, wine.log).
set -euo pipefail

readonly PROG=${0##*/}
readonly FIRST_DISPLAY=${WINESESSION_FIRST_DISPLAY:-120}
readonly DISPLAY_TRIES=${WINESESSION_DISPLAY_TRIES:-30}
readonly START_TIMEOUT=${WINESESSION_START_TIMEOUT:-20} # seconds for Xvfb to answer
readonly STOP_TIMEOUT=${WINESESSION_STOP_TIMEOUT:-10}   # seconds for Wine and Xvfb to go

# shellcheck source=tools/session-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/session-lib.sh"

usage() {
    cat >&2 <<EOF
usage: $PROG start DIR [--dpi 96|120|144|168|216] [--size WIDTHxHEIGHT]
       $PROG dpi DIR N
       $PROG stop DIR
EOF
    exit 2
}

# Every Wine process running in the prefix: the server, the desktop
# (explorer.exe) and the services all carry WINEPREFIX in their environment
# and run one of Wine's own executables. A shell that sourced DIR/env (this
# script's caller, or this script) carries it too, and is none of them.
prefix_processes() {
    local p
    for p in /proc/[0-9]*; do
        [ -r "$p/environ" ] || continue
        case $(readlink "$p/exe" 2>/dev/null) in */wine*) ;; *) continue ;; esac
        { tr '\0' '\n' <"$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$1" || continue
        e2e_running "${p#/proc/}" && echo "${p#/proc/}"
    done
}
no_prefix_processes() { [ -z "$(prefix_processes "$1")" ]; }

# The registry of the session: the virtual desktop and the DPI.
write_registry() {
    local size=$1 dpi=$2 file=$dir/session.reg
    printf '%s\r\n' 'REGEDIT4' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer]' '"Desktop"="Default"' '' \
        '[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]' "\"Default\"=\"$size\"" '' \
        '[HKEY_CURRENT_USER\Control Panel\Desktop]' \
        "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" '' >"$file"
    wine regedit "$file" >>"$dir/wine.log" 2>&1 || die "wine regedit $file failed; see $dir/wine.log"
}

check_dpi() {
    case $1 in 96 | 120 | 144 | 168 | 216) ;; *) die "the DPI must be 96, 120, 144, 168 or 216, not '$1'" ;; esac
}

wine_environment() {
    export WINEPREFIX=$dir/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# ---------------------------------------------------------------- start

started_xvfb=""
display_n=""

cleanup_failed_start() {
    local rc=$?
    [ "$rc" -ne 0 ] || return 0
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k 2>/dev/null || true
        e2e_wait_until "$STOP_TIMEOUT" no_prefix_processes "$WINEPREFIX" || true
    fi
    if [ -n "$started_xvfb" ]; then
        terminate "$started_xvfb" Xvfb
        remove_stale_lock "$display_n"
    fi
    rm -f "$dir/env" "$dir/env.tmp"
    say "start failed; nothing left running"
    exit "$rc"
}

cmd_start() {
    [ $# -ge 1 ] || usage
    dir=$1
    shift
    local dpi=96
    size=1024x768
    while [ $# -gt 0 ]; do
        case $1 in
            --dpi) [ $# -ge 2 ] || usage; dpi=$2; shift 2 ;;
            --size) [ $# -ge 2 ] || usage; size=$2; shift 2 ;;
            *) say "unknown option: $1"; usage ;;
        esac
    done
    check_dpi "$dpi"
    [[ $size =~ ^[1-9][0-9]*x[1-9][0-9]*$ ]] || die "--size must look like 1024x768, not '$size'"
    require_tools Xvfb xdpyinfo wine wineboot wineserver
    begin_start

    start_xvfb
    export DISPLAY=:$display_n
    wine_environment
    : >"$dir/wine.log"
    # Made once and kept: a prefix is the same for every run of the tests.
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "making the Wine prefix $WINEPREFIX (once)"
        wineboot -i >>"$dir/wine.log" 2>&1 || die "wineboot -i failed; see $dir/wine.log"
    fi
    # Whatever runs in the prefix now (wineboot leaves a desktop made before
    # the registry asks for the virtual one) goes, so that the next program
    # starts the desktop the registry describes.
    write_registry "$size" "$dpi"
    wineserver -k 2>/dev/null || true
    e2e_wait_until "$STOP_TIMEOUT" no_prefix_processes "$WINEPREFIX" ||
        die "Wine processes of $WINEPREFIX still running after wineserver -k: $(prefix_processes "$WINEPREFIX" | tr '\n' ' ')"

    cat >"$dir/env.tmp" <<EOF
# Written by tools/wine-session.sh start; tools/wine-session.sh stop reads it.
export DISPLAY=:$display_n
export WINEPREFIX='$WINEPREFIX'
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
export WINESESSION_DIR='$dir'
export WINESESSION_DISPLAY_NUMBER=$display_n
export WINESESSION_XVFB_PID=$started_xvfb
export WINESESSION_SIZE=$size
EOF
    mv "$dir/env.tmp" "$dir/env"
    echo "$dpi" >"$dir/dpi"
    trap - EXIT INT TERM
    echo "Wine session on :$display_n (Xvfb pid $started_xvfb, desktop $size, $dpi DPI, prefix $WINEPREFIX); source $dir/env"
}

# ---------------------------------------------------------------- dpi

cmd_dpi() {
    [ $# -eq 2 ] || usage
    dir=$(cd "$1" && pwd)
    check_dpi "$2"
    [ -f "$dir/env" ] || die "no Wine session in $dir"
    # shellcheck source=/dev/null
    source "$dir/env"
    write_registry "$WINESESSION_SIZE" "$2"
    echo "$2" >"$dir/dpi"
}

# ---------------------------------------------------------------- stop

cmd_stop() {
    [ $# -eq 1 ] || usage
    local dir=$1 envf=$1/env
    if [ ! -f "$envf" ]; then
        echo "no Wine session recorded in $dir; nothing to stop"
        return 0
    fi
    local n xvfb prefix left
    n=$(env_value WINESESSION_DISPLAY_NUMBER "$envf")
    xvfb=$(env_value WINESESSION_XVFB_PID "$envf")
    prefix=$(env_value WINEPREFIX "$envf")
    if [ -n "$prefix" ] && [ -d "$prefix" ]; then
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        if ! e2e_wait_until "$STOP_TIMEOUT" no_prefix_processes "$prefix"; then
            left=$(prefix_processes "$prefix" | tr '\n' ' ')
            say "Wine processes of $prefix still running after wineserver -k: $left; killing them"
            # shellcheck disable=SC2086
            kill -KILL $left 2>/dev/null || true
        fi
    fi
    if [ -n "$xvfb" ]; then terminate "$xvfb" "Xvfb :$n"; fi
    left=""
    if [ -n "$xvfb" ] && is_our_process "$xvfb" "Xvfb :$n"; then left="Xvfb pid $xvfb "; fi
    if [ -n "$prefix" ]; then left+=$(prefix_processes "$prefix" | tr '\n' ' '); fi
    [ -z "$n" ] || remove_stale_lock "$n"
    [ -z "$left" ] || die "could not stop: $left"
    rm -f "$envf"
    echo "Wine session :$n stopped"
}

[ $# -ge 1 ] || usage
case $1 in
    start) shift; cmd_start "$@" ;;
    dpi) shift; cmd_dpi "$@" ;;
    stop) shift; cmd_stop "$@" ;;
    *) usage ;;
esac
