"""The running counter as a screen reader reads it over AT-SPI: opens the panel, the history and
the settings, follows Tab through each by the focus events and checks role and name of every stop.
Usage: screen-reader-walk.py LUMATICK. Prints the stops; exit 1 on a mismatch, 77 without AT-SPI."""
import re, subprocess, sys, time

try:
    import gi

    gi.require_version("Atspi", "2.0")
    from gi.repository import Atspi, GLib
except (ImportError, ValueError):
    sys.exit(77)

TIME = r"(\d+ hours? )?(\d+ minutes? )?\d+ seconds?"
# Each window's Tab stops from the one focused as it opens, as (role, name pattern); None ends
# a round trip back to the first stop.
PANEL = [("dialog", "Lumatick"), ("label", "Screen time today: " + TIME),
         ("label", "Yesterday: 1 hour 2 minutes 3 seconds"), ("label", "7-day average: " + TIME),
         ("label", "2-day streak"), ("chart", "Last 7 days screen time"),
         ("check box", "Pause screen time tracking"), ("push button", "Pause for a while"),
         ("push button", "Open screen time history"),
         ("push button", "Open settings"), ("push button", "Quit Lumatick"), None]
HISTORY = [("frame", "Screen Time History"), ("radio button", "7 days"), ("chart", "Daily Screen Time"),
           ("radio button", "6 months"), ("chart", "Monthly Average"),
           ("push button", "Export screen time data as CSV")]
SETTINGS = [("frame", "Lumatick Settings"), ("page tab", "Settings")] + [
    (role, name) for role, names in [("push button", ["Green tier colour"]), ("spin button", ["Under 3h"]),
                                     ("push button", ["Yellow tier colour"]), ("spin button", ["3h – 5h"]),
                                     ("push button", ["Red tier colour", "Reset Colors to Default"]),
                                     ("check box", [r"Always count \(no idle timeout\)"]), ("radio button", ["Counter"]),
                                     ("check box", ["Show seconds in counter", "Remind me to take breaks"]),
                                     ("spin button", ["Every 60 minutes"]),
                                     ("push button", ["Record pause shortcut", "Clear pause shortcut",
                                                      "Open Notification Settings…"]),
                                     ("check box", ["Enable daily goal"]), ("spin button", ["Stay under 6h"]),
                                     ("check box", ["Launch at login"]), ("combo box", ["automatically"]),
                                     ("check box", ["Share totals with my other computers through a folder"])]
    for name in names] + [None]
ABOUT = [None, ("page tab", "About"), ("push button", r"Check for Updates…"),
         ("check box", "Automatically download updates"), ("label", "Your days are kept (.|\n)*")]
FAILURES, FOCUS = [], []


def check(ok, what):
    if not ok:
        FAILURES.append(what)
    return ok


# What a screen reader listens to; the application sends only the events someone asks for.
LISTENER = Atspi.EventListener.new(lambda e: e.type.endswith("focused") and e.detail1 and FOCUS.append(e.source))
for kind in ("object:state-changed", "object:property-change:accessible-name", "window:activate"):
    LISTENER.register(kind)


def wait_for(find, seconds=10):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        while GLib.MainContext.default().iteration(False):
            pass
        if found := find():
            return found
        time.sleep(0.1)


def children(node):
    return [node.get_child_at_index(i) for i in range(max(node.get_child_count(), 0))]


def find(node, name, role=None):
    if re.fullmatch(name, node.get_name() or "") and role in (None, node.get_role_name()):
        return node
    return next((f for f in (find(c, name, role) for c in children(node)) if f), None)


def describe(node):
    return f"{node.get_role_name()} | {node.get_name()}" if node else "(nothing)"


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)
    FOCUS.clear()


def walk(title, expected, opening):
    """Opens a window, checks it, then Tabs through it; the window, or None."""
    FOCUS.clear()
    opening()
    app = wait_for(lambda: next((a for a in children(Atspi.get_desktop(0)) if a.get_name().lower() == "lumatick"), None))
    role, name = expected[0] or (None, ".*")
    window = wait_for(lambda: find(app, name, role) if app else None)
    check(window, f"{title}: no {role} named {name} in {[describe(w) for w in children(app)] if app else []}")
    print(f"{title}: {describe(window)}, in Tab order:")
    for step, stop in enumerate(expected[1:]):
        if step:
            key("Tab")
        node = wait_for(lambda: FOCUS and FOCUS[-1], 3)
        print("  " + describe(node))
        role, name = stop or expected[1]
        check(node and node.get_role_name() == role and re.fullmatch(name, node.get_name()),
              f"{title}: expected {role} | {name}, got {describe(node)}")
    return window


def press(window, name):
    if check(window and (button := find(window, name)), f"no {name}"):
        button.do_action(0)


panel = walk("panel", PANEL, lambda: subprocess.run([sys.argv[1]], check=True))
pause = panel and find(panel, "Pause screen time tracking")
if check(pause, "no pause button"):
    check(pause.get_description() == "Shortcut: Control Shift P", f"shortcut {pause.get_description()!r}")
    pause.do_action(0)
    resume = wait_for(lambda: find(panel, "Resume screen time tracking"))
    check(resume and resume.get_state_set().contains(Atspi.StateType.CHECKED), "paused, not checked")
chart = panel and find(panel, "Last 7 days screen time")
check(chart and "yesterday: 1 hour 2 minutes" in chart.get_description(), "the week is not told in words")
history = walk("history", HISTORY, lambda: press(panel, "Open screen time history"))
bars = children(find(history, "Daily Screen Time", "chart")) if history else []
check(len(bars) == 7, f"{len(bars)} daily bars")
for bar in bars:
    extents = bar.get_extents(Atspi.CoordType.SCREEN)
    check(re.fullmatch(r"\w{3} \d+: (\d+ hours? )?\d+ minutes?", bar.get_name()), f"bar {bar.get_name()}")
    check(extents.width > 0 and extents.height > 0, f"bar {bar.get_name()} has no place")
for caption in ("Current", "Longest"):
    check(history and find(history, caption + r" streak: \d+ days", "label"), f"no {caption} streak")
# Back from the top of the panel to its Settings button, which Return presses.
settings = walk("settings", SETTINGS, lambda: (subprocess.run([sys.argv[1]], check=True), wait_for(lambda: FOCUS),
                                               [key(k) for k in ("shift+Tab", "shift+Tab", "Return")]))
combo = settings and find(settings, "automatically", "combo box")
labels = [r.get_target(0).get_name() for r in combo.get_relation_set()] if combo else []
check("Show the time:" in labels, f"the combo box is labelled {labels}")
about = walk("about", ABOUT, lambda: key("Right"))
link = about and find(about, "Your settings, in(.|\n)*", "label")
check(link and link.get_state_set().contains(Atspi.StateType.FOCUSABLE), "the settings link is out of reach")
for failure in FAILURES:
    print("FAIL:", failure)
sys.exit(1 if FAILURES else 0)
