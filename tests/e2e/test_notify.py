"""An alarm that rings while the program is hidden in the notification
area reaches the desktop's notification service and brings its topic
forward, and a click on the notification brings the topic back. A notice
of missed alarms waits for its OK without holding the other alarms."""

import time

import steps
from notification_service import NotificationService


class Notify(steps.Case):

    def test_an_alarm_while_hidden_is_notified_and_a_click_brings_its_topic(self):
        server = NotificationService()
        self.addCleanup(server.stop)
        due = time.localtime(time.time() + 4)
        proc = self.seeded_start("/M", topics=(("Call the dentist", "Tuesday", time.strftime("%Y-%m-%d %H:%M:%S", due)),))
        self.hidden_in_tray(proc)
        notified = server.notification(deadline=40)
        self.assertEqual(notified[:2], ["Call the dentist", time.strftime("Alarm at %d/%m/%y %H:%M", due)],
                         "the notification names the topic and the alarm's time")
        self.control(proc, "frame", "Call the dentist", "the alarm's topic brought forward", deadline=40)
        self.no_tray_icon()
        # Closed meanwhile: a click on the notification opens it again.
        self.click(self.control(proc, "push button", "Save"))
        self.gone(proc, "frame", "Call the dentist", "the editor to close after Save")
        server.click()
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
