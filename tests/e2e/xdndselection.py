#!/usr/bin/env python3
"""Asks the X server's drag selection (XdndSelection) for its formats and its
text, as a bridge of the desktop does: at any time, not with a drop's time.
Prints the formats on one line, space-separated, and the text on the next
(empty lines where the owner answers nothing).
Usage: xdndselection.py"""
import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

selection = Gtk.Clipboard.get(Gdk.Atom.intern("XdndSelection", False))
answered, targets = selection.wait_for_targets()
print(" ".join(target.name() for target in targets) if answered else "")
print(selection.wait_for_text() or "")
