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
  atspi.py sni-activate     activates the program's item as the host does on a click
  atspi.py sni-click LABEL  clicks the item labelled LABEL in that menu, as the host does
  atspi.py active TITLE     succeeds when the program's window titled TITLE is the active one
  atspi.py extents TITLE    "x y width height" of the program's window titled TITLE and of the
                            screen, as the accessibility bus reports them
  atspi.py press TITLE NAME presses the button named NAME in the window titled TITLE
  atspi.py sound RAW T0     when the cues sound in a recording (mono, 16 bit, 22,050 Hz, first
                            sample at T0 ms): "chime MS" for each onset of Tavrel.wav, "bell MS"
                            for each onset of the bell
  atspi.py gnome-tray-click a left click on the first icon of GNOME Shell's notification area (the
                            top bar's right side), through its remote-desktop service
  atspi.py gnome-app TITLE  the application GNOME Shell matched to the window titled TITLE (the
                            desktop entry it found for the window's application id)
  atspi.py shot FILE        a screenshot of a Wayland desktop (GNOME Shell or KWin) as PNG

Exits 1 when there is nothing to read (yet); the tests poll."""
import math
import os
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


def session_bus():
    return Gio.bus_get_sync(Gio.BusType.SESSION, None)


# A program slowed down by the sanitizers on a busy machine answers late.
SLOW = int(os.environ.get("E2E_SLOW", "1"))


def call(bus, dest, path, iface, method, args, reply, fds=None):
    if fds is None:
        return bus.call_sync(dest, path, iface, method, args, GLib.VariantType(reply),
                             Gio.DBusCallFlags.NONE, 5000 * SLOW, None).unpack()
    result, _ = bus.call_with_unix_fd_list_sync(dest, path, iface, method, args,
                                                GLib.VariantType(reply), Gio.DBusCallFlags.NONE,
                                                15000, fds, None)
    return result.unpack()


def get(bus, dest, path, iface, name):
    return call(bus, dest, path, "org.freedesktop.DBus.Properties", "Get",
                GLib.Variant("(ss)", (iface, name)), "(v)")[0]


def items(bus):
    """The registered items as (service, path); entries read "service", "service/path" or, on
    GNOME, "service@/path"."""
    watcher = "org.kde.StatusNotifierWatcher"
    for item in get(bus, watcher, "/StatusNotifierWatcher", watcher,
                    "RegisteredStatusNotifierItems"):
        cut = min(i for i in (item.find("/"), item.find("@"), len(item)) if i >= 0)
        path = item[cut:].lstrip("@") or "/StatusNotifierItem"
        yield item[:cut], path


def sni_layout(bus):
    for service, path in items(bus):
        menu_path = get(bus, service, path, "org.kde.StatusNotifierItem", "Menu")
        _, layout = call(bus, service, menu_path, "com.canonical.dbusmenu", "GetLayout",
                         GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))")
        return service, menu_path, layout[2]
    return None


def sni_menu():
    found = sni_layout(session_bus())
    if found is None:
        return 1
    for child in found[2]:
        props = child[1]
        print("-" if props.get("type") == "separator" else props.get("label", ""))
    return 0


def sni_activate():
    bus = session_bus()
    for service, path in items(bus):
        call(bus, service, path, "org.kde.StatusNotifierItem", "Activate",
             GLib.Variant("(ii)", (0, 0)), "()")
        return 0
    return 1


def sni_click(label):
    bus = session_bus()
    found = sni_layout(bus)
    if found is None:
        return 1
    service, menu_path, children = found
    for child in children:
        if child[1].get("label", "") == label:
            # A host tells the menu it is about to show before an item is clicked.
            call(bus, service, menu_path, "com.canonical.dbusmenu", "AboutToShow",
                 GLib.Variant("(i)", (0,)), "(b)")
            call(bus, service, menu_path, "com.canonical.dbusmenu", "Event",
                 GLib.Variant("(isvu)", (child[0], "clicked", GLib.Variant("i", 0), 0)), "()")
            return 0
    return 1


def press(title, name):
    top = window(title)
    for node in walk(top) if top is not None else ():
        if node.getRoleName() == "push button" and node.name == name and showing(node):
            node.queryAction().doAction(0)
            return 0
    return 1


RATE = 22050
STEP = RATE // 50  # 20 ms


def power(samples, start, freq):
    """Goertzel: the strength of one frequency in a 20 ms window, against the window's energy."""
    coeff = 2 * math.cos(2 * math.pi * freq / RATE)
    s1 = s2 = 0.0
    for x in samples[start:start + STEP]:
        s1, s2 = x + coeff * s1 - s2, s1
    return (s1 * s1 + s2 * s2 - coeff * s1 * s2) / (STEP * STEP / 4)


def sound(raw, t0):
    import array
    samples = array.array("h")
    with open(raw, "rb") as f:
        data = f.read()
    samples.frombytes(data[:len(data) // 2 * 2])
    samples = [x / 32768.0 for x in samples]
    # The chime's notes (E5, A5) and the bell's (B5); the one has nothing near the other.
    tones = {"chime": (659.26, 880.0), "bell": (987.77,)}
    was = {name: False for name in tones}
    for start in range(0, len(samples) - STEP, STEP):
        if max(abs(x) for x in samples[start:start + STEP]) < 0.01:
            was = {name: False for name in tones}
            continue
        strength = {name: max(power(samples, start, f) for f in freqs)
                    for name, freqs in tones.items()}
        # Each leaks a little into the other's notes: the stronger one is what sounds.
        loudest = max(strength, key=strength.get)
        for name in tones:
            heard = name == loudest and strength[name] > 0.001
            if heard and not was[name]:
                print(name, t0 + start * 1000 // RATE)
            was[name] = heard
    return 0


def active(title):
    top = window(title)
    return 0 if top is not None and top.getState().contains(pyatspi.STATE_ACTIVE) else 1


def extents(title):
    top = window(title)
    if top is None:
        return 1
    e = top.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    print(e.x, e.y, e.width, e.height)
    return 0


def gnome_tray_click():
    import subprocess
    import tempfile
    import time
    bus = session_bus()
    rd = "org.gnome.Mutter.RemoteDesktop"
    (session,) = call(bus, rd, "/org/gnome/Mutter/RemoteDesktop", rd, "CreateSession", None,
                      "(o)")
    session_id = get(bus, rd, session, rd + ".Session", "SessionId")
    # A remote-desktop session starts only with a screen cast beside it (which needs PipeWire).
    cast = "org.gnome.Mutter.ScreenCast"
    call(bus, cast, "/org/gnome/Mutter/ScreenCast", cast, "CreateSession",
         GLib.Variant("(a{sv})", ({"remote-desktop-session-id": GLib.Variant("s", session_id)},)),
         "(o)")
    iface = rd + ".Session"
    call(bus, rd, session, iface, "Start", None, "()")
    # The session puts its own indicator into the top bar, which moves the icons: they are found
    # once it is there, as what stands out from the bar on its right half.
    time.sleep(1)
    with tempfile.TemporaryDirectory() as folder:
        path = folder + "/bar.png"
        shot(path)
        left = int(subprocess.run(["convert", path, "-crop", "480x20+800+6", "+repage", "-fuzz",
                                   "20%", "-trim", "-format", "%X", "info:"],
                                  capture_output=True, text=True, check=True).stdout)
    x, y, width, height = 800 + left + 8, 15, 1280, 1024
    # Relative moves only (absolute ones need the screen cast's stream), from the bottom right
    # corner: the top left one opens the overview.
    for dx, dy in ((10000.0, 10000.0), (float(x - width + 1), float(y - height + 1))):
        call(bus, rd, session, iface, "NotifyPointerMotionRelative", GLib.Variant("(dd)", (dx, dy)),
             "()")
    for pressed in (True, False):
        call(bus, rd, session, iface, "NotifyPointerButton", GLib.Variant("(ib)", (272, pressed)),
             "()")
    return 0


def own(bus, name):
    """Owns a bus name that GNOME Shell serves privileged calls to."""
    Gio.bus_own_name_on_connection(bus, name, Gio.BusNameOwnerFlags.NONE, None, None)
    for _ in range(20):
        GLib.MainContext.default().iteration(False)


def gnome_app(title):
    bus = session_bus()
    own(bus, "org.freedesktop.impl.portal.desktop.gtk")
    introspect = "org.gnome.Shell.Introspect"
    (windows,) = call(bus, introspect, "/org/gnome/Shell/Introspect", introspect, "GetWindows",
                      None, "(a{ta{sv}})")
    for props in windows.values():
        if props.get("title") == title:
            print(props.get("app-id", ""))
            return 0
    return 1


def shot(path):
    bus = session_bus()
    names = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                          "ListNames", None, GLib.VariantType("(as)"), Gio.DBusCallFlags.NONE,
                          2000, None).unpack()[0]
    if "org.gnome.Shell.Screenshot" in names:
        # GNOME Shell serves this name's owner only.
        own(bus, "org.gnome.Screenshot")
        ok, _ = call(bus, "org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                     "org.gnome.Shell.Screenshot", "Screenshot",
                     GLib.Variant("(bbs)", (False, False, path)), "(bs)")
        return 0 if ok else 1
    import os
    import subprocess
    read, write = os.pipe()
    fds = Gio.UnixFDList.new()
    fds.append(write)
    os.close(write)
    (meta,) = call(bus, "org.kde.KWin.ScreenShot2", "/org/kde/KWin/ScreenShot2",
                   "org.kde.KWin.ScreenShot2", "CaptureWorkspace",
                   GLib.Variant("(a{sv}h)", ({}, 0)), "(a{sv})", fds)
    data = b""
    with os.fdopen(read, "rb") as pipe:
        while len(data) < meta["stride"] * meta["height"]:
            chunk = pipe.read(1 << 20)
            if not chunk:
                break
            data += chunk
    # QImage::Format_ARGB32 (5) or _RGB32 (4): B G R A bytes in memory.
    subprocess.run(["convert", "-size", "%dx%d" % (meta["stride"] // 4, meta["height"]),
                    "-depth", "8", "bgra:-", "-crop", "%dx%d+0+0" % (meta["width"],
                                                                   meta["height"]),
                    "-alpha", "off", path], input=data, check=True)
    return 0


COMMANDS = {
    "frame": frame, "fields": fields, "selection": selection, "sni-menu": sni_menu,
    "sni-activate": sni_activate, "sni-click": sni_click, "active": active, "extents": extents,
    "press": press, "gnome-app": gnome_app, "gnome-tray-click": gnome_tray_click, "shot": shot,
    # These take a number after their names.
    "pos": lambda title, name, n: pos(title, name, int(n)),
    "sound": lambda raw, t0: sound(raw, int(t0)),
}


def main():
    command = COMMANDS.get(sys.argv[1] if len(sys.argv) > 1 else "")
    if command is None:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        return command(*sys.argv[2:])
    except BrokenPipeError:
        return 0
    except (GLib.Error, RuntimeError) as error:
        print(error, file=sys.stderr)
        return 1


sys.exit(main())
