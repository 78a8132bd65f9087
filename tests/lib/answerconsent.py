#!/usr/bin/env python3
"""Answers the desktop's remote-desktop question through AT-SPI, as a user
would: turns on the switch "Allow remote interaction", then presses Share (or
Cancel with --refuse). Waits for the question to show; exits 1 with a message
when it does not within the given seconds.
With --wait it only waits for the question to show, and answers nothing.
Usage: answerconsent.py [--refuse | --wait] [seconds]"""
import sys
import time

import pyatspi


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    try:
        children = [node[i] for i in range(node.childCount)]
    except Exception:  # a node that went away while walking
        return
    for child in children:
        yield from walk(child, depth + 1)


def act(node, names=("click", "toggle", "activate", "press")):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in names:
            action.doAction(i)
            return True
    if action.nActions:
        action.doAction(0)
        return True
    return False


def question():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop[i]
        try:
            if app is None or "portal" not in (app.name or "").lower():
                continue
        except Exception:
            continue
        for node in walk(app):
            try:
                if node.getRole() in (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG, pyatspi.ROLE_WINDOW) \
                        and node.getState().contains(pyatspi.STATE_SHOWING):
                    return node
            except Exception:
                continue
    return None


def main():
    refuse = "--refuse" in sys.argv
    wait = "--wait" in sys.argv
    args = [a for a in sys.argv[1:] if a not in ("--refuse", "--wait")]
    deadline = time.monotonic() + (float(args[0]) if args else 30)
    while time.monotonic() < deadline:
        window = question()
        if window is not None and wait:
            print("shown")
            return 0
        if window is not None:
            nodes = list(walk(window))
            switch = [n for n in nodes if n.getRoleName() in ("switch", "toggle button", "check box")]
            # GTK names a button by its mnemonic label and its text: "_Share Share".
            buttons = {word.replace("_", ""): n for n in nodes if n.getRole() == pyatspi.ROLE_PUSH_BUTTON
                       for word in (n.name or "").split()}
            wanted = "Cancel" if refuse else "Share"
            if wanted in buttons and (refuse or switch):
                if not refuse and not switch[0].getState().contains(pyatspi.STATE_CHECKED):
                    act(switch[0])
                # Share stays greyed until the switch is on; a loaded machine takes a while.
                if buttons[wanted].getState().contains(pyatspi.STATE_SENSITIVE):
                    act(buttons[wanted])
                    gone = time.monotonic() + 5
                    while time.monotonic() < gone:
                        if question() is None:
                            print("answered: " + wanted)
                            return 0
                        time.sleep(0.1)
        time.sleep(0.1)
    print("the desktop's remote-desktop question did not show")
    return 1


if __name__ == "__main__":
    sys.exit(main())
