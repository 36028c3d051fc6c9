#!/usr/bin/python3
"""Reads the program's windows as a screen reader does (AT-SPI), and the menu it hands a
StatusNotifierItem host. Used by the end-to-end tests.

  atspi.py frame TITLE      every control of the program's window or box titled TITLE, one
                            line each: role, name and text, separated by "|", line breaks
                            written as \\n
  atspi.py pos TITLE ROLE N "x y": the centre of the Nth control (from 1) of that role in the
                            program's window titled TITLE
  atspi.py sni-menu         the labels of the menu the program hands the host ("-" separators)

Exits 1 when there is nothing to read (yet); the tests poll."""
import sys

import pyatspi
from gi.repository import Gio, GLib


def apps(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            yield app


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except NotImplementedError:
        return ""


def one_line(text):
    return text.replace("\\", "\\\\").replace("\n", "\\n")


def frame(title):
    for app in apps("tavrel"):
        for top in app:
            if top is not None and top.name == title and showing(top):
                for node in walk(top):
                    if node is not top and showing(node):
                        print("|".join((node.getRoleName(), one_line(node.name),
                                        one_line(text_of(node)))))
                return 0
    return 1


def pos(title, role, n):
    for app in apps("tavrel"):
        for top in app:
            if top is not None and top.name == title and showing(top):
                found = [node for node in walk(top) if node.getRoleName() == role and showing(node)]
                if len(found) >= n:
                    e = found[n - 1].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                    print(e.x + e.width // 2, e.y + e.height // 2)
                    return 0
    return 1


def sni_menu():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)

    def call(dest, path, iface, method, args, reply):
        return bus.call_sync(dest, path, iface, method, args, GLib.VariantType(reply),
                             Gio.DBusCallFlags.NONE, 2000, None).unpack()

    watcher = "org.kde.StatusNotifierWatcher"
    (items,) = call(watcher, "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties", "Get",
                    GLib.Variant("(ss)", (watcher, "RegisteredStatusNotifierItems")), "(v)")
    for item in items:
        service, _, path = item.partition("/")
        (menu_path,) = call(service, "/" + (path or "StatusNotifierItem"),
                            "org.freedesktop.DBus.Properties", "Get",
                            GLib.Variant("(ss)", ("org.kde.StatusNotifierItem", "Menu")), "(v)")
        _, layout = call(service, menu_path, "com.canonical.dbusmenu", "GetLayout",
                         GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))")
        for child in layout[2]:
            props = child[1]
            print("-" if props.get("type") == "separator" else props.get("label", ""))
        return 0
    return 1


def main():
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    try:
        if command == "frame":
            return frame(sys.argv[2])
        if command == "pos":
            return pos(sys.argv[2], sys.argv[3], int(sys.argv[4]))
        if command == "sni-menu":
            return sni_menu()
    except BrokenPipeError:
        return 0
    except (GLib.Error, RuntimeError) as error:
        print(error, file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


sys.exit(main())
