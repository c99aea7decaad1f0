"""First start, the language question, and a second start meanwhile."""

import steps
from desktop import wait_for


class FirstStart(steps.Case):

    def test_the_language_is_asked_once_and_kept(self):
        for language, exit_caption, search_caption in (("Italiano", "Uscita", "Cerca:"),
                                                       ("English", "Exit", "Find:")):
            with self.subTest(language=language):
                self.user = self.new_user()
                first = self.first_start(language)
                self.control(first, "label", search_caption, "the captions in " + language)
                self.exit_program(first, exit_caption)
                # The second start asks nothing and speaks the same language.
                again = self.start()
                self.main_window(again)
                self.control(again, "push button", exit_caption)
                self.assertNotIn("dialog", [w.getRoleName() for w in self.windows(again)])
                self.exit_program(again, exit_caption)

    def test_a_second_start_during_the_question_shows_no_half_built_window(self):
        first = self.start(env={"QT_LOGGING_RULES": "*.info=true;qt.*=false"})
        self.control(first, "radio button", "English", "the language window")
        second = self.start()
        # The second copy hands its start over and ends.
        self.assertEqual(self.ended(second, "the second copy to end"), 0)
        wait_for("the first copy to take the command", lambda: "Command from another copy: RES" in self.user.log_text())
        self.assertTrue(self.holds(lambda: len(self.visible_windows(first)) == 1, seconds=1.5),
                        "only the language window may be on screen while it asks")
        self.assertEqual([w.getRoleName() for w in self.windows(first)], ["dialog"])
        self.click(self.control(first, "push button", "Ok"))
        self.main_window(first)
        self.control(first, "push button", "Exit")
