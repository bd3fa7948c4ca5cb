#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds its Debian package:
# the prefix holds exactly the program, its desktop files, its compressed
# manual page and its copyright file; the desktop entry and the manual page
# pass their checkers; the installed program keeps its files in the user's
# data folder; the package's description reads as written and it depends on
# what the program links. Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

expected="bin/lumo
share/applications/lumo.desktop"
for size in 128 16 22 24 256 32 48 64; do
    expected+=$'\n'"share/icons/hicolor/${size}x${size}/apps/lumo.png"
done
expected+="
share/doc/lumo/copyright
share/icons/hicolor/scalable/apps/lumo.svg
share/lumo/languages/Deutsch.lng
share/man/man1/lumo.1.gz"
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$(LC_ALL=C sort <<<"$expected")" ] ||
    fail "installed files differ:"$'\n'"$(diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual"))"
[ -x "$prefix/bin/lumo" ] || fail "bin/lumo is not executable"

# Each rendered icon has the size its folder names.
for png in "$prefix"/share/icons/hicolor/*x*/apps/lumo.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    read -r w h < <(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print(*struct.unpack(">II", d[16:24]))' "$png")
    [ "${w}x${h}" = "$size" ] || fail "$png is ${w}x${h}"
done

desktop-file-validate "$prefix/share/applications/lumo.desktop" || fail "desktop entry refused"

man_page=$prefix/share/man/man1/lumo.1.gz
gzip -t "$man_page" || fail "the manual page is not compressed"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all -E UTF-8 -l "$man_page" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"
# Where the shipped files are depends on the prefix.
! zgrep -q '^\.I /usr/share/lumo' "$man_page" || fail "the manual page names one prefix"

# Installed, the program keeps its files in the user's data folder, whoever
# runs it (root may write into the program's own folder, and must not).
home=$scratch/home
mkdir -p "$home"
printf '<TITLE>Page</TITLE>Text' >"$home/page.htm"
before=$(ls -A "$prefix/bin")
env -u LUMO_HOME HOME="$home" XDG_DATA_HOME="$home/data" QT_QPA_PLATFORM=offscreen \
    "$prefix/bin/lumo" --dump-layout "$home/page.htm" >/dev/null 2>&1 ||
    fail "the installed program does not run"
[ "$(ls -A "$prefix/bin")" = "$before" ] ||
    fail "the installed program wrote into its folder: $(ls -A "$prefix/bin")"
[ -d "$home/data/Lumo 10/Cache" ] || fail "no Cache in the user's data folder"

# The package: its dependencies are computed from what the program links.
(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/pkg" \
    -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >/dev/null)
deb=$(ls "$scratch"/pkg/lumo_*.deb)
info=$(dpkg-deb -I "$deb")
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
for package in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libjpeg62-turbo; do
    grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "$package missing from Depends: $depends"
done
grep -q '^ Package: lumo$' <<<"$info" || fail "package name: $info"
grep -q '^  Lumo shows HTML 3.2 pages' <<<"$info" || fail "description: $info"
! grep -q '^ *;' <<<"$info" || fail "a description line starts with ';': $info"
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/lumo ./usr/share/applications/lumo.desktop \
    ./usr/share/man/man1/lumo.1.gz ./usr/share/doc/lumo/copyright; do
    grep -q " $file\$" <<<"$contents" || fail "$file missing from the package"
done
echo "installed and packaged"
