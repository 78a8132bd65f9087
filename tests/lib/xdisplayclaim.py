#!/usr/bin/env python3
"""Claims a free X display for a compositor that starts XWayland on sockets it
is handed (kwin_wayland --xwayland-fd), so that the test knows which display
it got and never takes one that another X server holds, :0 above all.
Takes the first display from FIRST whose lock file it can create: writes the
lock file and both listening sockets (the file and the abstract one), an
Xauthority file with a fresh cookie, the display's number into NUMBER FILE,
then runs the command with the options that hand these over. The lock file
and the socket file stay when the command ends: the caller removes them.
Usage: xdisplayclaim.py FIRST NUMBER_FILE XAUTHORITY_FILE command..."""
import os
import secrets
import socket
import struct
import sys


def claim(first):
    for number in range(first, 100):
        if os.path.exists("/tmp/.X11-unix/X%d" % number):
            continue
        try:
            fd = os.open("/tmp/.X%d-lock" % number, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o444)
        except FileExistsError:
            continue
        # As X writes it: the owner's process, which the command becomes.
        os.write(fd, b"%10d\n" % os.getpid())
        os.close(fd)
        return number
    sys.exit("no free X display from :%d to :99" % first)


def listen(address):
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.bind(address)
    s.listen(64)
    os.set_inheritable(s.fileno(), True)
    return s


def main():
    first, number_file, auth_file, command = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4:]
    number = claim(first)
    path = "/tmp/.X11-unix/X%d" % number
    sockets = [listen(path), listen("\0" + path)]

    # One entry for any host (FamilyWild), MIT-MAGIC-COOKIE-1.
    def field(data):
        return struct.pack(">H", len(data)) + data

    with open(auth_file, "wb") as f:
        f.write(struct.pack(">H", 0xFFFF) + field(b"") + field(b"%d" % number) + field(b"MIT-MAGIC-COOKIE-1")
                + field(secrets.token_bytes(16)))
    with open(number_file, "w", encoding="ascii") as f:
        f.write("%d\n" % number)
    for s in sockets:
        command += ["--xwayland-fd", str(s.fileno())]
    command += ["--xwayland-display", ":%d" % number, "--xwayland-xauthority", auth_file]
    os.execvp(command[0], command)


if __name__ == "__main__":
    main()
