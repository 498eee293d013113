"""The music player of the Linux saver: the test player is the desktop's
default application for a MIME type of the test's own (XDG_DATA_HOME and
mimeapps.list), and records its arguments and the close requests it gets."""

import os
import signal
import time

import saver_support
from desktop_apps import DesktopApps, read_log
from saver_support import FULL_SCREEN_TITLE, SaverTestCase, tool
from xserver import wait_until

MIME_TYPE = "application/x-chronovale-test-music"
EXTENSION = "cvtest"
PLAYER_TIMEOUT = 20.0
# Longer than the saver waits for a player's window.
QUIET_PERIOD = 6.0


def regedit_text(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def process_state(pid):
    """The one-letter state of a process, None when it is gone."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0]
    except (FileNotFoundError, ProcessLookupError):
        return None


def children_of(pid):
    try:
        with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
            return [int(child) for child in f.read().split()]
    except FileNotFoundError:
        return []


class MusicTest(SaverTestCase):
    def setUp(self):
        super().setUp()
        self.apps = DesktopApps(self.dir / "desktop", config_home=self.config_dir)
        self.apps.add_mime_type(MIME_TYPE, EXTENSION)
        player = self.apps.add_application("test-player", str(tool("test_player")), "%f")
        self.apps.set_default(MIME_TYPE, player)
        self.log = self.dir / "player.log"
        self.music = self.dir / 'my music' / 'night "mix" -1.cvtest'
        self.music.parent.mkdir()
        self.music.write_bytes(b"not really music")

    def start(self, *args, document=None, windows=0, mode="", play=1):
        document = str(self.music if document is None else document)
        self.write_settings(['"PlayMusic"=dword:%08x' % play,
                             '"MusicFilename"="%s"' % regedit_text(document)])
        env = dict(self.apps.env(), CHRONOVALE_TEST_LOG=self.log,
                   CHRONOVALE_TEST_PLAYER_WINDOWS=windows, CHRONOVALE_TEST_PLAYER_MODE=mode)
        return self.start_saver(*(args or ("/s",)), **env)

    def player_pid(self):
        wait_until(lambda: any(kind == "pid" for kind, _ in read_log(self.log)), PLAYER_TIMEOUT)
        pids = [int(text) for kind, text in read_log(self.log) if kind == "pid"]
        self.assertEqual(len(pids), 1, read_log(self.log))
        self.addCleanup(self.end_if_running, pids[0])
        return pids[0]

    @staticmethod
    def end_if_running(pid):
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass

    def close_saver(self, proc):
        # The saver's window comes after its wait for the player's.
        window = self.find_one(FULL_SCREEN_TITLE, timeout=PLAYER_TIMEOUT)
        self.x.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc)[0], 0)

    def test_player_gets_the_document_and_each_window_a_close_request(self):
        proc = self.start(windows=3)
        pid = self.player_pid()
        # The player is started through GIO alone: no toolkit comes with it.
        self.assertTrue(saver_support.maps_library(proc.pid, saver_support.GIO_MODULE))
        for library in (saver_support.GTK_LIBRARY, saver_support.DESKTOP_MODULE):
            self.assertFalse(saver_support.maps_library(proc.pid, library), library)
        self.assertTrue(wait_until(lambda: len(self.x.search_windows("^Test Player")) == 3,
                                   PLAYER_TIMEOUT))
        self.assertEqual([text for kind, text in read_log(self.log) if kind == "arg"],
                         [str(self.music)])
        self.close_saver(proc)
        self.assertTrue(wait_until(lambda: process_state(pid) is None, PLAYER_TIMEOUT),
                        "the player still runs: %s" % read_log(self.log))
        self.assertEqual(sorted(line for line in read_log(self.log) if line[0] == "close"),
                         [("close", "0"), ("close", "1"), ("close", "2")])
        self.assertNotIn(("term", ""), read_log(self.log))

    def test_windowless_player_is_ended_and_one_that_ignores_closing_is_left(self):
        proc = self.start(mode="stay")
        pid = self.player_pid()
        time.sleep(1.0)
        self.assertIn(pid, children_of(proc.pid))
        self.close_saver(proc)
        self.assertTrue(wait_until(lambda: ("term", "") in read_log(self.log), PLAYER_TIMEOUT),
                        "no SIGTERM for the windowless player: %s" % read_log(self.log))

        self.log.unlink()
        proc = self.start(windows=1, mode="ignore")
        pid = self.player_pid()
        self.assertTrue(self.x.find_windows("^Test Player 0$", timeout=PLAYER_TIMEOUT))
        self.close_saver(proc)
        self.assertTrue(wait_until(lambda: ("ignored", "0") in read_log(self.log),
                                   PLAYER_TIMEOUT))
        time.sleep(1.0)
        self.assertEqual(process_state(pid) not in (None, "Z"), True,
                         "a player with a window is only asked to close")

    def test_player_that_ends_at_once_is_reaped_while_the_saver_runs(self):
        proc = self.start(windows=0)
        pid = self.player_pid()
        self.assertTrue(wait_until(lambda: process_state(pid) is None, PLAYER_TIMEOUT),
                        "the ended player is %s" % process_state(pid))
        self.assertIsNone(proc.poll())
        self.close_saver(proc)

    def test_nothing_starts_without_a_player_a_file_or_a_full_screen(self):
        unknown = self.dir / "sound.zzunknown"
        unknown.write_bytes(b"x")
        long_name = self.dir / ("d" * 200) / ("f" * 200 + "." + EXTENSION)
        long_name.parent.mkdir()
        long_name.write_bytes(b"x")
        host, host_window = self.start_host_window(320, 240, "Host")
        runs = [
            (("/s",), {"document": unknown}),
            (("/s",), {"document": self.dir / "missing.cvtest"}),
            (("/s",), {"document": self.music.parent}),
            (("/s",), {"play": 0}),
            (("/p", str(host_window)), {}),
            (("-window",), {}),
        ]
        for args, settings in runs:
            proc = self.start(*args, windows=1, **settings)
            time.sleep(QUIET_PERIOD if args == ("/s",) and "play" not in settings else 2.0)
            self.assertEqual(read_log(self.log), [], "%s %s" % (args, settings))
            self.assertIsNone(proc.poll(), "%s %s ended" % (args, settings))
            self.stop(proc)
            self.wait_exit(proc)

        # A name near the settings' 500 bytes still reaches the player.
        self.assertLess(len(str(long_name)), 500)
        proc = self.start(document=long_name, windows=1)
        self.player_pid()
        self.assertEqual([text for kind, text in read_log(self.log) if kind == "arg"],
                         [str(long_name)])
        self.close_saver(proc)


if __name__ == "__main__":
    saver_support.main()
