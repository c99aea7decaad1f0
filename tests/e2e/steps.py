"""What a person does with the program, step by step, for the end-to-end
tests. Every test gets a user of its own (home, runtime folder, data)."""

import pathlib
import time
import unittest

import a11y
from desktop import Quorvel, wait_for


class Case(unittest.TestCase):
    desktop = None          # set by run.py
    exe = None

    users = 0

    def setUp(self):
        # Short homes: the running-copy socket lives in the runtime folder,
        # and a socket's path has room for about a hundred bytes only.
        Case.users += 1
        self.user = Quorvel(self.desktop, self.exe, "u%d" % Case.users)

    def tearDown(self):
        # A failure (of a subtest too) leaves the screen, each running copy's
        # controls and the logs behind.
        result = self._outcome.result
        if any(getattr(t, "test_case", t) is self for t, _ in result.failures + result.errors):
            name = self.id().rsplit(".", 1)[-1]
            shot = self.desktop.screenshot(name)
            for i, proc in enumerate(self.user.runs):
                if proc.poll() is None:
                    pathlib.Path(self.desktop.artifacts, "%s-tree-%d.txt" % (name, i + 1)).write_text(a11y.dump(proc.pid))
            if shot:
                print("\nscreen at the failure: %s" % shot)
            print("\nprogram log: %s" % ", ".join(self.user.logs))
        self.user.stop_all()

    # --- the program -------------------------------------------------------
    def start(self, *args, env=None):
        return self.user.start(*args, env=env)

    def ended(self, proc, what):
        wait_for(what, lambda: proc.poll() is not None)
        return proc.returncode

    def control(self, proc, role, name, what=None, deadline=None):
        """Waits until the program shows a control of that role and name."""
        what = what or "%s %r" % (role, name)

        def shown():
            # A copy that ended will show nothing: say so now, with its log.
            if proc.poll() is not None:
                raise AssertionError("the program ended (exit %s) before showing %s; its log:\n%s"
                                     % (proc.returncode, what, self.user.log_text()[-3000:]))
            return a11y.find(a11y.application(proc.pid), role, name)
        return wait_for(what, shown, deadline)

    def gone(self, proc, role, name, what):
        wait_for(what, lambda: a11y.find(a11y.application(proc.pid), role, name) is None)

    def first_start(self):
        """A first start in an empty home: the language question, answered."""
        proc = self.start()
        self.control(proc, "radio button", "English", "the language window")
        self.click(self.control(proc, "push button", "Ok"))
        self.main_window(proc)
        return proc

    def seeded_start(self, *args, topics=(("Shopping", "Bread and milk", None),)):
        """A first start, then topics seeded in a category "Work" and the
        program started again with args."""
        self.exit_program(self.first_start())
        self.seed("Work", topics)
        return self.start(*args)

    def open_topic(self, proc, title):
        self.click(self.control(proc, "list item", title), double=True)
        return self.control(proc, "frame", title, "the editor of " + title)

    def main_window(self, proc):
        return self.control(proc, "frame", " Quorvel", "the main window")

    def main_window_id(self, proc):
        return wait_for("the main window on screen", lambda: self.desktop.xdotool(
            "search", "--onlyvisible", "--pid", str(proc.pid), "--name", "^ Quorvel$", check=False)).split()[0]

    def bring_forward(self, proc):
        """Brings the main window above the editors, as a click on it does."""
        wid = self.main_window_id(proc)
        self.desktop.xdotool("windowactivate", "--sync", wid)
        wait_for("the main window to be active",
                 lambda: self.desktop.xdotool("getactivewindow", check=False) == wid)
        return wid

    def exit_program(self, proc):
        self.click(self.control(proc, "push button", "Exit"))
        self.assertEqual(self.ended(proc, "the program to end"), 0)

    # --- input -------------------------------------------------------------
    def click(self, node, button=1, double=False):
        if self.desktop.pointer:
            self.desktop.click_at(*a11y.centre(node), button, double)
        elif button == 1 and not double:
            # No pointer to drive (Wayland): the control's own action, as a
            # screen reader runs it.
            a11y.press(node)
        else:
            raise NotImplementedError("only a single left click works without a pointer")

    def type(self, text):
        self.desktop.xdotool("type", "--delay", "25", text)

    def key(self, *keys):
        self.desktop.xdotool("key", "--delay", "40", *keys)

    # --- what is on screen -------------------------------------------------
    def visible_windows(self, proc):
        """Ids of the program's windows on screen, its tray icon aside."""
        out = self.desktop.xdotool("search", "--onlyvisible", "--pid", str(proc.pid), check=False)
        icon = self.desktop.tray_icon()
        return [w for w in out.split() if icon is None or int(w) != int(icon, 16)]

    def tray_icon(self):
        return wait_for("the icon in the notification area", self.desktop.tray_icon)

    def no_tray_icon(self):
        wait_for("the icon to leave the notification area", lambda: self.desktop.tray_icon() is None)

    def holds(self, condition, seconds=None):
        """True when condition comes true within the deadline (seconds
        given: when it stays true that long)."""
        if seconds is None:
            try:
                return bool(wait_for("a condition", condition))
            except AssertionError:
                return False
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            if not condition():
                return False
            time.sleep(0.05)
        return True

    def hidden_in_tray(self, proc):
        self.tray_icon()
        wait_for("every window of the program to leave the screen",
                 lambda: not self.visible_windows(proc))

    # --- the store ---------------------------------------------------------
    def seed(self, category, topics):
        """Puts a category with topics (title, text, alarm or None) in the
        store, as if typed earlier; the program must not be running."""
        cid = self.user.sql("INSERT INTO Categorie (Categoria) VALUES (?) RETURNING idCategoria", category)[0][0]
        for title, text, alarm in topics:
            rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 %s\\par}" % text
            self.user.sql("INSERT INTO Argomenti (idCategoria, argomento, contenuto, ContenutoTxt,"
                          " ultimoaggiornamento, TipoAllarme, DataOraAllarme) VALUES (?,?,?,?,?,?,?)",
                          cid, title, rtf, text, time.strftime("%Y-%m-%d %H:%M:%S"),
                          1 if alarm else 0, alarm)
        self.user.sql("UPDATE Setup SET UltimaCat = ?", cid)
