"""Common ground of the Wine test scripts: options, one display and one
prefix per script run, and starting, finding and ending the saver.

A script subclasses SaverTestCase and calls main(); every test method then
shares the class's Xvfb, prefix and C:\\Savers folder, and clears the
settings key before it starts. A script with a saver of its own to install
(the installer's) subclasses PrefixTestCase instead.
"""

import argparse
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))

from wine import CHRONOVALE_KEY, WinePrefix, dword_value  # noqa: E402,F401
from xserver import Processes, Xvfb, wait_until  # noqa: E402,F401

SAVER_TITLE = "^Screen Saver$"
WINDOW_TIMEOUT = 30.0
# A saver's teardown under Wine without a window manager waits about two
# seconds for the window to be withdrawn; exits are allowed plenty more.
EXIT_TIMEOUT = 30.0
SCREEN_WIDTH, SCREEN_HEIGHT = 1024, 768

options = argparse.Namespace(bin_dir=None, tools_dir=None)


def parse_options(more_paths=()):
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin-dir", required=True,
                        help="folder of Chronovale.scr and CHRONOVALE.DLL")
    parser.add_argument("--tools-dir", help="folder of the test programs")
    for name in more_paths:
        parser.add_argument("--" + name, required=True)
    known, rest = parser.parse_known_args()
    for name, value in vars(known).items():
        setattr(options, name, os.path.abspath(value) if value else None)
    options.tools_dir = options.tools_dir or options.bin_dir
    return [sys.argv[0]] + rest


def main(more_paths=()):
    """Runs the script's tests; more_paths names further required --options,
    each a file or folder the script's tests read (as options.NAME)."""
    argv = parse_options(more_paths)
    unittest.main(argv=argv, verbosity=2)


class PrefixTestCase(unittest.TestCase):
    """One display and one prefix for the whole class, and the programs each
    test starts ended after it. Both are removed even when a subclass's
    setUpClass fails after this one's."""

    depth = 24  # bits per pixel of the class's display
    screen_size = (SCREEN_WIDTH, SCREEN_HEIGHT)

    @classmethod
    def setUpClass(cls):
        cls.xvfb = Xvfb(cls.screen_size[0], cls.screen_size[1], cls.depth)
        cls.xvfb.start()
        cls.addClassCleanup(cls.xvfb.stop)
        cls.wine = WinePrefix(cls.xvfb)
        cls.wine.__enter__()
        cls.addClassCleanup(cls.wine.close)

    def setUp(self):
        self.procs = Processes()
        self.procs.__enter__()
        self.addCleanup(self.procs.__exit__, None, None, None)


class SaverTestCase(PrefixTestCase):
    """The saver in C:\\Savers of the class's prefix; each test starts with
    no settings."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.saver = cls.wine.install_saver(options.bin_dir)

    def setUp(self):
        super().setUp()
        self.wine.reg_delete_key()

    # Starting and ending programs -------------------------------------------

    def start_saver(self, *arguments, saver=None, env=None):
        command = self.wine.saver_command(saver or self.saver, *arguments)
        return self.procs.start_program(command, env or self.wine.env(),
                                        cwd=os.path.dirname(saver or self.saver))

    def run_saver(self, *arguments, saver=None, timeout=EXIT_TIMEOUT):
        """Runs the saver to its end; returns its exit code."""
        code, _, _ = self.procs.wait(self.start_saver(*arguments, saver=saver),
                                     timeout)
        return code

    def wait_exit(self, proc, timeout=EXIT_TIMEOUT):
        code, _, _ = self.procs.wait(proc, timeout)
        return code

    def assert_still_running(self, proc, what):
        self.assertIsNone(proc.poll(), "the saver ended: " + what)

    def saver_window(self, proc, title=SAVER_TITLE):
        """The X window of the running saver (fails when none appears)."""
        found = self.xvfb.find_windows(title, timeout=WINDOW_TIMEOUT)
        if not found:
            out, err = self.procs.output(proc)
            self.fail("no window %s appeared (saver %s)\n%s%s"
                      % (title, "ended with %s" % proc.poll()
                         if proc.poll() is not None else "running", out, err))
        return found[0]

    def dismiss(self, window_id):
        self.xvfb.focus_and_key(window_id, "Return")

    # Settings ---------------------------------------------------------------

    def settings(self):
        return self.wine.reg_query(CHRONOVALE_KEY)

    def set_values(self, values):
        """values: {name: (REG_type, data text)} written before a start."""
        for name, (value_type, data) in values.items():
            self.wine.reg_add(name, value_type, data)

    def assert_dword(self, values, name, expected):
        self.assertIn(name, values)
        value_type, data = values[name]
        self.assertEqual(value_type, "REG_DWORD", name)
        self.assertEqual(dword_value(data), expected, name)

    def assert_text(self, values, name, expected):
        self.assertIn(name, values)
        self.assertEqual(values[name], ("REG_SZ", expected), name)
