"""An alarm that rings while the program is hidden in the notification
area reaches the desktop's notification service and brings its topic
forward, and a click on the notification brings the topic back."""

import os
import subprocess
import sys
import time

import steps

# A notification service as small as the protocol allows: it prints each
# notification's title and body, and emits a click on the line it reads.
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


class Notify(steps.Case):

    def test_an_alarm_while_hidden_is_notified_and_a_click_brings_its_topic(self):
        server = subprocess.Popen([sys.executable, "-c", SERVER], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  text=True, bufsize=1, env=dict(os.environ))
        self.addCleanup(server.kill)
        self.assertEqual(server.stdout.readline().strip(), "ready")
        due = time.localtime(time.time() + 4)
        proc = self.seeded_start("/M", topics=(("Call the dentist", "Tuesday", time.strftime("%Y-%m-%d %H:%M:%S", due)),))
        self.hidden_in_tray(proc)
        line = server.stdout.readline().rstrip("\n").split("\t")
        self.assertEqual(line[:3], ["notified", "Call the dentist", time.strftime("Alarm at %d/%m/%y %H:%M", due)],
                         "the notification names the topic and the alarm's time")
        self.control(proc, "frame", "Call the dentist", "the alarm's topic brought forward", deadline=40)
        self.no_tray_icon()
        # Closed meanwhile: a click on the notification opens it again.
        self.click(self.control(proc, "push button", "Save"))
        self.gone(proc, "frame", "Call the dentist", "the editor to close after Save")
        server.stdin.write("click\n")
        self.control(proc, "frame", "Call the dentist", "the topic brought forward by the click")

    def test_another_alarm_rings_while_the_missed_alarm_notice_waits(self):
        self.exit_program(self.first_start())
        week_ago = time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(time.time() - 7 * 86400 - 60))
        soon = time.localtime(time.time() + 25)
        self.seed("Work", (("Daily standup", "Room 4", week_ago),
                           ("Water the plants", "All of them", time.strftime("%Y-%m-%d %H:%M:%S", soon))))
        self.user.sql("UPDATE Argomenti SET TipoAllarme = 2 WHERE argomento = 'Daily standup'")
        proc = self.start()
        notice = lambda name: name is not None and "was missed" in name
        self.control(proc, "label", notice, "the notice of the missed alarm", deadline=40)
        self.control(proc, "frame", "Water the plants", "the other alarm's topic, the notice still up", deadline=60)
        self.control(proc, "label", notice, "the notice, still waiting for its OK")
