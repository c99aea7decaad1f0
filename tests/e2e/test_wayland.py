"""The program in a Wayland session: it comes up on the Wayland plugin,
hands a second start over to the running copy, and rings an alarm."""

import time

import steps
from desktop import wait_for
from notification_service import NotificationService


class Wayland(steps.Case):

    def test_a_second_start_hands_over_and_ends(self):
        first = self.start(env={"QT_LOGGING_RULES": "*.info=true;qt.*=false"})
        self.click(self.control(first, "push button", "Ok", "the language window"))
        self.main_window(first)
        second = self.start()
        self.assertEqual(self.ended(second, "the second copy to end"), 0)
        wait_for("the first copy to take the command", lambda: "Command from another copy: RES" in self.user.log_text())
        self.assertTrue(self.holds(lambda: first.poll() is None, seconds=1),
                        "the first copy keeps running after the handover")
        self.main_window(first)

    def test_an_alarm_opens_its_topic_and_is_notified(self):
        server = NotificationService()
        self.addCleanup(server.stop)
        self.exit_program(self.first_start())
        due = time.localtime(time.time() + 3)
        self.seed("Work", (("Call the dentist", "Tuesday", time.strftime("%Y-%m-%d %H:%M:%S", due)),))
        proc = self.start()
        self.main_window(proc)
        # The alarm is looked at every ten seconds. A compositor may refuse
        # to give the topic's window the focus; the notification tells the
        # user all the same.
        self.control(proc, "frame", "Call the dentist", "the alarm's topic brought forward", deadline=30)
        self.assertEqual(server.notification()[:2], ["Call the dentist", time.strftime("Alarm at %d/%m/%y %H:%M", due)],
                         "the notification names the topic and the alarm's time")
