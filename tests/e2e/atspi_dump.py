#!/usr/bin/env python3
"""Prints the push buttons of a running program as a screen reader sees them,
through the AT-SPI registry: one line per button, "name<TAB>description".
Waits (polling) until the program shows at least the given number of buttons.
Usage: atspi_dump.py <process id> <minimum buttons> [seconds]"""
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


def main():
    pid, minimum = int(sys.argv[1]), int(sys.argv[2])
    deadline = time.monotonic() + (float(sys.argv[3]) if len(sys.argv) > 3 else 30)
    seen = []
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop[i]
            try:
                if app is None or app.get_process_id() != pid:
                    continue
            except Exception:
                continue
            seen = buttons(app)
        if len(seen) >= minimum:
            break
        time.sleep(0.05)
    for name, description in seen:
        print(f"{name}\t{description}")
    return 0 if len(seen) >= minimum else 1


if __name__ == "__main__":
    sys.exit(main())
