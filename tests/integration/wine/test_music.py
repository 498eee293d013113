"""The music player of the Windows saver under Wine: the test player is the
program associated with a test extension in the prefix's registry, and
records its command line, how it was asked to show itself and the WM_CLOSE
each of its windows gets."""

import os
import shutil
import time

import winetest
from winetest import EXIT_TIMEOUT, SaverTestCase, wait_until

EXTENSION = ".cvtest"
PLAYER_FOLDER = r"C:\Player"
MUSIC = r"C:\My Music\-night mix.cvtest"
PLAYER_TIMEOUT = 40.0
SW_HIDE = 0
# The saver waits this long at most for a player that never gets ready.
INPUT_IDLE_LIMIT = 10.0


def read_log(path):
    try:
        with open(path, encoding="latin-1") as f:
            lines = [line.rstrip("\r") for line in f.read().split("\n") if line]
    except FileNotFoundError:
        return []
    return [tuple(line.split(" ", 1)) if " " in line else (line, "") for line in lines]


class WineMusicTest(SaverTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        folder = cls.wine.unix_path(PLAYER_FOLDER)
        os.makedirs(folder, exist_ok=True)
        shutil.copy2(os.path.join(winetest.options.tools_dir, "test_player.exe"), folder)
        for key, data in ((r"HKCR\%s" % EXTENSION, "cvtestfile"),
                          (r"HKCR\cvtestfile\shell\open\command",
                           '"%s\\test_player.exe" "%%1"' % PLAYER_FOLDER)):
            cls.wine.reg_add(None, "REG_SZ", data, key=key)
        music = cls.wine.unix_path(MUSIC)
        os.makedirs(os.path.dirname(music), exist_ok=True)
        with open(music, "wb") as f:
            f.write(b"not really music")

    def setUp(self):
        super().setUp()
        self.log = os.path.join(self.wine.path, "player-%s.log" % self._testMethodName)

    def start(self, *args, document=MUSIC, windows=0, mode="", play=1):
        self.set_values({"PlayMusic": ("REG_DWORD", str(play)),
                         "MusicFilename": ("REG_SZ", document)})
        env = self.wine.env(CHRONOVALE_TEST_LOG=self.wine.windows_path(self.log),
                            CHRONOVALE_TEST_PLAYER_WINDOWS=windows,
                            CHRONOVALE_TEST_PLAYER_MODE=mode)
        return self.start_saver(*(args or ("/s",)), env=env)

    def close_saver(self, proc):
        self.xvfb.focus_and_key(self.saver_window(proc), "Escape")
        self.assertEqual(self.wait_exit(proc), 0)

    def logged(self, kind):
        return [text for k, text in read_log(self.log) if k == kind]

    def test_player_starts_hidden_and_each_window_is_asked_to_close(self):
        proc = self.start(windows=3)
        self.assertTrue(wait_until(lambda: self.logged("cmdline"), PLAYER_TIMEOUT))
        self.assertEqual(self.logged("cmdline"),
                         ['"%s\\test_player.exe" "%s"' % (PLAYER_FOLDER, MUSIC)])
        self.assertEqual(self.logged("show"), [str(SW_HIDE)])
        self.close_saver(proc)
        self.assertTrue(wait_until(lambda: len(self.logged("close")) == 3, PLAYER_TIMEOUT),
                        read_log(self.log))
        self.assertEqual(sorted(self.logged("close")), ["0", "1", "2"])

    def test_a_player_that_never_gets_ready_holds_the_start_for_a_limited_time(self):
        started = time.monotonic()
        proc = self.start(windows=1, mode="busy")
        self.saver_window(proc)
        waited = time.monotonic() - started
        self.assertTrue(self.logged("cmdline"))
        # The window came after the wait for the player had run out.
        self.assertGreaterEqual(waited, INPUT_IDLE_LIMIT * 0.9)
        self.close_saver(proc)

    def test_players_that_end_at_once_or_ignore_closing(self):
        proc = self.start(windows=0)
        self.assertTrue(wait_until(lambda: self.logged("cmdline"), PLAYER_TIMEOUT))
        self.close_saver(proc)

        os.unlink(self.log)
        proc = self.start(windows=1, mode="ignore")
        self.assertTrue(wait_until(lambda: self.logged("cmdline"), PLAYER_TIMEOUT))
        self.close_saver(proc)
        self.assertTrue(wait_until(lambda: self.logged("ignored") == ["0"], PLAYER_TIMEOUT))

    def test_nothing_starts_without_a_player_a_file_or_a_full_screen(self):
        unknown = r"C:\My Music\sound.zzunknown"
        with open(self.wine.unix_path(unknown), "wb") as f:
            f.write(b"x")
        for settings in ({"document": unknown}, {"document": r"C:\My Music\missing.cvtest"},
                         {"document": r"C:\My Music"}, {"play": 0},
                         {"document": "C:\\" + "x" * 480 + EXTENSION}):
            proc = self.start(windows=1, **settings)
            self.saver_window(proc)
            self.close_saver(proc)
            self.assertEqual(read_log(self.log), [], settings)

        # Preview: the preview host runs the saver inside its window.
        self.set_values({"PlayMusic": ("REG_DWORD", "1"), "MusicFilename": ("REG_SZ", MUSIC)})
        host = os.path.join(winetest.options.tools_dir, "preview_host.exe")
        env = self.wine.env(CHRONOVALE_TEST_LOG=self.wine.windows_path(self.log))
        code, out, err = self.procs.run_program(
            self.wine.saver_command(host, r"C:\Savers\Chronovale.scr", "input"), env,
            3 * EXIT_TIMEOUT)
        self.assertEqual(code, 0, out + err)
        self.assertEqual(read_log(self.log), [])


if __name__ == "__main__":
    winetest.main()
