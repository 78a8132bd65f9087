#!/usr/bin/env python3
"""Counts the changes of the keyboard mapping on the display (core
MappingNotify events) and keeps the count in FILE, until it is killed.
Usage: XKB_DISABLE=1 xmapwatch.py FILE (a client of the X keyboard extension
gets other events instead)."""
import ctypes
import sys
import time

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XPending.argtypes = [ctypes.c_void_p]
MAPPING_NOTIFY = 34

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no X display")
event = ctypes.create_string_buffer(192)  # larger than any XEvent
count = 0
with open(sys.argv[1], "w") as out:
    out.write("0\n")
while True:
    changed = False
    while x11.XPending(display):
        x11.XNextEvent(display, event)
        if ctypes.c_int.from_buffer(event).value == MAPPING_NOTIFY:
            count += 1
            changed = True
    if changed:
        with open(sys.argv[1], "w") as out:
            out.write(f"{count}\n")
    time.sleep(0.01)
