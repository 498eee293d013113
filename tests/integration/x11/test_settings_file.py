"""The settings file as the Linux saver leaves it: a first start writes
every value with its type and default, and a file edited by hand loads by
the fallback rules while everything else in it stays as the user wrote it."""

import saver_support
from saver_support import (NO_CLOCK_CHANGE, SETTINGS_KEY, SaverTestCase, Xvfb,
                           saver_program)

# Written out by hand: the 25 values of a first start, in catalogue order.
FIRST_START_VALUES = """\
"MovingViewpoint"=dword:00000001
"Wireframe"=dword:00000000
"TimeFormatEnum"=dword:00000001
"TextColorEnum"=dword:00000000
"TextColor"=dword:00ff8040
"FontEnum"=dword:00000000
"FaceName"="Arial"
"ShowTime"=dword:00000000
"ShowFramerate"=dword:00000000
"VsyncEnabled"=dword:00000001
"LowDetail"=dword:00000000
"PlayMusic"=dword:00000000
"PermitMonitorPowerSaving"=dword:00000000
"PrimaryMonitorOnly"=dword:00000001
"DoubleBuffering"=dword:00000001
"FrameBlending"=dword:00000000
"SyncClock"=dword:00000000
"CurrentConfigureSheet"=dword:00000000
"UCS"=dword:00000001
"BCS"=dword:00000001
"Seed"=dword:00000000
"FrameSleepTimeMs"=dword:00000000
"MusicFilename"=""
"AppDir"=""
"SntpServer"=""
"""


class SettingsFile(SaverTestCase):

    def test_first_start_writes_every_value_typed_with_defaults(self):
        # BCS is the one value set beforehand, so that the run ends by itself.
        self.write_settings(['"BCS"=dword:00000001'])
        code, out, err = self.run_saver("/s")
        self.assertEqual(code, 0, err)
        text = self.read_settings_text()
        lines = text.splitlines()
        self.assertEqual(lines[0], "REGEDIT4")
        self.assertEqual(lines.count(SETTINGS_KEY), 1)
        values = [line for line in lines if line.startswith('"')]
        self.assertEqual(sorted(values), sorted(FIRST_START_VALUES.splitlines()))
        self.assertEqual(len(values), 25)

    def test_full_screen_first_start_without_a_folder_counts_one_run(self):
        self.assertFalse(self.settings_path.parent.exists())
        proc, window = self.start_full_screen()
        self.x.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc)[0], 0)
        values = [line for line in self.read_settings_text().splitlines() if line.startswith('"')]
        expected = FIRST_START_VALUES.replace('"BCS"=dword:00000001', '"BCS"=dword:00000000')
        self.assertEqual(sorted(values), sorted(expected.splitlines()))

    def test_no_file_at_all_gives_all_defaults(self):
        code, out, err = self.run_saver("/x")
        self.assertEqual(code, 255, err)
        values = self.settings()
        self.assertEqual(len(values), 25)
        self.assertEqual(values["UCS"], ("dword", 0))
        self.assertEqual(values["TextColor"], ("dword", 0xFF8040))
        self.assertEqual(values["FaceName"], ("sz", "Arial"))

    def test_hand_edited_file_loads_by_fallback_rules(self):
        kept_text = "C:\\Music\\" + "x" * 490         # 499 characters: fits
        too_long = "y" * 500                         # needs 501 bytes: default
        garbage = ["this line is not a value", '"Broken"=dword:zz', '"Open=',
                   "; a comment the user wrote"]
        self.write_settings([
            '"BCS"=dword:00000001',
            '"FrameSleepTimeMs"="25"',                 # text under a number
            '"FaceName"=dword:0000002a',               # number under a text
            '"AppDir"=dword:fffffffb',                 # negative number under a text
            '"SntpServer"="%s"' % too_long,
            '"MusicFilename"="%s"' % kept_text.replace("\\", "\\\\"),
            '"Seed"=hex:07,00,00,00',                  # binary number, little-endian
            '"ShowTime"=dword:00000002',               # a boolean that is neither 0 nor 1
            '"Wireframe"=dword:00000001',
        ] + garbage + ['"SomebodyElses"="left alone"'])
        code, out, err = self.run_saver("/s")
        self.assertEqual(code, 0, err)

        values = self.settings()
        self.assertEqual(values["FrameSleepTimeMs"], ("dword", 0))
        self.assertEqual(values["FaceName"], ("sz", "42"))
        self.assertEqual(values["AppDir"], ("sz", "-5"))
        self.assertEqual(values["SntpServer"], ("sz", ""))
        self.assertEqual(values["MusicFilename"], ("sz", kept_text))
        self.assertEqual(values["Seed"], ("dword", 7))
        self.assertEqual(values["ShowTime"], ("dword", 2))
        self.assertEqual(values["Wireframe"], ("dword", 1))
        self.assertEqual(values["UCS"], ("dword", 1))
        self.assertEqual(values["SomebodyElses"], ("sz", "left alone"))
        self.assertEqual(len([name for name in values if name != "SomebodyElses"]), 25)
        lines = self.read_settings_text().splitlines()
        for line in garbage:
            self.assertIn(line, lines)

    def test_run_counter_grows_by_one_per_start(self):
        self.write_settings(['"BCS"=dword:00000001', '"UCS"=dword:7fffffff'])
        for expected in (-2**31, -2**31 + 1):
            code, out, err = self.run_saver("/s")
            self.assertEqual(code, 0, err)
            self.assertEqual(self.settings()["UCS"], ("dword", expected))


    def test_registry_editor_export_loads_and_keeps_its_form(self):
        # As the registry editor exports a key: UTF-16LE with a byte-order
        # mark, the version 5 header, CRLF; then edited by hand.
        head = ("Windows Registry Editor Version 5.00\r\n\r\n"
                "; exported \u4e2d\u6587\r\n"
                "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                '"Keep"="\u65e5\u672c"\r\n\r\n'
                + SETTINGS_KEY + "\r\n"
                '"BCS"=dword:00000001\r\n'
                '"TextColor"=dword:00123456 ; my favourite colour\r\n'
                '"Seed"=dword: 5\r\n'
                '"TimeFormatEnum" = dword:00000002\r\n'
                '"FaceName"="Caf\u00e9"\r\n')
        broken = '"Wireframe"=dword:1 # on'
        self.settings_path.parent.mkdir(parents=True)
        self.settings_path.write_bytes(
            b"\xff\xfe" + (head + broken + "\r\n").encode("utf-16-le"))
        code, out, err = self.run_saver("/s")
        self.assertEqual(code, 0, err)

        self.assertEqual([path.name for path in self.settings_path.parent.iterdir()
                          if ".bad" in path.name], [], "nothing set aside")
        data = self.settings_path.read_bytes()
        self.assertEqual(data[:2], b"\xff\xfe")
        text = data[2:].decode("utf-16-le")
        # Everything the user wrote is still there, in place; what could not
        # be read is a comment above the value that replaced it.
        self.assertTrue(text.startswith(head + "; " + broken + "\r\n"
                                        + '"Wireframe"=dword:00000000\r\n'), text)
        self.assertNotIn("\n", text.replace("\r\n", ""))
        lines = text.split("\r\n")
        self.assertIn('"UCS"=dword:00000001', lines)
        values = [line for line in lines if line.startswith('"')]
        self.assertEqual(len(values), 26)  # the 25 and the other key's one


class RunCounter(SaverTestCase):
    # Small screens: forty savers draw on them, two at a time.
    screen_size = (320, 240)

    def test_savers_started_in_pairs_count_every_run(self):
        # Two screens, one full-screen saver on each, started together; one
        # settings file. A screen runs one full-screen saver at a time.
        other = self.enterContext(Xvfb(width=320, height=240, depth=24))
        other_env = other.env(XDG_CONFIG_HOME=self.config_dir, XSCREENSAVER_WINDOW=None)
        command = NO_CLOCK_CHANGE + [str(saver_program()), "/s"]
        pairs = 20
        self.write_settings(['"BCS"=dword:00000001'])
        for _ in range(pairs):
            both = [self.start_saver("/s"), self.procs.start_program(command, other_env)]
            for proc in both:
                code, out, err = self.wait_exit(proc)
                self.assertEqual(code, 0, err)
        self.assertEqual(self.settings()["UCS"], ("dword", 2 * pairs))

if __name__ == "__main__":
    saver_support.main()
