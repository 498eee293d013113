"""The flying clock of the Windows saver under Wine: a seeded run draws lit
text in the middle of the view, wireframe lettering lights far fewer
pixels, motion trails light more (also when every frame's back buffer starts
out black), and each time reaches the viewer's plane when the wall clock
shows it. The picture comparisons use the probe saver's own read-back of
its finished frames, which does not depend on how Wine puts a child GL
window on the X screen; one run of the real saver checks that it does."""

import os
import sys
import time

from winetest import SaverTestCase, main

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "x11"))
import scene_pictures  # noqa: E402
from winetest import options  # noqa: E402

# The automatic close ends each run a little after its snapshot.
CLOSE_AFTER_SNAPSHOT_SECONDS = 4
RUN_TIMEOUT = 90


class SceneUnderWine(scene_pictures.PictureChecks, SaverTestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.probe_saver = cls.wine.install_saver(
            options.bin_dir, saver_name="ChronovaleProbe.scr",
            library_name="CHRONOVALEPROBE.DLL", source_saver="ChronovaleProbe.scr")

    def probe_run(self, settings, close_after=None, extra_env=None):
        """One run of the probe saver to its automatic close; returns
        (snapshot path, probe lines)."""
        values = dict(scene_pictures.COMPARED_SETTINGS)
        values.update(settings)
        values["BCS"] = close_after or (scene_pictures.SNAPSHOT_AFTER_SECONDS
                                        + CLOSE_AFTER_SNAPSHOT_SECONDS)
        for name, value in values.items():
            self.wine.reg_add(name, "REG_DWORD", value)
        work = os.path.join(self.wine.root, "scene-%d" % len(os.listdir(self.wine.root)))
        os.makedirs(work)
        snapshot = os.path.join(work, "snapshot.ppm")
        lines = os.path.join(work, "probe.txt")
        settings_env = {"CHRONOVALE_PROBE_FILE": lines, "TZ": "UTC",
                        "CHRONOVALE_PROBE_SNAPSHOT": "%d:%s" % (
                            scene_pictures.SNAPSHOT_AFTER_SECONDS, snapshot)}
        settings_env.update(extra_env or {})
        env = self.wine.env(**settings_env)
        proc = self.start_saver("/s", saver=self.probe_saver, env=env)
        code, _, err = self.procs.wait(proc, RUN_TIMEOUT)
        self.assertEqual(code, 0, err[-2000:])
        with open(lines) as f:
            text = f.read()
        self.assertIn("probe snapshot", text, text[-2000:])
        return snapshot, text

    def test_seeded_run_draws_lit_text_in_the_middle_of_the_view(self):
        snapshot, _ = self.probe_run({"MovingViewpoint": 1, "TimeFormatEnum": 1})
        width, height = scene_pictures.picture_size(snapshot)
        self.assertEqual((width, height), (1024, 768))
        centre = scene_pictures.lit(snapshot, scene_pictures.centre_region(width, height))
        self.assertGreater(centre, 2000, "the middle of the view is dark")
        x, y = scene_pictures.lit_centroid(snapshot)
        self.assertTrue(0.3 < x < 0.7 and 0.2 < y < 0.7, "lit pixels centred at %.2f, %.2f" % (x, y))

    def test_full_screen_run_reaches_the_x_screen(self):
        # Wine copies a child GL window's picture to the X screen after each
        # swap; a build of Wine that loses that copy shows a black screen.
        values = dict(scene_pictures.COMPARED_SETTINGS)
        values["BCS"] = scene_pictures.SNAPSHOT_AFTER_SECONDS + CLOSE_AFTER_SNAPSHOT_SECONDS
        for name, value in values.items():
            self.wine.reg_add(name, "REG_DWORD", value)
        proc = self.start_saver("/s")
        shot = os.path.join(self.wine.root, "screen-%d.png" % len(os.listdir(self.wine.root)))
        time.sleep(scene_pictures.SNAPSHOT_AFTER_SECONDS)
        self.xvfb.screenshot(shot)
        width, height = scene_pictures.picture_size(shot)
        centre = scene_pictures.lit(shot, scene_pictures.centre_region(width, height))
        self.assertGreater(centre, 2000, "the screen shows no lettering")
        self.assertEqual(self.wait_exit(proc, RUN_TIMEOUT), 0)

    def snapshot(self, settings, env):
        return self.probe_run(settings, extra_env=env)[0]

    def test_every_time_reaches_the_viewer_when_the_wall_clock_shows_it(self):
        _, text = self.probe_run({}, close_after=16)
        scene_pictures.assert_arrivals_on_time(self, text)


if __name__ == "__main__":
    main()
