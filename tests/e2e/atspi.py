#!/usr/bin/python3
"""Reads the program's windows as a screen reader does (AT-SPI), and the menu it hands a
StatusNotifierItem host. Used by the end-to-end tests.

  atspi.py frame TITLE      every control of the program's window or box titled TITLE, one
                            line each: role, name and text, separated by "|", line breaks
                            written as \\n
  atspi.py pos TITLE ROLE N "x y": the centre of the Nth control (from 1) of that role in the
                            program's window titled TITLE
  atspi.py fields TITLE     every control of that window that takes the focus: role, name, the
                            name of the label it is labelled by, and "read-only" or "editable"
  atspi.py selection TITLE NAME
                            the selection in the control (not the label) named NAME: start,
                            end and the text, or "none"
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


def window(title):
    for app in apps("tavrel"):
        for top in app:
            if top is not None and top.name == title and showing(top):
                return top
    return None


def fields(title):
    top = window(title)
    if top is None:
        return 1
    for node in walk(top):
        states = node.getState()
        if node is top or not states.contains(pyatspi.STATE_FOCUSABLE):
            continue
        labels = [target.name for relation in node.getRelationSet()
                  if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                  for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]
        access = ("read-only" if states.contains(pyatspi.STATE_READ_ONLY)
                  else "editable" if states.contains(pyatspi.STATE_EDITABLE) else "")
        print("|".join((node.getRoleName(), one_line(node.name), one_line(",".join(labels)),
                        access)))
    return 0


def selection(title, name):
    top = window(title)
    for node in walk(top) if top is not None else ():
        # The label before a box carries the same name.
        if node is not top and node.name == name and node.getRoleName() != "label":
            t = node.queryText()
            if t.getNSelections() < 1:
                print("none")
                return 0
            start, end = t.getSelection(0)
            print(start, end, one_line(t.getText(start, end)))
            return 0
    return 1


def pos(title, role, n):
    top = window(title)
    found = [node for node in walk(top) if node.getRoleName() == role and showing(node)] if top else []
    if len(found) < n:
        return 1
    e = found[n - 1].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    # A window just mapped may report its controls before the window manager has placed it.
    if e.x < 0 or e.y < 0 or e.width <= 0:
        return 1
    print(e.x + e.width // 2, e.y + e.height // 2)
    return 0


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
        if command == "fields":
            return fields(sys.argv[2])
        if command == "selection":
            return selection(sys.argv[2], sys.argv[3])
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
