"""The full-screen saver (/s) under Xvfb: its window, what closes it and
what does not, one saver at a time, the automatic close, stop signals, and
the view on a screen with two monitors."""

import signal
import subprocess
import time

import saver_support
from saver_support import FULL_SCREEN_TITLE, SaverTestCase

# The OpenGL window ignores the mouse for its first second.
MOUSE_GRACE_SECONDS = 1.0
# How long "keeps running" is watched: long enough for the saver to have
# handled the input many frames over.
KEEPS_RUNNING_SECONDS = 1.0


class FullScreenWindow(SaverTestCase):

    def test_window_covers_screen_above_all_with_view_inside(self):
        # A white window underneath: only frames drawn over the whole screen
        # hide it (the view has no background of its own). The scene draws
        # a little light text; the white window would be light all over.
        below_proc, below = self.start_host_window(300, 200, "Below")
        proc, window = self.start_full_screen()
        below_area = (10, 10, 300, 200)
        mostly_dark = saver_support.xserver.wait_until(
            lambda: saver_support.xserver.lit_pixel_count(
                self.x.screenshot(self.dir / "screen.png"), below_area) < 300 * 200 // 10, 10)
        self.assertTrue(mostly_dark, "the white window still shows through")
        info = self.x.window_info(window)
        self.assertEqual(info["Override Redirect State"], "yes")
        self.assertEqual((info["Width"], info["Height"]), ("1024", "768"))
        self.assertEqual((info["Absolute upper-left X"], info["Absolute upper-left Y"]),
                         ("0", "0"))
        self.assertIn('"WindowsScreenSaverClass"',
                      self.x.window_property(window, "WM_CLASS"))
        view = self.find_one("^Chronovale$")
        view_info = self.x.window_info(view)
        self.assertEqual((view_info["Width"], view_info["Height"]), ("1024", "768"))
        self.assertEqual(view_info["Map State"], "IsViewable")
        # An ordinary window raised later still ends up under the saver.
        helper = self.procs.start_program(
            [str(saver_support.tool("x11_test_window")), "create", "200", "200", "Intruder"],
            self.env())
        intruder = self.find_one("^Intruder$")
        time.sleep(0.5)
        tree = self.x.run_tool(["xwininfo", "-root", "-children"])
        order = [int(line.split()[0], 16) for line in tree.splitlines()
                 if line.strip().startswith("0x")]
        # xwininfo lists the children top first.
        self.assertLess(order.index(window), order.index(intruder))
        self.procs.kill(helper)
        self.x.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc)[0], 0)


class BufferingAndSwapSettings(SaverTestCase):

    def test_single_buffered_and_unsynchronised_views_run(self):
        for lines in (['"DoubleBuffering"=dword:00000000'],
                      ['"VsyncEnabled"=dword:00000000'],
                      ['"DoubleBuffering"=dword:00000000', '"VsyncEnabled"=dword:00000000']):
            with self.subTest(lines=lines):
                self.write_settings(lines)
                proc, window = self.start_full_screen()
                self.assert_still_running(proc, 0.5)
                self.x.focus_and_key(window, "Escape")
                code, out, err = self.wait_exit(proc)
                self.assertEqual((code, err), (0, ""))


class ClosingOnInput(SaverTestCase):

    def test_key_and_click_close(self):
        for name, act in (("key", lambda w: self.x.focus_and_key(w, "space")),
                          ("click", lambda w: self.x.click(1))):
            with self.subTest(name):
                proc, window = self.start_full_screen()
                act(window)
                code, out, err = self.wait_exit(proc)
                self.assertEqual(code, 0, err)
                self.assertEqual(self.x.search_windows(FULL_SCREEN_TITLE), [])

    def test_three_pixel_move_keeps_six_pixel_move_closes(self):
        proc, window = self.start_full_screen()
        time.sleep(MOUSE_GRACE_SECONDS + 0.5)
        self.x.move_mouse_relative(2, 1)
        self.assert_still_running(proc, KEEPS_RUNNING_SECONDS)
        # Back and forth: what counts is the distance from the start position.
        self.x.move_mouse_relative(-2, -1)
        self.assert_still_running(proc, 0.3)
        self.x.move_mouse_relative(0, -6)
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err)

    def test_f5_beeps_but_keeps_running(self):
        proc, window = self.start_full_screen()
        self.x.focus_and_key(window, "F5")
        self.assert_still_running(proc, KEEPS_RUNNING_SECONDS)
        self.x.focus_and_key(window, "F1")
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err)

    def test_focus_taken_by_another_window_closes(self):
        proc, window = self.start_full_screen()
        helper = self.procs.start_program(
            [str(saver_support.tool("x11_test_window")), "create", "100", "100", "Other"],
            self.env())
        other = self.find_one("^Other$")
        # Focus inside the saver (its own view) is not a loss of focus.
        view = self.find_one("^Chronovale$")
        self.x.run_tool(["xdotool", "windowfocus", str(view)])
        self.assert_still_running(proc, 0.5)
        self.x.run_tool(["xdotool", "windowfocus", str(other)])
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err)
        self.procs.kill(helper)


class OneSaverAtATime(SaverTestCase):

    def test_second_start_leaves_first_running(self):
        first, window = self.start_full_screen()
        code, out, err = self.run_saver("/s")
        self.assertEqual(code, 0, err)
        self.assert_still_running(first, 0.5)
        self.assertEqual(self.x.search_windows(FULL_SCREEN_TITLE), [window])
        # The second start never got as far as counting a run.
        self.assertEqual(self.settings()["UCS"], ("dword", 1))
        self.x.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(first)[0], 0)
        # With the first gone, a new start runs again.
        proc, window = self.start_full_screen()
        self.x.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc)[0], 0)
        self.assertEqual(self.settings()["UCS"], ("dword", 2))


class EndingWithoutInput(SaverTestCase):

    def test_bcs_two_closes_after_about_two_seconds(self):
        self.write_settings(['"BCS"=dword:00000002'])
        started = time.monotonic()
        proc, window = self.start_full_screen()
        # The automatic close counts from the OpenGL window's creation, which
        # comes after the process start: it cannot have fired at 1.5 s.
        remaining = 1.5 - (time.monotonic() - started)
        if remaining > 0:
            self.assert_still_running(proc, remaining)
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err)
        self.assertEqual(self.x.search_windows(FULL_SCREEN_TITLE), [])
        self.assertEqual(self.settings()["BCS"], ("dword", 2))

    def test_stop_signals_end_with_teardown(self):
        for stop in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(stop.name):
                proc, window = self.start_full_screen()
                self.stop(proc, stop)
                code, out, err = self.wait_exit(proc)
                self.assertEqual(code, 0, err)

    def test_frame_sleep_pauses_frames_without_delaying_input(self):
        # A pause of ten seconds between frames must not hold the key back.
        self.write_settings(['"FrameSleepTimeMs"=dword:00002710'])
        proc, window = self.start_full_screen()
        time.sleep(0.5)
        self.x.focus_and_key(window, "Escape")
        code, out, err = self.wait_exit(proc, timeout=8.0)
        self.assertEqual(code, 0, err)


class TwoMonitors(SaverTestCase):
    screen_size = (1280, 720)

    def split_screen(self, primary="left"):
        for name, geometry, output in (("left", "800/200x720/180+0+0", "screen"),
                                       ("right", "480/120x720/180+800+0", "none")):
            subprocess.run(["xrandr", "--setmonitor", ("*" if name == primary else "") + name,
                            geometry, output], env=self.x.env(),
                           check=True, capture_output=True, timeout=20)

    def view_size(self):
        info = self.x.window_info(self.find_one("^Chronovale$"))
        return int(info["Width"]), int(info["Height"])

    def view_place(self):
        info = self.x.window_info(self.find_one("^Chronovale$"))
        return (int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]),
                int(info["Width"]), int(info["Height"]))

    def test_primary_monitor_right_of_the_other_gets_the_view(self):
        self.split_screen(primary="right")
        self.write_settings(['"PrimaryMonitorOnly"=dword:00000001'])
        proc, window = self.start_full_screen()
        self.assertEqual(self.view_place(), (800, 0, 480, 720))
        self.x.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc)[0], 0)

    def test_ordinary_window_is_drawn_in_whole_with_several_monitors(self):
        self.split_screen()
        self.write_settings(['"PrimaryMonitorOnly"=dword:00000001'])
        proc = self.start_saver("-window")
        # The 800 x 600 window and the view inside it, both named for the
        # product; the view is not the primary monitor's 800 x 720.
        found = saver_support.xserver.wait_until(
            lambda: (lambda w: w if len(w) == 2 else None)(self.x.find_windows("^Chronovale$")), 10.0)
        self.assertTrue(found, self.x.find_windows("^Chronovale$"))
        sizes = [(self.x.window_info(w)["Width"], self.x.window_info(w)["Height"]) for w in found]
        self.assertEqual(sizes, [("800", "600")] * 2)
        self.stop(proc)
        self.assertEqual(self.wait_exit(proc)[0], 0)

    def test_primary_monitor_only_limits_view_to_primary(self):
        self.split_screen()
        for setting, expected in ((1, (800, 720)), (0, (1280, 720))):
            with self.subTest(PrimaryMonitorOnly=setting):
                self.write_settings(['"PrimaryMonitorOnly"=dword:%08x' % setting])
                proc, window = self.start_full_screen()
                self.assertEqual(self.view_size(), expected)
                info = self.x.window_info(window)
                self.assertEqual((info["Width"], info["Height"]), ("1280", "720"))
                self.x.focus_and_key(window, "Escape")
                self.assertEqual(self.wait_exit(proc)[0], 0)


if __name__ == "__main__":
    saver_support.main()
