"""The flying clock on the screen of the Linux saver, under a private Xvfb:
a seeded run shows lit text in the middle of the view, wireframe lettering
lights far fewer pixels, motion trails light more, also when every frame's
back buffer starts out black, and each time reaches the viewer's plane when
the wall clock shows it."""

import os
import time

import saver_support
import scene_pictures
from saver_support import SaverTestCase, xserver

PROBE_TIMEOUT = 40.0


class SceneOnScreen(scene_pictures.PictureChecks, SaverTestCase):

    def write_dwords(self, values):
        self.write_settings(['"%s"=dword:%08x' % (name, value & 0xFFFFFFFF)
                             for name, value in values.items()])

    def screenshot(self, name):
        path = self.dir / name
        try:
            return self.x.screenshot(path)
        except Exception:
            # ImageMagick's import now and then fails on a busy server.
            time.sleep(0.5)
            return self.x.screenshot(path)

    def probe_run(self, settings, seconds_after=0.0, **env):
        """Runs the probe program until its snapshot (and seconds_after more);
        returns (snapshot path, probe output)."""
        values = dict(scene_pictures.COMPARED_SETTINGS)
        values.update(settings)
        self.write_dwords(values)
        snapshot = self.dir / ("snapshot-%d.ppm" % len(os.listdir(self.dir)))
        env["CHRONOVALE_PROBE_SNAPSHOT"] = "%d:%s" % (scene_pictures.SNAPSHOT_AFTER_SECONDS, snapshot)
        proc = self.start_saver("/s", program=saver_support.BIN_DIR / "chronovale-probe", **env)
        taken = xserver.wait_until(
            lambda: "probe snapshot" in self.procs.output(proc)[1] or proc.poll() is not None,
            PROBE_TIMEOUT)
        self.assertTrue(taken and proc.poll() is None,
                        "no snapshot: %s" % (self.procs.output(proc)[1][-2000:],))
        if seconds_after:
            self.assert_still_running(proc, seconds_after)
        self.stop(proc)
        code, _, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err[-2000:])
        return snapshot, err

    def test_seeded_run_shows_lit_text_in_the_middle_of_the_view(self):
        self.write_dwords({"Seed": scene_pictures.SEED})
        proc, window = self.start_full_screen()
        self.assert_still_running(proc, 7.0)
        shot = self.screenshot("screen.png")
        width, height = scene_pictures.picture_size(shot)
        centre = scene_pictures.lit(shot, scene_pictures.centre_region(width, height))
        self.assertGreater(centre, 2000, "the middle of the view is dark")
        x, y = scene_pictures.lit_centroid(shot)
        self.assertTrue(0.3 < x < 0.7 and 0.2 < y < 0.7, "lit pixels centred at %.2f, %.2f" % (x, y))
        self.stop(proc)
        self.assertEqual(self.wait_exit(proc)[0], 0)

    def snapshot(self, settings, env):
        return self.probe_run(settings, **env)[0]

    def test_every_time_reaches_the_viewer_when_the_wall_clock_shows_it(self):
        _, err = self.probe_run({}, seconds_after=8.0, TZ="UTC")
        scene_pictures.assert_arrivals_on_time(self, err)


if __name__ == "__main__":
    saver_support.main()
