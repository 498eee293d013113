"""The saver's modes and exit codes as the Linux shell sees them, one saver at
a time, finding the companion library by the saver's own name, and what
changes when Wine reports a 9x-family version."""

from winetest import SaverTestCase, main, options, wait_until

UNRECOGNISED = 255  # -1
WINE_SETTINGS_KEY = r"HKCU\Software\Wine"
NO_WINDOW_WAIT = 3.0


class ModesTest(SaverTestCase):

    def test_unrecognised_modes_and_bad_preview_handles_exit_with_minus_one(self):
        for arguments in (["/x"], ["-q"], ["/p", "12345"], ["/l", "12345"], ["/p"],
                          ["/a"]):
            with self.subTest(arguments=arguments):
                self.assertEqual(self.run_saver(*arguments), UNRECOGNISED)
        # None of them created a saver window.
        self.assert_dword(self.settings(), "UCS", 0)

    def test_missing_library_is_reported_and_ends_with_one(self):
        saver = self.wine.install_saver(options.bin_dir, folder=r"C:\Bare",
                                        with_library=False)
        proc = self.start_saver("/s", saver=saver)
        box = self.saver_window(proc, title="^Error$")
        self.assert_still_running(proc, "while its message box is open")
        self.dismiss(box)
        self.assertEqual(self.wait_exit(proc), 1)
        self.assert_dword(self.settings(), "UCS", 0)

    def test_lower_case_saver_name_still_finds_its_library(self):
        saver = self.wine.install_saver(options.bin_dir, folder=r"C:\Lower",
                                        saver_name="chronovale.scr")
        self.wine.reg_add("BCS", "REG_DWORD", 1)
        self.assertEqual(self.run_saver("/s", saver=saver), 0)
        self.assert_dword(self.settings(), "UCS", 1)

    def test_second_full_screen_start_leaves_the_first_running(self):
        first = self.start_saver("/s")
        self.saver_window(first)
        self.assertEqual(self.run_saver("/s"), 0)
        self.assert_still_running(first, "after a second start")
        self.assertEqual(len(self.xvfb.search_windows("^Screen Saver$")), 1)
        self.xvfb.focus_and_key(self.saver_window(first), "space")
        self.assertEqual(self.wait_exit(first), 0)
        # Only the first start created a saver window.
        self.assert_dword(self.settings(), "UCS", 1)

    def test_configuration_mode_shows_its_sheet_and_ends_with_zero(self):
        for arguments in ([], ["/c"], ["/c:12345"]):
            with self.subTest(arguments=arguments):
                proc = self.start_saver(*arguments)
                box = self.saver_window(proc, title="^Chronovale$")
                self.dismiss(box)
                self.assertEqual(self.wait_exit(proc), 0)
        self.assert_dword(self.settings(), "UCS", 0)

    def report_version(self, version):
        self.wine.run_wine(["reg", "add", WINE_SETTINGS_KEY, "/v", "Version", "/t", "REG_SZ",
                            "/d", version, "/f"])
        self.addCleanup(self.wine.run_wine,
                        ["reg", "delete", WINE_SETTINGS_KEY, "/v", "Version", "/f"])

    def test_f1_closes_and_opens_configuration_only_on_the_nine_x_family(self):
        for version, opens in (("win10", False), ("win98", True)):
            with self.subTest(version=version):
                self.report_version(version)
                proc = self.start_saver("/s")
                self.xvfb.focus_and_key(self.saver_window(proc), "F1")
                self.assertEqual(self.wait_exit(proc), 0)
                boxes = self.xvfb.find_windows("^Chronovale$",
                                               timeout=30 if opens else NO_WINDOW_WAIT)
                if opens:
                    self.assertTrue(boxes, "no configuration was started")
                    self.dismiss(boxes[0])
                    gone = wait_until(lambda: not self.xvfb.search_windows("^Chronovale$"),
                                      NO_WINDOW_WAIT)
                    self.assertTrue(gone, "the configuration sheet stayed")
                else:
                    self.assertEqual(boxes, [], "configuration started on the NT family")

    def test_password_change_runs_on_the_nine_x_family(self):
        self.report_version("win98")
        self.assertEqual(self.run_saver("/a"), 0)
        self.assertEqual(self.run_saver("/a", "12345"), 0)


if __name__ == "__main__":
    main()
