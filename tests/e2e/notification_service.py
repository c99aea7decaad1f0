"""A stand-in for the desktop's notification service, as small as the
protocol allows, on the session bus of the desktop the tests started: it
reports each notification (title, body, actions) and sends a click on the
last one when asked. Stopped by stop(), or by the test's cleanup."""

import os
import queue
import subprocess
import sys
import threading

from desktop import DEADLINE

SERVER = r'''
import sys, threading
import dbus, dbus.service, dbus.mainloop.glib
from gi.repository import GLib
dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
IFACE = "org.freedesktop.Notifications"
class Server(dbus.service.Object):
    last = 0
    @dbus.service.method(IFACE, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        Server.last += 1
        print("notified\t%s\t%s\t%s" % (summary, body, ",".join(actions)), flush=True)
        return Server.last
    @dbus.service.method(IFACE, out_signature="as")
    def GetCapabilities(self):
        return ["actions", "body"]
    @dbus.service.signal(IFACE, signature="us")
    def ActionInvoked(self, id, key):
        pass
bus = dbus.SessionBus()
name = dbus.service.BusName(IFACE, bus)
server = Server(bus, "/org/freedesktop/Notifications")
print("ready", flush=True)
def clicks():
    for _ in sys.stdin:
        GLib.idle_add(lambda: server.ActionInvoked(Server.last, "default") and False)
threading.Thread(target=clicks, daemon=True).start()
GLib.MainLoop().run()
'''


class NotificationService:

    def __init__(self):
        self.proc = subprocess.Popen([sys.executable, "-c", SERVER], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True, bufsize=1, env=dict(os.environ))
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        if self._line("the notification service") != ["ready"]:
            raise AssertionError("the notification service did not start")

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.rstrip("\n").split("\t"))

    def _line(self, what, deadline=None):
        try:
            return self.lines.get(timeout=deadline or DEADLINE)
        except queue.Empty:
            raise AssertionError("timed out waiting for " + what) from None

    def notification(self, deadline=None):
        """The next notification as [title, body, actions]."""
        line = self._line("a notification", deadline)
        if line[0] != "notified":
            raise AssertionError("the notification service said %r" % line)
        return line[1:]

    def click(self):
        """A click on the last notification."""
        self.proc.stdin.write("click\n")

    def stop(self):
        self.proc.kill()
        self.proc.wait()
