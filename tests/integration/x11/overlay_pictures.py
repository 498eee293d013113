"""What the overlay screen tests of both platforms share: the blue scene
that keeps the flying times out of the red channel, the regions where the
overlay's elements stand on a 1024x768 screen, and the count of red-lit
pixels in a screenshot (decoded by ImageMagick, not by the saver)."""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "harness"))

import xserver  # noqa: E402

# The banner fades in at 0.075 per second: after this long it is at 0.3.
SETTLE_SECONDS = 4.0
WIDTH, HEIGHT = 1024, 768
# Blue flying times (colour 0x00BBGGRR), no drifting view, no clock correction.
BLUE_SCENE = {"TextColorEnum": 3, "TextColor": 0x00FF0000, "MovingViewpoint": 0, "SyncClock": 0}
LATER_RUN = {"UCS": 10}  # past the runs that show the notes
TOP_RIGHT = (WIDTH - 64, 0, 64, 32)
BOTTOM_LEFT = (0, HEIGHT - 40, 240, 40)
BOTTOM_RIGHT = (WIDTH - 440, HEIGHT - 40, 440, 32)
RED_LIT = 30  # the banner is at 0.3 of white when the screenshot is taken


def red_lit(path, region):
    """Pixels of region (x, y, width, height) whose red channel is lit."""
    _, _, rgb = xserver.read_rgb(path, region)
    return sum(1 for i in range(0, len(rgb), 3) if rgb[i] > RED_LIT)


def switches(frame_rate, date_line):
    return {"ShowFramerate": frame_rate, "ShowTime": date_line}


class ScreenChecks:
    """The full-screen overlay checks. A test case mixing this in provides
    full_screen_shot(name, values): one run with these DWORD values written
    first, returning the path of a screenshot taken SETTLE_SECONDS in."""

    def test_frame_rate_and_date_line_show_exactly_when_switched_on(self):
        on = self.full_screen_shot("on.png", {**BLUE_SCENE, **LATER_RUN, **switches(1, 1)})
        self.assertGreater(red_lit(on, TOP_RIGHT), 20, "no frame rate top right")
        self.assertGreater(red_lit(on, BOTTOM_LEFT), 100, "no date line bottom left")
        off = self.full_screen_shot("off.png", {**BLUE_SCENE, **LATER_RUN, **switches(0, 0)})
        self.assertEqual(red_lit(off, TOP_RIGHT), 0)
        self.assertEqual(red_lit(off, BOTTOM_LEFT), 0)

    def test_first_run_shows_the_banner_bottom_right(self):
        shot = self.full_screen_shot("first.png", BLUE_SCENE)
        self.assertGreater(red_lit(shot, BOTTOM_RIGHT), 200, "no banner bottom right")
        self.assertEqual(red_lit(shot, BOTTOM_LEFT), 0)
