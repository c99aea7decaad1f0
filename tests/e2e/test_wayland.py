"""The program in a Wayland session: it comes up on the Wayland plugin
and hands a second start over to the running copy."""

import steps
from desktop import wait_for


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
