#!/usr/bin/python3
"""Starts a desktop (display, window manager, notification area unless
--no-tray, buses), runs the named end-to-end test modules on it and stops
what it started. Run by CTest; a failure leaves a screenshot and the
program's log in the artifacts folder."""

import argparse
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from desktop import Desktop  # noqa: E402


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--no-tray", action="store_true")
    parser.add_argument("tests", nargs="+")
    args = parser.parse_args()

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
