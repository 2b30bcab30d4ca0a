#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks what it holds, extracts it into a scratch
# folder and runs the extracted program.
# Usage: check-deb.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >cpack.log 2>&1) ||
    { cat "$scratch/cpack.log"; echo "FAIL: cpack could not build the package"; exit 1; }
deb=$(ls "$scratch"/out/morvane_*.deb | head -n 1)
[ -f "$deb" ] || { echo "FAIL: no .deb was made"; exit 1; }

contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/morvane \
    ./usr/share/morvane/QuilloHelp.chm \
    ./usr/share/applications/org.morvane.Morvane.desktop \
    ./usr/share/metainfo/org.morvane.Morvane.metainfo.xml \
    ./usr/share/icons/hicolor/16x16/apps/org.morvane.Morvane.png \
    ./usr/share/icons/hicolor/32x32/apps/org.morvane.Morvane.png; do
    grep -q " $path\$" <<<"$contents" || { echo "FAIL: the package lacks $path"; exit 1; }
done
[ "$(dpkg-deb -f "$deb" Version)" = "1.02" ] || { echo "FAIL: package version"; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q fonts-ipafont-gothic ||
    { echo "FAIL: the package does not depend on the Japanese fonts"; exit 1; }

dpkg-deb -x "$deb" "$scratch/root"
version=$("$scratch/root/usr/bin/morvane" --version)
[ "$version" = "Morvane 1.02" ] || { echo "FAIL: --version printed '$version'"; exit 1; }
echo "PASS: $(basename "$deb") holds the program, help, desktop files and icons; $version"
