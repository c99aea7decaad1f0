"""Minimizing into the notification area and coming back, starting hidden,
a second start, and closing the main window by the window manager (an
alarm that rings while hidden: test_notify)."""

import a11y
import steps
from desktop import wait_for


class Tray(steps.Case):

    def test_minimize_hides_every_window_and_each_click_brings_them_back(self):
        proc = self.seeded_start()
        self.main_window(proc)
        self.open_topic(proc, "Shopping")
        self.key("ctrl+End")
        self.type(" and eggs")
        self.assertEqual(len(self.visible_windows(proc)), 2, "the main window and the editor are on screen")
        main = self.main_window_id(proc)
        for click in ("left", "right", "double"):
            with self.subTest(click=click):
                self.desktop.xdotool("windowminimize", main)
                icon = self.tray_icon()
                left_screen = self.holds(lambda: not self.visible_windows(proc))
                if click == "double":
                    self.desktop.click_window(icon, double=True)
                else:
                    self.desktop.click_window(icon, button=1 if click == "left" else 3)
                self.assertTrue(self.holds(lambda: proc.poll() is None, seconds=1), "the program survives the click")
                self.assertTrue(left_screen, "every window left the screen when minimized")
                wait_for("every window back after a %s click" % click,
                         lambda: len(self.visible_windows(proc)) == 2)
                self.no_tray_icon()
                self.assertIsNone(proc.poll(), "the program is still running")
                body = self.control(proc, "text", "Topic text", "the editor's body")
                self.assertEqual(a11y.text(body).strip(), "Bread and milk and eggs", "unsaved text kept")

    def test_a_hidden_start_a_second_start_that_brings_it_back_and_a_close_by_the_window_manager(self):
        proc = self.seeded_start("/M")
        self.hidden_in_tray(proc)
        second = self.start()
        self.assertEqual(self.ended(second, "the second copy to end"), 0)
        self.main_window(proc)
        self.no_tray_icon()
        # A second start with /M sends the running copy into the tray. It
        # hands over before anything else: the folder it names, which holds
        # no database, is never opened (that would end in an error box).
        third = self.start("/M", "/no/database/here")
        self.assertEqual(self.ended(third, "the third copy to end"), 0)
        self.hidden_in_tray(proc)
        self.assertIsNone(proc.poll())
        # Back from the tray, closing the main window by the window manager
        # ends the program. Alt+F4 is pressed again should the first
        # press come before the window manager took the focus.
        self.desktop.click_window(self.tray_icon())
        self.main_window(proc)
        for _ in range(2):
            self.bring_forward(proc)
            self.key("alt+F4")
            if self.holds(lambda: not self.visible_windows(proc)):
                break
        self.assertEqual(self.ended(proc, "the program to end with its main window"), 0)
        # Nothing holds the running copy's place any more.
        again = self.start()
        self.main_window(again)
