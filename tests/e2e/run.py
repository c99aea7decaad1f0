#!/usr/bin/python3
"""Starts a desktop (display, window manager, notification area unless
--no-tray, buses; with --wayland a headless Wayland compositor and the
buses instead), runs the named end-to-end test modules on it and stops
what it started. Run by CTest; a failure leaves a screenshot and the
program's log in the artifacts folder. A desktop that cannot start here
skips the tests (exit code SKIPPED)."""

import argparse
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from desktop import Desktop, WaylandDesktop  # noqa: E402

SKIPPED = 77


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--no-tray", action="store_true")
    parser.add_argument("--wayland", action="store_true")
    parser.add_argument("tests", nargs="+")
    args = parser.parse_args()

    if args.wayland:
        missing = WaylandDesktop.missing()
        if missing:
            print("skipped: %s (it is in tools/deps.sh)" % missing)
            return SKIPPED
        desktop = WaylandDesktop(args.artifacts)
    else:
        desktop = Desktop(args.artifacts, tray=not args.no_tray)
    try:
        desktop.start()
        import steps  # pyatspi reads the buses of the desktop just started
        steps.Case.desktop = desktop
        steps.Case.exe = args.exe
        suite = unittest.defaultTestLoader.loadTestsFromNames(args.tests)
        result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
        return 0 if result.wasSuccessful() else 1
    finally:
        desktop.stop()


if __name__ == "__main__":
    sys.exit(main())
