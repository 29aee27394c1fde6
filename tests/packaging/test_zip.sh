#!/usr/bin/env bash
# The Windows zip: CPack makes vistrum-<version>-win64.zip from the Windows
# build; it holds exactly a folder of that name with vistrum.exe, README.txt
# and LICENSE.txt (the LICENSE of the source), and the executable needs no
# DLL beside it, only the system's.
#
#   test_zip.sh WINDOWS_BUILD_DIR WORK_DIR VERSION
set -euo pipefail
build=$1 work=$2 version=$3
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
rm -rf "$work" && mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -G ZIP -B "$work" >"$work/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$work/cpack.log")"
name=vistrum-$version-win64
[ -f "$work/$name.zip" ] || fail "no $name.zip; made: $(ls "$work")"

python3 - "$work/$name.zip" "$work/unpacked" <<'PY' || fail "the zip holds other files"
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    names = sorted(z.namelist())
    print("zip holds:", names)
    top = sys.argv[1].rsplit("/", 1)[1][:-len(".zip")]
    sys.exit(names != [f"{top}/LICENSE.txt", f"{top}/README.txt", f"{top}/vistrum.exe"]
             or z.extractall(sys.argv[2]))
PY
grep -q "vistrum.exe" "$work/unpacked/$name/README.txt" || fail "the readme does not say what to run"
cmp "$(dirname "$0")/../../LICENSE" "$work/unpacked/$name/LICENSE.txt" || fail "LICENSE.txt is not LICENSE"

# The system's own DLLs only: no MinGW run-time (libstdc++, libgcc, winpthread).
mapfile -t dlls < <(x86_64-w64-mingw32-objdump -p "$work/unpacked/$name/vistrum.exe" |
    sed -n 's/^\tDLL Name: //p' | tr '[:upper:]' '[:lower:]' | sort)
echo "imports: ${dlls[*]}"
[ ${#dlls[@]} -gt 0 ] || fail "no imports read from vistrum.exe"
for dll in "${dlls[@]}"; do
    case $dll in
    advapi32.dll | comctl32.dll | dwmapi.dll | gdi32.dll | kernel32.dll | msvcrt.dll | ole32.dll | \
        oleacc.dll | user32.dll) ;;
    *) fail "vistrum.exe needs $dll, which Windows does not have" ;;
    esac
done
echo "ok: $name.zip"
