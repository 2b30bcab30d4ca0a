#!/usr/bin/env bash
# Builds the Debian package from a built tree, checks what it holds and that lintian finds no
# error or warning in it, extracts it into a scratch folder and runs the extracted program.
# Usage: check-deb.sh BUILD_DIR VERSION DESKTOP_ID
set -euo pipefail
build=$(realpath "$1")
version=$2
app_id=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >cpack.log 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack could not build the package"; }
deb=$(ls "$scratch"/out/morvane_*.deb | head -n 1)
[ -f "$deb" ] || fail "no .deb was made"

contents=$(dpkg-deb -c "$deb")
expected=(./usr/bin/morvane
    ./usr/share/morvane/QuilloHelp.chm
    ./usr/share/morvane/QuilloHelp_en.chm
    "./usr/share/applications/$app_id.desktop"
    "./usr/share/metainfo/$app_id.metainfo.xml"
    ./usr/share/man/man1/morvane.1.gz
    ./usr/share/man/ja/man1/morvane.1.gz
    ./usr/share/doc/morvane/copyright
    ./usr/share/doc/morvane/changelog.gz)
for size in 16 32 48 64 128 256; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for path in "${expected[@]}"; do
    grep -q " $path\$" <<<"$contents" || fail "the package lacks $path"
done

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 qt6-translations-l10n fonts-ipafont-gothic fonts-ipafont-mincho; do
    grep -q "\\b$needed\\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
! grep -q '|' <<<"$depends" || fail "Depends offers alternatives: $depends"

dpkg-deb -x "$deb" "$scratch/root"
root=$scratch/root
for size in 16 32 48 64 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    [ "$(identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "$icon is not ${size}x${size}"
done
# The program names the installed desktop entry as its desktop file name.
grep -q -a -F "$app_id" "$root/usr/bin/morvane" ||
    fail "the program does not name $app_id as its desktop file name"
zcat "$root/usr/share/doc/morvane/changelog.gz" >"$scratch/changelog"
[ "$(dpkg-parsechangelog -l "$scratch/changelog" -S Version)" = "$version" ] ||
    fail "the changelog's latest entry is not version $version"
shown=$("$root/usr/bin/morvane" --version)
[ "$shown" = "Morvane $version" ] || fail "--version printed '$shown'"

# Started as the desktop entry starts it, from the home folder, the program works in the
# desktop's data folder, which it creates, and not in the home folder.
home=$scratch/home
mkdir "$home"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$app_id.desktop")
read -r -a command <<<"$exec_line"
[ "${command[0]}" = morvane ] || fail "the desktop entry starts '${command[0]}'"
data="$home/.local/share/morvane"
(cd "$home" && HOME="$home" XDG_DATA_HOME="" QT_QPA_PLATFORM=offscreen \
    exec "$root/usr/bin/morvane" "${command[@]:1}") >"$scratch/app.log" 2>&1 &
pid=$!
cwd=""
for _ in $(seq 1 100); do
    cwd=$(readlink "/proc/$pid/cwd" 2>/dev/null) || break
    [ "$cwd" = "$data" ] && break
    sleep 0.1
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
[ "$cwd" = "$data" ] || fail "started by the desktop entry, the program works in '$cwd': $(cat "$scratch/app.log")"
[ "$(stat -c %a "$data")" = 700 ] || fail "$data is open to other users"

# Errors and warnings fail. No tag is overridden: none of lintian's checks of a binary package
# depends on its being built in Debian's archive. (Should one ever need to be, the override
# goes into usr/share/lintian/overrides/morvane, with the reason beside it.)
if ! lintian --fail-on error,warning --display-level '>=warning' "$deb" >"$scratch/lintian.log" 2>&1; then
    cat "$scratch/lintian.log"
    fail "lintian found errors or warnings"
fi
cat "$scratch/lintian.log"
echo "PASS: $(basename "$deb") holds the program, Japanese and English help, manual pages, desktop files and icons;" \
    "lintian is content; $shown"
