#!/usr/bin/env bash
# ./run as a newcomer meets it on a machine that has only what ./run installs: the tools that
# only the tests, the fuzzers and the package checks use are hidden in a private mount
# namespace, Google Benchmark's CMake files too, and there is no display. ./run starts from a
# fresh clone, in an empty folder; it must build the program and save the window's screenshot
# there, and say which parts it left out. The clone holds what is committed.
# Usage: fresh-run.sh SOURCE_DIR. Exits 77 (skipped) where the tools cannot be hidden: not
# root, no unshare (or not allowed to use it), or SOURCE_DIR is not a git checkout.
set -euo pipefail
src=$(realpath "$1")
skip() {
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    exit 1
}

if [ -z "${MORVANE_TOOLS_HIDDEN:-}" ]; then
    [ "$(id -u)" -eq 0 ] || skip "hiding the test tools needs root"
    command -v unshare >/dev/null || skip "unshare is not installed"
    command -v git >/dev/null || skip "git is not installed"
    git -C "$src" rev-parse --git-dir >/dev/null 2>&1 || skip "$src is not a git checkout"
    unshare -m true 2>/dev/null || skip "unshare -m is not allowed here"
    exec unshare -m env MORVANE_TOOLS_HIDDEN=1 "$0" "$@"
fi

# In the private namespace (its mounts are private: nothing here shows outside).
for tool in desktop-file-validate appstreamcli clang clang++ clang-14 clang++-14 file \
    lintian clang-format dpkg-shlibdeps; do
    if path=$(command -v "$tool"); then
        mount --bind /dev/null "$(readlink -f "$path")"
    fi
done
for dir in /usr/lib/*/cmake/benchmark /usr/lib/cmake/benchmark; do
    [ -d "$dir" ] && mount -t tmpfs none "$dir"
done
for tool in desktop-file-validate appstreamcli clang++ file lintian; do
    if path=$(command -v "$tool") && [ -x "$path" ] && [ -f "$(readlink -f "$path")" ]; then
        fail "$tool is still there after hiding it"
    fi
done
unset DISPLAY WAYLAND_DISPLAY

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone -q "$src" "$work/morvane"
mkdir "$work/empty"
# The second build of the same sources: with ccache, only the first run compiles anything.
if command -v ccache >/dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$work" CCACHE_NOHASHDIR=1
fi

cd "$work/empty"
status=0
timeout 1200 "$work/morvane/run" >"$work/run.log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
    tail -n 40 "$work/run.log"
    fail "./run ended with status $status"
fi
grep -q '^Not built.*benchmarks' "$work/run.log" || {
    cat "$work/run.log"
    fail "./run did not say that it left the benchmarks out"
}
screenshot="$work/empty/morvane-screenshot.png"
[ -f "$screenshot" ] || fail "./run saved no screenshot in the folder it was started in"
size=$(identify -format '%wx%h' "$screenshot")
[ "$size" = "631x452" ] || fail "the screenshot is $size, not the window's 631x452"
echo "PASS: ./run built and showed the program from a fresh clone without the test tools"
grep '^Not built' "$work/run.log"
