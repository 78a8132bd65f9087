#!/usr/bin/env python3
"""A native GTK text entry that no one here wrote as the target of typing:
writes the entry's whole text to a file at each change, and appends
"<CLOCK_MONOTONIC ns> <text>" to a second file for timing. "<text file>.active"
exists while the window is the active one: what is typed then reaches it.
With --maximized the window fills the screen, so the entry is found at any
point away from other windows (a drop target).
Usage: textentry.py [--maximized] <gtk major version 3|4> <title> <text file> [<times file>]"""
import os
import sys
import time

import gi

maximized = "--maximized" in sys.argv
if maximized:
    sys.argv.remove("--maximized")
version = sys.argv[1]
gi.require_version("Gtk", version + ".0")
from gi.repository import GLib, Gtk  # noqa: E402

title, out = sys.argv[2], sys.argv[3]
times = sys.argv[4] if len(sys.argv) > 4 else None


def changed(entry):
    now = time.clock_gettime_ns(time.CLOCK_MONOTONIC)
    text = entry.get_text()
    with open(out + ".tmp", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(out + ".tmp", out)
    if times:
        with open(times, "a", encoding="utf-8") as f:
            f.write("%d %s\n" % (now, text))


entry = Gtk.Entry()
entry.connect("changed", changed)
# An empty text file says the window is up.
GLib.idle_add(lambda: changed(entry) and False)


def activated(window, _spec):
    if window.is_active():
        open(out + ".active", "w").close()
    elif os.path.exists(out + ".active"):
        os.remove(out + ".active")

if version == "4":
    app = Gtk.Application(application_id=None)

    def activate(a):
        window = Gtk.ApplicationWindow(application=a, title=title)
        window.set_default_size(600, 200)
        window.set_child(entry)
        window.connect("notify::is-active", activated)
        if maximized:
            window.maximize()
        window.present()

    app.connect("activate", activate)
    app.run([])
else:
    window = Gtk.Window(title=title)
    window.set_default_size(600, 200)
    window.add(entry)
    window.connect("notify::is-active", activated)
    window.connect("destroy", Gtk.main_quit)
    if maximized:
        window.maximize()
    window.show_all()
    Gtk.main()
