#!/usr/bin/env bash
# Fails when a text marked for translation has no finished translation: brings a copy of each .ts
# file up to date with the sources, as update_translations does, and lists every message that is
# unfinished, empty or gone from the sources. Also fails when --help answers an English desktop
# in Japanese, or when the desktop entry or the AppStream file lacks a text in either language.
# Usage: check-translations.sh LUPDATE LCONVERT SOURCES_LIST PROGRAM DESKTOP METAINFO TS_FILE...
set -uo pipefail
lupdate=$1 lconvert=$2 sources=$3 program=$4 desktop=$5 metainfo=$6
shift 6
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
problems=0
problem() {
    echo "FAIL: $*"
    problems=$((problems + 1))
}

for ts in "$@"; do
    name=$(basename "$ts")
    copy=$scratch/$name
    cp "$ts" "$copy"
    "$lupdate" -silent @"$sources" -ts "$copy" || { problem "lupdate could not read $name"; continue; }
    # What is left without the finished messages: the unfinished ones and those the sources no
    # longer have.
    "$lconvert" -no-finished -i "$copy" -o "$scratch/left.ts" || { problem "lconvert failed"; continue; }
    total=$(grep -c '<message' "$copy")
    unfinished=$(grep -c 'type="unfinished"' "$scratch/left.ts")
    gone=$(grep -c -E 'type="(vanished|obsolete)"' "$scratch/left.ts")
    empty=$(grep -c -E '<translation>(<numerusform></numerusform>)*</translation>|<translation/>' "$copy")
    [ "$unfinished" -eq 0 ] || problem "$name: $unfinished of $total texts have no finished translation"
    [ "$gone" -eq 0 ] || problem "$name: $gone texts are no longer in the sources (update_translations drops them)"
    [ "$empty" -eq 0 ] || problem "$name: $empty translations are marked finished but empty"
    if [ "$unfinished" -gt 0 ] || [ "$gone" -gt 0 ]; then
        echo "  Untranslated or gone, the first 10 (a text's first line):"
        grep -o '<source>[^<]*' "$scratch/left.ts" | sed 's/<source>/    /' | head -n 10
    fi
done

# --help is answered before the window system starts; the translation must be in place by then.
japanese=$(env -i LANG=C "$program" --help)
english=$(env -i LANG=en_US.UTF-8 "$program" --help)
[ "$english" != "$japanese" ] || problem "with LANG=en_US.UTF-8, --help answers in Japanese"

# The desktop entry and the AppStream file, English and Japanese.
for key in Name GenericName Comment Keywords; do
    grep -q "^$key=" "$desktop" || problem "the desktop entry has no $key"
    [ "$key" = Name ] || grep -q "^$key\[ja\]=" "$desktop" || problem "the desktop entry has no $key[ja]"
done
for tag in summary p; do
    english=$(grep -c "<$tag>" "$metainfo")
    japanese=$(grep -c "<$tag xml:lang=\"ja\">" "$metainfo")
    [ "$english" -gt 0 ] && [ "$english" -eq "$japanese" ] ||
        problem "the AppStream file has $english English and $japanese Japanese <$tag>"
done

if [ "$problems" -gt 0 ]; then
    echo "$problems problems. To mend: cmake --build --preset default --target update_translations," \
        "then translate app/morvane_en.ts in Qt Linguist (linguist app/morvane_en.ts), marking each" \
        "text finished."
    exit 1
fi
echo "PASS: every text has its translation ($*); --help, desktop entry and AppStream in both languages"
