# shellcheck shell=bash
# Helpers shared by the packaging test scripts; sourced after tests/e2e/lib.sh.

# packaging_require TOOL...: fails unless every tool is installed.
packaging_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is not installed (tools/install-deps.sh test installs it)"
    done
}

# packaging_assert_no_sanitizer_report: the program's output holds no report
# of AddressSanitizer, LeakSanitizer or UndefinedBehaviorSanitizer. (In a
# sanitized build a report also changes the exit status; this catches one in
# a run that is ended some other way, and names it.)
packaging_assert_no_sanitizer_report() {
    local log=${E2E_PROGRAM_LOG:-}
    if [ -z "$log" ] || [ ! -f "$log" ]; then e2e_fail "no program output to look at"; fi
    if grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error: |SUMMARY: (Address|Leak|UndefinedBehavior)Sanitizer' "$log"; then
        e2e_fail "the program's output holds a sanitizer report"
    fi
    e2e_log "ok: no sanitizer report in the program's output"
}

# packaging_quit WIN: ends the program with Ctrl+Q; it must exit with status 0.
packaging_quit() {
    e2e_key "$1" ctrl+q
    # A bound against a hang; a sanitized build checks for leaks on the way out.
    e2e_assert_exits 30 0
    packaging_assert_no_sanitizer_report
}
