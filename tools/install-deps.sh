#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need,
# but only those that are missing, so a second run costs nothing.
set -euo pipefail

build=(g++ make cmake qt6-base-dev libgl-dev libxcb1-dev libxcb-xtest0-dev fonts-liberation
       g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64)
test=(xvfb xauth openbox metacity xdotool x11-utils x11-xserver-utils imagemagick
      binutils-mingw-w64-x86-64 dbus-x11 at-spi2-core python3-gi gir1.2-atspi-2.0
      desktop-file-utils appstream wmctrl binutils dpkg-dev dbus-daemon
      mutter kwin-x11 kwin-style-breeze fluxbox jwm pekwm i3-wm
      wine wine64 fonts-wine qt6-gtk-platformtheme
      lintian libgdk-pixbuf2.0-bin librsvg2-common)

want=("${build[@]}")
if [ "${1:-}" = test ] || [ "${1:-}" = run ]; then
    want+=("${test[@]}")
fi

missing=()
for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
