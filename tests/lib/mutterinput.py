#!/usr/bin/env python3
"""The keyboard and pointer of a headless mutter session, through mutter's own
RemoteDesktop D-Bus API. A headless seat has no keyboard, so no window is
active until a virtual one exists: this keeps one for as long as it runs.
Reads commands from stdin, one a line, and answers each with "ok" or
"error: ..." on stdout:
  click X Y       left click at X,Y (logical pixels of the virtual monitor)
  keys NAME...    presses and releases each keysym in turn (names as in X,
                  "ctrl+s" holds Control_L; "alt+s" holds Alt_L)
  quit"""
import sys
import time

import dbus

KEYSYMS = {"space": 0x20, "Return": 0xff0d, "Tab": 0xff09, "Escape": 0xff1b, "BackSpace": 0xff08,
           "Control_L": 0xffe3, "Shift_L": 0xffe1, "Alt_L": 0xffe9}
MODIFIERS = {"ctrl": 0xffe3, "shift": 0xffe1, "alt": 0xffe9}
BTN_LEFT = 0x110


def keysym(name):
    if name in KEYSYMS:
        return KEYSYMS[name]
    if len(name) == 1:
        return ord(name)
    return int(name, 16)


def main():
    bus = dbus.SessionBus()
    deadline = time.monotonic() + 30
    while True:
        try:
            remote = bus.get_object("org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop")
            path = remote.CreateSession(dbus_interface="org.gnome.Mutter.RemoteDesktop")
            break
        except dbus.DBusException:
            if time.monotonic() > deadline:
                raise
            time.sleep(0.05)
    session = dbus.Interface(bus.get_object("org.gnome.Mutter.RemoteDesktop", path),
                             "org.gnome.Mutter.RemoteDesktop.Session")
    session.Start()
    print("ready", flush=True)

    def press(sym, down):
        session.NotifyKeyboardKeysym(dbus.UInt32(sym), dbus.Boolean(down))

    for line in sys.stdin:
        words = line.split()
        try:
            if not words:
                continue
            if words[0] == "quit":
                break
            if words[0] == "click":
                x, y = float(words[1]), float(words[2])
                # Relative motion only: first into the corner, then to the point.
                session.NotifyPointerMotionRelative(-100000.0, -100000.0)
                session.NotifyPointerMotionRelative(x, y)
                session.NotifyPointerButton(BTN_LEFT, True)
                # For timing: CLOCK_MONOTONIC at the press, on stderr.
                print("press %d" % time.clock_gettime_ns(time.CLOCK_MONOTONIC), file=sys.stderr, flush=True)
                time.sleep(0.03)
                session.NotifyPointerButton(BTN_LEFT, False)
            elif words[0] == "keys":
                for chord in words[1:]:
                    parts = chord.split("+")
                    held = [MODIFIERS[p] for p in parts[:-1]]
                    for sym in held:
                        press(sym, True)
                    press(keysym(parts[-1]), True)
                    press(keysym(parts[-1]), False)
                    for sym in reversed(held):
                        press(sym, False)
                    time.sleep(0.02)
            else:
                raise ValueError("unknown command " + words[0])
            print("ok", flush=True)
        except Exception as error:  # the test reads the answer and fails with it
            print("error: %s" % error, flush=True)
    session.Stop()


if __name__ == "__main__":
    main()
