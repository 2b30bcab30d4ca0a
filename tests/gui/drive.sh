#!/usr/bin/env bash
# Drives the real program in a real X window, as a user would, with the mouse, with the keyboard
# and as a screen reader does through the accessibility tree (AT-SPI): records a weight, deletes
# that line and brings it back, changes the height three ways, clears the history and sets a goal
# weight, checking the files on disk; opens and closes the trend chart and the help; reaches the
# history list's menu and chooses from it as a screen reader does.
# Usage: drive.sh PROGRAM DESKTOP_FILE. Exits 77 (skipped) when the tools are not installed.
set -euo pipefail
program=$(realpath "$1")
desktop_file=$(realpath "$2")
source "$(dirname "$(realpath "$0")")/common.sh"
need_tools Xvfb xdotool xprop
own_session_bus "$@"
start_display 1024x768
start_accessibility_bus

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
    for _ in $(seq 1 "$polls"); do
        id=$(windows_titled "$1" | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits until no visible window is titled $1.
wait_gone() {
    for _ in $(seq 1 "$polls"); do
        [ -z "$(windows_titled "$1")" ] && return 0
        sleep 0.1
    done
    return 1
}

# Waits for a menu of the program to open: a second visible window with the program's name (a
# window without a title of its own gets the program's).
wait_menu() {
    for _ in $(seq 1 "$polls"); do
        [ "$(windows_titled Morvane | wc -l)" -ge 2 ] && return 0
        sleep 0.1
    done
    return 1
}

# Answers the modal box titled $1, which $2 should have opened: types $3 (if any), presses the
# keys that follow, and waits for the box to close.
answer_box() {
    local title=$1 opener=$2 text=$3 box
    shift 3
    box=$(wait_window "$title") || fail "$opener did not open 「$title」"
    xdotool windowfocus --sync "$box"
    [ -n "$text" ] && xdotool type --delay 20 "$text"
    xdotool key "$@"
    wait_gone "$title" || fail "「$title」 did not close after $opener"
}

cd "$work"
printf '1.685\r\n' >"身長.txt"
printf '68.5\r\n' >"体重.txt"
printf '' >"履歴.txt"
LC_ALL=ja_JP.UTF-8 QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" \
    >"$work/app.log" 2>&1 &
app_pid=$!

main=$(wait_window Morvane) || fail "the main window did not appear"

# The desktop entry's StartupWMClass is the window's class, so that docks and task bars match
# the window to its launcher and icon.
class=$(xprop -id "$main" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p')
startup_class=$(sed -n 's/^StartupWMClass=//p' "$desktop_file")
[ -n "$class" ] && [ "$class" = "$startup_class" ] ||
    fail "the window's class '$class' is not the desktop entry's StartupWMClass '$startup_class'"
eval "$(xdotool getwindowgeometry --shell "$main")"
origin_x=$X
origin_y=$Y

click_at() { # window-relative pixel position, then xdotool click options
    xdotool mousemove "$((origin_x + $1))" "$((origin_y + $2))"
    shift 2
    xdotool click "$@" 1
}

# What a screen reader finds: a window, the meter in BMI, the bands, needle, scale and list by
# their names. It also moves the meter over the accessibility interface, and back.
atspi main

# A screen reader presses 体重 and クリア: each press is answered at once, while the box it opens
# waits for the user (here Escape, which changes nothing).
atspi press 体重 体重入力
answer_box 体重入力 "the 体重 button's press action" "" Escape
atspi press クリア 履歴削除
answer_box 履歴削除 "the クリア button's press action" "" Escape
wait_file "体重.txt" '68.5\r\n' || fail "cancelling the pressed 体重 changed the weight file"

# Record a weight: Enter on the 体重 button, which has the focus, then type into the input box.
xdotool windowfocus --sync "$main"
xdotool key Return
answer_box 体重入力 "Enter on the focused 体重 button" "68.5" Return
wait_file "体重.txt" '68.5\r\n' || fail "the weight file was not written"
today=$(date +%m/%d)
wait_file "履歴.txt" "$today  68.5Kg  24.1  9.6%%\r\n" || fail "the history line was not written"

# Delete that line: select it, press Delete, and OK on the confirmation. Its default button is
# Cancel, so Enter alone would keep the line: Tab moves to OK first.
click_at 100 125
xdotool key Delete
answer_box 記録の削除 "Delete on the selected line" "" Tab Return
wait_file "履歴.txt" '' || fail "the line was not deleted from the history file"
wait_file "体重.txt" '68.5\r\n' || fail "deleting a line changed the weight file"

# Undo it with Ctrl+Z: the line comes back byte for byte.
xdotool windowfocus --sync "$main"
xdotool key ctrl+z
wait_file "履歴.txt" "$today  68.5Kg  24.1  9.6%%\r\n" || fail "Ctrl+Z did not bring the line back"

# Change the height: double-click the height value.
click_at 538 278 --repeat 2 --delay 80
answer_box 身長登録 "a double-click on the height value" "1.7" Return
wait_file "身長.txt" '1.7\r\n' || fail "the height file was not written"
wait_file "体重.txt" '68.5\r\n' || fail "the height entry changed the weight file"

# Change the height with the keyboard: F2 anywhere in the window.
xdotool windowfocus --sync "$main"
xdotool key F2
answer_box 身長登録 "F2" "1.685" Return
wait_file "身長.txt" '1.685\r\n' || fail "the height typed after F2 was not written"

# And as a screen reader does: the height label's press action.
atspi press-height
answer_box 身長登録 "the height label's press action" "1.7" Return
wait_file "身長.txt" '1.7\r\n' || fail "the height typed after the press action was not written"

# Clear the history: the クリア button, then Enter on the message box (OK is the default).
click_at 482 40
answer_box 履歴削除 "the クリア button" "" Return
wait_file "履歴.txt" '' || fail "the history file was not emptied"

# A screen reader finds the history list's menu, opened with a right click, and chooses
# 履歴を元に戻す: the cleared line comes back.
xdotool mousemove "$((origin_x + 100))" "$((origin_y + 200))" click 3
wait_menu || fail "a right click did not open the history list's menu"
atspi menu mouse 履歴を元に戻す
wait_file "履歴.txt" "$today  68.5Kg  24.1  9.6%%\r\n" || fail "履歴を元に戻す did not restore the history"

# Set a goal weight: the history list's menu, its last entry, then type into the input box.
xdotool mousemove "$((origin_x + 100))" "$((origin_y + 200))" click 3
wait_menu || fail "a right click did not open the history list's menu"
atspi menu mouse 目標体重の設定
answer_box 目標体重の設定 "目標体重の設定 in the history menu" "62" Return
wait_file "目標.txt" '62\r\n' || fail "the goal file was not written"
wait_file "体重.txt" '68.5\r\n' || fail "setting a goal changed the weight file"

kill -0 "$app_pid" 2>/dev/null || fail "the program ended unexpectedly: $(cat "$work/app.log")"

# An entry two months old, put in front by another program: the window shows it within a
# second, and the trend's ranges then differ.
older=$(date -d '-60 days' +%m/%d)
{ printf '%s  70.0Kg  24.7  12.0%%\r\n' "$older"; cat 履歴.txt; } >履歴.new
mv 履歴.new 履歴.txt
atspi rows 2

# The history list's menu from the keyboard, Shift+F10 and the Menu key, starts on its first
# entry: Enter, or a screen reader choosing it, opens the trend chart, a window of its own that
# Escape closes. A screen reader chooses a range with its button's Toggle action.
click_at 100 200
for key in shift+F10 Menu; do
    xdotool windowfocus --sync "$main"
    xdotool key "$key"
    wait_menu || fail "$key did not open the history list's menu"
    if [ "$key" = Menu ]; then
        atspi menu key グラフ表示
    else
        xdotool key Return
    fi
    trend=$(wait_window 体重の推移) || fail "グラフ表示 in the menu of $key did not open the trend"
    atspi frame 体重の推移
    [ "$key" = Menu ] || atspi range 1か月 "$(date +%Y/%m/%d)："
    xdotool windowfocus --sync "$trend"
    xdotool key Escape
    wait_gone 体重の推移 || fail "Escape did not close the trend window"
done

# A screen reader chooses CSV書き出し: the save dialog opens (and Escape leaves it). Shift+F10
# reaches the menu from anywhere in the window: here the meter, before the list, has the focus.
xdotool windowfocus --sync "$main"
xdotool key shift+Tab shift+F10
wait_menu || fail "shift+F10 with the focus on the meter did not open the history list's menu"
atspi menu key CSV書き出し
answer_box CSV書き出し "CSV書き出し in the history menu" "" Escape

# Help with F1, a window that Escape closes.
xdotool windowfocus --sync "$main"
xdotool key F1
help=$(wait_window "Morvane ヘルプ") || fail "F1 did not open the help window"
atspi frame "Morvane ヘルプ"
xdotool windowfocus --sync "$help"
xdotool key Escape
wait_gone "Morvane ヘルプ" || fail "Escape did not close the help window"

# Help: the ヘルプ button opens the help window (the help file lies beside the program).
click_at 537 40
wait_window "Morvane ヘルプ" >/dev/null || fail "the help window did not open"

# End: the 終了 button closes the help window and ends the program with status 0.
click_at 592 40
wait_for_end "the end button"
echo "PASS: weight, deleting a line and its undo, height, clearing, goal, trend, help and end" \
    "driven through the real window with the mouse, the keyboard and the accessibility tree"
