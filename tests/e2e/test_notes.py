"""Writing a note as a person does, and the program refusing to end while
a note holds unsaved text: from its own Exit and from the desktop session."""

import subprocess
import sys

import a11y
import steps
from desktop import wait_for


class Notes(steps.Case):

    def new_category_and_topic(self, proc):
        self.click(self.control(proc, "push button", "Create a new category/topic"))
        self.control(proc, "label", "New category:", "the question for a name")
        self.type("Work")
        self.key("Return")
        self.click(self.control(proc, "list item", "Work"), double=True)
        self.control(proc, "panel", "Topics: ", "the topics of Work")
        self.click(self.control(proc, "push button", "Create a new category/topic"))
        return self.control(proc, "frame", " New topic", "the editor of a new topic")

    def test_a_topic_typed_formatted_and_saved_is_there_after_a_restart(self):
        proc = self.first_start()
        self.new_category_and_topic(proc)
        self.type("Shopping")
        self.key("Tab")
        self.type("Bread and milk")
        self.key("ctrl+a", "ctrl+b")
        self.click(self.control(proc, "push button", "Save"))
        self.gone(proc, "frame", "Shopping", "the editor to close after Save")
        self.exit_program(proc)

        again = self.start()
        self.open_topic(again, "Shopping")
        body = self.control(again, "text", "Topic text", "the body of the topic")
        wait_for("the text typed before", lambda: a11y.text(body).strip() == "Bread and milk")
        attrs = dict(a.split(":", 1) for a in body.queryText().getAttributeRun(2, False)[0])
        self.assertIn(attrs.get("weight"), ("700", "bold"), "the text was made bold: %s" % attrs)
        self.assertEqual(a11y.unnamed_controls(a11y.application(again.pid)), [],
                         "every control a person can reach has a name")

    def test_ending_with_unsaved_text_is_refused_from_exit_and_from_the_session(self):
        manager = subprocess.Popen([sys.executable, "session_manager.py"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   text=True, bufsize=1)
        try:
            address = manager.stdout.readline().split(" ", 1)[1].strip()
            proc = self.first_start()
            self.exit_program(proc)
            proc = self.start(env={"SESSION_MANAGER": address})
            self.assertEqual(manager.stdout.readline().strip(), "registered")
            self.new_category_and_topic(proc)
            self.type("Unsaved")

            self.bring_forward(proc)
            self.click(self.control(proc, "push button", "Exit"))
            self.control(proc, "label", "Close all windows first.", "the refusal to end")
            self.key("Return")
            self.gone(proc, "label", "Close all windows first.", "the message to close")
            self.assertIsNone(proc.poll(), "the program goes on")

            manager.stdin.write("save\n")
            self.control(proc, "label", "Close all windows first.", "the refusal at the end of the session")
            self.key("Return")
            lines = [manager.stdout.readline().strip() for _ in range(3)]
            self.assertIn("interact-done cancel=1", lines, "the session manager was asked to cancel")
            self.assertIsNone(proc.poll(), "the program goes on")
            self.control(proc, "frame", "Unsaved", "the editor, still holding its text")
            # And the program still ends as usual once the text is let go.
            self.click(self.control(proc, "push button", "Abort"))
            self.gone(proc, "frame", "Unsaved", "the editor to close after Abort")
            self.bring_forward(proc)
            self.exit_program(proc)
        finally:
            manager.stdin.close()
            manager.wait(5)

    def test_the_results_of_find_in_topics_are_a_window_to_a_screen_reader(self):
        proc = self.seeded_start()
        self.click(self.control(proc, "push button", "Search every topic in all categories"))
        self.control(proc, "label", "Find what (* = wildcard):", "the question for a text")
        self.type("Bread")
        self.key("Return")
        results = self.control(proc, None, " Topics found", "the results window")
        self.assertEqual(results.getRoleName(), "frame", "a window of its own, not a filler")
        self.assertIsNotNone(a11y.find(results, "list item", "Shopping"), "the topic found")
        self.click(self.control(proc, "push button", "Close"))
        self.gone(proc, None, " Topics found", "the results window to close")
        self.exit_program(proc)
