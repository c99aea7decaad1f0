"""Unsaved text survives the program's end by a kill or a terminate
signal, and comes back in a recovered editor at the next start."""

import signal

import a11y
import steps
from desktop import wait_for


class Drafts(steps.Case):

    def type_into_shopping(self, proc, text):
        self.open_topic(proc, "Shopping")
        self.key("ctrl+End")
        self.type(text)

    def drafts(self):
        return self.user.sql("SELECT idArgomento, argomento FROM Bozze")

    def recovered(self, notice, text):
        proc = self.start()
        window = self.control(proc, "dialog", "Recovered texts", "the window of recovered texts")
        says = lambda line: line.startswith("Recovered text: unsaved changes of") and notice in line  # noqa: E731
        self.assertIsNotNone(a11y.find(window, "label", says), "the notice of the recovered text:\n" + a11y.dump(proc.pid))
        self.key("Return")
        self.gone(proc, "dialog", "Recovered texts", "the window to close")
        body = self.control(proc, "text", "Topic text", "the recovered editor's body")
        self.assertEqual(a11y.text(body).strip(), text)
        self.control(proc, "frame", "Shopping", "the recovered editor")
        return proc

    def test_a_kill_or_terminate_loses_no_typing_and_a_deleted_topic_comes_back_new(self):
        proc = self.seeded_start()
        self.type_into_shopping(proc, " and eggs")
        wait_for("the draft to be written", lambda: self.drafts())
        proc.send_signal(signal.SIGKILL)
        proc.wait()
        proc = self.recovered("", "Bread and milk and eggs")
        self.click(self.control(proc, "push button", "Save"))
        self.gone(proc, "frame", "Shopping", "the editor to close after Save")
        self.assertEqual(self.drafts(), [], "a saved topic keeps no draft")
        self.assertIn(("Bread and milk and eggs",), self.user.sql("SELECT ContenutoTxt FROM Argomenti"))

        # Straight away, before the draft's interval: the signal writes it.
        self.type_into_shopping(proc, " and jam")
        proc.send_signal(signal.SIGTERM)
        self.assertEqual(self.ended(proc, "the program to end on the signal"), 0)
        self.assertEqual(len(self.drafts()), 1)
        self.user.sql("DELETE FROM Argomenti WHERE argomento = 'Shopping'")
        proc = self.recovered("The topic was deleted: the draft opens as a new topic.", "Bread and milk and eggs and jam")
        self.click(self.control(proc, "push button", "Abort"))
        self.gone(proc, "frame", "Shopping", "the editor to close after Abort")
        self.assertEqual(self.drafts(), [], "an abandoned editor keeps no draft")
        self.exit_program(proc)
