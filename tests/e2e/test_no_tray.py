"""On a desktop without a notification area, minimizing is an ordinary
minimize, and a second start brings the window back."""

import subprocess

import steps
from desktop import wait_for


class NoTray(steps.Case):

    def window_state(self, wid):
        out = subprocess.run(["xprop", "-id", wid, "WM_STATE"], env=self.desktop.env,
                             capture_output=True, text=True).stdout
        return "Iconic" if "Iconic" in out else "Normal" if "Normal" in out else out.strip()

    def test_minimize_is_ordinary_and_a_second_start_restores(self):
        proc = self.first_start()
        wid = self.main_window_id(proc)
        self.desktop.xdotool("windowminimize", wid)
        wait_for("the main window to be minimized", lambda: self.window_state(wid) == "Iconic")
        self.assertIsNone(self.desktop.tray_icon())
        second = self.start()
        self.assertEqual(self.ended(second, "the second copy to end"), 0)
        wait_for("the main window back", lambda: self.window_state(wid) == "Normal")
        self.main_window(proc)
