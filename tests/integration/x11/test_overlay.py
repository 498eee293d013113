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

from overlay_pictures import BLUE_SCENE, SETTLE_SECONDS, ScreenChecks, red_lit, switches


def reg_lines(values):
    return ['"%s"=dword:%08x' % (name, value) for name, value in values.items()]


class OverlayOnScreen(ScreenChecks, SaverTestCase):

    def shot(self, name, proc):
        time.sleep(SETTLE_SECONDS)
        path = self.x.screenshot(self.dir / name)
        self.assert_still_running(proc, 0)
        return path

    def full_screen_shot(self, name, values):
        self.write_settings(reg_lines(values))
        proc, window = self.start_full_screen()
        path = self.shot(name, proc)
        self.x.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc)[0], 0)
        return path

    def test_preview_shows_the_title_in_the_middle_and_neither_corner_text(self):
        width, height = 320, 240
        self.write_settings(reg_lines({**BLUE_SCENE, **switches(1, 1)}))
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
