"""Nothing saved is lost, in either language: an earlier text comes back
from an editor's History, and a deleted topic from the Deleted topics
window."""

import steps
from desktop import wait_for

# What each step reads on screen, and the keys that open the Deleted topics
# window from the Edit menu, in each language.
WORDS = {
    "English": {"exit": "Exit", "save": "Save", "abort": "Abort", "history": "History: Shopping",
                "restore": "Restore", "yes": "Yes", "deleted": "Deleted topics", "close": "Close",
                "menu": ("alt+e", "e")},
    "Italiano": {"exit": "Uscita", "save": "Salva", "abort": "Annulla", "history": "Cronologia: Shopping",
                 "restore": "Ripristina", "yes": "Sì", "deleted": "Argomenti eliminati", "close": "Chiudi",
                 "menu": ("alt+m", "l")},
}


class History(steps.Case):

    def start_in(self, language):
        """A first start answered in language, Shopping seeded, started again."""
        proc = self.start()
        self.click(self.control(proc, "radio button", language, "the language window"))
        self.click(self.control(proc, "push button", "Ok"))
        self.main_window(proc)
        self.click(self.control(proc, "push button", WORDS[language]["exit"]))
        self.ended(proc, "the first start to end")
        self.seed("Work", (("Shopping", "Bread and milk", None),))
        return self.start()

    def stored_text(self):
        return self.user.sql("SELECT ContenutoTxt FROM Argomenti WHERE argomento = 'Shopping'")

    def type_and_save(self, proc, language, text):
        self.open_topic(proc, "Shopping")
        self.key("ctrl+End")
        self.type(text)
        self.click(self.control(proc, "push button", WORDS[language]["save"]))
        self.gone(proc, "frame", "Shopping", "the editor to close after saving")

    def restores_an_earlier_text(self, language):
        words = WORDS[language]
        proc = self.start_in(language)
        self.type_and_save(proc, language, " and eggs")
        self.type_and_save(proc, language, " and jam")
        self.open_topic(proc, "Shopping")
        self.key("ctrl+h")
        self.control(proc, "dialog", words["history"], "the topic's history")
        # The newest version, selected when the window opens: the first save.
        self.click(self.control(proc, "push button", words["restore"]))
        self.gone(proc, "dialog", words["history"], "the history to close")
        wait_for("the first saved text to be the topic's", lambda: self.stored_text() == [("Bread and milk and eggs",)])
        self.click(self.control(proc, "push button", words["abort"]))
        self.gone(proc, "frame", "Shopping", "the editor to close")
        self.click(self.control(proc, "push button", words["exit"]))
        self.assertEqual(self.ended(proc, "the program to end"), 0)

    def brings_back_a_deleted_topic(self, language):
        words = WORDS[language]
        proc = self.start_in(language)
        self.click(self.control(proc, "list item", "Shopping"))
        self.key("Delete")
        self.click(self.control(proc, "push button", words["yes"], "the question before deleting"))
        self.gone(proc, "list item", "Shopping", "the topic to leave the list")
        self.assertEqual(self.stored_text(), [])
        self.key(*words["menu"])
        window = self.control(proc, "dialog", words["deleted"], "the deleted topics")
        self.type("shop*")
        self.click(self.control(proc, None, "Shopping", "the deleted topic found"))
        self.click(self.control(proc, "push button", words["restore"]))
        wait_for("the topic to be back", lambda: self.stored_text() == [("Bread and milk",)])
        self.click(self.control(proc, "push button", words["close"]))
        self.gone(proc, "dialog", words["deleted"], "the window to close")
        self.control(proc, "list item", "Shopping", "the topic back in its list")
        self.assertIsNotNone(window)
        self.click(self.control(proc, "push button", words["exit"]))
        self.assertEqual(self.ended(proc, "the program to end"), 0)

    def test_history_restores_an_earlier_text_in_english(self):
        self.restores_an_earlier_text("English")

    def test_history_restores_an_earlier_text_in_italian(self):
        self.restores_an_earlier_text("Italiano")

    def test_deleted_topics_bring_back_a_deleted_topic_in_english(self):
        self.brings_back_a_deleted_topic("English")

    def test_deleted_topics_bring_back_a_deleted_topic_in_italian(self):
        self.brings_back_a_deleted_topic("Italiano")
