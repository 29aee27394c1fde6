#!/usr/bin/env bash
# The Debian package: CPack builds it from the build folder; lintian finds
# no error and no warning in it; its control fields name the project, its
# version and the shared libraries the program needs (Qt's among them); it
# holds exactly the program, the desktop entry, the metainfo, the icons of
# every size, the manual page, the changelog and the copyright file, under
# /usr, as `cmake --install` lays them out; the copyright file carries the
# terms of LICENSE and the changelog the package's version; unpacked into a
# scratch root, the installed program is still hardened, starts, shows
# "Vistrum V2.1" at an outer 640 x 480 and ends with Ctrl+Q with status 0.
#
# Inputs (from tests/packaging/CMakeLists.txt): PACKAGING_BUILD_DIR,
# PACKAGING_WORK_DIR, PACKAGING_RESOURCES_DIR, PACKAGING_APP_ID,
# PACKAGING_VERSION, PACKAGING_DESCRIPTION, PACKAGING_CHECK_HARDENING.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/checks.sh"

packaging_require cpack cmake dpkg dpkg-deb dpkg-shlibdeps dpkg-parsechangelog readelf lintian
build=${PACKAGING_BUILD_DIR:?}
work=${PACKAGING_WORK_DIR:?}
app_id=${PACKAGING_APP_ID:?}
version=${PACKAGING_VERSION:?}
arch=$(dpkg --print-architecture)
rm -rf "$work"
mkdir -p "$work"

# ---------------------------------------------------------------- build it

e2e_log "cpack -G DEB in $build, package into $work/out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
    e2e_fail "cpack failed; its output:
$(cat "$work/cpack.log")"
mapfile -t debs < <(find "$work/out" -maxdepth 1 -name '*.deb')
e2e_assert_eq 1 "${#debs[@]}" "number of .deb files CPack made"
deb=${debs[0]}
e2e_assert_eq "vistrum_${version}_${arch}.deb" "$(basename "$deb")" "file name of the package"

# ---------------------------------------------------------------- lintian

# Debian's own checker; only errors and warnings fail, its informational
# notes are shown.
lintian --display-info --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 ||
    e2e_fail "lintian finds errors or warnings:
$(cat "$work/lintian.log")"
e2e_log "ok: lintian finds no error and no warning; it says:"
sed 's/^/    /' "$work/lintian.log"

# ---------------------------------------------------------------- control fields

field() { dpkg-deb -f "$deb" "$1"; }
e2e_assert_eq vistrum "$(field Package)" "Package"
e2e_assert_eq "$version" "$(field Version)" "Version"
e2e_assert_eq "$arch" "$(field Architecture)" "Architecture"
e2e_assert_eq devel "$(field Section)" "Section"
e2e_assert_eq "Vistrum developers <vistrum@invalid.example>" "$(field Maintainer)" "Maintainer"
e2e_assert_eq "$PACKAGING_DESCRIPTION" "$(field Description | head -n 1)" "first line of Description"
long=$(field Description | tail -n +2)
e2e_assert "Description has a long part" test -n "$long"
size=$(field Installed-Size)
[[ $size =~ ^[1-9][0-9]*$ ]] || e2e_fail "Installed-Size is '$size'"

# dpkg-shlibdeps wrote Depends from the libraries the program links: each
# with a lower version bound, so apt pulls in a Qt that has what we use.
depends=$(dpkg -I "$deb" | sed -n 's/^ Depends: //p')
e2e_log "Depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6; do
    grep -qE "(^|, )${lib//+/\\+}(:[a-z0-9]+)? \(>= [^)]+\)" <<<"$depends" ||
        e2e_fail "Depends does not list $lib with a version bound: $depends"
done
e2e_log "ok: Depends lists Qt's, the C and the C++ library with version bounds"

# ---------------------------------------------------------------- contents

icon_sizes=(16 32 48 64 128 256)
expected_files=$(sort <<EOF
./usr/bin/vistrum
./usr/share/applications/$app_id.desktop
$(for size in "${icon_sizes[@]}"; do echo "./usr/share/icons/hicolor/${size}x$size/apps/$app_id.png"; done)
./usr/share/icons/hicolor/scalable/apps/$app_id.svg
./usr/share/metainfo/$app_id.metainfo.xml
./usr/share/doc/vistrum/changelog.gz
./usr/share/doc/vistrum/copyright
./usr/share/man/man1/vistrum.1.gz
EOF
)
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 ~ /^-/ { print $NF }' <<<"$listing" | sort)
e2e_assert_eq "$expected_files" "$files" "regular files in the package"
others=$(awk '$1 !~ /^[-d]/' <<<"$listing")
e2e_assert_eq "" "$others" "links and special files in the package"
# Owned by root, the program executable by all, the rest read-only.
while read -r mode owner _ _ _ path; do
    e2e_assert_eq root/root "$owner" "owner of $path"
    case $path in
        ./usr/bin/vistrum) e2e_assert_eq -rwxr-xr-x "$mode" "mode of $path" ;;
        *) e2e_assert_eq -rw-r--r-- "$mode" "mode of $path" ;;
    esac
done < <(awk '$1 ~ /^-/' <<<"$listing")

# `cmake --install` with DESTDIR lays out the same files (the package is
# made from that install).
DESTDIR=$work/destdir cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
    e2e_fail "cmake --install failed: $(cat "$work/install.log")"
installed=$(cd "$work/destdir" && find . -type f | sort)
e2e_assert_eq "$expected_files" "$installed" "files cmake --install puts under DESTDIR"

# ---------------------------------------------------------------- unpack it

root=$work/root
dpkg-deb -x "$deb" "$root"
res=${PACKAGING_RESOURCES_DIR:?}
e2e_assert "the installed desktop entry is ours" \
    cmp "$res/$app_id.desktop" "$root/usr/share/applications/$app_id.desktop"
e2e_assert "the installed metainfo is ours" \
    cmp "$res/$app_id.metainfo.xml" "$root/usr/share/metainfo/$app_id.metainfo.xml"
for size in "${icon_sizes[@]}"; do
    e2e_assert "the installed ${size}x$size icon is ours" \
        cmp "$res/icons/vistrum-$size.png" "$root/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png"
done
e2e_assert "the installed scalable icon is ours" \
    cmp "$res/icons/vistrum.svg" "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg"
# The terms in the copyright file's last paragraph (indented by a space,
# empty lines written ".") are those of LICENSE, after its copyright line.
doc=$root/usr/share/doc/vistrum
e2e_assert "the copyright file carries the terms of LICENSE" diff \
    <(sed '1,/^Copyright (c) /d' "$res/../LICENSE" | sed '1{/^$/d}') \
    <(awk '/^License: Expat$/ { text = ""; next } { text = text $0 "\n" } END { printf "%s", text }' \
        "$doc/copyright" | sed 's/^ //; s/^\.$//')
zcat "$doc/changelog.gz" >"$work/changelog"
e2e_assert_eq "$version" "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" \
    "version of the latest changelog entry"
# Stripped, so no debug information to look for the fortify wrappers in;
# the rest of the hardening must survive packaging.
bash "${PACKAGING_CHECK_HARDENING:?}" --no-fortify "$root/usr/bin/vistrum" ||
    e2e_fail "the installed program is not hardened"

# ---------------------------------------------------------------- run it

VISTRUM_BIN=$root/usr/bin/vistrum
e2e_start_program
e2e_assert_eq "$VISTRUM_BIN" "$(readlink "/proc/$E2E_PID/exe")" "program that runs"
win=$(e2e_find_window "Vistrum V2.1" 20)
e2e_wait_managed "$win"
e2e_wait_stable "$win"
e2e_assert_eq "640x480+96+72" "$(e2e_rect "$(e2e_outer_geometry "$win")")" \
    "outer rectangle of the installed program's window"
packaging_quit "$win"
