"""What the Linux saver's integration tests share: where the programs are,
a test case that gives every test its own X server, settings folder and
process list, and a reader for the settings file that does not use the
saver's own code.

Each test script takes --bin-dir (the saver's folder) and --tools-dir (the
test tools' folder); the rest of its arguments go to unittest.
"""

import os
import re
import shutil
import signal
import sys
import time
import unittest
from pathlib import Path

HARNESS = Path(__file__).resolve().parent.parent / "harness"
sys.path.insert(0, str(HARNESS))

import xserver  # noqa: E402
from xserver import NO_CLOCK_CHANGE, Processes, Xvfb  # noqa: E402,F401

BIN_DIR = Path(os.environ.get("CHRONOVALE_BIN_DIR", "."))
TOOLS_DIR = Path(os.environ.get("CHRONOVALE_TOOLS_DIR", "."))
DESKTOP_MODULE = "chronovale-desktop.so"  # the GTK side, loaded beside the saver
GIO_MODULE = "chronovale-gio.so"  # the music player's start, loaded beside the saver
GTK_LIBRARY = "libgtk-3.so"



def mapped_files(pid):
    """The names of the files a running process has mapped."""
    with open("/proc/%d/maps" % pid) as maps:
        return {os.path.basename(line.split()[5]) for line in maps if len(line.split()) > 5}


def maps_library(pid, name):
    """True when the running process has a library or module whose file name
    starts with name loaded."""
    return any(f.startswith(name) for f in mapped_files(pid))


SETTINGS_KEY = r"[HKEY_CURRENT_USER\Software\Quillmere\Chronovale]"
FULL_SCREEN_TITLE = "^Screen Saver$"

# Generous limits: a loaded machine may take seconds for what takes
# milliseconds when idle. They bound a hang, they measure nothing.
START_TIMEOUT = 10.0
RUN_TIMEOUT = 30.0


def main():
    """Reads the folder options, then runs the script's tests."""
    global BIN_DIR, TOOLS_DIR
    rest = [sys.argv[0]]
    args = iter(sys.argv[1:])
    for arg in args:
        if arg == "--bin-dir":
            BIN_DIR = Path(next(args))
        elif arg == "--tools-dir":
            TOOLS_DIR = Path(next(args))
        else:
            rest.append(arg)
    unittest.main(argv=rest, verbosity=2)


def saver_program():
    return BIN_DIR / "chronovale"


def tool(name):
    return TOOLS_DIR / name


def parse_settings(text):
    """The values of the saver's key: name -> ("dword", int) / ("sz", str)
    / ("hex", bytes); other lines are ignored."""
    values = {}
    in_key = False
    for line in text.splitlines():
        if line.startswith("["):
            in_key = line == SETTINGS_KEY
            continue
        if not in_key:
            continue
        match = re.fullmatch(r'"([^"]+)"=dword:([0-9a-fA-F]{8})', line)
        if match:
            number = int(match.group(2), 16)
            if number >= 1 << 31:
                number -= 1 << 32
            values[match.group(1)] = ("dword", number)
            continue
        match = re.fullmatch(r'"([^"]+)"="((?:[^"\\]|\\.)*)"', line)
        if match:
            text_value = re.sub(r'\\(.)', r'\1', match.group(2))
            values[match.group(1)] = ("sz", text_value)
            continue
        match = re.fullmatch(r'"([^"]+)"=hex:([0-9a-fA-F,]*)', line)
        if match:
            values[match.group(1)] = ("hex", bytes.fromhex(
                match.group(2).replace(",", "")))
    return values


class SaverTestCase(unittest.TestCase):
    """One X server, one settings folder and one process list per test."""

    screen_depth = 24
    screen_size = (1024, 768)
    xvfb_args = ()

    def setUp(self):
        self.dir = Path(self.enterContext(xserver.temp_dir()))
        self.config_dir = self.dir / "config"
        self.config_dir.mkdir()
        self.x = self.enterContext(Xvfb(width=self.screen_size[0],
                                        height=self.screen_size[1],
                                        depth=self.screen_depth,
                                        extra_args=self.xvfb_args))
        self.procs = self.enterContext(Processes())

    @property
    def settings_path(self):
        return self.config_dir / "Quillmere" / "Chronovale.reg"

    def write_settings(self, lines):
        """A settings file as a user would write it: REGEDIT4, the key, lines."""
        self.settings_path.parent.mkdir(parents=True, exist_ok=True)
        text = "REGEDIT4\n\n" + SETTINGS_KEY + "\n" + "".join(
            line + "\n" for line in lines)
        self.settings_path.write_text(text, encoding="latin-1")

    def read_settings_text(self):
        return self.settings_path.read_text(encoding="latin-1")

    def settings(self):
        return parse_settings(self.read_settings_text())

    def env(self, **extra):
        extra.setdefault("XDG_CONFIG_HOME", self.config_dir)
        extra.setdefault("XSCREENSAVER_WINDOW", None)
        return self.x.env(**extra)

    def start_saver(self, *args, program=None, **env):
        return self.procs.start_program(
            NO_CLOCK_CHANGE + [str(program or saver_program())] + list(args),
            self.env(**env))

    def run_saver(self, *args, timeout=RUN_TIMEOUT, program=None, **env):
        return self.procs.wait(self.start_saver(*args, program=program, **env),
                               timeout)

    def wait_exit(self, proc, timeout=RUN_TIMEOUT):
        return self.procs.wait(proc, timeout)

    def assert_still_running(self, proc, seconds):
        """Waits, then fails if the program has ended meanwhile."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if proc.poll() is not None:
                out, err = self.procs.output(proc)
                self.fail("ended early with %s\nstderr:\n%s" % (proc.returncode, err))
            time.sleep(0.05)

    def find_one(self, title_regex, timeout=START_TIMEOUT):
        found = self.x.find_windows(title_regex, timeout=timeout)
        self.assertEqual(len(found), 1, "windows titled %s: %s" % (title_regex, found))
        return found[0]

    def start_full_screen(self, **env):
        """A full-screen saver that is up, with its window id."""
        proc = self.start_saver("/s", **env)
        window = self.find_one(FULL_SCREEN_TITLE)
        return proc, window

    def start_host_window(self, width, height, title):
        """A window of another program to draw into; (process, window id)."""
        proc = self.procs.start_program(
            [str(tool("x11_test_window")), "create", str(width), str(height), title],
            self.env())
        return proc, self.find_one("^%s$" % title)

    def children(self, window):
        """(id, title) of the direct children of a window."""
        tree = self.x.run_tool(["xwininfo", "-children", "-id", str(window)])
        found = []
        for line in tree.splitlines():
            match = re.match(r'\s+(0x[0-9a-f]+) (?:"([^"]*)"|\(has no name\))', line)
            if match:
                found.append((int(match.group(1), 16), match.group(2)))
        return found

    def view_in(self, parent, timeout=START_TIMEOUT):
        """The saver's OpenGL view inside parent, once it is on the screen;
        from then on the saver runs its frame loop and its teardown."""
        def shown():
            views = [child for child, title in self.children(parent) if title == "Chronovale"]
            if len(views) == 1:
                info = self.x.window_info(views[0])
                if info and info.get("Map State") == "IsViewable":
                    return views[0]
            return None
        view = xserver.wait_until(shown, timeout)
        self.assertTrue(view, "no OpenGL view shown in 0x%x: %s" % (parent, self.children(parent)))
        return view

    def children_of_root(self):
        text = self.x.run_tool(["xwininfo", "-root"])
        root = int(text.split("Window id: ")[1].split()[0], 16)
        return self.children(root)

    def dismiss_dialog(self, title, timeout=START_TIMEOUT):
        """Finds the one message box with this title and presses Return in it."""
        dialog = self.find_one("^%s$" % title, timeout=timeout)
        self.x.focus_and_key(dialog, "Return")
        return dialog

    def stop(self, proc, signal_number=signal.SIGTERM):
        os.kill(proc.pid, signal_number)

    def copy_saver_alone(self, name="chronovale", dialogs=True):
        """The saver copied into a folder of its own, without its library;
        with its desktop and GIO modules unless dialogs is false."""
        folder = self.dir / "alone"
        folder.mkdir(exist_ok=True)
        target = folder / name
        shutil.copy2(saver_program(), target)
        if dialogs:
            for module in (DESKTOP_MODULE, GIO_MODULE):
                shutil.copy2(BIN_DIR / module, folder)
        return target
