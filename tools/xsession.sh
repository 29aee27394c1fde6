#!/usr/bin/env bash
# Starts and stops a private virtual X session (Xvfb plus a window manager)
# for the end-to-end tests and for running the program on a machine with no
# display.
#
#   tools/xsession.sh start DIR [--wm openbox|metacity|mutter|kwin|fluxbox|jwm|pekwm|i3|none] [--dpi N]
#                               [--size WxH] [--monitors N]
#   tools/xsession.sh stop DIR
#
# `start` picks a free display number (from 90 up, or from $XSESSION_FIRST_DISPLAY),
# waits until the server answers and the window manager really manages the
# screen, and writes DIR/env, which a test sources:
#
#   export DISPLAY=:90
#   export XSESSION_XVFB_PID=... XSESSION_WM_PID=... (and a few more)
#
# `stop` ends exactly the processes recorded in DIR/env and removes the
# display's lock file and socket if the server left them behind. It is safe
# to call twice, or on a DIR whose session never started.
#
# Logs of the server and the window manager stay in DIR (xvfb.log, wm.log).
# Works as root, with no HOME configuration, with no terminal on stdin, and
# never leaves a server running when it fails.
set -euo pipefail

readonly PROG=${0##*/}
readonly FIRST_DISPLAY=${XSESSION_FIRST_DISPLAY:-90}
readonly DISPLAY_TRIES=${XSESSION_DISPLAY_TRIES:-50}
# Seconds to wait for the server to answer, for the window manager to take
# over the screen, and for a process to go away after SIGTERM.
readonly START_TIMEOUT=${XSESSION_START_TIMEOUT:-20}
readonly STOP_TIMEOUT=${XSESSION_STOP_TIMEOUT:-5}

# shellcheck source=tools/session-lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/session-lib.sh"

usage() {
    cat >&2 <<EOF
usage: $PROG start DIR [--wm openbox|metacity|mutter|kwin|fluxbox|jwm|pekwm|i3|none] [--dpi N] [--size WIDTHxHEIGHT]
                       [--monitors N]
       $PROG stop DIR
EOF
    exit 2
}

# The window the window manager names in _NET_SUPPORTING_WM_CHECK, if the
# root window carries it and that window points back at itself.
wm_check_window() {
    local w back
    w=$(xprop -display "$DISPLAY" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null |
        sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p')
    [ -n "$w" ] || return 1
    back=$(xprop -display "$DISPLAY" -id "$w" _NET_SUPPORTING_WM_CHECK 2>/dev/null |
        sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p')
    [ "$back" = "$w" ] || return 1
    echo "$w"
}

wm_is_managing() {
    e2e_running "$1" && wm_check_window >/dev/null
}

# A small openbox configuration of our own, so that a developer's
# ~/.config/openbox/rc.xml never changes what the tests see: Clearlooks
# frames (extents 1, 1, 20, 5 at 96 DPI), focus on new windows, Alt+F4 and
# the title bar's close button close a window.
write_openbox_config() {
    cat >"$1" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <resistance><strength>0</strength><screen_edge_strength>0</screen_edge_strength></resistance>
  <focus>
    <focusNew>yes</focusNew><followMouse>no</followMouse><focusLast>yes</focusLast>
    <underMouse>no</underMouse><focusDelay>0</focusDelay><raiseOnFocus>no</raiseOnFocus>
  </focus>
  <placement><policy>Smart</policy><center>yes</center><monitor>Primary</monitor></placement>
  <theme>
    <name>Clearlooks</name>
    <titleLayout>NLIMC</titleLayout>
    <keepBorder>yes</keepBorder>
    <animateIconify>no</animateIconify>
    <font place="ActiveWindow"><name>sans</name><size>8</size><weight>bold</weight><slant>normal</slant></font>
    <font place="InactiveWindow"><name>sans</name><size>8</size><weight>bold</weight><slant>normal</slant></font>
  </theme>
  <desktops><number>1</number><firstdesk>1</firstdesk><popupTime>0</popupTime></desktops>
  <resize><drawContents>yes</drawContents><popupShow>Never</popupShow></resize>
  <margins><top>0</top><bottom>0</bottom><left>0</left><right>0</right></margins>
  <keyboard>
    <keybind key="A-F4"><action name="Close"/></keybind>
  </keyboard>
  <mouse>
    <dragThreshold>1</dragThreshold>
    <doubleClickTime>500</doubleClickTime>
    <context name="Frame">
      <mousebind button="A-Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="A-Left" action="Drag"><action name="Move"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind>
    </context>
    <context name="Titlebar Top Right Bottom Left TLCorner TRCorner BRCorner BLCorner">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/><action name="Unshade"/></mousebind>
    </context>
    <context name="Top"><mousebind button="Left" action="Drag"><action name="Resize"><edge>top</edge></action></mousebind></context>
    <context name="Left"><mousebind button="Left" action="Drag"><action name="Resize"><edge>left</edge></action></mousebind></context>
    <context name="Right"><mousebind button="Left" action="Drag"><action name="Resize"><edge>right</edge></action></mousebind></context>
    <context name="Bottom"><mousebind button="Left" action="Drag"><action name="Resize"><edge>bottom</edge></action></mousebind></context>
    <context name="TRCorner BRCorner TLCorner BLCorner">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="Drag"><action name="Resize"/></mousebind>
    </context>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Middle" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Right" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Iconify">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="Click"><action name="Iconify"/></mousebind>
    </context>
    <context name="Maximize">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="Click"><action name="ToggleMaximize"/></mousebind>
    </context>
    <context name="Close">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="Click"><action name="Close"/></mousebind>
    </context>
  </mouse>
</openbox_config>
EOF
}

# ---------------------------------------------------------------- start

# What a failed start has to undo; see cleanup_failed_start.
started_xvfb=""
started_wm=""
started_bus=""
display_n=""

cleanup_failed_start() {
    local rc=$?
    [ "$rc" -ne 0 ] || return 0
    if [ -n "$started_wm" ]; then terminate "$started_wm" "$wm_name" "window manager"; fi
    if [ -n "$started_bus" ]; then terminate "$started_bus" dbus-daemon "session bus"; fi
    if [ -n "$started_xvfb" ]; then
        terminate "$started_xvfb" Xvfb "Xvfb"
        remove_stale_lock "$display_n"
    fi
    rm -f "$dir/env" "$dir/env.tmp"
    say "start failed; nothing left running"
    exit "$rc"
}

start_wm() {
    local home=$dir/home
    mkdir -p "$home/.config" "$home/.cache" "$home/.local/share"
    # The window manager gets a HOME of its own: no personal configuration,
    # no settings database, nothing written outside DIR.
    local -a wm_env=(HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache"
        XDG_DATA_HOME="$home/.local/share" GSETTINGS_BACKEND=memory DISPLAY="$DISPLAY")
    local -a cmd
    case $wm in
        openbox)
            write_openbox_config "$dir/openbox-rc.xml"
            cmd=(openbox --sm-disable --config-file "$dir/openbox-rc.xml")
            ;;
        metacity)
            # Compositing adds nothing under Xvfb but latency before frames show.
            cmd=(metacity --sm-disable --compositor=none)
            ;;
        mutter)
            # GNOME's window manager, as an X11 compositing manager of its own.
            cmd=(mutter --x11 --replace --sm-disable)
            ;;
        kwin)
            # KDE's, without compositing (there is no GPU under Xvfb).
            wm_env+=(KWIN_COMPOSE=N QT_QPA_PLATFORM=xcb)
            cmd=(kwin_x11 --replace)
            ;;
        fluxbox)
            # Its default style sets a wallpaper through fbsetbg, which opens an
            # xmessage window where no wallpaper setter is installed; the
            # overlay keeps every style off the background.
            mkdir -p "$home/.fluxbox"
            echo "background: none" >"$home/.fluxbox/overlay"
            cmd=(fluxbox)
            ;;
        jwm)
            # Its system configuration: a tray along the bottom, which the
            # work area leaves out.
            cmd=(jwm)
            ;;
        pekwm)
            # An older release: it sets no _NET_FRAME_EXTENTS and takes no
            # EWMH move requests.
            cmd=(pekwm)
            ;;
        i3)
            # A tiling window manager: every new window is tiled.
            # No bar: the whole screen is the one tile.
            printf '%s\n' '# i3 config file (v4)' 'font pango:sans 8' >"$dir/i3.config"
            cmd=(i3 -c "$dir/i3.config")
            ;;
    esac
    env "${wm_env[@]}" "${cmd[@]}" </dev/null >"$dir/wm.log" 2>&1 &
    started_wm=$!
    if ! e2e_wait_until "$START_TIMEOUT" wm_is_managing_or_gone "$started_wm" || ! wm_is_managing "$started_wm"; then
        if e2e_running "$started_wm"; then
            die "$wm started but did not take over the screen within ${START_TIMEOUT}s; its log ($dir/wm.log):
$(cat "$dir/wm.log")"
        fi
        die "$wm exited during start-up; its log ($dir/wm.log):
$(cat "$dir/wm.log")"
    fi
}

wm_is_managing_or_gone() {
    wm_is_managing "$1" || e2e_ended "$1"
}

cmd_start() {
    [ $# -ge 1 ] || usage
    dir=$1
    shift
    wm=openbox
    local dpi=""
    size=1024x768
    monitors=1
    while [ $# -gt 0 ]; do
        case $1 in
            --wm) [ $# -ge 2 ] || usage; wm=$2; shift 2 ;;
            --wm=*) wm=${1#*=}; shift ;;
            --dpi) [ $# -ge 2 ] || usage; dpi=$2; shift 2 ;;
            --dpi=*) dpi=${1#*=}; shift ;;
            --size) [ $# -ge 2 ] || usage; size=$2; shift 2 ;;
            --size=*) size=${1#*=}; shift ;;
            --monitors) [ $# -ge 2 ] || usage; monitors=$2; shift 2 ;;
            --monitors=*) monitors=${1#*=}; shift ;;
            *) say "unknown option: $1"; usage ;;
        esac
    done
    case $wm in
        openbox | metacity | mutter | kwin | fluxbox | jwm | pekwm | i3 | none) ;;
        *) die "--wm must be openbox, metacity, mutter, kwin, fluxbox, jwm, pekwm, i3 or none, not '$wm'" ;;
    esac
    [[ $monitors =~ ^[12]$ ]] || die "--monitors must be 1 or 2, not '$monitors'"
    [[ $size =~ ^[1-9][0-9]*x[1-9][0-9]*$ ]] || die "--size must look like 1024x768, not '$size'"
    [ -z "$dpi" ] || [[ $dpi =~ ^[1-9][0-9]*$ ]] || die "--dpi must be a positive whole number, not '$dpi'"
    wm_name=$wm

    local wm_binary=$wm
    [ "$wm" != kwin ] || wm_binary=kwin_x11
    [ "$wm" != none ] || wm_binary=""
    # shellcheck disable=SC2046,SC2086 # the optional tools are one word each, or none
    require_tools Xvfb xdpyinfo xprop ${dpi:+xrdb} $([ "$monitors" = 1 ] || echo xrandr) $wm_binary
    begin_start

    start_xvfb
    export DISPLAY=:$display_n

    if [ -n "$dpi" ]; then
        echo "Xft.dpi: $dpi" | xrdb -display "$DISPLAY" -nocpp -merge ||
            die "xrdb could not set Xft.dpi on $DISPLAY"
        xrdb -display "$DISPLAY" -query | grep -qx "Xft.dpi:[[:space:]]*$dpi" ||
            die "Xft.dpi did not stick on $DISPLAY (xrdb -query: $(xrdb -display "$DISPLAY" -query | tr '\n' ' '))"
    fi

    # Two monitors side by side on the one screen, the left one primary, as
    # a desktop with two screens of half the width each reports them.
    if [ "$monitors" = 2 ]; then
        local w=${size%x*} h=${size#*x}
        xrandr --display "$DISPLAY" --setmonitor L "$((w / 2))/508x$h/285+0+0" screen >/dev/null &&
            xrandr --display "$DISPLAY" --setmonitor R "$((w / 2))/508x$h/285+$((w / 2))+0" none >/dev/null ||
            die "xrandr could not split $DISPLAY into two monitors"
    fi

    # A session bus of the session's own: without one, the first program that
    # looks for a bus (Qt's accessibility, the window manager) launches one
    # that outlives the session.
    if command -v dbus-daemon >/dev/null; then
        local bus_info
        bus_info=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) ||
            die "could not start a session bus"
        DBUS_SESSION_BUS_ADDRESS=$(printf '%s\n' "$bus_info" | sed -n 1p)
        started_bus=$(printf '%s\n' "$bus_info" | sed -n 2p)
        export DBUS_SESSION_BUS_ADDRESS
    fi

    local wm_window="" wm_title=""
    if [ "$wm" != none ]; then
        start_wm
        wm_window=$(wm_check_window)
        wm_title=$(xprop -display "$DISPLAY" -id "$wm_window" _NET_WM_NAME 2>/dev/null |
            sed -n 's/^_NET_WM_NAME([^)]*) = "\(.*\)"$/\1/p')
    fi

    mkdir -p "$dir/runtime"
    chmod 700 "$dir/runtime"
    cat >"$dir/env.tmp" <<EOF
# Written by tools/xsession.sh start; tools/xsession.sh stop reads it.
export DISPLAY=:$display_n
export XSESSION_DIR='$dir'
export XSESSION_DISPLAY_NUMBER=$display_n
export XSESSION_XVFB_PID=$started_xvfb
export XSESSION_WM=$wm
export XSESSION_WM_PID=$started_wm
export XSESSION_BUS_PID=$started_bus
export DBUS_SESSION_BUS_ADDRESS='${DBUS_SESSION_BUS_ADDRESS:-}'
export XSESSION_DPI=${dpi}
export XSESSION_SIZE=$size
export XSESSION_MONITORS=$monitors
# Programs run here must use this X display, never a Wayland one.
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
export XDG_RUNTIME_DIR="\${XDG_RUNTIME_DIR:-$dir/runtime}"
EOF
    mv "$dir/env.tmp" "$dir/env"
    trap - EXIT INT TERM

    echo "X session on :$display_n (Xvfb pid $started_xvfb, ${size}$([ "$monitors" = 1 ] || echo " as $monitors monitors"), window manager: $wm${started_wm:+ pid $started_wm}${wm_title:+ \"$wm_title\"}${dpi:+, Xft.dpi $dpi}); source $dir/env"
}

# ---------------------------------------------------------------- stop

cmd_stop() {
    [ $# -eq 1 ] || usage
    local dir=$1 envf=$1/env
    if [ ! -f "$envf" ]; then
        echo "no X session recorded in $dir; nothing to stop"
        return 0
    fi
    local n xvfb wmpid wmname buspid
    n=$(env_value XSESSION_DISPLAY_NUMBER "$envf")
    xvfb=$(env_value XSESSION_XVFB_PID "$envf")
    wmpid=$(env_value XSESSION_WM_PID "$envf")
    wmname=$(env_value XSESSION_WM "$envf")
    buspid=$(env_value XSESSION_BUS_PID "$envf")

    if [ -n "$wmpid" ]; then terminate "$wmpid" "$wmname" "$wmname"; fi
    if [ -n "$buspid" ]; then terminate "$buspid" dbus-daemon "session bus"; fi
    if [ -n "$xvfb" ]; then terminate "$xvfb" "Xvfb :$n" "Xvfb"; fi
    local left=""
    if [ -n "$xvfb" ] && is_our_process "$xvfb" "Xvfb :$n"; then left="Xvfb pid $xvfb"; fi
    if [ -n "$wmpid" ] && is_our_process "$wmpid" "$wmname"; then left="$left $wmname pid $wmpid"; fi
    [ -z "$n" ] || remove_stale_lock "$n"
    if [ -n "$left" ]; then
        die "could not stop:$left"
    fi
    rm -f "$envf"
    echo "X session :$n stopped"
}

[ $# -ge 1 ] || usage
case $1 in
    start) shift; cmd_start "$@" ;;
    stop) shift; cmd_stop "$@" ;;
    *) usage ;;
esac
