#!/usr/bin/env python3
"""Clicks points of the screen with XTest, as a pointer does: moves there,
presses and releases button 1, then waits. Usage: xclick.py [--human] DELAY
X,Y... (DELAY in seconds between clicks). Through XTest motion rather than a
warp of the pointer, so that each press happens where its motion put the
pointer.

A window manager that grabs the button on a window to raise it on a click
freezes the pointer until it has handled the press; meanwhile later motion
moves the pointer on and the presses held back are delivered wherever it is
then. So before each click it waits until no one holds the pointer: the test
is of where the pad types, not of how fast the manager replays a click.

--human clicks as a person does, whoever holds the pointer: moves, waits
120 ms, presses, holds the button 80 ms, releases, then waits DELAY. A
window manager that falls behind loses or misplaces such clicks."""
import ctypes
import sys
import time

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XGrabPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_uint, ctypes.c_int, ctypes.c_int,
                             ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong]
x11.XUngrabPointer.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
GRAB_SUCCESS, GRAB_MODE_ASYNC = 0, 1


def wait_pointer_free(display, root, timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if x11.XGrabPointer(display, root, 0, 0, GRAB_MODE_ASYNC, GRAB_MODE_ASYNC, 0, 0, 0) == GRAB_SUCCESS:
            x11.XUngrabPointer(display, 0)
            x11.XSync(display, 0)
            return
        time.sleep(0.002)
    sys.exit("the pointer stayed grabbed")


display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no X display")
root = x11.XDefaultRootWindow(display)
args = sys.argv[1:]
human = args[:1] == ["--human"]
if human:
    args = args[1:]
delay = float(args[0])
for point in args[1:]:
    x, y = (int(v) for v in point.split(","))
    if human:
        xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
        x11.XSync(display, 0)
        time.sleep(0.12)
        xtst.XTestFakeButtonEvent(display, 1, 1, 0)
        x11.XSync(display, 0)
        time.sleep(0.08)
        xtst.XTestFakeButtonEvent(display, 1, 0, 0)
        x11.XSync(display, 0)
        time.sleep(delay)
        continue
    wait_pointer_free(display, root)
    xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
    xtst.XTestFakeButtonEvent(display, 1, 1, 0)
    xtst.XTestFakeButtonEvent(display, 1, 0, 0)
    x11.XSync(display, 0)
    time.sleep(delay)
