#!/usr/bin/python3
"""Reads the running app through AT-SPI as a screen reader does, then
practises one question with nothing but AT-SPI actions, guided by what the
app announces. Prints the tree's counts; exits non-zero on the first fault.
Usage: screen_reader_check.py SESSIONS_FOLDER"""
import os
import re
import sys
import time

import pyatspi
from gi.repository import GLib

said = []  # (seconds since start, text) of each notification shown
start = time.monotonic()


def fail(message):
    print(f"screen-reader-check: {message}", file=sys.stderr)
    sys.exit(1)


def pump(seconds):
    end = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.01)


def wait_for(what, predicate, timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        pump(0.05)
    fail(f"timed out waiting for {what}")


def on_showing(event):
    if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
        said.append((time.monotonic() - start, event.source.name))


def app():
    for candidate in pyatspi.Registry.getDesktop(0):
        if candidate is not None and candidate.name == "lirra":
            return candidate
    return None


def walk(node, showing_only=True):
    state = node.getState()
    if showing_only and not state.contains(pyatspi.STATE_SHOWING) and node.getRole() != pyatspi.ROLE_APPLICATION:
        return
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, showing_only)


def find(root, role, name=None):
    for node in walk(root):
        if node.getRole() == role and (name is None or node.name == name):
            return node
    return None


def enabled(node):
    return node is not None and node.getState().contains(pyatspi.STATE_ENABLED)


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        fail(f"'{node.name}' has no Press action: {names}")
    action.doAction(names.index("Press"))


def counts(root):
    nodes = list(walk(root))
    controls = [n for n in nodes if n.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_PROGRESS_BAR,
                                                      pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_TOGGLE_BUTTON)]
    return {
        "objects": len(nodes),
        "named controls": sum(1 for n in controls if n.name),
        "unnamed controls": sum(1 for n in controls if not n.name),
        "unnamed objects": sum(1 for n in nodes if not n.name),
        "focusable": sum(1 for n in nodes if n.getState().contains(pyatspi.STATE_FOCUSABLE)),
    }


def said_after(index, text):
    return next((t for _, t in said[index:] if t == text), None)


def main():
    sessions = sys.argv[1]
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    # As a screen reader does: names and states that change reach the
    # client's cache only for the events someone listens to.
    pyatspi.Registry.registerEventListener(lambda event: None, "object:property-change:accessible-name",
                                           "object:state-changed:enabled", "object:state-changed:sensitive")
    root = wait_for("the app on the accessibility bus", app, 60)
    frame = wait_for("its window", lambda: find(root, pyatspi.ROLE_FRAME), 30)

    # A first run: the tour's bubble is a dialog with named buttons.
    tip = wait_for("the tour's first bubble", lambda: find(frame, pyatspi.ROLE_DIALOG), 30)
    if not tip.name or not tip.description:
        fail("the tour's bubble has no title or message")
    skip = find(tip, pyatspi.ROLE_PUSH_BUTTON, "Skip tour")
    if skip is None:
        fail("the tour's bubble has no 'Skip tour' button")
    print(f"tour: '{tip.name}' — {tip.description}")
    press(skip)
    start_button = wait_for("an enabled start button",
                            lambda: (lambda b: b if enabled(b) else None)(
                                find(frame, pyatspi.ROLE_PUSH_BUTTON, "Start a session")))

    # Every control named, every key a button, the ring a value.
    keys = [n for n in walk(frame) if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and n.parent is not None
            and n.parent.parent is not None and n.parent.getRole() == pyatspi.ROLE_FILLER
            and n.getIndexInParent() < 12 and n.parent.childCount == 12]
    if len(keys) != 24:
        fail(f"{len(keys)} piano keys are buttons, not 24")
    for node in walk(frame):
        role = node.getRole()
        if role in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_PROGRESS_BAR) and not node.name:
            fail(f"an unnamed {node.getRoleName()}")
    ring = find(frame, pyatspi.ROLE_PROGRESS_BAR)
    if ring is None:
        fail("the accuracy ring is no progress bar")
    # Before any answer its value is indeterminate, not "0 percent".
    if ring.queryValue().maximumValue != 100 or not ring.getState().contains(pyatspi.STATE_INDETERMINATE):
        fail("the accuracy ring is no progress bar out of 100, indeterminate before any answer")
    for name in ("Choose a level", "Previous level", "Next level", "Play the question again", "Preferences"):
        if find(frame, pyatspi.ROLE_PUSH_BUTTON, name) is None:
            fail(f"no '{name}' button")
    tree = counts(root)
    if tree["focusable"] < 10:
        fail(f"only {tree['focusable']} objects take the focus")
    print("tree: " + ", ".join(f"{k} {v}" for k, v in tree.items()))

    # One question, answered by ear as a blind user would: try the keys in
    # turn until the app says the answer was right.
    press(start_button)
    wait_for("'Your answer?'", lambda: said_after(0, "Your answer?"), 30)
    stop_button = find(frame, pyatspi.ROLE_PUSH_BUTTON, "Stop the session")
    if stop_button is None:
        fail("the start button was not renamed 'Stop the session'")
    lit = [k for k in keys if enabled(k)]
    right = None
    for key in lit:
        before = len(said)
        press(key)
        verdict = wait_for("a verdict", lambda: said_after(before, "Right.") or said_after(before, "Wrong, try again."))
        print(f"pressed {key.name}: {verdict}")
        if verdict == "Right.":
            right = key
            break
    if right is None:
        fail("no key was right")
    after_right = len(said)
    wait_for("the next question", lambda: said_after(after_right, "Your answer?"), 30)
    before = len(said)
    press(stop_button)
    saved = wait_for("the session saved",
                     lambda: next((t for _, t in said[before:] if t.startswith("Session saved")), None), 30)
    print(f"stopped: {saved}")
    # Right at the first try or not, the one question answered counts.
    if not re.fullmatch(r"Session saved: [01] of 1 right\.", saved):
        fail(f"the session should hold one question: '{saved}'")
    path = os.path.join(sessions, "sessions_1.txt")
    lines = wait_for("the session's line", lambda: os.path.exists(path) and open(path).read().splitlines(), 10)
    if len(lines) != 1:
        fail(f"{path} has {len(lines)} lines, not 1")
    print(f"session line: {lines[0]}")
    value = ring.queryValue()
    if ring.getState().contains(pyatspi.STATE_INDETERMINATE) or value.currentValue not in (0, 100):
        fail(f"the ring should read 0 or 100 out of 100, not {value.currentValue} of {value.maximumValue}")
    print("announcements: " + "; ".join(f"{t:.2f}s {text}" for t, text in said))


main()
