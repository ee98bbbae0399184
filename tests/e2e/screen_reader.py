#!/usr/bin/python3
"""Drives the running Tallowick with real mouse clicks and reads it the way a
screen reader does: through AT-SPI, never through Qt. Checks what is read
and what is announced after Find, after a deletion that fails and after
Delete, then reads the About window.

Usage: screen_reader.py DRIVE_C COOKIE_FILE...
  DRIVE_C      the prefix's drive C: folder
  COOKIE_FILE  each cookie file the search must find, relative to DRIVE_C
Exits 0 when every check passes; otherwise prints FAIL: and exits 1.
"""
import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


class Failure(Exception):
    pass


def pump(seconds):
    """Lets AT-SPI events arrive for the given time."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.02)


def wait_for(what, read, timeout=10.0):
    """Reads until read() returns something true; fails naming `what`."""
    end = time.monotonic() + timeout
    while True:
        try:
            value = read()
        except GLib.Error:  # a window that went while it was read
            value = None
        if value or time.monotonic() > end:
            break
        pump(0.1)
    if not value:
        raise Failure(f"{what} (timed out after {timeout:.0f} s)")
    return value


def children(node):
    """The children that are still there: a window may go while it is read."""
    found = (node.get_child_at_index(i) for i in range(node.get_child_count()))
    return [child for child in found if child is not None]


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def text_of(node):
    """The whole text offered through the text interface, or None."""
    if "Text" not in node.get_interfaces():
        return None
    return node.get_text(0, -1)


def find(node, role, name=None):
    for child in children(node):
        if child.get_role() == role and (name is None or child.get_name() == name):
            return child
    return None


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


class Program:
    """The running program as the accessibility bus shows it."""

    def __init__(self):
        self.announced = []  # (event type, new text) raised by the status bar
        self.listener = Atspi.EventListener.new(self._on_event)
        for event in ("object:property-change:accessible-name", "object:text-changed:insert"):
            self.listener.register(event)
        self.app = wait_for("Tallowick registers on the accessibility bus", self._find_app, 30)
        self.main = wait_for("a frame named Tallowick", lambda: self.window("Tallowick"))

    def _find_app(self):
        desktop = Atspi.get_desktop(0)
        for app in children(desktop):
            if app is not None and app.get_name() == "tallowick":
                return app
        return None

    def _on_event(self, event):
        source = event.source
        if source is not None and source.get_role() == Atspi.Role.STATUS_BAR:
            self.announced.append((event.type, event.any_data if isinstance(event.any_data, str) else None))

    def window(self, name):
        self.app.clear_cache()
        return find(self.app, Atspi.Role.FRAME, name)

    def control(self, role, name=None):
        self.main.clear_cache()
        found = find(self.main, role, name)
        if found is None:
            raise Failure(f"no {Atspi.Role(role).value_nick} {name or ''} in the main window")
        return found

    def status(self):
        bar = self.control(Atspi.Role.STATUS_BAR)
        return bar.get_name(), text_of(bar), bar.get_description()

    def rows(self):
        return [row.get_name() for row in children(self.control(Atspi.Role.LIST))]

    def button_showing(self, name):
        return showing(self.control(Atspi.Role.PUSH_BUTTON, name))

    def click(self, window_name, button):
        """A real mouse click on the button, where AT-SPI says it is."""
        frame = self.window(window_name)
        node = find(frame, Atspi.Role.PUSH_BUTTON, button)
        if node is None or not showing(node):
            raise Failure(f"no button {button} showing in {window_name}")
        box = node.get_extents(Atspi.CoordType.SCREEN)
        x, y = box.x + box.width // 2, box.y + box.height // 2
        # The pointer enters the button first, as a hand's would.
        subprocess.run(["xdotool", "mousemove", str(x - 4), str(y), "sleep", "0.1",
                        "mousemove", str(x), str(y), "sleep", "0.1", "click", "1"], check=True)


def expect(what, actual, expected):
    if actual != expected:
        raise Failure(f"{what}: read {actual!r}, expected {expected!r}")


def settle_status(program, caption):
    """Waits until the status bar reads `caption`, by name and by text."""
    wait_for(f"the status bar to read {caption!r}",
             lambda: program.status()[:2] == (caption, caption))
    pump(0.3)


def expect_announced(program, captions):
    """The status bar raised, for each of these captions in turn, a change of
    name and the insertion of that caption as its text."""
    names = [text for kind, text in program.announced if kind.startswith("object:property-change")]
    inserted = [text for kind, text in program.announced if kind.startswith("object:text-changed:insert")]
    expect("status texts announced (text inserted)", inserted, captions)
    # Qt sends the object, not the new name, with a change of name: only
    # their number can be checked.
    expect("changes of name announced", len(names), len(captions))
    program.announced.clear()


def scenario(drive_c, cookie_files):
    program = Program()
    windows_paths = sorted(("c:\\" + path.replace("/", "\\") for path in cookie_files), key=str.casefold)

    # At start: an empty status bar described as the status line; Delete hidden.
    expect("status at start (name, text, description)", program.status(), ("", "", "Status line"))
    expect("list at start", program.rows(), [])
    expect("Find Cookies showing at start", program.button_showing("Find Cookies"), True)
    expect("Delete Cookies showing at start", program.button_showing("Delete Cookies"), False)

    program.click("Tallowick", "Find Cookies")
    found = f"{len(cookie_files)} Cookies found."
    settle_status(program, found)
    expect_announced(program, ["Searching System", found])
    expect("rows after Find", program.rows(), windows_paths)
    expect("Find Cookies showing after Find", program.button_showing("Find Cookies"), False)
    expect("Delete Cookies showing after Find", program.button_showing("Delete Cookies"), True)

    # A folder now stands where a listed file was: root cannot delete it
    # as a file either, so the deletion fails for real.
    blocked = cookie_files[0]
    blocked_path = "c:\\" + blocked.replace("/", "\\")
    os.remove(os.path.join(drive_c, blocked))
    os.mkdir(os.path.join(drive_c, blocked))
    program.click("Tallowick", "Delete Cookies")
    report = wait_for("a message box naming the file not deleted",
                      lambda: program.window("Tallowick") is not None and message_box(program))
    if blocked_path not in report:
        raise Failure(f"the message box does not name {blocked_path}: {report!r}")
    settle_status(program, "1 Cookies not deleted.")
    expect_announced(program, ["1 Cookies not deleted."])
    expect("rows after the failed deletion", program.rows(), [blocked_path])
    expect("Delete Cookies showing after the failure", program.button_showing("Delete Cookies"), True)
    subprocess.run(["xdotool", "key", "Return"], check=True)  # the box's OK, as the keyboard presses it
    wait_for("the message box to close", lambda: not message_box(program))
    wait_for("the main window to be active again",
             lambda: program.window("Tallowick").get_state_set().contains(Atspi.StateType.ACTIVE))

    # The folder goes; the file is gone, which counts as deleted.
    os.rmdir(os.path.join(drive_c, blocked))
    program.click("Tallowick", "Delete Cookies")
    settle_status(program, "Cookies eaten...yum!")
    expect_announced(program, ["Cookies eaten...yum!"])
    expect("rows after Delete", program.rows(), [])
    expect("Find Cookies showing after Delete", program.button_showing("Find Cookies"), True)
    expect("Delete Cookies showing after Delete", program.button_showing("Delete Cookies"), False)

    program.click("Tallowick", "About")
    about = wait_for("a frame named About", lambda: program.window("About"))
    labels = [(node.get_name(), text_of(node)) for node in children(about)
              if node.get_role() in (Atspi.Role.LABEL, Atspi.Role.STATIC)]
    expected_about = ["Velmora 1.0", "This program is free to use and comes with no warranty of any kind.",
                      "www.velmora.example", "Copyright 1999 Velmora Software"]
    expect("About texts (name, text)", sorted(labels), sorted((text, text) for text in expected_about))
    program.click("About", "Close")
    wait_for("the About window to close", lambda: program.window("About") is None)

    print("screen reader: read", program.status()[0], "and every row, button state and About text")


def message_box(program):
    """The names and texts of the message box that is open, joined, or ''."""
    program.app.clear_cache()
    for window in children(program.app):
        if window.get_role() in (Atspi.Role.ALERT, Atspi.Role.DIALOG) and showing(window):
            return "\n".join(text for node in descendants(window) for text in (node.get_name(), text_of(node)) if text)
    return ""


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    Atspi.init()
    try:
        scenario(sys.argv[1], sys.argv[2:])
    except Failure as failure:
        print(f"FAIL: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
