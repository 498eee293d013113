"""What the scene tests of both platforms share: a seeded settings set, the
probe program's snapshot and crossing lines, and the measures read from a
picture or a run. The pictures are decoded by ImageMagick, not by the
saver's code.

The probe programs are the savers with measuring points added: a snapshot
half a second after the first flying time reaching the viewer's plane at or
after a given second, one "probe crossing" line per such arrival, and one
"probe second" line per second telling when the frame loop first read it.
"""

import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "harness"))

import xserver  # noqa: E402

# The same seed, time format and fixed eye for every compared run: the
# snapshots then show the same times at the same places.
SEED = 7
COMPARED_SETTINGS = {"Seed": SEED, "MovingViewpoint": 0, "TimeFormatEnum": 2}
SNAPSHOT_AFTER_SECONDS = 7
# Pictures are compared from runs on the probe's frame-stepped clock: 40
# frames a second (fast enough for the lead to grow as on a real machine),
# from a fixed instant, so that each seeded run draws the same frames
# however busy the machine is.
STEPPED_CLOCK_ENV = {"CHRONOVALE_PROBE_FRAME_STEP_MS": "25", "TZ": "UTC"}
# The middle of the view, where the flying times pass; the overlay's notes
# and banner lie below it.
CENTRE_BOX = (0.2, 0.25, 0.6, 0.45)

# The carried time in any of the three formats: "16:30:29", "4:30:29" or
# "4:30:29 PM" (the 12-hour format without suffix is read as given).
CROSSING = re.compile(r"probe crossing (\d+) (\d+):(\d\d):(\d\d)( AM| PM)? lead (\d+) "
                      r"frame (\d+) cpu-ns (\d+) flight (\d+)")
# The first frame to read a new calendar second, as it begins drawing.
SECOND_SEEN = re.compile(r"probe second (\d+) seen (\d+)")
SECONDS_PER_DAY = 86400
# The calendar clock the saver reads in whole seconds may be a coarse one
# (about 16 ms on Windows), so a new second can be seen that much late, and
# the object spawned for it arrives that much late too.
CALENDAR_TICK_ALLOWANCE = 0.020


def allowed_lateness(frame_period, spawn_frame_delay=0.0):
    """How late an arrival may be: the spawn waits for the first frame after
    the second begins (one period, two for a slow frame) and for the
    calendar clock's tick. When the machine held that frame up for longer
    than a period (spawn_frame_delay, how long after the second began the
    frame that first read it began drawing), the spawn waited for it too."""
    return 2 * frame_period + CALENDAR_TICK_ALLOWANCE + max(0.0, spawn_frame_delay - frame_period)


def centre_region(width, height):
    x, y, w, h = CENTRE_BOX
    return (int(width * x), int(height * y), int(width * w), int(height * h))


def lit(picture, region=None):
    return xserver.lit_pixel_count(picture, region)


def lit_centroid(picture, threshold=40):
    """(x, y) of the lit pixels' centre as fractions of the picture's size,
    leaving out the bottom fifth where the overlay's notes and banner are;
    None when nothing there is lit."""
    width, height, rgb = xserver.read_rgb(picture)
    rows = int(height * 0.8)
    sum_x = sum_y = count = 0
    for y in range(rows):
        base = y * width * 3
        for x in range(width):
            i = base + 3 * x
            if rgb[i] > threshold or rgb[i + 1] > threshold or rgb[i + 2] > threshold:
                sum_x += x
                sum_y += y
                count += 1
    if not count:
        return None
    return sum_x / count / width, sum_y / count / height


def picture_size(picture):
    width, height, _ = xserver.read_rgb(picture)
    return width, height


def crossings(probe_text):
    """(wall ns at z = 0, carried seconds of the day, lead, frame, cpu ns,
    flight seconds)."""
    found = []
    for m in CROSSING.finditer(probe_text):
        ns, hh, mm, ss, suffix, lead, frame, cpu, flight = m.groups()
        hour = int(hh)
        if suffix == " PM" and hour != 12:
            hour += 12
        found.append((int(ns), hour * 3600 + int(mm) * 60 + int(ss), int(lead),
                      int(frame), int(cpu), int(flight)))
    return found


def seconds_seen(probe_text):
    """{calendar second: wall ns at which the first frame that read it began
    drawing}."""
    return {int(m.group(1)): int(m.group(2)) for m in SECOND_SEEN.finditer(probe_text)}


def arrival_errors(found, utc_offset_seconds=0):
    """Each arrival's lateness against the wall clock, in seconds, and the
    run's mean frame period. The carried time is local time; the probe's
    clock is UTC."""
    errors = []
    for ns, carried, *_ in found:
        local = ns / 1e9 + utc_offset_seconds
        # The arrival belongs to the second of the day nearest to it.
        day_second = local % SECONDS_PER_DAY
        diff = day_second - carried
        diff -= round(diff / SECONDS_PER_DAY) * SECONDS_PER_DAY
        errors.append(diff)
    first, last = found[0], found[-1]
    period = (last[0] - first[0]) / 1e9 / max(1, last[3] - first[3])
    return errors, period


def assert_arrivals_on_time(test, probe_text):
    """Every time of a run reaches the viewer's plane when the wall clock
    shows it: one arrival per second, none skipped, none early, and none
    later than the frame rate and the clock's resolution allow."""
    found = crossings(probe_text)
    test.assertGreaterEqual(len(found), 8, probe_text[-2000:])
    carried = [c[1] for c in found]
    test.assertEqual(carried, list(range(carried[0], carried[0] + len(carried))))
    errors, period = arrival_errors(found)
    seen = seconds_seen(probe_text)
    for crossing, error in zip(found, errors):
        # A lead or speed fault is off by whole seconds, or by more with
        # every second of flight.
        test.assertGreaterEqual(error, -0.1 * period, errors)
        # The second the time was spawned in: its flight before the second
        # it carries, which began exactly error seconds before the crossing.
        spawn_second = round(crossing[0] / 1e9 - error) - crossing[5]
        test.assertIn(spawn_second, seen, "no frame reported reading second %d" % spawn_second)
        delay = seen[spawn_second] / 1e9 - spawn_second
        allowed = allowed_lateness(period, delay)
        test.assertLessEqual(error, allowed, "errors %s, frame period %s, spawn frame %.4f s late"
                             % (errors, period, delay))


class PictureChecks:
    """The picture comparisons both platforms' scene tests run. A test case
    mixing this in provides snapshot(settings, env), one seeded run of its
    probe saver with these settings (and extra environment) that returns the
    snapshot's path."""

    def stepped_snapshot(self, settings, env=None):
        return self.snapshot(settings, dict(STEPPED_CLOCK_ENV, **(env or {})))

    def test_wireframe_lettering_lights_far_fewer_pixels(self):
        solid_lit = lit(self.stepped_snapshot({"Wireframe": 0}))
        wire_lit = lit(self.stepped_snapshot({"Wireframe": 1}))
        self.assertGreater(wire_lit, 1000, "wireframe lettering is not drawn")
        self.assertLess(wire_lit, solid_lit / 2, "solid %d, wireframe %d" % (solid_lit, wire_lit))

    def test_trails_light_more_pixels_with_and_without_double_buffering(self):
        # On the stepped clock every run draws the same frames, so the trails
        # add the same lit pixels however the picture is buffered: about half
        # as many again as the plain run lights.
        plain_lit = lit(self.stepped_snapshot({"FrameBlending": 0}))
        trails = {}
        for name, settings, env in (
                ("double buffered", {"FrameBlending": 1, "DoubleBuffering": 1}, {}),
                # Every frame starts from black, as after a swap that keeps
                # nothing: the trails must come from the kept picture.
                ("back buffer dropped", {"FrameBlending": 1, "DoubleBuffering": 1},
                 {"CHRONOVALE_PROBE_DROP_BACK_BUFFER": "1"}),
                ("single buffered", {"FrameBlending": 1, "DoubleBuffering": 0}, {})):
            with self.subTest(name):
                trails[name] = lit(self.stepped_snapshot(settings, env))
                self.assertGreater(trails[name], 1.25 * plain_lit,
                                   "%s: %d lit with trails, %d without" % (name, trails[name], plain_lit))
        self.assertLess(max(trails.values()), 1.02 * min(trails.values()), trails)
