#!/bin/sh
# Each program given links Qt Core (so ldd did read it) and neither Qt Gui
# nor Qt Widgets: the tests on the scripted platform need no display.
for program in "$@"; do
    libraries=$(ldd "$program") || exit 1
    echo "$libraries" | grep -q 'libQt6Core' || { echo "$program: ldd shows no Qt Core" >&2; exit 1; }
    if echo "$libraries" | grep -E 'libQt6(Gui|Widgets)'; then
        echo "$program links Qt Gui or Widgets" >&2
        exit 1
    fi
done
