#!/usr/bin/env bash
# Drives the real program in a real X window, as a user would: records a weight, deletes that
# line and undoes it, changes the height, clears the history and sets a goal weight, then checks
# the files on disk.
# Usage: drive.sh PROGRAM. Exits 77 (skipped) when no X server can be started.
set -euo pipefail
program=$(realpath "$1")

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A free display number, then a 24-bit screen.
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        break
    fi
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 1 50); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
if ! xdotool getdisplaygeometry >/dev/null 2>&1; then
    echo "SKIP: Xvfb could not start: $(cat "$work/xvfb.log")"
    exit 77
fi

fail() {
    echo "FAIL: $*"
    exit 1
}

# The visible windows of the program with the title $1 exactly. (Titles are compared through
# getwindowname: xdotool's --name search does not match Japanese titles.)
windows_titled() {
    local w
    for w in $(xdotool search --onlyvisible --class morvane 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] && echo "$w"
    done
    return 0
}

# Waits for a visible window titled $1 and prints its id.
wait_window() {
    local id=""
    for _ in $(seq 1 100); do
        id=$(windows_titled "$1" | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits until no visible window is titled $1.
wait_gone() {
    for _ in $(seq 1 100); do
        [ -z "$(windows_titled "$1")" ] && return 0
        sleep 0.1
    done
    return 1
}

# Waits until file $1 holds exactly the bytes printf $2 gives.
wait_file() {
    local expected
    expected=$(printf "$2" | od -An -c)
    for _ in $(seq 1 100); do
        [ -f "$1" ] && [ "$(od -An -c <"$1")" = "$expected" ] && return 0
        sleep 0.1
    done
    echo "expected: $expected"
    echo "found:    $(od -An -c <"$1" 2>/dev/null)"
    return 1
}

cd "$work"
printf '1.685\r\n' >"身長.txt"
printf '68.5\r\n' >"体重.txt"
printf '' >"履歴.txt"
LC_ALL=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb "$program" >"$work/app.log" 2>&1 &
app_pid=$!

main=$(wait_window Morvane) || fail "the main window did not appear"
eval "$(xdotool getwindowgeometry --shell "$main")"
origin_x=$X
origin_y=$Y

click_at() { # window-relative pixel position, then xdotool click options
    xdotool mousemove "$((origin_x + $1))" "$((origin_y + $2))"
    shift 2
    xdotool click "$@" 1
}

# Record a weight: the 体重 button, then type into the input box.
click_at 427 40
box=$(wait_window 体重入力) || fail "the weight input box did not open"
xdotool windowfocus --sync "$box"
xdotool type --delay 20 "68.5"
xdotool key Return
wait_gone 体重入力 || fail "the weight input box did not close"
wait_file "体重.txt" '68.5\r\n' || fail "the weight file was not written"
today=$(date +%m/%d)
wait_file "履歴.txt" "$today  68.5Kg  24.1  9.6%%\r\n" || fail "the history line was not written"

# Delete that line: select it, press Delete, and OK on the confirmation. Its default button is
# Cancel, so Enter alone would keep the line: Tab moves to OK first.
click_at 100 125
xdotool key Delete
box=$(wait_window 記録の削除) || fail "the delete confirmation did not open"
xdotool windowfocus --sync "$box"
xdotool key Tab Return
wait_gone 記録の削除 || fail "the delete confirmation did not close"
wait_file "履歴.txt" '' || fail "the line was not deleted from the history file"
wait_file "体重.txt" '68.5\r\n' || fail "deleting a line changed the weight file"

# Undo it with Ctrl+Z: the line comes back byte for byte.
xdotool windowfocus --sync "$main"
xdotool key ctrl+z
wait_file "履歴.txt" "$today  68.5Kg  24.1  9.6%%\r\n" || fail "Ctrl+Z did not bring the line back"

# Change the height: double-click the height value.
click_at 538 278 --repeat 2 --delay 80
box=$(wait_window 身長登録) || fail "the height input box did not open"
xdotool windowfocus --sync "$box"
xdotool type --delay 20 "1.7"
xdotool key Return
wait_gone 身長登録 || fail "the height input box did not close"
wait_file "身長.txt" '1.7\r\n' || fail "the height file was not written"
wait_file "体重.txt" '68.5\r\n' || fail "the height entry changed the weight file"

# Clear the history: the クリア button, then Enter on the message box (OK is the default).
click_at 482 40
box=$(wait_window 履歴削除) || fail "the clear confirmation did not open"
xdotool windowfocus --sync "$box"
xdotool key Return
wait_gone 履歴削除 || fail "the clear confirmation did not close"
wait_file "履歴.txt" '' || fail "the history file was not emptied"

# Set a goal weight: the history list's menu, its last entry, then type into the input box.
xdotool mousemove "$((origin_x + 100))" "$((origin_y + 200))" click 3
sleep 0.3
xdotool key Up Return
box=$(wait_window 目標体重の設定) || fail "the goal input box did not open"
xdotool windowfocus --sync "$box"
xdotool type --delay 20 "62"
xdotool key Return
wait_gone 目標体重の設定 || fail "the goal input box did not close"
wait_file "目標.txt" '62\r\n' || fail "the goal file was not written"
wait_file "体重.txt" '68.5\r\n' || fail "setting a goal changed the weight file"

kill -0 "$app_pid" 2>/dev/null || fail "the program ended unexpectedly: $(cat "$work/app.log")"

# Help: the ヘルプ button opens the help window (the help file lies beside the program).
click_at 537 40
wait_window "Morvane ヘルプ" >/dev/null || fail "the help window did not open"

# End: the 終了 button closes the help window and ends the program with status 0.
click_at 592 40
for _ in $(seq 1 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    fail "the end button did not end the program"
fi
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(tail -n 40 "$work/app.log")"
echo "PASS: weight, deleting a line and its undo, height, clearing, goal, help and end driven through the real window"
