#!/usr/bin/env bash
# Drives the real program on Wayland, under Weston (the reference compositor) with Qt's Wayland
# platform, as a user would with the keyboard: records a weight, opens the trend chart from the
# history list's menu and the help, asks Weston to maximise the fixed-size window (its
# super+shift+M binding), records another weight and ends, checking the files on disk, that the
# window kept its size, and that its title bar (the program's own, since Weston draws none)
# offers no maximise button. Windows are found by their titles over AT-SPI. Weston runs with its
# X11 back end on a virtual X display, so that xdotool can type into it.
# Usage: wayland.sh PROGRAM QT_PLATFORMS_DIR. Exits 77 (skipped) when the tools are not installed.
set -euo pipefail
program=$(realpath "$1")
plugins=$2
source "$(dirname "$(realpath "$0")")/common.sh"
need_tools Xvfb xdotool weston
[ -e "$plugins/libqwayland-generic.so" ] ||
    skip "Qt's Wayland platform (qt6-wayland) is not installed"
own_session_bus "$@"
start_display 1280x1024

# Weston on the virtual display, with its desktop shell and panel but without its on-screen
# keyboard, on a socket of the test's own. Its X11 back end now and then fails to open the
# display it has just been given; it is then started again.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf '[input-method]\npath=\n' >"$work/weston.ini"
compositor=""
for _ in 1 2 3; do
    weston --backend=x11-backend.so --use-pixman --width=1024 --height=768 --idle-time=0 \
        --socket=wayland-morvane --config="$work/weston.ini" >"$work/weston.log" 2>&1 &
    weston_pid=$!
    helper_pids+=("$weston_pid")
    for _ in $(seq 1 "$polls"); do
        kill -0 "$weston_pid" 2>/dev/null || break
        [ -S "$XDG_RUNTIME_DIR/wayland-morvane" ] &&
            compositor=$(xdotool search --onlyvisible --classname weston 2>/dev/null | head -n 1 ||
                true)
        [ -n "$compositor" ] && break 2
        sleep 0.1
    done
    kill "$weston_pid" 2>/dev/null || true
done
[ -n "$compositor" ] || fail "Weston did not start: $(tail -n 20 "$work/weston.log")"
start_accessibility_bus
# Keys typed on the virtual display go to Weston, which passes them to its active window.
xdotool windowfocus --sync "$compositor"

cd "$work"
printf '1.685\r\n' >"身長.txt"
printf '68.5\r\n' >"体重.txt"
printf '' >"履歴.txt"
# Under the leak checker, whole stacks: Qt's Wayland platform keeps objects to the end of the
# process that the suppressions name, and libraries built without frame pointers would hide it.
[ -n "${ASAN_OPTIONS:-}" ] && export ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0"
env -u DISPLAY WAYLAND_DISPLAY=wayland-morvane QT_QPA_PLATFORM=wayland LC_ALL=ja_JP.UTF-8 \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >"$work/app.log" 2>&1 &
app_pid=$!

# Answers the window titled $1: types $2 (if any), presses the keys that follow, and waits for
# the window to close. Weston gives the keys to a window as it opens.
answer_box() {
    local title=$1 text=$2
    shift 2
    atspi active "$title"
    [ -n "$text" ] && xdotool type --delay 20 "$text"
    xdotool key "$@"
    atspi gone "$title"
    atspi active Morvane
}

# The window: its client area of 631 by 452 pixels in a one-pixel border under a title bar 30
# pixels high, which offers to minimise and to close it, not to maximise it.
atspi active Morvane
atspi size Morvane 633 483
atspi title-bar

# Record a weight: Enter on the 体重 button, which has the focus.
xdotool key Return
answer_box 体重入力 "68.5" Return
today=$(date +%m/%d)
first="$today  68.5Kg  24.1  9.6%%\r\n"
wait_file "履歴.txt" "$first" || fail "the history line was not written"

# The trend chart from the history list's menu: Tab through the buttons and the meter to the
# list, Shift+F10, and the screen reader's choice of グラフ表示. Escape closes the chart.
# Shift+F10 is held until the menu is open: Weston grants a menu only for the newest key event,
# and a release that overtakes a slow program's request for the menu would close it at once.
xdotool key Tab Tab Tab Tab Tab keydown shift+F10
atspi menu-open
xdotool keyup shift+F10
atspi menu key グラフ表示
answer_box 体重の推移 "" Escape

# Help with F1, a window that Escape closes.
xdotool key F1
answer_box "Morvane ヘルプ" "" Escape

# Weston's maximise binding on the main window: the window keeps its size, and the program goes
# on (before, the next frame drawn ended it with a protocol error).
xdotool key super+shift+m
atspi size Morvane 633 483
kill -0 "$app_pid" 2>/dev/null || fail "maximising ended the program"

# Another weight: Tab from the list to the 体重 button, Enter, type.
xdotool key Tab Return
answer_box 体重入力 "70" Return
wait_file "体重.txt" '70\r\n' || fail "the weight entered after maximising was not written"
wait_file "履歴.txt" "$first$today  70.0Kg  24.7  12.0%%\r\n" ||
    fail "the history line entered after maximising was not written"
atspi size Morvane 633 483

# End: Tab to the 終了 button and Enter.
xdotool key Tab Tab Tab Return
wait_for_end "Enter on the 終了 button"
! grep -q "error" "$work/app.log" || fail "the program reported an error: $(cat "$work/app.log")"
echo "PASS: weight, trend, help, a maximise by the compositor, another weight and end" \
    "driven under Weston with the keyboard and the accessibility tree"
