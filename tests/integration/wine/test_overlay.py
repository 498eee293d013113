"""The overlay layer of the Windows build under Wine.

Wine on Xvfb never puts OpenGL drawn into a child window on the screen (a
top-level one shows), and the saver draws into a child of its saver window.
So what the overlay draws is read from the back buffer of a top-level WGL
window by imagery_gl: glyphs against their cells of picture 142 in
CHRONOVALE.DLL, then the overlay pass with its elements on and off, the
banner's alpha and the preview title. The saver itself runs with every
element on and must show no decoder message."""

import os
import time

from winetest import SaverTestCase, main, options

RUN_SECONDS = 4.0


class OverlayTest(SaverTestCase):

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
