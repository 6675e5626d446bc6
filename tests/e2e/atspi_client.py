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
  atspi_client.py where APP NAME [ROLE] [SECONDS]
                                       waits for a showing object NAME (of the role, when one is
                                       given; "" for any) and prints "X Y W H", its place on the
                                       screen
  atspi_client.py menu-entry APP NAME SECONDS COMMAND...
                                       runs COMMAND once listening, waits for a pop-up menu of
                                       APP to show and prints "X Y W H" of its entry NAME (a menu
                                       is not among the application's children: only the event
                                       of its showing leads to it)
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


def extents(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return f"{box.x} {box.y} {box.width} {box.height}"


def showing_named(node, name, role, depth=0):
    """The first showing object with the name (and role) under the node, not looking into what
    is hidden."""
    if node is None or depth > 30:
        return None
    if depth > 0 and not showing(node):
        return None
    if node.name == name and (not role or node.getRoleName() == role):
        return node
    for i in range(node.childCount):
        found = showing_named(node.getChildAtIndex(i), name, role, depth + 1)
        if found is not None:
            return found
    return None


def where(app_name, name, role, seconds):
    app = find_app(app_name)
    deadline = time.monotonic() + float(seconds)
    while True:
        node = showing_named(app, name, role)
        if node is not None:
            box = extents(node)
            if not box.endswith(" 0 0"):
                print(box)
                return 0
        if time.monotonic() > deadline:
            sys.exit(f"no showing {role or 'object'} {name!r} of {app_name!r}")
        time.sleep(0.1)


def menu_entry(app_name, name, seconds, command):
    find_app(app_name)
    menus = []
    loop = GLib.MainLoop()

    def on_event(event):
        source = event.source
        if (source is not None and event.detail1 == 1 and
                source.getRoleName() in ("menu", "popup menu") and
                source.getApplication().name == app_name):
            menus.append(source)
            loop.quit()

    def run_command():
        subprocess.run(command, check=True)
        return False

    pyatspi.Registry.registerEventListener(on_event, "object:state-changed:showing")
    # The program learns of the new listener through the registry, a moment later.
    GLib.timeout_add(300, run_command)
    GLib.timeout_add(int(float(seconds) * 1000) + 300, loop.quit)
    loop.run()
    pyatspi.Registry.deregisterEventListener(on_event, "object:state-changed:showing")
    if not menus:
        sys.exit(f"no menu of {app_name!r} showed")
    for i in range(menus[-1].childCount):
        entry = menus[-1].getChildAtIndex(i)
        if entry is not None and entry.name == name:
            print(extents(entry))
            return 0
    sys.exit(f"the menu has no entry {name!r}")


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
    if command == "where":
        return where(argv[2], argv[3], argv[4] if len(argv) > 4 else "",
                     argv[5] if len(argv) > 5 else 5)
    if command == "menu-entry":
        return menu_entry(argv[2], argv[3], argv[4], argv[5:])
    sys.exit(f"unknown command {command}")


if __name__ == "__main__":
    sys.exit(main(sys.argv))
