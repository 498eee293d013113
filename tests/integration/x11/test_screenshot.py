"""F5 on the Linux saver: the next free names of the series, the picture
against a capture of the screen at a width whose rows need padding, and a
program folder the saver cannot write."""

import os
import shutil
import sys
import time

import saver_support
from saver_support import NO_CLOCK_CHANGE, SaverTestCase

sys.path.insert(0, str(saver_support.HARNESS))
import bmp_compare  # noqa: E402

WIDTH, HEIGHT = 1366, 768
SHOT_TIMEOUT = 30.0
# The saver without the right to pass over file permissions, as a user is.
NO_PERMISSION_OVERRIDE = ["setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner",
                          "--"]
SLOW_FRAMES = ['"FrameSleepTimeMs"=dword:%08x' % bmp_compare.FRAME_PAUSE_MS,
               '"ShowTime"=dword:00000001', '"MovingViewpoint"=dword:00000000',
               '"TextColorEnum"=dword:00000003', '"TextColor"=dword:%08x' % bmp_compare.TEXT_COLORREF]


def shot(number):
    return "ps_screenshot_%03d.bmp" % number


class ScreenshotTest(SaverTestCase):
    screen_size = (WIDTH, HEIGHT)

    def install(self):
        """The measuring build under the saver's name: the same program,
        whose clock can move on by a fixed step a frame, so that slow frames
        still show times in flight."""
        folder = self.dir / "program"
        folder.mkdir()
        shutil.copy2(saver_support.BIN_DIR / "chronovale-probe", folder / "chronovale")
        shutil.copy2(saver_support.BIN_DIR / "chronovale.so", folder / "chronovale.so")
        return folder

    def press_f5(self, window):
        self.x.focus_and_key(window, "F5")

    def test_f5_writes_the_next_free_names_with_the_picture_on_the_screen(self):
        folder = self.install()
        for number in (0, 1):
            (folder / shot(number)).write_bytes(b"earlier %d" % number)
        self.write_settings(SLOW_FRAMES)
        proc, window = self.start_full_screen_from(folder)

        time.sleep(bmp_compare.FRAMES_BEFORE_SHOT * bmp_compare.FRAME_PAUSE_MS / 1000)
        self.press_f5(window)
        self.assertTrue(bmp_compare.wait_for_complete_bmp(folder / shot(2), WIDTH, HEIGHT,
                                                          SHOT_TIMEOUT), "no %s" % shot(2))
        capture = bmp_compare.capture_after(self.x, self.dir / "screen.png")
        bmp_compare.compare_with_screen(self, folder / shot(2), capture, (0, 0, WIDTH, HEIGHT))

        # The counter only grows: a name freed meanwhile is not filled again.
        (folder / shot(0)).unlink()
        self.press_f5(window)
        self.assertTrue(bmp_compare.wait_for_complete_bmp(folder / shot(3), WIDTH, HEIGHT,
                                                          SHOT_TIMEOUT), "no %s" % shot(3))
        self.assertEqual((folder / shot(1)).read_bytes(), b"earlier 1")
        self.assertFalse((folder / shot(0)).exists())
        self.assert_still_running(proc, 0.5)

    def test_a_folder_the_user_cannot_write_sends_the_file_to_pictures(self):
        folder = self.install()
        pictures = self.dir / "Pictures"
        pictures.mkdir()
        (pictures / shot(0)).write_bytes(b"the user's own")
        self.write_settings(SLOW_FRAMES)
        os.chmod(folder, 0o555)
        self.addCleanup(os.chmod, folder, 0o755)
        proc, window = self.start_full_screen_from(folder, prefix=NO_PERMISSION_OVERRIDE,
                                                   XDG_PICTURES_DIR=pictures)
        self.press_f5(window)
        self.assertTrue(bmp_compare.wait_for_complete_bmp(pictures / shot(1), WIDTH, HEIGHT,
                                                          SHOT_TIMEOUT), "no %s" % shot(1))
        self.assertEqual((pictures / shot(0)).read_bytes(), b"the user's own")
        self.assertEqual(sorted(p.name for p in folder.iterdir()), ["chronovale", "chronovale.so"])
        self.assert_still_running(proc, 0.5)
        self.stop(proc)
        self.wait_exit(proc)

        # The user's folder list names it: the last line that reads, with
        # $HOME and an escaped quote.
        home = self.dir / "home"
        listed = home / 'My "Pics"'
        listed.mkdir(parents=True)
        (self.config_dir / "user-dirs.dirs").write_text(
            '# XDG_PICTURES_DIR="/nowhere"\nXDG_PICTURES_DIR="%s"\n'
            'XDG_PICTURES_DIR = "$HOME/My \\"Pics\\""\nXDG_PICTURES_DIR=relative\n' % pictures)
        proc, window = self.start_full_screen_from(folder, prefix=NO_PERMISSION_OVERRIDE,
                                                   XDG_PICTURES_DIR=None, HOME=home)
        self.press_f5(window)
        self.assertTrue(bmp_compare.wait_for_complete_bmp(listed / shot(0), WIDTH, HEIGHT,
                                                          SHOT_TIMEOUT), "no %s" % shot(0))
        self.stop(proc)
        self.wait_exit(proc)

        # Without a pictures folder (none in the environment, none in the
        # user's folder list) the file goes to the home folder.
        (self.config_dir / "user-dirs.dirs").unlink()
        proc, window = self.start_full_screen_from(folder, prefix=NO_PERMISSION_OVERRIDE,
                                                   XDG_PICTURES_DIR=None, HOME=home)
        self.press_f5(window)
        self.assertTrue(bmp_compare.wait_for_complete_bmp(home / shot(0), WIDTH, HEIGHT,
                                                          SHOT_TIMEOUT), "no %s" % shot(0))

    def start_full_screen_from(self, folder, prefix=(), **env):
        proc = self.procs.start_program(
            list(prefix) + NO_CLOCK_CHANGE + [str(folder / "chronovale"), "/s"],
            self.env(**dict(bmp_compare.STEPPED_CLOCK_ENV, **env)))
        return proc, self.find_one(saver_support.FULL_SCREEN_TITLE)


if __name__ == "__main__":
    saver_support.main()
