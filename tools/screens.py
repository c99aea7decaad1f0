"""The README's screenshots, taken on the end-to-end desktop by
tools/screenshots.sh with the end-to-end steps (tests/e2e), in English, of
the real program on sample notes."""

import os
import subprocess

import steps
from desktop import wait_for

OUT = os.environ.get("QUORVEL_SCREENS", "screens")

# A body with the formatting a user reaches from the toolbar.
BODY = ("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 DejaVu Sans;}{\\f1 Symbol;}}{\\colortbl;\\red180\\green30\\blue30;}"
        "\\pard\\ql\\f0\\fs22 {\\b Thursday} planning meeting\\par "
        "\\pard\\ql {\\i Bring the figures for the quarter} and the {\\cf1 revised budget}.\\par "
        "\\pard\\ql\\li360{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}} Sales by region\\par "
        "\\pard\\ql\\li360{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}} Hiring plan\\par "
        "\\pard\\qc Room 4, 10:30\\par}")


class Screens(steps.Case):

    def window(self, proc, title):
        def look():
            for w in self.desktop.xdotool("search", "--onlyvisible", "--pid", str(proc.pid), check=False).split():
                if self.desktop.xdotool("getwindowname", w, check=False) == title.strip():
                    return w
            return None
        return wait_for("the window " + title, look)

    def shot(self, proc, title, name):
        wid = self.window(proc, title)
        self.desktop.xdotool("windowactivate", "--sync", wid)
        wait_for("the window on top", lambda: self.desktop.xdotool("getactivewindow", check=False) == wid)
        os.makedirs(OUT, exist_ok=True)
        subprocess.run(["import", "-window", wid, os.path.join(OUT, name + ".png")], env=self.desktop.env, check=True)

    def test_screens(self):
        self.exit_program(self.first_start())
        cid = self.seed("Work", (("Planning meeting", "Thursday planning meeting", None),
                                 ("Call the dentist", "Tuesday morning", None),
                                 ("Quarterly figures", "Sales by region", None)))
        for other in ("Home", "Books to read", "Recipes", "Travel"):
            self.user.sql("INSERT INTO Categorie (Categoria) VALUES (?)", other)
        self.user.sql("UPDATE Argomenti SET contenuto = ? WHERE argomento = 'Planning meeting'", BODY)
        self.user.sql("UPDATE Setup SET UltimaCat = ?", cid)
        proc = self.start()
        self.main_window(proc)
        self.shot(proc, " Quorvel", "main-topics")
        self.click(self.control(proc, "push button", "Change.."))
        self.control(proc, "panel", "Categories: ", "the category list")
        self.shot(proc, " Quorvel", "main-categories")
        self.click(self.control(proc, "list item", "Work"), double=True)
        self.click(self.control(proc, "list item", "Planning meeting"), double=True)
        self.control(proc, "frame", "Planning meeting", "the editor")
        self.shot(proc, "Planning meeting", "editor")
        self.click(self.control(proc, "push button", "Set an alarm for the topic"))
        self.control(proc, "table", "Alarm day", "the alarm panel")
        self.shot(proc, "Planning meeting", "alarm")
        self.click(self.control(proc, "push button", "Set an alarm for the topic"))
        self.click(self.control(proc, "push button", "Abort"))
        self.bring_forward(proc)
        self.key("F3")
        self.control(proc, "label", "Find what (* = wildcard):", "the find question")
        self.type("*e*")
        self.key("Return")
        self.control(proc, "list item", "Quarterly figures", "the results")
        self.shot(proc, " Topics found", "find-results")
        # A second search, shown in a topic: its occurrences in the find bar.
        self.bring_forward(proc)
        self.key("F3")
        self.control(proc, "label", "Find what (* = wildcard):", "the find question")
        self.type("meeting")
        self.key("Return")
        wait_for("the results", lambda: self.desktop.xdotool("getactivewindow", "getwindowname", check=False) == "Topics found")
        self.key("Return")
        self.control(proc, "text", "Find in this topic (* = wildcard)", "the find bar")
        self.shot(proc, "Planning meeting", "editor-find")
