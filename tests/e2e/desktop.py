"""A real desktop for end-to-end tests: Xvfb, a window manager, a
notification area, a D-Bus session bus and the accessibility bus, and the
program started on it as a person would, each run in its own home.

Only what this module started is stopped. Controls are found through the
accessibility tree by their visible names; input goes through xdotool.
"""

import os
import pathlib
import shutil
import socket
import sqlite3
import subprocess
import tempfile
import time

DEADLINE = float(os.environ.get("E2E_DEADLINE", "20"))


def wait_for(what, condition, deadline=None, step=0.1):
    """Polls condition until it returns something true; fails naming what."""
    end = time.monotonic() + (deadline or DEADLINE)
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(step)


class Desktop:
    """Display, window manager, optional tray and buses for one test."""

    pointer = True          # input is real: xdotool moves the pointer and types

    def __init__(self, artifacts, tray=True):
        self.artifacts = artifacts
        self.tray = tray
        self.procs = []
        self.root = tempfile.mkdtemp(prefix="quorvel-e2e-")
        self.env = dict(os.environ)

    # --- starting and stopping -------------------------------------------
    def start(self):
        os.makedirs(self.artifacts, exist_ok=True)
        r, w = os.pipe()
        xvfb = self._spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", "1280x1024x24",
                            "-nolisten", "tcp", "-noreset"], pass_fds=(w,))
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start (exit %s)" % xvfb.poll())
        runtime = os.path.join(self.root, "desktop-runtime")
        os.makedirs(runtime, mode=0o700)
        self.env.update({
            "DISPLAY": ":" + number,
            "XDG_RUNTIME_DIR": runtime,
            "HOME": os.path.join(self.root, "desktop-home"),
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            "NO_AT_BRIDGE": "0",
            "LC_ALL": "C.UTF-8",
        })
        self.env.pop("SESSION_MANAGER", None)
        os.makedirs(self.env["HOME"], exist_ok=True)
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        self._spawn(["openbox", "--sm-disable"])
        wait_for("the window manager", lambda: "window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.env, capture_output=True, text=True).stdout)
        if self.tray:
            self._spawn(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel",
                         "--width", "120", "--height", "32", "--SetDockType", "true",
                         "--transparent", "false", "--expand", "false"])
            wait_for("the notification area", lambda: self.xdotool("search", "--class", "trayer", check=False))
        # pyatspi reads the session bus from our own environment.
        os.environ.update({k: self.env[k] for k in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS")})
        return self

    def stop(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
        for p in reversed(self.procs):
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait()
        shutil.rmtree(self.root, ignore_errors=True)

    def _spawn(self, argv, **kw):
        kw.setdefault("stdout", subprocess.DEVNULL)
        kw.setdefault("stderr", subprocess.DEVNULL)
        p = subprocess.Popen(argv, env=self.env, **kw)
        self.procs.append(p)
        return p

    # --- input and the screen --------------------------------------------
    def xdotool(self, *args, check=True):
        out = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True)
        if check and out.returncode != 0:
            raise AssertionError("xdotool %s failed: %s" % (" ".join(args), out.stderr.strip()))
        return out.stdout.strip()

    def screenshot(self, name):
        path = os.path.join(self.artifacts, name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def tray_icon(self):
        """The program's icon in the notification area, as a window id."""
        tree = subprocess.run(["xwininfo", "-root", "-tree"], env=self.env, capture_output=True,
                              text=True).stdout
        panel_depth = None
        for line in tree.splitlines():
            depth = len(line) - len(line.lstrip())
            if panel_depth is not None and depth <= panel_depth:
                panel_depth = None
            if '"panel"' in line:  # the notification area's own window
                panel_depth = depth
            elif panel_depth is not None and '"quorvel"' in line:
                return line.split()[0]
        return None

    def geometry(self, wid):
        out = self.xdotool("getwindowgeometry", "--shell", wid)
        g = dict(line.split("=", 1) for line in out.splitlines())
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    def click_at(self, x, y, button=1, double=False):
        self.xdotool("mousemove", str(x), str(y))
        self.xdotool("click", *(("--repeat", "2", "--delay", "80") if double else ()), str(button))

    def click_window(self, wid, button=1, double=False):
        x, y, width, height = self.geometry(wid)
        self.click_at(x + width // 2, y + height // 2, button, double)


class WaylandDesktop(Desktop):
    """A headless Wayland compositor (weston) and the same buses, with no X
    display at all, so the program can only come up on Qt's Wayland plugin.
    Without a pointer to drive, controls are worked through their
    accessibility actions, and there are no screenshots."""

    pointer = False
    SOCKET = "wayland-e2e"

    def __init__(self, artifacts):
        super().__init__(artifacts, tray=False)

    @staticmethod
    def missing():
        """Why this desktop cannot start here, or None."""
        return None if shutil.which("weston") else "weston is not installed"

    def start(self):
        os.makedirs(self.artifacts, exist_ok=True)
        runtime = os.path.join(self.root, "desktop-runtime")
        os.makedirs(runtime, mode=0o700)
        # Every user of the program has a runtime folder of their own, so the
        # compositor is named by its socket's full path.
        display = os.path.join(runtime, self.SOCKET)
        for name in ("DISPLAY", "XAUTHORITY", "SESSION_MANAGER"):
            self.env.pop(name, None)
        self.env.update({
            "WAYLAND_DISPLAY": display,
            "XDG_RUNTIME_DIR": runtime,
            "XDG_SESSION_TYPE": "wayland",
            "HOME": os.path.join(self.root, "desktop-home"),
            "QT_QPA_PLATFORM": "wayland",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "QT_ACCESSIBILITY": "1",
            "NO_AT_BRIDGE": "0",
            "LC_ALL": "C.UTF-8",
        })
        os.makedirs(self.env["HOME"], exist_ok=True)
        # No screen locking while a test runs; the pixman renderer needs no GPU.
        weston = self._spawn(["weston", "--backend=headless-backend.so", "--socket=" + self.SOCKET,
                              "--no-config", "--idle-time=0", "--use-pixman", "--width=1280", "--height=1024",
                              "--log=" + os.path.join(self.artifacts, "weston.log")])

        def listening():
            if weston.poll() is not None:
                raise RuntimeError("weston ended (exit %s): see %s/weston.log" % (weston.returncode, self.artifacts))
            with socket.socket(socket.AF_UNIX) as s:
                return s.connect_ex(display) == 0
        wait_for("the Wayland compositor", listening)
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
        self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        # pyatspi finds the accessibility bus through the session bus, and
        # would look on an X display first if one were named.
        os.environ.pop("DISPLAY", None)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = self.env["DBUS_SESSION_BUS_ADDRESS"]
        return self

    def screenshot(self, name):
        return None


class Quorvel:
    """One user of the program: a home, a runtime folder and a data folder
    of their own, and the copies of the program they start."""

    def __init__(self, desktop, exe, name):
        self.desktop = desktop
        self.exe = exe
        self.home = os.path.join(desktop.root, name)
        self.runtime = os.path.join(self.home, "runtime")
        os.makedirs(self.runtime, mode=0o700)
        self.env = dict(desktop.env, HOME=self.home, XDG_RUNTIME_DIR=self.runtime,
                        XDG_DATA_HOME=os.path.join(self.home, "data"))
        self.logs = []
        self.runs = []

    def start(self, *args, env=None):
        log = open(os.path.join(self.desktop.artifacts, "%s-%d.log" % (os.path.basename(self.home),
                                                                     len(self.logs) + 1)), "w")
        self.logs.append(log.name)
        p = subprocess.Popen([self.exe, *args], env=dict(self.env, **(env or {})),
                             stdout=log, stderr=subprocess.STDOUT)
        self.runs.append(p)
        return p

    def stop_all(self):
        # Ended as a desktop ends a program: the copy writes its drafts and,
        # in a coverage build, its counters. One that does not end is killed.
        for p in self.runs:
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()

    def log_text(self):
        return "".join(pathlib.Path(path).read_text(errors="replace") for path in self.logs)

    def sql(self, statement, *params):
        con = sqlite3.connect(os.path.join(self.env["XDG_DATA_HOME"], "Ostwick", "quorvel", "quorvel.mdb"))
        con.create_collation("LISTORDER", lambda a, b: (a.lower() > b.lower()) - (a.lower() < b.lower()))
        try:
            rows = con.execute(statement, params).fetchall()
            con.commit()
            return rows
        finally:
            con.close()
