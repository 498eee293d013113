"""Preview mode inside a window of another program (preview_host.exe): the
saver's child fills the host's client area, ignores input, ends with 0 when
the host window goes, and closes itself without touching the host."""

import os

from winetest import EXIT_TIMEOUT, SaverTestCase, main, options

HOST_TIMEOUT = 3 * EXIT_TIMEOUT


class PreviewTest(SaverTestCase):

    def run_host(self, mode):
        host = os.path.join(options.tools_dir, "preview_host.exe")
        saver_windows_path = r"C:\Savers\Chronovale.scr"
        command = self.wine.saver_command(host, saver_windows_path, mode)
        code, out, err = self.procs.run_program(command, self.wine.env(), HOST_TIMEOUT)
        self.assertEqual(code, 0, "preview host reported:\n%s%s" % (out, err))
        self.assertIn("saver exit code 0", out)
        return out

    def test_preview_fills_the_host_and_ends_with_its_window(self):
        self.run_host("input")
        # A preview counts as a run.
        self.assert_dword(self.settings(), "UCS", 1)

    def test_automatic_close_in_preview_leaves_the_host_window_alone(self):
        self.wine.reg_add("BCS", "REG_DWORD", 1)
        self.run_host("autoclose")


if __name__ == "__main__":
    main()
