"""Unsaved text survives the program's end by a kill or a terminate
signal, and comes back in a recovered editor at the next start."""

import signal

import a11y
import steps
from desktop import wait_for


class Drafts(steps.Case):

    def typed_into_shopping(self):
        proc = self.seeded_start()
        self.open_topic(proc, "Shopping")
        self.key("ctrl+End")
        self.type(" and eggs")
        return proc

    def drafts(self):
        return self.user.sql("SELECT idArgomento, argomento FROM Bozze")

    def recovered(self, notice, title="Shopping"):
        proc = self.start()
        says = lambda text: text.startswith("Recovered text: unsaved changes of") and notice in text  # noqa: E731
        self.control(proc, "label", says, "the notice of the recovered text")
        self.key("Return")
        self.gone(proc, "alert", None, "the notice to close")
        body = self.control(proc, "text", "Topic text", "the recovered editor's body")
        self.assertEqual(a11y.text(body).strip(), "Bread and milk and eggs")
        self.control(proc, "frame", title, "the recovered editor")
        return proc

    def test_a_kill_loses_nothing_typed_and_save_ends_the_draft(self):
        proc = self.typed_into_shopping()
        wait_for("the draft to be written", lambda: self.drafts())
        proc.send_signal(signal.SIGKILL)
        proc.wait()
        again = self.recovered("")
        self.click(self.control(again, "push button", "Save"))
        self.gone(again, "frame", "Shopping", "the editor to close after Save")
        self.assertEqual(self.drafts(), [], "a saved topic keeps no draft")
        self.assertIn(("Bread and milk and eggs",), self.user.sql("SELECT ContenutoTxt FROM Argomenti"))
        self.exit_program(again)

    def test_terminate_writes_the_draft_at_once_and_a_deleted_topic_comes_back_new(self):
        proc = self.typed_into_shopping()
        # Straight away, before the draft's interval: the signal writes it.
        proc.send_signal(signal.SIGTERM)
        self.assertEqual(self.ended(proc, "the program to end on the signal"), 0)
        self.assertEqual(len(self.drafts()), 1)
        self.user.sql("DELETE FROM Argomenti WHERE argomento = 'Shopping'")
        again = self.recovered("The topic was deleted: the draft opens as a new topic.")
        self.click(self.control(again, "push button", "Abort"))
        self.gone(again, "frame", "Shopping", "the editor to close after Abort")
        self.assertEqual(self.drafts(), [], "an abandoned editor keeps no draft")
        self.exit_program(again)
