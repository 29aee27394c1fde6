#!/usr/bin/env bash
# Checks with readelf that an executable was built hardened:
#   pie        ELF type DYN with a program interpreter: a position-independent
#              executable (a DYN without PT_INTERP would be a shared library)
#   relro      a GNU_RELRO segment
#   now        BIND_NOW in FLAGS or NOW in FLAGS_1: all symbols bound at start,
#              so the whole GOT can be made read-only (full RELRO)
#   stack      __stack_chk_fail imported: the stack protector is compiled in
#   nx-stack   a GNU_STACK segment that is not executable
#   fortify    a fortified libc function (__memcpy_chk, __sprintf_chk, ...)
#              imported. _FORTIFY_SOURCE turns a call into a checked one only
#              where the compiler knows the size of the destination; a program
#              that writes only into buffers of unknown size imports none. So
#              when there is none but the binary has debug information, its
#              line table must name glibc's bits/*_fortified.h, which is only
#              compiled in with _FORTIFY_SOURCE.
#
#   check_hardening.sh [--fortify|--no-fortify] [--require-chk] BINARY
#   check_hardening.sh --expect-unhardened BINARY
#
# --no-fortify leaves out the fortify check (Debug and sanitized builds);
# --fortify, the default, keeps it.
# --require-chk accepts only an imported *_chk function as fortify evidence.
# --expect-unhardened inverts every check: each property must be missing.
# That is run on a program built with all of it switched off, to show that
# each check can fail.
# Exits 0 when every check passes, 1 otherwise, 2 on bad usage.
set -euo pipefail

fortify=1 require_chk=0 invert=0
while [ $# -gt 1 ]; do
    case $1 in
        --fortify) fortify=1 ;;
        --no-fortify) fortify=0 ;;
        --require-chk) require_chk=1 ;;
        --expect-unhardened) invert=1 ;;
        *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
    shift
done
[ $# -eq 1 ] || { echo "usage: $0 [--fortify|--no-fortify] [--require-chk] [--expect-unhardened] BINARY" >&2; exit 2; }
bin=$1
[ -f "$bin" ] || { echo "no such file: $bin" >&2; exit 2; }
command -v readelf >/dev/null || { echo "readelf is not installed (package binutils)" >&2; exit 2; }

header=$(readelf -hW "$bin")
sections=$(readelf -SW "$bin")
segments=$(readelf -lW "$bin")
dynamic=$(readelf -dW "$bin")
# Undefined dynamic symbols: what the binary imports, without version suffixes.
imports=$(readelf --dyn-syms -W "$bin" | awk '$7 == "UND" && $8 != "" { sub(/@.*/, "", $8); print $8 }' | sort -u)

failed=0
# verdict NAME PRESENT DETAIL: PRESENT is 1 when the property was found.
verdict() {
    local name=$1 present=$2 detail=$3
    if [ "$invert" -eq 0 ] && [ "$present" -eq 1 ]; then
        echo "ok:   $name: $detail"
    elif [ "$invert" -eq 1 ] && [ "$present" -eq 0 ]; then
        echo "ok:   $name is missing, as expected: $detail"
    elif [ "$invert" -eq 0 ]; then
        echo "FAIL: $name: $detail"
        failed=1
    else
        echo "FAIL: $name was found in a binary built without it: $detail"
        failed=1
    fi
}

type=$(sed -n 's/^ *Type: *\([A-Z]*\).*/\1/p' <<<"$header")
has=0
if [ "$type" = DYN ] && grep -q '^ *INTERP ' <<<"$segments"; then has=1; fi
verdict pie "$has" "ELF type $type, $(grep -c '^ *INTERP ' <<<"$segments" || true) INTERP segment(s)"

has=0
grep -q '^ *GNU_RELRO ' <<<"$segments" && has=1
verdict relro "$has" "$(grep -c '^ *GNU_RELRO ' <<<"$segments" || true) GNU_RELRO segment(s)"

has=0
flags=$(grep -E '\((FLAGS|FLAGS_1|BIND_NOW)\)' <<<"$dynamic" | sed 's/^ *0x[0-9a-f]* *//' | tr -s ' ' | paste -sd ';' -) || true
if grep -qE '\(BIND_NOW\)|\(FLAGS\).*\bBIND_NOW\b|\(FLAGS_1\).*\bNOW\b' <<<"$dynamic"; then has=1; fi
verdict now "$has" "dynamic flags: ${flags:-none}"

has=0
grep -qx '__stack_chk_fail' <<<"$imports" && has=1
verdict stack "$has" "__stack_chk_fail $([ "$has" -eq 1 ] && echo imported || echo 'not imported')"

stack_line=$(grep '^ *GNU_STACK ' <<<"$segments" || true)
has=0
if [ -n "$stack_line" ] && ! awk '{ print $(NF - 1) }' <<<"$stack_line" | grep -q E; then has=1; fi
verdict nx-stack "$has" "GNU_STACK flags: $(awk '{ print $(NF - 1) }' <<<"$stack_line")"

if [ "$fortify" -eq 1 ]; then
    chk=$(grep -E '^__.+_chk$' <<<"$imports" | grep -vx '__stack_chk_fail' | paste -sd ' ' -) || true
    if [ -n "$chk" ]; then
        verdict fortify 1 "imports $chk"
    elif [ "$require_chk" -eq 1 ]; then
        verdict fortify 0 "no *_chk function imported"
    elif grep -q ' \.debug_line ' <<<"$sections"; then
        wrappers=$(readelf --debug-dump=line "$bin" 2>/dev/null |
            grep -oE '\b[a-z0-9_]+_fortified\.h\b' | sort -u | paste -sd ' ' -) || true
        if [ -n "$wrappers" ]; then
            verdict fortify 1 "no *_chk function imported (no call writes to a destination of known size), but the fortified wrappers are compiled in: $wrappers"
        else
            verdict fortify 0 "no *_chk function imported, and the debug line table names no bits/*_fortified.h"
        fi
    else
        verdict fortify 0 "no *_chk function imported, and no debug information to look further"
    fi
fi

[ "$failed" -eq 0 ] || { echo "$bin: not hardened as it should be"; exit 1; }
echo "$bin: all checks passed"
