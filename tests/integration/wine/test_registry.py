"""The settings key in the Wine registry: what a first start writes, and how
hand-edited values of the wrong type or size load and are written back."""

import time

from winetest import SaverTestCase, main

# Every value of the key after one saver run on a machine that never ran it.
FIRST_START = {
    "MovingViewpoint": ("REG_DWORD", 1),
    "Wireframe": ("REG_DWORD", 0),
    "TimeFormatEnum": ("REG_DWORD", 1),
    "TextColorEnum": ("REG_DWORD", 0),
    "TextColor": ("REG_DWORD", 0xFF8040),
    "FontEnum": ("REG_DWORD", 0),
    "FaceName": ("REG_SZ", "Arial"),
    "ShowTime": ("REG_DWORD", 0),
    "ShowFramerate": ("REG_DWORD", 0),
    "VsyncEnabled": ("REG_DWORD", 1),
    "LowDetail": ("REG_DWORD", 0),
    "PlayMusic": ("REG_DWORD", 0),
    "PermitMonitorPowerSaving": ("REG_DWORD", 0),
    "PrimaryMonitorOnly": ("REG_DWORD", 1),
    "DoubleBuffering": ("REG_DWORD", 1),
    "FrameBlending": ("REG_DWORD", 0),
    "SyncClock": ("REG_DWORD", 0),
    "CurrentConfigureSheet": ("REG_DWORD", 0),
    "UCS": ("REG_DWORD", 1),
    "BCS": ("REG_DWORD", 0),
    "Seed": ("REG_DWORD", 0),
    "FrameSleepTimeMs": ("REG_DWORD", 0),
    "MusicFilename": ("REG_SZ", ""),
    "AppDir": ("REG_SZ", ""),
    "SntpServer": ("REG_SZ", ""),
}


class RegistryTest(SaverTestCase):

    def test_first_start_writes_all_25_values_with_their_defaults(self):
        self.assertEqual(self.settings(), {}, "the key exists before the first start")
        proc = self.start_saver("/s")
        window = self.saver_window(proc)
        self.xvfb.focus_and_key(window, "space")
        self.assertEqual(self.wait_exit(proc), 0)

        values = self.settings()
        self.assertEqual(sorted(values), sorted(FIRST_START))
        for name, (value_type, expected) in FIRST_START.items():
            if value_type == "REG_DWORD":
                self.assert_dword(values, name, expected)
            else:
                self.assert_text(values, name, expected)

    def test_hand_edited_values_fall_back_or_convert_and_are_rewritten(self):
        self.set_values({
            "TimeFormatEnum": ("REG_SZ", "5"),           # text under a number
            "FaceName": ("REG_DWORD", "42"),             # number under a text
            "MusicFilename": ("REG_DWORD", "0xfffffffb"),  # -5
            "TextColor": ("REG_BINARY", "78563412"),     # four bytes, little-endian
            "Seed": ("REG_BINARY", "010203"),            # too short for a number
            "FontEnum": ("REG_BINARY", "0100000000000000"),  # too long
            "SntpServer": ("REG_SZ", "s" * 500),         # no room for the terminator
            "AppDir": ("REG_SZ", "a" * 499),             # the longest that fits
            "ShowTime": ("REG_DWORD", "2"),              # kept, though not "on"
            "CurrentConfigureSheet": ("REG_DWORD", "7"),  # past the last page
            "UCS": ("REG_DWORD", "41"),
            "BCS": ("REG_DWORD", "2"),                   # the run closes itself
        })
        started = time.monotonic()
        self.assertEqual(self.run_saver("/s"), 0)
        self.assertGreaterEqual(time.monotonic() - started, 2.0,
                                "the saver closed before BCS seconds had passed")

        values = self.settings()
        self.assertEqual(len(values), 25)
        self.assert_dword(values, "TimeFormatEnum", 1)
        self.assert_text(values, "FaceName", "42")
        self.assert_text(values, "MusicFilename", "-5")
        self.assert_dword(values, "TextColor", 0x12345678)
        self.assert_dword(values, "Seed", 0)
        self.assert_dword(values, "FontEnum", 0)
        self.assert_text(values, "SntpServer", "")
        self.assert_text(values, "AppDir", "a" * 499)
        self.assert_dword(values, "ShowTime", 2)
        self.assert_dword(values, "CurrentConfigureSheet", 0)
        self.assert_dword(values, "UCS", 42)
        self.assert_dword(values, "BCS", 2)

    def test_binary_and_expandable_data_under_text_names(self):
        self.set_values({
            "FaceName": ("REG_BINARY", "41" * 500),      # 500 bytes, no terminator
            "MusicFilename": ("REG_BINARY", "42" * 499),  # terminated on reading
            "AppDir": ("REG_EXPAND_SZ", "C:\\Chronovale"),
            "BCS": ("REG_DWORD", "1"),
        })
        self.assertEqual(self.run_saver("/s"), 0)
        values = self.settings()
        self.assert_text(values, "FaceName", "Arial")
        self.assert_text(values, "MusicFilename", "B" * 499)
        self.assert_text(values, "AppDir", "C:\\Chronovale")


if __name__ == "__main__":
    main()
