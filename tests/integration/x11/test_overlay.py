"""The overlay layer of the Linux saver, read from the screen of its own
Xvfb: the frame rate top right and the date line bottom left exactly when
their settings are on, the title banner bottom right during a first run, and
in preview mode the product name in the middle without either. The flying
times are drawn in pure blue, so any light with red in it is the overlay's
white text. Also the overlay font and pass on a real GLX context
(imagery_gl check) against picture 142 of chronovale.so."""

import time

import saver_support
from saver_support import SaverTestCase, Xvfb  # noqa: F401
import xserver

# The banner fades in at 0.075 per second: after this long it is at 0.3.
SETTLE_SECONDS = 4.0
WIDTH, HEIGHT = 1024, 768
# Blue flying times, no drifting view, no clock correction.
BLUE_SCENE = ['"TextColorEnum"=dword:00000003', '"TextColor"=dword:00ff0000',
              '"MovingViewpoint"=dword:00000000', '"SyncClock"=dword:00000000']
LATER_RUN = ['"UCS"=dword:0000000a']  # past the runs that show the notes
TOP_RIGHT = (WIDTH - 64, 0, 64, 32)
BOTTOM_LEFT = (0, HEIGHT - 40, 240, 40)
BOTTOM_RIGHT = (WIDTH - 440, HEIGHT - 40, 440, 32)
RED_LIT = 30  # the banner is at 0.3 of white when the screenshot is taken


def red_lit(path, region):
    """Pixels of region (x, y, width, height) whose red channel is lit."""
    _, _, rgb = xserver.read_rgb(path, region)
    return sum(1 for i in range(0, len(rgb), 3) if rgb[i] > RED_LIT)


def switches(frame_rate, date_line):
    return ['"ShowFramerate"=dword:%08x' % frame_rate, '"ShowTime"=dword:%08x' % date_line]


class OverlayOnScreen(SaverTestCase):

    def shot(self, name, proc):
        time.sleep(SETTLE_SECONDS)
        path = self.x.screenshot(self.dir / name)
        self.assert_still_running(proc, 0)
        return path

    def full_screen_shot(self, name, lines):
        self.write_settings(BLUE_SCENE + lines)
        proc, window = self.start_full_screen()
        path = self.shot(name, proc)
        self.x.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc)[0], 0)
        return path

    def test_frame_rate_and_date_line_show_exactly_when_switched_on(self):
        on = self.full_screen_shot("on.png", LATER_RUN + switches(1, 1))
        self.assertGreater(red_lit(on, TOP_RIGHT), 20, "no frame rate top right")
        self.assertGreater(red_lit(on, BOTTOM_LEFT), 100, "no date line bottom left")
        off = self.full_screen_shot("off.png", LATER_RUN + switches(0, 0))
        self.assertEqual(red_lit(off, TOP_RIGHT), 0)
        self.assertEqual(red_lit(off, BOTTOM_LEFT), 0)

    def test_first_run_shows_the_banner_bottom_right(self):
        shot = self.full_screen_shot("first.png", [])
        self.assertGreater(red_lit(shot, BOTTOM_RIGHT), 200, "no banner bottom right")
        self.assertEqual(red_lit(shot, BOTTOM_LEFT), 0)

    def test_preview_shows_the_title_in_the_middle_and_neither_corner_text(self):
        width, height = 320, 240
        self.write_settings(BLUE_SCENE + switches(1, 1))
        host, host_window = self.start_host_window(width, height, "Display Properties")
        proc = self.start_saver("/p", str(host_window))
        path = self.shot("preview.png", proc)
        info = self.x.window_info(host_window)
        left, top = int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"])
        middle = (left + width // 2 - 48, top + height // 2 - 10, 96, 20)
        self.assertGreater(red_lit(path, middle), 30, "no title in the middle")
        self.assertEqual(red_lit(path, (left + width - 48, top, 48, 24)), 0, "frame rate in preview")
        self.assertEqual(red_lit(path, (left, top + height - 28, 160, 28)), 0, "date line in preview")
        self.procs.kill(proc)
        self.procs.kill(host)


class OverlayOnAContext(SaverTestCase):

    def test_overlay_glyphs_and_elements_on_a_real_context(self):
        code, out, err = self.procs.run_program(
            [str(saver_support.tool("imagery_gl")), "check",
             str(saver_support.BIN_DIR / "chronovale.so")], self.env(), timeout=120)
        self.assertEqual(code, 0, out + err)
        self.assertIn("check passed", out)


if __name__ == "__main__":
    saver_support.main()
