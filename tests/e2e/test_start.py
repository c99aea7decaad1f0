"""A second start while the first start asks the language."""

import a11y
import steps
from desktop import wait_for


class FirstStart(steps.Case):

    def test_a_second_start_during_the_question_shows_no_half_built_window(self):
        first = self.start(env={"QT_LOGGING_RULES": "*.info=true;qt.*=false"})
        self.control(first, "radio button", "English", "the language window")
        second = self.start()
        # The second copy hands its start over and ends.
        self.assertEqual(self.ended(second, "the second copy to end"), 0)
        wait_for("the first copy to take the command", lambda: "Command from another copy: RES" in self.user.log_text())
        self.assertTrue(self.holds(lambda: len(self.visible_windows(first)) == 1, seconds=1.5),
                        "only the language window may be on screen while it asks")
        app = a11y.application(first.pid)
        windows = [app.getChildAtIndex(i) for i in range(app.childCount)]
        self.assertEqual([w.getRoleName() for w in windows if a11y.showing(w)], ["dialog"])
        self.click(self.control(first, "push button", "Ok"))
        self.main_window(first)
        self.control(first, "push button", "Exit")

    def test_in_italian_the_buttons_of_an_input_box_read_in_italian(self):
        proc = self.start()
        self.click(self.control(proc, "radio button", "Italiano", "the language window"))
        self.click(self.control(proc, "push button", "Ok"))
        self.main_window(proc)
        self.click(self.control(proc, "push button", "Crea una nuova categoria/argomento"))
        self.control(proc, "label", "Nuova categoria:", "the question for a name")
        self.control(proc, "push button", "Annulla", "the input box's Cancel button in Italian")
        self.key("Escape")
        self.gone(proc, "label", "Nuova categoria:", "the question to close")
        self.click(self.control(proc, "push button", "Uscita"))
        self.assertEqual(self.ended(proc, "the program to end"), 0)
