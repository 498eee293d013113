"""The overlay layer of the Windows build under Wine: on the screen of the
full-screen saver, the frame rate top right and the date line bottom left
exactly when their settings are on and the banner bottom right in a first
run (the flying times in pure blue, so red light is the overlay's); with
every element on, no decoder message. The glyphs against their cells of
picture 142 in CHRONOVALE.DLL, the banner's alpha and the preview title are
read from the back buffer of a top-level WGL window by imagery_gl, since a
preview child inside another process's window never shows under Wine."""

import os
import sys
import time

from winetest import SaverTestCase, main, options

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "x11"))
from overlay_pictures import SETTLE_SECONDS, ScreenChecks  # noqa: E402

RUN_SECONDS = 4.0


class OverlayTest(ScreenChecks, SaverTestCase):

    def full_screen_shot(self, name, values):
        self.set_values({key: ("REG_DWORD", str(value)) for key, value in values.items()})
        proc = self.start_saver("/s")
        window = self.saver_window(proc)
        time.sleep(SETTLE_SECONDS)
        path = os.path.join(self.wine.root, "%d-%s" % (len(os.listdir(self.wine.root)), name))
        self.xvfb.screenshot(path)
        self.assert_still_running(proc, "while the screenshot was taken")
        self.xvfb.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc), 0)
        return path

    def test_overlay_glyphs_and_elements_on_a_real_context(self):
        tool = os.path.join(options.tools_dir, "imagery_gl.exe")
        library = "Z:" + os.path.join(options.bin_dir, "CHRONOVALE.DLL")
        code, out, err = self.procs.run_program(
            self.wine.saver_command(tool, "check", library), self.wine.env(), timeout=120)
        self.assertEqual(code, 0, out + err)
        self.assertIn("check passed", out)

    def test_saver_with_every_element_runs_without_a_decoder_message(self):
        self.set_values({name: ("REG_DWORD", "1") for name in ("ShowFramerate", "ShowTime")})
        proc = self.start_saver("/s")
        window = self.saver_window(proc)
        time.sleep(RUN_SECONDS)
        self.assertEqual(self.xvfb.search_windows("^JPEG Error$"), [])
        self.assert_still_running(proc, "with the overlay on")
        self.xvfb.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc), 0)


if __name__ == "__main__":
    main()
