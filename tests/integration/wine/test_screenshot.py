"""F5 on the Windows saver under Wine: the next free names of the series, the
picture against a capture of the screen at a width whose rows need padding,
and a program folder the user cannot write, which sends the file to the
Pictures known folder."""

import os
import subprocess
import sys
import time

import winetest
from winetest import SaverTestCase

sys.path.insert(0, os.path.join(winetest.HERE, "..", "harness"))
import bmp_compare  # noqa: E402
from wine import WINE64, WINESERVER, stop_server  # noqa: E402

WIDTH, HEIGHT = 1366, 768
SHOT_TIMEOUT = 60.0
VK_F5 = 116
# Wine's server opens the files for its programs: it runs, like them,
# without the right to pass over file permissions, as a user does.
NO_PERMISSION_OVERRIDE = ["setpriv", "--bounding-set=-dac_override,-dac_read_search,-fowner",
                          "--"]
SLOW_FRAMES = {"FrameSleepTimeMs": ("REG_DWORD", str(bmp_compare.FRAME_PAUSE_MS)),
               "ShowTime": ("REG_DWORD", "1"), "MovingViewpoint": ("REG_DWORD", "0"),
               "TextColorEnum": ("REG_DWORD", "3"),
               "TextColor": ("REG_DWORD", str(bmp_compare.TEXT_COLORREF))}


def shot(number):
    return "ps_screenshot_%03d.bmp" % number


class WineScreenshotTest(SaverTestCase):
    screen_size = (WIDTH, HEIGHT)

    def install(self, folder):
        """The measuring build (its clock can move on by a fixed step a
        frame, so slow frames still show times in flight) in folder."""
        probe = self.wine.install_saver(
            winetest.options.bin_dir, folder=folder, saver_name="ChronovaleProbe.scr",
            library_name="CHRONOVALEPROBE.DLL", source_saver="ChronovaleProbe.scr")
        return probe, os.path.dirname(probe)

    def start(self, probe):
        self.set_values(SLOW_FRAMES)
        env = self.wine.env(**bmp_compare.STEPPED_CLOCK_ENV)
        proc = self.start_saver("/s", saver=probe, env=env)
        return proc, self.saver_window(proc)

    def press_f5(self):
        tool = os.path.join(winetest.options.tools_dir, "post_key.exe")
        code, _, err = self.procs.run_program([WINE64, tool, str(VK_F5)],
                                              self.wine.env(), timeout=60)
        self.assertEqual(code, 0, "post_key: " + err)

    def test_f5_writes_the_next_free_names_with_the_picture_on_the_screen(self):
        probe, folder = self.install(r"C:\Shots")
        for number in (0, 1):
            with open(os.path.join(folder, shot(number)), "wb") as f:
                f.write(b"earlier %d" % number)
        proc, window = self.start(probe)
        time.sleep(bmp_compare.FRAMES_BEFORE_SHOT * bmp_compare.FRAME_PAUSE_MS / 1000)

        self.press_f5()
        path = os.path.join(folder, shot(2))
        self.assertTrue(bmp_compare.wait_for_complete_bmp(path, WIDTH, HEIGHT, SHOT_TIMEOUT),
                        "no " + shot(2))
        # Wine copies an OpenGL child window's picture to the screen one swap
        # late: the frame in the file is on the screen during the pause after
        # the next frame, the middle of which the capture is taken in.
        capture = bmp_compare.capture_after(
            self.xvfb, os.path.join(self.wine.path, "screen.png"),
            settle=1.5 * bmp_compare.FRAME_PAUSE_MS / 1000)
        bmp_compare.compare_with_screen(self, path, capture, (0, 0, WIDTH, HEIGHT))

        os.unlink(os.path.join(folder, shot(0)))
        self.press_f5()
        self.assertTrue(bmp_compare.wait_for_complete_bmp(
            os.path.join(folder, shot(3)), WIDTH, HEIGHT, SHOT_TIMEOUT), "no " + shot(3))
        with open(os.path.join(folder, shot(1)), "rb") as f:
            self.assertEqual(f.read(), b"earlier 1")
        self.assertFalse(os.path.exists(os.path.join(folder, shot(0))))
        self.assert_still_running(proc, "after F5")

    def test_a_folder_the_user_cannot_write_sends_the_file_to_pictures(self):
        probe, folder = self.install(r"C:\ReadOnly")
        # The prefix's Pictures leads to this machine's home folder: the test
        # gives it a folder of its own.
        pictures = self.wine.unix_path(r"C:\users\%s\Pictures" % os.environ.get("USER", "root"))
        if os.path.islink(pictures):
            os.unlink(pictures)
        os.makedirs(pictures, exist_ok=True)
        with open(os.path.join(pictures, shot(0)), "wb") as f:
            f.write(b"the user's own")
        stop_server(self.wine.path)
        subprocess.run(NO_PERMISSION_OVERRIDE + [WINESERVER, "-p60"], env=self.wine.env(),
                       timeout=30, check=False)
        os.chmod(folder, 0o555)
        self.addCleanup(os.chmod, folder, 0o755)
        proc, window = self.start(probe)
        self.press_f5()
        self.assertTrue(bmp_compare.wait_for_complete_bmp(
            os.path.join(pictures, shot(1)), WIDTH, HEIGHT, SHOT_TIMEOUT),
            "no %s in Pictures: %s; program folder: %s"
            % (shot(1), os.listdir(pictures), os.listdir(folder)))
        with open(os.path.join(pictures, shot(0)), "rb") as f:
            self.assertEqual(f.read(), b"the user's own")
        self.assertEqual(sorted(os.listdir(folder)), ["CHRONOVALEPROBE.DLL", "ChronovaleProbe.scr"])
        self.assert_still_running(proc, "after F5")


if __name__ == "__main__":
    winetest.main()
