#!/usr/bin/env python3
"""The keyboard and pointer of a headless session, through mutter's own
RemoteDesktop D-Bus API, or with --portal through the desktop's RemoteDesktop
portal (KWin's grants them without asking). A headless seat has no keyboard,
so no window is active until a virtual one exists: this keeps one for as
long as it runs.
Reads commands from stdin, one a line, and answers each with "ok" or
"error: ..." on stdout:
  click X Y       left click at X,Y (logical pixels of the virtual monitor)
  point X Y       moves to X,Y (as click does, without the click)
  press           holds the left button down where the pointer is
  moveto X Y      moves there in small steps from where the last command
                  left the pointer (after press: a drag)
  release         lets the left button go
  keys NAME...    presses and releases each keysym in turn (names as in X,
                  "ctrl+s" holds Control_L; "alt+s" holds Alt_L)
  quit"""
import sys
import time

import dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

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


class MutterInput:
    def __init__(self, bus):
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
        self.session = dbus.Interface(bus.get_object("org.gnome.Mutter.RemoteDesktop", path),
                                      "org.gnome.Mutter.RemoteDesktop.Session")
        self.session.Start()

    def key(self, sym, down):
        self.session.NotifyKeyboardKeysym(dbus.UInt32(sym), dbus.Boolean(down))

    def move(self, dx, dy):
        self.session.NotifyPointerMotionRelative(dx, dy)

    def button(self, down):
        self.session.NotifyPointerButton(BTN_LEFT, dbus.Boolean(down))

    def stop(self):
        self.session.Stop()


class PortalInput:
    KEYBOARD, POINTER = 1, 2

    def __init__(self, bus):
        self.bus = bus
        self.portal = dbus.Interface(bus.get_object("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop"),
                                     "org.freedesktop.portal.RemoteDesktop")
        self.requests = 0
        results = self.request("CreateSession", {"session_handle_token": "umbrilltest"})
        self.path = dbus.ObjectPath(results["session_handle"])
        self.request("SelectDevices", self.path, {"types": dbus.UInt32(self.KEYBOARD | self.POINTER)})
        devices = self.request("Start", self.path, "", {}).get("devices", 0)
        if devices & (self.KEYBOARD | self.POINTER) != self.KEYBOARD | self.POINTER:
            raise RuntimeError("the portal granted devices %d" % devices)

    def request(self, method, *arguments):
        """Calls the method and waits for its Response; returns its results."""
        self.requests += 1
        token = "umbrilltest%d" % self.requests
        sender = self.bus.get_unique_name()[1:].replace(".", "_")
        loop = GLib.MainLoop()
        answer = {}

        def response(code, results):
            answer.update(code=code, results=results)
            loop.quit()

        match = self.bus.add_signal_receiver(response, "Response", "org.freedesktop.portal.Request",
                                             path="/org/freedesktop/portal/desktop/request/%s/%s" % (sender, token))
        options = dict(arguments[-1], handle_token=token)
        getattr(self.portal, method)(*arguments[:-1], options)
        GLib.timeout_add_seconds(20, loop.quit)
        loop.run()
        match.remove()
        if answer.get("code") != 0:
            raise RuntimeError("%s answered %s" % (method, answer.get("code")))
        return answer["results"]

    def key(self, sym, down):
        self.portal.NotifyKeyboardKeysym(self.path, {}, sym, dbus.UInt32(down))

    def move(self, dx, dy):
        self.portal.NotifyPointerMotion(self.path, {}, dx, dy)

    def button(self, down):
        self.portal.NotifyPointerButton(self.path, {}, BTN_LEFT, dbus.UInt32(down))

    def stop(self):
        self.bus.get_object("org.freedesktop.portal.Desktop", self.path).Close(
            dbus_interface="org.freedesktop.portal.Session")


def move_to(devices, at, x, y, step=20.0):
    """Moves the pointer from at (a list [x, y], updated) to x,y in steps of
    at most step pixels, 30 ms apart: a drag source and target each take the
    motion they need to follow."""
    while at != [x, y]:
        dx, dy = x - at[0], y - at[1]
        scale = min(1.0, step / max(abs(dx), abs(dy)))
        dx, dy = dx * scale, dy * scale
        devices.move(dx, dy)
        at[0], at[1] = at[0] + dx, at[1] + dy
        if scale == 1.0:
            at[0], at[1] = x, y
        time.sleep(0.03)


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    devices = PortalInput(bus) if "--portal" in sys.argv[1:] else MutterInput(bus)
    print("ready", flush=True)

    press = devices.key
    at = [0.0, 0.0]
    for line in sys.stdin:
        words = line.split()
        try:
            if not words:
                continue
            if words[0] == "quit":
                break
            if words[0] in ("click", "point"):
                x, y = float(words[1]), float(words[2])
                # Relative motion only: first into the corner, then to the
                # point. After one long step KWin moved the pointer on by as
                # much again at the press: the last step is one pixel.
                devices.move(-100000.0, -100000.0)
                devices.move(x - 1, y - 1)
                devices.move(1.0, 1.0)
                at = [x, y]
                if words[0] == "click":
                    devices.button(True)
                    # For timing: CLOCK_MONOTONIC at the press, on stderr.
                    print("press %d" % time.clock_gettime_ns(time.CLOCK_MONOTONIC), file=sys.stderr, flush=True)
                    time.sleep(0.03)
                    devices.button(False)
            elif words[0] == "press":
                devices.button(True)
            elif words[0] == "moveto":
                move_to(devices, at, float(words[1]), float(words[2]))
            elif words[0] == "release":
                devices.button(False)
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
    devices.stop()


if __name__ == "__main__":
    main()
