#!/usr/bin/env python3
"""Prints the push buttons of a running program as a screen reader sees them,
through the AT-SPI registry: one line per button, "name<TAB>description".
Waits (polling) until the program shows at least the given number of buttons.
With --roles, prints every node as "role<TAB>name<TAB>description" instead,
and waits until one of them starts with "role<TAB>name" (or is
"role<TAB>name<TAB>description") as given.
Usage: atspi_dump.py <process id> <minimum buttons> [seconds]
       atspi_dump.py --roles <process id> <role<TAB>name[<TAB>description]> [seconds]"""
import sys
import time

import pyatspi


def buttons(app):
    found = []
    stack = [app]
    while stack:
        node = stack.pop()
        try:
            if node.getRole() == pyatspi.ROLE_PUSH_BUTTON:
                found.append((node.name, node.description))
            stack.extend(node[i] for i in range(node.childCount))
        except Exception:  # a node that went away while walking
            continue
    return found


def roles(app):
    found = []
    stack = [app]
    while stack:
        node = stack.pop()
        try:
            found.append((node.getRoleName(), node.name, node.description))
            stack.extend(node[i] for i in range(node.childCount))
        except Exception:  # a node that went away while walking
            continue
    return found


def apps_of(pid):
    """The accessible applications of the process pid, as the desktop lists them now."""
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop[i]
        try:
            if app is not None and app.get_process_id() == pid:
                yield app
        except Exception:
            continue


def main():
    if sys.argv[1] == "--roles":
        return main_roles(int(sys.argv[2]), tuple(sys.argv[3].split("\t", 2)),
                          float(sys.argv[4]) if len(sys.argv) > 4 else 30)
    pid, minimum = int(sys.argv[1]), int(sys.argv[2])
    deadline = time.monotonic() + (float(sys.argv[3]) if len(sys.argv) > 3 else 30)
    seen = []
    while time.monotonic() < deadline:
        for app in apps_of(pid):
            seen = buttons(app)
        if len(seen) >= minimum:
            break
        time.sleep(0.05)
    for name, description in seen:
        print(f"{name}\t{description}")
    return 0 if len(seen) >= minimum else 1


def main_roles(pid, wanted, seconds):
    deadline = time.monotonic() + seconds
    seen = []
    while time.monotonic() < deadline:
        for app in apps_of(pid):
            seen = roles(app)
        if any(node[:len(wanted)] == wanted for node in seen):
            return report(seen, 0)
        time.sleep(0.05)
    return report(seen, 1)


def report(seen, status):
    for role, name, description in seen:
        print(f"{role}\t{name}\t{description}")
    return status


if __name__ == "__main__":
    sys.exit(main())
