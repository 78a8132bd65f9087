#!/usr/bin/env python3
"""A GTK 3 window with one text entry, the focused window of a typing test:
writes the entry's whole text to FILE each time it changes.
Usage: gtk_entry.py TITLE FILE"""
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

title, path = sys.argv[1], sys.argv[2]


def changed(entry):
    with open(path, "w", encoding="utf-8") as out:
        out.write(entry.get_text())


window = Gtk.Window(title=title)
window.set_default_size(400, 60)
window.move(0, 200)
entry = Gtk.Entry()
entry.connect("changed", changed)
window.add(entry)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
