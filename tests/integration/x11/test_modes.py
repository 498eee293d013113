"""The Linux saver's other modes and its refusals: preview into a window of
another program, hosted by a screensaver daemon, the ordinary window,
configuration, refused modes and windows, a missing companion library or
desktop module, an 8-bit screen and a display without OpenGL."""

import os
import signal
import time

import saver_support
from saver_support import FULL_SCREEN_TITLE, SaverTestCase

EXIT_REFUSED = 255
KEEPS_RUNNING_SECONDS = 1.0
COLOUR_WARNING = "Please change your screen resolution to at least 16 bits of color."
GTK_LIBRARY = saver_support.GTK_LIBRARY
loads = saver_support.maps_library
mapped_files = saver_support.mapped_files


class RefusedStarts(SaverTestCase):

    def test_unknown_modes_and_bad_windows_exit_255(self):
        host_proc, host = self.start_host_window(100, 100, "Host")
        # An id wider than X ids, whose low 32 bits name the host window.
        too_wide = host + (1 << 32)
        for args in (["/x"], ["-q", "5"], ["/a"], ["/a", "123"], ["-p", "12345678"],
                     ["-p"], ["/l", "99999999"], ["-p", str(too_wide)],
                     ["-window-id", "0x1fffff0"], ["-window-id", "0"],
                     ["--window-id", "0x1fffff0", "--fps"], ["--window-id", "zz"]):
            with self.subTest(args=args):
                code, out, err = self.run_saver(*args)
                self.assertEqual(code, EXIT_REFUSED, err)
                if "window-id" in args[0]:
                    # The daemon's log says why, one line for each thing left out.
                    self.assertRegex(err, r"(^|\n)Chronovale: [^\n]*window[^\n]*\n$")
        self.assertEqual(self.children(host), [])


class Preview(SaverTestCase):

    def test_preview_draws_inside_host_and_ends_with_it(self):
        host_proc, host = self.start_host_window(152, 112, "Display Settings")
        proc = self.start_saver("-p", str(host))
        preview = self.find_one("^Preview$")
        self.assertEqual(self.children(host), [(preview, "Preview")])
        info = self.x.window_info(preview)
        self.assertEqual((info["Width"], info["Height"]), ("152", "112"))
        self.view_in(preview)
        # Input in the preview belongs to its host: nothing closes it.
        self.x.move_mouse(20, 20)
        self.x.move_mouse(120, 90)
        self.x.click(1)
        self.x.focus_and_key(preview, "Escape")
        self.assert_still_running(proc, KEEPS_RUNNING_SECONDS)
        # The display settings close: the preview goes with its window.
        self.stop(host_proc)
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err)
        # A preview counts as a run too.
        self.assertEqual(self.settings()["UCS"], ("dword", 1))

    def test_bcs_closes_a_preview(self):
        self.write_settings(['"BCS"=dword:00000001'])
        host_proc, host = self.start_host_window(100, 80, "Host")
        code, out, err = self.run_saver("/p", str(host))
        self.assertEqual(code, 0, err)
        self.assertEqual(self.children(host), [])


class Hosted(SaverTestCase):

    def hosted_child(self, host):
        found = saver_support.xserver.wait_until(lambda: self.children(host), 10)
        self.assertEqual(len(found), 1, found)
        return found[0][0]

    def view_size(self, view):
        info = self.x.window_info(view)
        return int(info["Width"]), int(info["Height"])

    def test_window_id_follows_host_size_and_ends_on_signal(self):
        host_proc, host = self.start_host_window(300, 200, "Daemon")
        proc = self.start_saver("-window-id", "0x%x" % host)
        view = self.view_in(self.hosted_child(host))
        self.assertEqual(self.view_size(view), (300, 200))
        self.x.run_tool(["xdotool", "windowsize", str(host), "420", "260"])
        self.assertTrue(saver_support.xserver.wait_until(
            lambda: self.view_size(view) == (420, 260), 10), self.view_size(view))
        self.x.click(1)
        self.x.move_mouse_relative(50, 50)
        self.assert_still_running(proc, KEEPS_RUNNING_SECONDS)
        self.stop(proc, signal.SIGINT)
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err)
        self.assertEqual(self.children(host), [])

    def test_daemon_variable_names_the_window(self):
        host_proc, host = self.start_host_window(200, 150, "Daemon")
        proc = self.start_saver(XSCREENSAVER_WINDOW="0x%x" % host)
        self.view_in(self.hosted_child(host))
        # Drawing for the daemon needs none of the dialogs' libraries.
        self.assertFalse(loads(proc.pid, GTK_LIBRARY))
        self.assertFalse(loads(proc.pid, saver_support.DESKTOP_MODULE))
        self.stop(proc)
        self.assertEqual(self.wait_exit(proc)[0], 0)

        # As the daemon starts it: two dashes, and options of its users beside.
        proc = self.start_saver("--root", "--fps", "--delay", "20000",
                                XSCREENSAVER_WINDOW="0x%x" % host)
        self.view_in(self.hosted_child(host))
        self.stop(proc)
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err)
        self.assertIn('Chronovale: ignoring "--fps"\nChronovale: ignoring "--delay 20000"\n', err)

    def test_root_draws_under_other_windows(self):
        other_proc, other = self.start_host_window(100, 100, "Other")
        proc = self.start_saver("-root")
        saver = saver_support.xserver.wait_until(
            lambda: [w for w, title in self.children_of_root() if title == "Chronovale"], 10)
        self.assertEqual(len(saver), 1)
        self.view_in(saver[0])
        order = [window for window, title in self.children_of_root()]
        # Listed top first: the saver lies below the other program's window.
        self.assertLess(order.index(other), order.index(saver[0]))
        self.stop(proc)
        self.assertEqual(self.wait_exit(proc)[0], 0)


class Windowed(SaverTestCase):

    def test_ordinary_window_closes_on_delete_request_or_key(self):
        proc = self.start_saver("-window")
        window = self.top_level("Chronovale")
        view = self.view_in(window)
        info = self.x.window_info(window)
        self.assertEqual(info["Override Redirect State"], "no")
        self.assertEqual((info["Width"], info["Height"]), ("800", "600"))
        # A click or a mouse move is no reason to close an ordinary window.
        self.x.move_mouse(100, 100)
        self.x.click(1)
        self.x.move_mouse(300, 300)
        self.assert_still_running(proc, 0.5)
        self.procs.run_program([str(saver_support.tool("x11_test_window")), "delete",
                                str(window)], self.env(), 10)
        self.assertEqual(self.wait_exit(proc)[0], 0)

        proc = self.start_saver("-window")
        window = self.top_level("Chronovale")
        view = self.view_in(window)
        self.x.run_tool(["xdotool", "windowsize", str(window), "500", "300"])
        self.assertTrue(saver_support.xserver.wait_until(
            lambda: self.x.window_info(view)["Width"] == "500", 10))
        self.assertEqual(self.x.window_info(view)["Height"], "300")
        self.x.focus_and_key(window, "F5")
        self.assert_still_running(proc, 0.5)
        self.x.focus_and_key(window, "q")
        self.assertEqual(self.wait_exit(proc)[0], 0)

    def top_level(self, title):
        found = saver_support.xserver.wait_until(
            lambda: [w for w, t in self.children_of_root() if t == title], 10)
        self.assertEqual(len(found), 1, found)
        return found[0]


class ConfigureAndMessages(SaverTestCase):

    def test_every_configure_form_opens_the_settings_dialog(self):
        # The dialog's lock and GTK's preferences stay inside the test.
        private = {"XDG_RUNTIME_DIR": self.dir, "GSETTINGS_BACKEND": "memory"}
        for args, env in (([], {}), (["/c:123"], {}), (["-c"], {"XSCREENSAVER_WINDOW": "0x400001"})):
            with self.subTest(args=args, env=env):
                proc = self.start_saver(*args, **env, **private)
                # Return is the dialog's default button, OK.
                self.dismiss_dialog("Chronovale")
                code, out, err = self.wait_exit(proc)
                self.assertEqual(code, 0, err)
                self.assertNotIn("no settings dialog", err)

    def test_missing_library_refuses_to_start(self):
        program = self.copy_saver_alone()
        proc = self.start_saver("/s", program=program)
        expected = ('The program "Chronovale" can not run because the following file is '
                    'missing:\n\n%s.so\n' % program)
        # The text is on standard error while the box still waits.
        self.assertTrue(saver_support.xserver.wait_until(
            lambda: expected in self.procs.output(proc)[1], 10), self.procs.output(proc))
        # No full-screen window is up to hide the box.
        self.assertEqual(self.x.search_windows(FULL_SCREEN_TITLE), [])
        self.dismiss_dialog("Error")
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 1, err)
        self.assertEqual(self.settings()["UCS"], ("dword", 0))

    def test_desktop_module_is_loaded_only_for_a_window_of_its_own(self):
        proc, window = self.start_full_screen()
        self.assert_still_running(proc, KEEPS_RUNNING_SECONDS)
        self.assertFalse(loads(proc.pid, GTK_LIBRARY), sorted(mapped_files(proc.pid)))
        self.stop(proc)
        self.assertEqual(self.wait_exit(proc)[0], 0)

        # A message box brings the module, and GTK with it, in.
        program = self.copy_saver_alone()
        proc = self.start_saver("/s", program=program)
        dialog = self.find_one("^Error$")
        self.assertTrue(loads(proc.pid, saver_support.DESKTOP_MODULE))
        self.assertTrue(loads(proc.pid, GTK_LIBRARY))
        self.x.focus_and_key(dialog, "Return")
        self.assertEqual(self.wait_exit(proc)[0], 1)

        # Without the module the message still reaches standard error and
        # the saver ends at once; configuration says what is missing.
        os.remove(str(program.parent / saver_support.DESKTOP_MODULE))
        code, out, err = self.run_saver("/s", program=program)
        self.assertEqual(code, 1, err)
        self.assertIn("can not run because the following file is missing", err)
        self.assertIn(saver_support.DESKTOP_MODULE, err)
        code, out, err = self.run_saver("-c", program=program)
        self.assertEqual(code, 1, err)
        self.assertIn("the settings dialog cannot be shown without %s"
                      % saver_support.DESKTOP_MODULE, err)
        self.assertEqual(self.x.search_windows("^(Error|Chronovale)$"), [])

    def test_library_without_table_counts_as_missing(self):
        program = self.copy_saver_alone()
        os.symlink(saver_support.tool("no_table_fixture.so"), str(program) + ".so")
        proc = self.start_saver("/s", program=program)
        self.dismiss_dialog("Error")
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 1, err)
        self.assertIn("can not run because the following file is missing", err)


class EightBitScreen(SaverTestCase):
    screen_depth = 8

    def test_colour_warning_and_no_opengl_window(self):
        proc = self.start_saver("/s")
        self.dismiss_dialog("Chronovale")
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err)
        # Going on to the OpenGL window would have ended with 1 here: this
        # screen has no GLX at all.
        self.assertEqual(err, "Chronovale: %s\n" % COLOUR_WARNING)
        self.assertEqual(self.settings()["UCS"], ("dword", 1))


class DisplayWithoutOpenGl(SaverTestCase):
    xvfb_args = ("-extension", "GLX")

    def test_clear_message_and_exit_1(self):
        proc = self.start_saver("/s")
        self.dismiss_dialog("Error")
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 1, err)
        self.assertIn("needs OpenGL, but this X display offers no GLX", err)


if __name__ == "__main__":
    saver_support.main()
