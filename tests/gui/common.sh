# Sourced by the real-window drives (drive.sh on X11, wayland.sh under Weston): their own session
# bus, a virtual X display, the accessibility bus, and the checks they share.
# shellcheck shell=bash

here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
launcher=/usr/libexec/at-spi-bus-launcher
app_pid=""
helper_pids=()
work=""

# Ends what the drive started, newest first; a process that has already gone is no reason to
# leave the others running.
cleanup() {
    local i
    [ -n "$app_pid" ] && { kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; } || true
    for ((i = ${#helper_pids[@]} - 1; i >= 0; i--)); do
        kill "${helper_pids[i]}" 2>/dev/null || true
        wait "${helper_pids[i]}" 2>/dev/null || true
    done
    [ -n "$work" ] && rm -rf "$work"
    return 0
}

skip() {
    echo "SKIP: $*"
    exit 77
}

fail() {
    echo "FAIL: $*"
    if [ -n "$work" ] && [ -s "$work/app.log" ]; then
        echo "The program's output:"
        tail -n 40 "$work/app.log"
    fi
    exit 1
}

# Skips unless the tools named, the AT-SPI bus launcher and Python's Atspi bindings are there.
need_tools() {
    local tool
    for tool in "$@" dbus-run-session; do
        command -v "$tool" >/dev/null || skip "$tool is not installed"
    done
    if [ ! -x "$launcher" ] ||
        ! /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
        skip "the AT-SPI bus launcher or Python's Atspi bindings are not installed"
    fi
}

# Runs the calling script again on a session bus of its own, gone when it ends (the accessibility
# tree is read over it); there, makes the folder $work that the drive keeps its files in.
own_session_bus() {
    if [ -z "${MORVANE_DRIVE_BUS:-}" ]; then
        export MORVANE_DRIVE_BUS=1
        exec dbus-run-session -- "$0" "$@"
    fi
    work=$(mktemp -d)
    trap cleanup EXIT
}

# How many tenths of a second a wait gives: generous, since a loaded machine running the
# sanitizer build can take many seconds to start the program; what comes sooner ends the wait.
polls=300

# A 24-bit screen of size $1 on a display number the server picks itself, so that tests running
# at the same time never share one. Without -noreset the server resets when its last client
# leaves (the check below is one), and a client connecting during the reset is refused: on a
# loaded machine that was the program itself, now and then. A server that does not come up is
# started again; the third failure fails the test (Xvfb is installed, so the machine should be
# able to run it).
start_display() {
    local attempt pid
    for attempt in 1 2 3; do
        : >"$work/display"
        Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$work/display" \
            >"$work/xvfb.log" 2>&1 &
        pid=$!
        for _ in $(seq 1 "$polls"); do
            [ "$(wc -l <"$work/display")" -ge 1 ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        export DISPLAY=":$(head -n 1 "$work/display")"
        for _ in $(seq 1 "$polls"); do
            kill -0 "$pid" 2>/dev/null || break
            if xdotool getdisplaygeometry >/dev/null 2>&1; then
                helper_pids+=("$pid")
                return 0
            fi
            sleep 0.1
        done
        kill "$pid" 2>/dev/null || true
        echo "Xvfb did not start (attempt $attempt): $(tail -n 5 "$work/xvfb.log")"
    done
    fail "Xvfb could not start"
}

start_accessibility_bus() {
    "$launcher" --launch-immediately >"$work/atspi.log" 2>&1 &
    helper_pids+=($!)
}

# Checks and drives the program over AT-SPI (see atspi.py); fails with what it found.
atspi() {
    local out
    out=$(timeout 90 /usr/bin/python3 "$here/atspi.py" "$app_pid" "$@" 2>&1) ||
        fail "accessibility ($*): $out"
}

# Waits until file $1 holds exactly the bytes printf $2 gives.
wait_file() {
    local expected
    expected=$(printf "$2" | od -An -c)
    for _ in $(seq 1 "$polls"); do
        [ -f "$1" ] && [ "$(od -An -c <"$1")" = "$expected" ] && return 0
        sleep 0.1
    done
    echo "expected: $expected"
    echo "found:    $(od -An -c <"$1" 2>/dev/null)"
    return 1
}

# Waits for the program to end by itself and fails unless its status is 0.
wait_for_end() {
    local status=0
    for _ in $(seq 1 "$polls"); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app_pid" 2>/dev/null && fail "$1 did not end the program"
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}
