"""Input closes a full-screen saver: keys, buttons and a mouse movement of
more than four pixels; F5 and smaller movements do not."""

import time

from winetest import SaverTestCase, main

# Mouse movement over the OpenGL window counts only after its first second.
MOUSE_GRACE = 1.5
SETTLE = 1.5  # long enough for a close request to have ended the process


class InputTest(SaverTestCase):

    def running_saver(self):
        proc = self.start_saver("/s")
        window = self.saver_window(proc)
        return proc, window

    def test_key_and_button_presses_close_the_saver(self):
        for press in ("key", "button"):
            with self.subTest(press=press):
                proc, window = self.running_saver()
                if press == "key":
                    self.xvfb.focus_and_key(window, "a")
                else:
                    self.xvfb.click(1)
                self.assertEqual(self.wait_exit(proc), 0)

    def test_f5_keeps_the_saver_running(self):
        proc, window = self.running_saver()
        self.xvfb.focus_and_key(window, "F5")
        time.sleep(SETTLE)
        self.assert_still_running(proc, "after F5")
        self.xvfb.key("Escape")
        self.assertEqual(self.wait_exit(proc), 0)

    def test_mouse_must_move_more_than_four_pixels(self):
        proc, _ = self.running_saver()
        time.sleep(MOUSE_GRACE)
        self.xvfb.move_mouse_relative(3, 0)
        time.sleep(SETTLE)
        self.assert_still_running(proc, "after a 3-pixel movement")
        # Back to where it started: the distance counts from there.
        self.xvfb.move_mouse_relative(-3, 0)
        time.sleep(SETTLE)
        self.assert_still_running(proc, "after returning to the start")
        self.xvfb.move_mouse_relative(6, 0)
        self.assertEqual(self.wait_exit(proc), 0)
        self.assert_dword(self.settings(), "UCS", 1)


if __name__ == "__main__":
    main()
