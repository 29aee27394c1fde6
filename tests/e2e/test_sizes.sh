#!/usr/bin/env bash
# The Sizes menu and the Exact Size dialog under a window manager, as
# tests/scenarios/sizes.sh says: each of the 13 menu sizes chosen with
# Alt+S and a click on its entry, measured from outside (the outer size,
# the larger ones included, its place by the window manager's rule, the
# readout against the outer size, Custom Size checked); then the dialog
# (Ctrl+E) with real keys, its table of good and bad entries. The first
# argument is the window manager's rule, as for test_presets.sh. Table:
# $E2E_ARTIFACTS/sizes.txt.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../scenarios/presets.sh"
source "$(dirname "$0")/../scenarios/sizes.sh"
source "$(dirname "$0")/scenario_driver.sh" "${1:-quarter}"

e2e_start_a11y
e2e_start_program
win=$(e2e_find_window "Vistrum V2.1")
e2e_wait_managed "$win"
e2e_wait_stable "$win"
presets_check_start "$rule" "$qw" "$qh"

sizes_check_menu "$rule" "$qw" "$qh" "$E2E_ARTIFACTS/sizes.txt"
e2e_screenshot menu-last >/dev/null
sizes_check_exact "$rule" "$qw" "$qh"
e2e_screenshot exact-last >/dev/null

e2e_key "$win" ctrl+q
e2e_assert_exits 5 0
