"""The configuration sheet of Chronovale.scr /c under Wine, driven page by
page through sheet_driver.exe (a Win32 program in the same prefix): what
each control shows, what each click writes to the registry, the common
dialogs confirmed and cancelled, one sheet at a time, and hand-edited or
missing input. Set CHRONOVALE_SCREENSHOT_DIR to keep a picture of each page.
"""

import datetime
import os
import time

from winetest import SaverTestCase, main, options, wait_until

DRIVER_TIMEOUT = 90
SHEET_WAIT_MS = 30000
SYNC_CAPTION = "About clock synchronization..."
MESSAGE_TEXT_ID = 0xFFFF     # the static text of a message box
FILE_NAME_ID = 0x47C         # the open-file dialog's file name box (cmb13)
FACE = "DejaVu Sans"         # installed wherever the build runs (fonts-dejavu-core)
OK, CANCEL = 1, 2
DEFAULT_TEXT_COLOR = 0xFF8040
TABS = "   Introduction   |   Music   |   Standard Controls   |   Custom Controls   "
STANDARD_BOXES = {1154: "ShowTime", 1027: "ShowFramerate", 1157: "PermitMonitorPowerSaving",
                  1005: "FrameBlending"}


class ConfigureTest(SaverTestCase):

    def drive(self, *commands):
        """Runs the driver's commands in order; returns their output lines."""
        driver = os.path.join(options.tools_dir, "sheet_driver.exe")
        args = self.wine.saver_command(driver, *commands)
        code, out, err = self.procs.run_program(args, self.wine.env(), DRIVER_TIMEOUT)
        lines = out.replace("\r", "").splitlines()
        self.assertEqual(code, 0, "driver %s: %s%s" % (" ".join(map(str, commands)), out, err[-2000:]))
        return lines

    def open_sheet(self, page=None, **values):
        # reg add takes a DWORD's bits as an unsigned number.
        settings = {name: ("REG_DWORD", str(v & 0xFFFFFFFF)) if isinstance(v, int)
                    else ("REG_SZ", v) for name, v in values.items()}
        if page is not None:
            settings["CurrentConfigureSheet"] = ("REG_DWORD", str(page))
        self.set_values(settings)
        proc = self.start_saver("/c")
        self.drive("sheet", SHEET_WAIT_MS)
        return proc

    def close_sheet(self, proc):
        self.drive("close")
        self.assertEqual(self.wait_exit(proc), 0)

    def screenshot(self, name):
        folder = os.environ.get("CHRONOVALE_SCREENSHOT_DIR")
        if folder:
            os.makedirs(folder, exist_ok=True)
            time.sleep(1.5)  # the page switch paints after the driver returns
            self.xvfb.screenshot(os.path.join(folder, name + ".png"))

    def test_sheet_standard_controls_and_one_sheet_at_a_time(self):
        proc = self.open_sheet(page=2)
        tabs, current, primary, low_detail = self.drive("tabs", "current", "enabled", 1158,
                                                        "enabled", 1028)
        self.assertEqual(tabs, TABS)
        self.assertEqual(current, "2")
        self.assertEqual((primary, low_detail), ("0", "0"))  # one monitor; locked
        self.assertEqual(self.drive("check", 1158), ["1"])    # still shows the stored value

        for control, name in STANDARD_BOXES.items():
            self.drive("click", control, "wait-reg", name, 1, "wait-check", control, 1)
        # Turning SyncClock on explains itself once; turning it off does not.
        out = self.drive("click", 1161, "dialog", SYNC_CAPTION, "dialog-text", MESSAGE_TEXT_ID,
                         "dialog-press", OK, "wait-reg", "SyncClock", 1)
        self.assertTrue(out[2].startswith("This option is suitable for computers"), out)
        self.drive("click", 1161, "wait-reg", "SyncClock", 0, "no-dialog", SYNC_CAPTION, 1500)
        self.drive("click", 1161, "dialog", SYNC_CAPTION, "dialog-press", OK)

        # A second configuration start ends at once and opens no second sheet.
        self.assertEqual(self.run_saver("/c", timeout=30), 0)
        self.assertEqual(self.drive("count-sheets"), ["1"])

        self.set_values({"TextColorEnum": ("REG_DWORD", "2")})
        self.drive("click", 1159, "wait-reg", "ShowTime", 0, "wait-reg", "SyncClock", 0,
                   "wait-reg", "TextColorEnum", 0, "wait-check", 1154, 0,
                   "no-dialog", SYNC_CAPTION, 1000)
        values = self.settings()
        self.assert_dword(values, "LowDetail", 0)
        self.assert_dword(values, "FrameBlending", 0)

        # Preview starts the saver full screen in a process of its own.
        self.drive("click", 1160)
        saver_windows = self.xvfb.find_windows("^Screen Saver$", timeout=30)
        self.assertTrue(saver_windows, "preview started no saver")
        self.xvfb.focus_and_key(saver_windows[0], "space")
        self.assertTrue(wait_until(lambda: not self.xvfb.search_windows("^Screen Saver$"), 30))
        self.assertEqual(self.drive("count-sheets"), ["1"])

        for page in range(4):
            self.drive("select", page)
            self.screenshot("page%d" % page)
        self.drive("select", 1)
        self.close_sheet(proc)
        self.assert_dword(self.settings(), "CurrentConfigureSheet", 1)

    def test_custom_controls_groups_and_choosers(self):
        proc = self.open_sheet(page=3)
        out = self.drive(*[c for i in (1012, 1016, 1002, 1003, 1004, 1006, 1009, 1013, 1014)
                           for c in ("check", i)], "text", 1017)
        self.assertEqual(out, ["1", "0", "0", "1", "0", "1", "0", "1", "0",
                               "(Current font is Arial)"])
        self.drive("click", 1012, "wait-reg", "MovingViewpoint", 0,
                   "click", 1016, "wait-reg", "Wireframe", 1)
        for control, value in ((1004, 2), (1002, 0), (1003, 1)):
            self.drive("click", control, "wait-reg", "TimeFormatEnum", value)
        for control, value in ((1007, 1), (1008, 2), (1006, 0)):
            self.drive("click", control, "wait-reg", "TextColorEnum", value)

        # Colour chooser: cancelled keeps 3 and the colour; confirmed paints it.
        self.drive("click", 1009, "dialog", "Color", "dialog-press", CANCEL,
                   "wait-reg", "TextColorEnum", 3, "wait-reg", "TextColor", DEFAULT_TEXT_COLOR)
        self.drive("click", 1009, "dialog", "Color", "colour-pick", "dialog-press", OK)
        self.assertTrue(wait_until(lambda: self.drive("reg", "TextColor")
                                   != [str(DEFAULT_TEXT_COLOR)], 10))
        colour = int(self.drive("reg", "TextColor")[0])
        self.assertTrue(wait_until(lambda: self.drive("pixel", 1018) == ["0x%06X" % colour], 10),
                        "swatch %s, TextColor 0x%06X" % (self.drive("pixel", 1018), colour))

        # Font chooser: cancelled keeps 1 and the face; confirmed names it at once.
        self.drive("click", 1014, "dialog", "Font", "dialog-press", CANCEL,
                   "wait-reg", "FontEnum", 1, "wait-reg", "FaceName", "Arial")
        self.drive("click", 1014, "dialog", "Font", "font-pick", FACE, "dialog-press", OK,
                   "wait-text", 1017, "(Current font is %s)" % FACE,
                   "wait-reg", "FaceName", FACE, "wait-reg", "FontEnum", 1)
        self.screenshot("custom-after-choosers")
        self.close_sheet(proc)
        self.assert_dword(self.settings(), "CurrentConfigureSheet", 3)

    def test_music_and_introduction_pages(self):
        music = self.wine.unix_path(r"C:\Music")
        os.makedirs(music, exist_ok=True)
        open(os.path.join(music, "night.ogg"), "wb").close()
        proc = self.open_sheet(page=1, MusicFilename=r"C:\Music\old.mp3")
        self.assertEqual(self.drive("text", 1096, "check", 1095), [r"C:\Music\old.mp3", "0"])
        self.drive("click", 1095, "wait-reg", "PlayMusic", 1)
        title = "Select a music file or playlist"
        self.drive("click", 1097, "dialog", title, "dialog-press", CANCEL)
        self.assertEqual(self.drive("reg", "MusicFilename"), [r"C:\Music\old.mp3"])
        self.drive("click", 1097, "dialog", title, "dialog-set", FILE_NAME_ID,
                   r"C:\Music\night.ogg", "dialog-press", OK,
                   "wait-reg", "MusicFilename", r"C:\Music\night.ogg",
                   "wait-text", 1096, r"C:\Music\night.ogg")

        year = datetime.date.today().year
        version, copyright_line, web, mail = self.drive("select", 0, "text", 1074, "text", 1153,
                                                        "text", 1011, "text", 1012)[1:]
        self.assertEqual(version, "Version 1.1  -  Jul 15 2004")
        self.assertEqual(copyright_line, r"Copyright \xA9 2004-%d Quillmere" % year)
        self.assertEqual((web, mail), ("www.quillmere.example", "support@quillmere.example"))
        # The hand over both links, the normal cursor over plain text.
        text, web_cursor, text_again, mail_cursor = self.drive(
            "cursor-over", 1074, "cursor-over", 1011, "cursor-over", 1153, "cursor-over", 1012)
        self.assertEqual((text_again, mail_cursor), (text, web_cursor))
        self.assertNotEqual(web_cursor, text)
        self.close_sheet(proc)
        self.assert_dword(self.settings(), "CurrentConfigureSheet", 0)

    def test_bad_input_changes_nothing_the_user_did_not_choose(self):
        empty_folder = self.wine.unix_path(r"C:\NoHelp")
        os.makedirs(empty_folder, exist_ok=True)
        hand_edited = {"TimeFormatEnum": 9, "TextColorEnum": -2, "FontEnum": 5, "FaceName": "",
                       "AppDir": r"C:\NoHelp", "MusicFilename": "M" * 499}
        proc = self.open_sheet(page=3, **hand_edited)
        out = self.drive(*[c for i in range(1002, 1015) if i not in (1005, 1010, 1011, 1012)
                           for c in ("check", i)], "text", 1017)
        self.assertEqual(out, ["0"] * 9 + ["(Current font is )"])
        # Help with a folder that has no help page, then with none: nothing opens.
        for app_dir in (r"C:\NoHelp", ""):
            self.set_values({"AppDir": ("REG_SZ", app_dir)})
            before = sorted(self.xvfb.search_windows(".*"))
            self.drive("help")
            self.assertFalse(wait_until(lambda: sorted(self.xvfb.search_windows(".*")) != before,
                                        2.0), "help opened a window for AppDir %r" % app_dir)
        self.assertEqual(self.drive("count-sheets"), ["1"])
        self.assertEqual(self.drive("select", 1, "text", 1096)[1], "M" * 499)
        self.close_sheet(proc)
        values = self.settings()
        for name, value in hand_edited.items():
            if name == "AppDir":
                continue
            if isinstance(value, int):
                self.assert_dword(values, name, value)
            else:
                self.assert_text(values, name, value)

        # Without its companion library: the message, exit 1, no sheet.
        saver = self.wine.install_saver(options.bin_dir, folder=r"C:\Bare", with_library=False)
        bare = self.start_saver("/c", saver=saver)
        box = self.saver_window(bare, title="^Error$")
        self.assertEqual(self.drive("count-sheets"), ["0"])
        self.dismiss(box)
        self.assertEqual(self.wait_exit(bare), 1)


if __name__ == "__main__":
    main()
