"""Checks a screenshot file against a capture of the screen, for both
platforms' screenshot tests: the file's own header read by hand, its pixels
decoded by ImageMagick, compared with the screen pixel by pixel."""

import struct
import time
from pathlib import Path

import xserver

# A slow frame is paused on for this long, so that the screen still shows the
# frame a screenshot file holds when the test captures it.
FRAME_PAUSE_MS = 4000
# The saver's clock moves on by a second a frame, so the times in flight are
# seen at several depths; a few frames in, they are lit.
STEPPED_CLOCK_ENV = {"CHRONOVALE_PROBE_FRAME_STEP_MS": "1000", "TZ": "UTC"}
FRAMES_BEFORE_SHOT = 3
# Orange lettering (0x00BBGGRR): swapped red and blue would show blue.
TEXT_COLORREF = 0x002080FF
# The same picture, read twice: allowed per channel for rounding only, and
# the share of pixels allowed to differ more (none expected).
CHANNEL_TOLERANCE = 3
DIFFERENT_SHARE = 0.001


def bmp_header(path):
    """(width, height, bits, file size field, pixel offset, image size)."""
    data = Path(path).read_bytes()[:54]
    if data[:2] != b"BM":
        raise AssertionError("%s does not start with BM" % path)
    size, offset = struct.unpack_from("<I", data, 2)[0], struct.unpack_from("<I", data, 10)[0]
    info, width, height, planes, bits, compression, image = struct.unpack_from(
        "<IiiHHII", data, 14)
    if info != 40 or planes != 1 or compression != 0:
        raise AssertionError("unexpected BMP information header in %s" % path)
    return width, height, bits, size, offset, image


def wait_for_complete_bmp(path, width, height, timeout):
    """Waits until path holds a whole width x height 24-bit BMP."""
    stride = (width * 3 + 3) & ~3
    expected = 54 + stride * height

    def complete():
        try:
            return Path(path).stat().st_size >= expected
        except FileNotFoundError:
            return False
    return xserver.wait_until(complete, timeout)


def compare_with_screen(test, bmp_path, capture_path, region):
    """Asserts the BMP equals the captured screen region (x, y, w, h)."""
    x, y, w, h = region
    width, height, bits, size, offset, image = bmp_header(bmp_path)
    stride = (w * 3 + 3) & ~3
    test.assertEqual((width, height, bits, offset), (w, h, 24, 54))
    test.assertEqual((size, image), (54 + stride * h, stride * h))
    _, _, file_rgb = xserver.read_rgb(bmp_path)
    _, _, screen_rgb = xserver.read_rgb(capture_path, region)
    test.assertEqual(len(file_rgb), len(screen_rgb))
    different = sum(1 for i in range(0, len(file_rgb), 3)
                    if max(abs(file_rgb[i + c] - screen_rgb[i + c]) for c in range(3))
                    > CHANNEL_TOLERANCE)
    lit = sum(1 for i in range(0, len(file_rgb), 3) if max(file_rgb[i:i + 3]) > 40)
    # A black file would equal a black screen: the frame must show something.
    test.assertGreater(lit, w * h // 2000, "the screenshot is (nearly) black")
    test.assertLessEqual(different, w * h * DIFFERENT_SHARE,
                         "%d of %d pixels differ from the screen" % (different, w * h))


def capture_after(xvfb, path, settle=1.0):
    time.sleep(settle)
    return xvfb.screenshot(path)
