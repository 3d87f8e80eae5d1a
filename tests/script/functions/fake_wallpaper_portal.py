#!/usr/bin/python3
"""A stand-in for the desktop portal's wallpaper interface on the session
bus: SetWallpaperURI appends "URI OPTIONS" to the log file given as the
first argument and answers with a request path, as the portal does."""
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib


class Portal(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.log = log

    @dbus.service.method("org.freedesktop.portal.Wallpaper", in_signature="ssa{sv}", out_signature="o")
    def SetWallpaperURI(self, parent, uri, options):
        opts = " ".join(f"{k}={v}" for k, v in sorted(options.items()))
        with open(self.log, "a") as f:
            f.write(f"{uri} {opts}\n")
        return dbus.ObjectPath("/org/freedesktop/portal/desktop/request/1_1/tarn")


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
name = dbus.service.BusName("org.freedesktop.portal.Desktop", bus)
portal = Portal(bus, sys.argv[1])
GLib.MainLoop().run()
