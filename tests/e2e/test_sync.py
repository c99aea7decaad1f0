"""Two machines' notes through one git remote, as two people see them on
one desktop: sync set up in its window, a topic typed on one machine in the
other's list after Sync, and a title changed on both told in one window
with both topics kept."""

import os
import subprocess

import steps
from desktop import Quorvel, wait_for


class Sync(steps.Case):

    def setUp(self):
        super().setUp()
        steps.Case.users += 1
        self.laptop = Quorvel(self.desktop, self.exe, "u%d" % steps.Case.users)
        self.remote = os.path.join(self.desktop.root, "remote%d.git" % steps.Case.users)
        subprocess.run(["git", "init", "-q", "--bare", self.remote], check=True)

    def tearDown(self):
        self.laptop.stop_all()
        super().tearDown()

    def synced(self, user, what):
        """Waits until user's last sync sent every change it had."""
        wait_for(what, lambda: user.sql("SELECT count(*) FROM DaSincronizzare") == [(0,)]
                 and user.sql("SELECT Valore FROM Sincronia WHERE Chiave = 'UltimaSincronia'") != [])

    def sync_key(self, proc):
        # A click on the window's list gives it the keys, on a desktop of
        # two programs.
        self.click(self.control(proc, "list", None, "the main window's list"))
        self.key("F5")

    def sync_from_menu(self, proc):
        self.click(self.control(proc, "menu item", "File", "the File menu"))
        self.click(self.control(proc, "menu item", "Sync", "the Sync command"))

    def rename_in_editor(self, proc, title, new_title):
        self.open_topic(proc, title)
        self.key("shift+Tab", "ctrl+a")
        self.type(new_title)
        self.click(self.control(proc, "push button", "Save"))
        self.gone(proc, "frame", new_title, "the editor to close after saving")

    def desk_and_laptop(self):
        """The desk set up in the Sync settings window and synced; the
        laptop, new, set up the same way and synced with F5."""
        desk = self.seeded_start()
        self.bring_forward(desk)
        self.key("alt+f", "n")
        self.control(desk, "dialog", "Sync", "the sync settings")
        self.type(self.remote)
        self.key("Tab", "ctrl+a")
        self.type("desk")
        self.click(self.control(desk, "check box", "Sync automatically"))
        self.click(self.control(desk, "push button", "Save and sync"))
        self.synced(self.user, "the desk's notes to be sent")
        self.control(desk, "label", lambda name: name.startswith("Synced at "), "the time of the last sync")

        first = self.laptop.start()
        self.click(self.control(first, "push button", "Ok", "the language window"))
        self.click(self.control(first, "push button", "Exit"))
        self.ended(first, "the laptop's first start to end")
        self.laptop.sql("INSERT OR REPLACE INTO Sincronia (Chiave, Valore) VALUES ('Remoto', ?), ('Macchina', 'laptop'),"
                        " ('Automatica', '0')", self.remote)
        laptop = self.laptop.start()
        self.main_window(laptop)
        self.sync_from_menu(laptop)
        self.click(self.control(laptop, "list item", "Work", "the desk's category on the laptop"), double=True)
        self.control(laptop, "list item", "Shopping", "the desk's topic on the laptop")
        return desk, laptop

    def test_a_topic_typed_on_one_machine_is_on_the_other_after_sync_and_a_conflict_keeps_both(self):
        desk, laptop = self.desk_and_laptop()
        self.rename_in_editor(desk, "Shopping", "Groceries")
        self.sync_key(desk)
        self.synced(self.user, "the desk's new title to be sent")
        self.rename_in_editor(laptop, "Shopping", "Errands")
        self.sync_key(laptop)
        self.control(laptop, "label", lambda name: "Groceries (conflict, desk, " in name, "the conflict told")
        self.key("Return")
        self.control(laptop, "list item", "Errands", "the laptop's title kept")
        self.control(laptop, "list item", lambda name: name.startswith("Groceries (conflict, desk, "),
                     "the desk's title kept beside it")
        self.exit_program(laptop)
        self.exit_program(desk)
