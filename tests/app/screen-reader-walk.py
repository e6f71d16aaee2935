#!/usr/bin/env python3
"""Reads the running counter as a screen reader does, over AT-SPI: opens the panel, the history
and the settings, walks each with Tab and checks role, name, state and focus of every stop.
Usage: screen-reader-walk.py LUMATICK. Prints the stops of each window; exit 0 when all match,
1 with the mismatches, 77 when the AT-SPI client library is not installed."""
import re
import subprocess
import sys
import time

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
except (ImportError, ValueError):
    sys.exit(77)

LUMATICK = sys.argv[1]
DURATION = r"(\d+ hours? )?(\d+ minutes? )?\d+ seconds?"
FAILURES = []
FOCUS = []  # what gained the focus, in order, as a screen reader learns it: by events


def on_event(event):
    if event.type.startswith("object:state-changed:focused") and event.detail1:
        FOCUS.append(event.source)


# The events a screen reader listens to; the application sends only those someone asks for.
LISTENER = Atspi.EventListener.new(on_event)
for kind in ("object:state-changed", "object:property-change:accessible-name", "window:activate"):
    LISTENER.register(kind)

# Each window's Tab stops from the one focused at opening, as (role, name) patterns.
PANEL = [
    ("label", "Screen time today: " + DURATION),
    ("label", "Yesterday: 1 hour 2 minutes 3 seconds"),
    ("label", "7-day average: " + DURATION),
    ("label", r"\d+-day streak"),
    ("chart", "Last 7 days screen time"),
    ("check box", "Pause screen time tracking"),
    ("push button", "Open screen time history"),
    ("push button", "Open settings"),
    ("push button", "Quit Lumatick"),
]
HISTORY = [
    ("radio button", "7 days"),
    ("chart", "Daily Screen Time"),
    ("radio button", "6 months"),
    ("chart", "Monthly Average"),
    ("push button", "Export screen time data as CSV"),
]
SETTINGS = [("page tab", "Settings"), ("push button", "Green tier colour"), ("spin button", "Under 3h")]


def check(ok, what):
    if not ok:
        FAILURES.append(what)
    return ok


def wait_for(find, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while GLib.MainContext.default().iteration(False):
            pass
        found = find()
        if found:
            return found
        time.sleep(0.1)
    return None


def children(node):
    return [node.get_child_at_index(i) for i in range(max(node.get_child_count(), 0))]


def has(node, state):
    return node.get_state_set().contains(state)


def application():
    desktop = Atspi.get_desktop(0)
    return next((a for a in children(desktop) if a and (a.get_name() or "").lower() == "lumatick"), None)


def window(name):
    app = application()
    return app and next((w for w in children(app) if w.get_name() == name and has(w, Atspi.StateType.SHOWING)), None)


def describe(node):
    return f"{node.get_role_name()} | {node.get_name()}"


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)
    time.sleep(0.3)


def tab_stops(count, round_trip=False):
    """What gained the focus at opening and after each of `count` Tabs; with round_trip, up to
    the first stop coming round again."""
    stops = [wait_for(lambda: FOCUS and FOCUS[-1], 3)]
    for _ in range(count):
        FOCUS.clear()
        key("Tab")
        stops.append(wait_for(lambda: FOCUS and FOCUS[-1], 3))
        if round_trip and stops[-1] and stops[0] and describe(stops[-1]) == describe(stops[0]):
            break
    return stops


def matches(stops, expected, title):
    print(f"{title}:")
    for node, (role, name) in zip(stops, expected):
        print("  " + (describe(node) if node else "(nothing focused)"))
        check(node and node.get_role_name() == role and re.fullmatch(name, node.get_name()),
              f"{title}: expected {role} | {name}, got {describe(node) if node else 'nothing'}")


def press(win, name):
    button = wait_for(lambda: find(win, name))
    if check(button, f"no {name}"):
        button.do_action(0)


def find(node, name, role=None):
    if re.fullmatch(name, node.get_name() or "") and role in (None, node.get_role_name()):
        return node
    return next((f for f in (find(c, name, role) for c in children(node)) if f), None)


def walk_panel():
    FOCUS.clear()
    subprocess.run([LUMATICK], check=True)
    panel = wait_for(lambda: window("Lumatick"))
    if not check(panel, "the panel is not among the application's windows"):
        return
    check(panel.get_role_name() in ("dialog", "window"), f"panel role {panel.get_role_name()}")
    stops = tab_stops(len(PANEL))
    matches(stops, PANEL, "panel")
    check(stops[-1] and stops[-1].get_name() == stops[0].get_name(), "Tab does not come round to the top")
    pause = find(panel, "Pause screen time tracking")
    if check(pause, "no pause button"):
        check(pause.get_description() == "Shortcut: Control Shift P", f"shortcut {pause.get_description()!r}")
        check(not has(pause, Atspi.StateType.CHECKED), "pause button checked while tracking")
        pause.do_action(0)
        resume = wait_for(lambda: find(panel, "Resume screen time tracking"))
        check(resume and has(resume, Atspi.StateType.CHECKED), "paused, the button is not checked")
    chart = find(panel, "Last 7 days screen time")
    check(chart and "yesterday: 1 hour 2 minutes" in chart.get_description(), "the week is not told in words")
    press(panel, "Open screen time history")


def walk_history():
    FOCUS.clear()
    history = wait_for(lambda: window("Screen Time History"))
    if not check(history, "no history window"):
        return
    matches(tab_stops(len(HISTORY) - 1), HISTORY, "history")
    daily = find(history, "Daily Screen Time", "chart")
    bars = children(daily) if daily else []
    check(len(bars) == 7, f"{len(bars)} daily bars")
    for bar in bars:
        check(re.fullmatch(r"\w{3} \d+: " + r"(\d+ hours? )?\d+ minutes?", bar.get_name() or ""), f"bar {bar.get_name()!r}")
        extents = bar.get_extents(Atspi.CoordType.SCREEN)
        check(extents.width > 0 and extents.height > 0, f"bar {bar.get_name()!r} has no place")
    streaks = [find(history, f"{name} streak: \\d+ days", "label") for name in ("Current", "Longest")]
    check(all(streaks), "streak values without their captions")
    key("Escape")


def walk_settings():
    subprocess.run([LUMATICK], check=True)
    panel = wait_for(lambda: window("Lumatick"))
    if check(panel, "the panel did not open again"):
        FOCUS.clear()
        press(panel, "Open settings")
    settings = wait_for(lambda: window("Lumatick Settings"))
    if not check(settings, "no settings window"):
        return
    stops = tab_stops(30, round_trip=True)
    matches(stops, SETTINGS, "settings")
    for node in stops[len(SETTINGS):]:
        labels = [t.get_name() for r in (node.get_relation_set() if node else []) for t in
                  (r.get_target(i) for i in range(r.get_n_targets()))
                  if r.get_relation_type() == Atspi.RelationType.LABELLED_BY]
        print("  " + (describe(node) if node else "(nothing focused)") + (f" (label: {labels[0]})" if labels else ""))
        check(node and (node.get_role_name() != "combo box" or labels), f"unnamed stop {describe(node) if node else ''}")
    check(stops[-1] and stops[-1].get_name() == "Settings", "Tab does not come round to the tabs")
    key("Right")  # the next tab, whose links Tab reaches
    FOCUS.clear()
    about = tab_stops(8)
    print("about:\n" + "\n".join("  " + describe(node) for node in about if node))
    check(about[0] and about[0].get_name() == "About", "Right does not move to the next tab")
    check(any(node and node.get_name().startswith("Your settings, in") for node in about), "the links are out of reach")


walk_panel()
walk_history()
walk_settings()
for failure in FAILURES:
    print("FAIL:", failure)
sys.exit(1 if FAILURES else 0)
