#!/usr/bin/env bash
# Every control's name for a screen reader on Windows: the presets, Custom
# Size, the frame, both readouts, each swatch by its colour ("red 255, green
# 255, blue 255"), Start, the panes, and the About box's texts and OK; the
# same names Linux shows over AT-SPI. A screen reader reads them across
# processes through oleacc; under Wine that answers E_NOINTERFACE for the
# standard controls, so the probe's tries are only logged (and compared
# where one answers), and vistrum_names.exe reads each name in its own
# process with the program's backend: the window text the proxy reports, or
# the name the backend hands over by Dynamic Annotation.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"

w32_use_dpi 96
w32_start_program
w32_wait_flags "1 1 1" main "640 X 480"
w32_settled main >/dev/null

read_across=0
for name in "${PRESETS[@]}" "Custom Size" "Screen Size" "Current screen size = 640 X 480" \
    "Color = 8000000F Hex" Start; do
    if got=$(w32_probe accname main "$name"); then
        e2e_check_eq "$name" "$got" "accName of '$name' read from another process"
        read_across=$((read_across + 1))
    else
        e2e_log "accName of '$name' from another process: $got"
    fi
done
e2e_log "names read across processes: $read_across"
w32 key ctrl+q
e2e_assert_exits 5 0

out=$E2E_ARTIFACTS/names.txt
status=0
wine "$VISTRUM_WINDOWS_BIN/vistrum_names.exe" >"$out" 2>&1 || status=$?
sed 's/^/    /' "$out"
e2e_assert_eq "0 mismatches" "$(tail -n 1 "$out" | tr -d '\r')" "names as read in the program's own process"
e2e_assert_eq 0 "$status" "exit status of vistrum_names.exe"
e2e_assert_eq 47 "$(grep -c '^ok |' "$out")" "controls named (45 and About's 4, less the two shapes)"
