#!/usr/bin/python3
"""Reads and drives the program through the accessibility tree (AT-SPI), as a screen reader does.

Usage: atspi.py PID main          the main window as a screen reader finds it; moves the meter
       atspi.py PID press-height  presses the height label (the height box opens)
       atspi.py PID press NAME TITLE  presses the main window's button NAME: the call is answered
                                  (within 6 s) while the box TITLE it opens is still open
       atspi.py PID frame TITLE   a window titled TITLE is showing, as a window
       atspi.py PID window TITLE  waits for a window titled TITLE (a dialog too)
       atspi.py PID gone TITLE    waits until no window is titled TITLE
       atspi.py PID active TITLE  waits until the window titled TITLE is the active one
       atspi.py PID size TITLE W H  the window titled TITLE is W by H pixels
       atspi.py PID title-bar     the main window's own title bar offers minimise and close only
       atspi.py PID menu-open     waits for the history menu to open
       atspi.py PID menu HOW ITEM the history menu, opened by HOW (key or mouse), is in the tree
                                  with its items; with key, the first item that can be chosen
                                  is focused and focus follows Down and Up; chooses ITEM
       atspi.py PID rows N        waits until the history list shows N lines
       atspi.py PID range NAME TEXT  in the trend window, the range button NAME's Toggle action
                                  checks it and the summary changes to begin with TEXT

Prints what it found wrong and exits 1, or exits 0.
"""

import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

warnings.filterwarnings("ignore", category=DeprecationWarning)

SCALE = "....".join(str(n) for n in range(15, 33))
# The history menu's items, in order; None is a separator.
MENU = ["グラフ表示", "CSV書き出し", "履歴の取り込み…", "履歴を元に戻す", None, "この記録を削除", "元に戻す",
        None, "目標体重の設定"]
BANDS = ["やせ過ぎ", "やせ気味", "スタンダード", "でぶメゾフォルテ", "でぶフォルテ", "でぶフォルテシモ"]

problems = []


def check(ok, what):
    if not ok:
        problems.append(what)
    return ok


def application(pid):
    """The program's application object, once it has registered (up to 30 s)."""
    for _ in range(300):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.1)
    return None


def descendants(node, depth=0):
    if node is None or depth > 8:
        return
    yield node
    for i in range(node.get_child_count()):
        yield from descendants(node.get_child_at_index(i), depth + 1)


def find(root, role=None, name=None):
    for node in descendants(root):
        if (role is None or node.get_role() == role) and (name is None or node.get_name() == name):
            return node
    return None


# How long a wait lasts at most: a loaded machine running the sanitizer build is slow to answer;
# what comes sooner ends the wait.
PATIENCE = 30.0


def wait_for(predicate, seconds=PATIENCE):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(0.05)
    return predicate()


def window(app, title):
    """The window on show titled title (Qt lists hidden windows as well)."""
    for i in range(app.get_child_count()):
        child = app.get_child_at_index(i)
        if (child is not None and child.get_name() == title
                and child.get_state_set().contains(Atspi.StateType.SHOWING)):
            return child
    return None


def main_window(app):
    frame = window(app, "Morvane")
    if not check(frame is not None, "no window titled Morvane"):
        return
    check(frame.get_role() == Atspi.Role.FRAME, f"the main window is a {frame.get_role_name()}")

    meter = find(frame, Atspi.Role.SCROLL_BAR, "BMIメーター")
    if check(meter is not None, "no scroll bar named BMIメーター"):
        value = meter.get_value_iface()
        if check(value is not None, "the meter has no value"):
            got = (value.get_current_value(), value.get_minimum_value(),
                   value.get_maximum_value(), value.get_minimum_increment())
            check(got == (24.1, 15.4, 31.6, 0.1), f"the meter reads {got}")
            bmi = find(frame, Atspi.Role.LABEL, "24.1")
            check(bmi is not None, "no label shows the BMI 24.1")
            # Setting the value moves the meter: the BMI label follows.
            value.set_current_value(22.0)
            check(wait_for(lambda: find(frame, Atspi.Role.LABEL, "22.0") is not None),
                  "setting the meter to 22.0 did not show BMI 22.0")
            check(value.get_current_value() == 22.0, "the meter does not read 22.0 after setting")
            value.set_current_value(24.1)
            check(wait_for(lambda: value.get_current_value() == 24.1), "the meter did not go back")

    for band in BANDS:
        check(find(frame, name=band) is not None, f"no band named {band}")
    check(find(frame, Atspi.Role.IMAGE, "メーターの針") is not None, "no needle named メーターの針")
    check(find(frame, Atspi.Role.LABEL, SCALE) is not None, "the scale does not read its caption")
    check(find(frame, Atspi.Role.LIST, "体重の履歴") is not None, "no list named 体重の履歴")
    # Only the frame is called by its caption; nothing inside it borrows it.
    borrowed = [n.get_role_name() for n in descendants(frame)
                if n.get_name() == "ＢＭＩ" and n.get_role() != Atspi.Role.PANEL]
    check(not borrowed, f"also named ＢＭＩ: {borrowed}")
    for name in ("体重", "クリア", "ヘルプ", "終了"):
        button = find(frame, Atspi.Role.PUSH_BUTTON, name)
        if check(button is not None, f"no button {name}"):
            check(button.get_description() != "", f"the button {name} has no description")


def press_height(app):
    frame = window(app, "Morvane")
    label = None
    for node in descendants(frame):
        if node.get_role() == Atspi.Role.LABEL and "F2" in node.get_description():
            label = node
    if not check(label is not None, "no height label"):
        return
    action = label.get_action_iface()
    if not check(action is not None, "the height label offers no action"):
        return
    names = [action.get_action_name(i) for i in range(action.get_n_actions())]
    if check("Press" in names, f"the height label's actions are {names}"):
        action.do_action(names.index("Press"))


def press_button(app, name, title):
    frame = window(app, "Morvane")
    button = find(frame, Atspi.Role.PUSH_BUTTON, name) if frame is not None else None
    action = button.get_action_iface() if button is not None else None
    if not check(action is not None, f"no button {name} with an action"):
        return
    names = [action.get_action_name(i) for i in range(action.get_n_actions())]
    if not check("Press" in names, f"the button {name}'s actions are {names}"):
        return
    # A screen reader waits for the answer: it must come before the dialog is answered.
    Atspi.set_timeout(6000, -1)
    try:
        check(action.do_action(names.index("Press")), f"pressing {name} failed")
    except GLib.Error as error:
        check(False, f"pressing {name} got no answer while its dialog was open: {error.message}")
    check(wait_for(lambda: window(app, title) is not None), f"pressing {name} did not open {title}")


def frame_titled(app, title):
    check(wait_for(lambda: window(app, title) is not None), f"no window titled {title}")
    found = window(app, title)
    if found is not None:
        check(found.get_role() == Atspi.Role.FRAME,
              f"the window {title} is a {found.get_role_name()}")


def enabled(node):
    return node.get_state_set().contains(Atspi.StateType.ENABLED)


def focused(node):
    return node.get_state_set().contains(Atspi.StateType.FOCUSED)


def history_menu(app, how, item):
    frame = window(app, "Morvane")
    if not check(frame is not None, "no window titled Morvane"):
        return
    if not check(wait_for(lambda: find(frame, Atspi.Role.POPUP_MENU) is not None),
                 "no popup menu in the window's tree"):
        return
    menu = find(frame, Atspi.Role.POPUP_MENU)
    check(menu.get_name() == "体重の履歴", f"the menu is named {menu.get_name()!r}")
    items = [menu.get_child_at_index(i) for i in range(menu.get_child_count())]
    got = [None if n.get_role() == Atspi.Role.SEPARATOR else n.get_name() for n in items]
    if not check(got == MENU, f"the menu's items are {got}"):
        return
    roles = [n.get_role() for n in items if n.get_role() != Atspi.Role.SEPARATOR]
    check(set(roles) == {Atspi.Role.MENU_ITEM}, f"the menu's items are {set(roles)}")
    choosable = [n for n in items if n.get_role() == Atspi.Role.MENU_ITEM and enabled(n)]
    for node in items:
        if node.get_role() == Atspi.Role.MENU_ITEM:
            action = node.get_action_iface()
            actions = action.get_n_actions() if action is not None else 0
            check(actions == (1 if enabled(node) else 0),
                  f"{node.get_name()} offers {actions} actions, enabled: {enabled(node)}")
    now = [n.get_name() for n in items if focused(n)]
    check(now == ([choosable[0].get_name()] if how == "key" else []),
          f"opened by {how}, the focused items are {now}")
    if how == "key" and len(choosable) > 1:
        # Focus events follow the highlight as Down and Up move it.
        heard = []
        listener = Atspi.EventListener.new(
            lambda event: event.detail1 and heard.append(event.source.get_name()))
        listener.register("object:state-changed:focused")
        for key, expected in (("Down", choosable[1]), ("Up", choosable[0])):
            subprocess.run(["xdotool", "key", key], check=True)
            end = time.monotonic() + PATIENCE
            context = GLib.MainContext.default()
            while expected.get_name() not in heard and time.monotonic() < end:
                context.iteration(False)
                time.sleep(0.02)
            check(expected.get_name() in heard, f"after {key}, focus events named {heard}")
            heard.clear()
        listener.deregister("object:state-changed:focused")
    chosen = [n for n in items if n.get_name() == item]
    if not check(chosen and enabled(chosen[0]), f"{item} cannot be chosen"):
        return
    action = chosen[0].get_action_iface()
    check(action.do_action(0), f"choosing {item} failed")
    check(wait_for(lambda: find(frame, Atspi.Role.POPUP_MENU) is None),
          f"the menu stayed open after choosing {item}")


def rows(app, count):
    frame = window(app, "Morvane")
    history = find(frame, Atspi.Role.LIST, "体重の履歴") if frame is not None else None
    if check(history is not None, "no list named 体重の履歴"):
        check(wait_for(lambda: history.get_child_count() == count),
              f"the history list shows {history.get_child_count()} lines, not {count}")


def summary_begins(frame, text):
    return any(n.get_role() == Atspi.Role.LABEL and n.get_name().startswith(text)
               for n in descendants(frame))


def trend_range(app, name, text):
    frame = window(app, "体重の推移")
    if not check(frame is not None, "no window titled 体重の推移"):
        return
    button = find(frame, name=name)
    if not check(button is not None, f"no range button {name}"):
        return
    check(not summary_begins(frame, text), f"the summary begins with {text} already")
    action = button.get_action_iface()
    names = [action.get_action_name(i) for i in range(action.get_n_actions())] if action else []
    if not check("Toggle" in names, f"the range button {name}'s actions are {names}"):
        return
    action.do_action(names.index("Toggle"))
    check(wait_for(lambda: button.get_state_set().contains(Atspi.StateType.CHECKED)),
          f"the Toggle action did not check {name}")
    check(wait_for(lambda: summary_begins(frame, text)),
          f"after the Toggle action on {name}, no summary begins with {text}")


def size(app, title, width, height):
    found = window(app, title)
    if check(found is not None, f"no window titled {title}"):
        extents = found.get_extents(Atspi.CoordType.SCREEN)
        check((extents.width, extents.height) == (width, height),
              f"the window {title} is {extents.width} by {extents.height}")


def title_bar(app):
    frame = window(app, "Morvane")
    if not check(frame is not None, "no window titled Morvane"):
        return
    for name in ("最小化", "閉じる"):
        check(find(frame, Atspi.Role.PUSH_BUTTON, name) is not None, f"no button {name}")
    check(find(frame, name="最大化") is None, "the window offers to maximise")


def run():
    pid = int(sys.argv[1])
    command = sys.argv[2]
    app = application(pid)
    if app is None:
        print("the program did not appear on the accessibility bus")
        return 1
    if command == "main":
        main_window(app)
    elif command == "press-height":
        press_height(app)
    elif command == "press":
        press_button(app, sys.argv[3], sys.argv[4])
    elif command == "frame":
        frame_titled(app, sys.argv[3])
    elif command == "window":
        check(wait_for(lambda: window(app, sys.argv[3]) is not None),
              f"no window titled {sys.argv[3]}")
    elif command == "gone":
        check(wait_for(lambda: window(app, sys.argv[3]) is None),
              f"a window titled {sys.argv[3]} is still there")
    elif command == "active":
        check(wait_for(lambda: window(app, sys.argv[3]) is not None and window(
            app, sys.argv[3]).get_state_set().contains(Atspi.StateType.ACTIVE)),
              f"the window titled {sys.argv[3]} is not active")
    elif command == "menu-open":
        check(wait_for(lambda: find(window(app, "Morvane"), Atspi.Role.POPUP_MENU) is not None),
              "no popup menu in the window's tree")
    elif command == "title-bar":
        title_bar(app)
    elif command == "size":
        size(app, sys.argv[3], int(sys.argv[4]), int(sys.argv[5]))
    elif command == "menu":
        history_menu(app, sys.argv[3], sys.argv[4])
    elif command == "rows":
        rows(app, int(sys.argv[3]))
    elif command == "range":
        trend_range(app, sys.argv[3], sys.argv[4])
    else:
        print(f"unknown command {command}")
        return 2
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(run())
