#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds its Debian package:
# the prefix holds exactly the program and its desktop files, the desktop
# entry and the manual page pass their checkers, and the package depends on
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
share/icons/hicolor/scalable/apps/lumo.svg
share/lumo/languages/Deutsch.lng
share/man/man1/lumo.1"
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

warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all -E UTF-8 -l "$prefix/share/man/man1/lumo.1" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "the manual page has warnings: $warnings"

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
contents=$(dpkg-deb -c "$deb")
for file in ./usr/bin/lumo ./usr/share/applications/lumo.desktop ./usr/share/man/man1/lumo.1; do
    grep -q " $file\$" <<<"$contents" || fail "$file missing from the package"
done
echo "installed and packaged"
