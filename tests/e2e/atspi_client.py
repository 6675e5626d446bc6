#!/usr/bin/python3
"""An assistive-technology client for the end-to-end tests: reads the program's accessible
objects through AT-SPI as a screen reader does.

  atspi_client.py dump APP             every showing object of APP, one a line:
                                       role|name|value|description|text
  atspi_client.py value-event APP NAME VALUE SECONDS [COMMAND...]
                                       runs COMMAND once listening, then waits for value-change
                                       events of the object NAME until its value is VALUE;
                                       prints the events
  atspi_client.py press APP ROLE NAME  runs the default action of an object
Exit status 0 when done, 1 when the application or the object was not found in time.
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib


def find_app(name, seconds=15):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    sys.exit(f"no application {name!r} on the accessibility bus")


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def value_of(node):
    try:
        return str(round(node.queryValue().currentValue))
    except NotImplementedError:
        return ""


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    except NotImplementedError:
        return ""


def line(node):
    return "|".join([node.getRoleName(), node.name, value_of(node), node.description,
                     text_of(node)])


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find(app, name, role=None):
    for node in walk(app):
        if node.name == name and (role is None or node.getRoleName() == role):
            return node
    return None


def dump(app_name):
    app = find_app(app_name)
    for node in walk(app):
        if node is app or showing(node):
            print(line(node))


def value_event(app_name, name, wanted, seconds, command):
    app = find_app(app_name)
    seen = []
    loop = GLib.MainLoop()

    def on_event(event):
        if event.source is not None and event.source.name == name:
            now = value_of(event.source)
            seen.append(f"{event.type} on {event.source.getRoleName()} {name!r}: {now}")
            if now == wanted:
                loop.quit()

    pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-value")
    target = find(app, name)
    if target is not None and value_of(target) == wanted:
        print(f"already {wanted} before any event")
        return 1
    if command:
        subprocess.run(command, check=True)
    GLib.timeout_add(int(float(seconds) * 1000), loop.quit)
    loop.run()
    pyatspi.Registry.deregisterEventListener(on_event, "object:property-change:accessible-value")
    print("\n".join(seen))
    return 0 if seen and seen[-1].endswith(": " + wanted) else 1


def press(app_name, role, name):
    app = find_app(app_name)
    node = find(app, name, role)
    if node is None:
        sys.exit(f"no {role} {name!r}")
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("press", "click", "Press"):
            action.doAction(i)
            return 0
    action.doAction(0)
    return 0


def main(argv):
    command = argv[1]
    if command == "dump":
        dump(argv[2])
        return 0
    if command == "value-event":
        return value_event(argv[2], argv[3], argv[4], argv[5], argv[6:])
    if command == "press":
        return press(argv[2], argv[3], argv[4])
    sys.exit(f"unknown command {command}")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
