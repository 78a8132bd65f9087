#!/usr/bin/env python3
"""A stand-in for the desktop's RemoteDesktop portal on a private session bus.

Owns org.freedesktop.portal.Desktop and answers CreateSession, SelectDevices
and Start through Request::Response signals, as the real portal does, and
logs every call it receives as one JSON line on stdout.
Options: --version N (the interface version it reports), --refuse (the user
cancels the Start dialog), --early (each Response is sent before the method's
reply; otherwise 10 ms after it), --close-after N (the desktop closes the
session, as its "stop sharing" does, after N key events).
"""
import argparse
import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

RD = "org.freedesktop.portal.RemoteDesktop"
PATH = "/org/freedesktop/portal/desktop"


def log(*items):
    print(json.dumps(items), flush=True)


def plain(value):
    if isinstance(value, dict):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, (dbus.String, dbus.ObjectPath)):
        return str(value)
    if isinstance(value, (dbus.UInt32, dbus.Int32)):
        return int(value)
    return value


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, code, results):
        pass


class Portal(dbus.service.Object):
    def __init__(self, bus, args):
        super().__init__(bus, PATH)
        self.bus = bus
        self.args = args
        self.requests = []

    def answer(self, sender, options, code, results):
        token = str(options["handle_token"])
        path = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), token)
        request = Request(self.bus, path)
        self.requests.append(request)
        send = lambda: request.Response(dbus.UInt32(code), dbus.Dictionary(results, signature="sv")) and False
        if self.args.early:
            send()
        else:
            GLib.timeout_add(10, send)
        return dbus.ObjectPath(path)

    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == RD and name == "version":
            return dbus.UInt32(self.args.version)
        if interface == RD and name == "AvailableDeviceTypes":
            return dbus.UInt32(7)
        raise dbus.exceptions.DBusException("no such property", name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(RD, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender):
        log("CreateSession", plain(options))
        return self.answer(sender, options, 0, {"session_handle": "%s/session/1" % PATH})

    @dbus.service.method(RD, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def SelectDevices(self, session, options, sender):
        log("SelectDevices", str(session), plain(options))
        return self.answer(sender, options, 0, {})

    @dbus.service.method(RD, in_signature="osa{sv}", out_signature="o", sender_keyword="sender")
    def Start(self, session, parent, options, sender):
        log("Start", str(session), str(parent))
        if self.args.refuse:
            return self.answer(sender, options, 1, {})
        results = {"devices": dbus.UInt32(1)}
        if self.args.version >= 2:
            results["restore_token"] = "fresh-token"
        return self.answer(sender, options, 0, results)

    @dbus.service.method(RD, in_signature="oa{sv}iu")
    def NotifyKeyboardKeysym(self, session, options, keysym, state):
        log("NotifyKeyboardKeysym", str(session), int(keysym), int(state))
        self.keys = getattr(self, "keys", 0) + 1
        if self.keys == self.args.close_after:
            GLib.timeout_add(10, lambda: self.session.Closed(dbus.Dictionary({}, signature="sv")) and False)

    @dbus.service.method(RD, in_signature="oa{sv}iu")
    def NotifyKeyboardKeycode(self, session, options, keycode, state):
        log("NotifyKeyboardKeycode", str(session), int(keycode), int(state))


class Session(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Session")
    def Close(self):
        log("Close")

    @dbus.service.signal("org.freedesktop.portal.Session", signature="a{sv}")
    def Closed(self, details):
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--version", type=int, default=2)
    parser.add_argument("--refuse", action="store_true")
    parser.add_argument("--early", action="store_true")
    parser.add_argument("--close-after", type=int, default=0)
    args = parser.parse_args()
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = Portal(bus, args)
    session = Session(bus, PATH + "/session/1")
    portal.session = session
    name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus, do_not_queue=True)
    log("ready")
    GLib.MainLoop().run()
    del portal, session, name


if __name__ == "__main__":
    sys.exit(main())
