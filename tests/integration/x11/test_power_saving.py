"""Monitor power saving while the saver runs: DPMS is switched off for the
run and on again after it, and left alone when it was off or when the user
permits power saving.

Xvfb has no DPMS extension, so most cases preload dpms_recorder.so into the
saver: it answers the DPMS calls from a state file and records each switch.
The last case uses the X server's own DPMS and runs only where the server
has it."""

import re
import signal
import time

import saver_support
from saver_support import SaverTestCase


class RecordedDpms(SaverTestCase):

    def setUp(self):
        super().setUp()
        self.state = self.dir / "dpms"

    def dpms_env(self, initially_enabled):
        self.state.write_text("enabled\n" if initially_enabled else "disabled\n")
        return {"LD_PRELOAD": saver_support.tool("dpms_recorder.so"),
                "CHRONOVALE_TEST_DPMS_STATE": self.state}

    def switches(self):
        return [line for line in self.state.read_text().splitlines()
                if line.startswith("set ")]

    def wait_for_switches(self, expected):
        saver_support.xserver.wait_until(lambda: self.switches() == expected, 10)
        self.assertEqual(self.switches(), expected)

    def test_off_while_running_and_on_again_after(self):
        proc, window = self.start_full_screen(**self.dpms_env(True))
        self.wait_for_switches(["set disabled"])
        self.x.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc)[0], 0)
        self.assertEqual(self.switches(), ["set disabled", "set enabled"])

    def test_restored_when_a_daemon_stops_the_saver(self):
        for args in (["-root"], ["/s"]):
            with self.subTest(args=args):
                proc = self.start_saver(*args, **self.dpms_env(True))
                self.wait_for_switches(["set disabled"])
                self.stop(proc, signal.SIGTERM)
                self.assertEqual(self.wait_exit(proc)[0], 0)
                self.assertEqual(self.switches(), ["set disabled", "set enabled"])

    def test_restored_when_the_terminal_closes_or_quits(self):
        for stop in (signal.SIGHUP, signal.SIGQUIT):
            with self.subTest(stop.name):
                proc, window = self.start_full_screen(**self.dpms_env(True))
                self.wait_for_switches(["set disabled"])
                self.stop(proc, stop)
                self.assertEqual(self.wait_exit(proc)[0], 0)
                self.assertEqual(self.switches(), ["set disabled", "set enabled"])

    def test_untouched_when_off_or_permitted(self):
        cases = (("was off", [], False),
                 ("permitted", ['"PermitMonitorPowerSaving"=dword:00000001'], True))
        for name, lines, enabled in cases:
            with self.subTest(name):
                self.write_settings(['"BCS"=dword:00000001'] + lines)
                code, out, err = self.run_saver("/s", **self.dpms_env(enabled))
                self.assertEqual(code, 0, err)
                self.assertEqual(self.switches(), [])


class ServerDpms(SaverTestCase):
    """The same through the X server, where its DPMS extension exists."""

    def dpms_enabled(self):
        report = self.x.run_tool(["xset", "q"])
        if "Server does not have the DPMS Extension" in report:
            return None
        return re.search(r"DPMS is Enabled", report) is not None

    def test_xset_shows_dpms_off_while_running(self):
        self.x.run_tool(["xset", "+dpms"], check=False)
        if self.dpms_enabled() is None:
            self.skipTest("this X server has no DPMS extension")
        self.assertTrue(self.dpms_enabled())
        proc, window = self.start_full_screen()
        time.sleep(0.5)
        self.assertFalse(self.dpms_enabled())
        self.x.focus_and_key(window, "Escape")
        self.assertEqual(self.wait_exit(proc)[0], 0)
        self.assertTrue(self.dpms_enabled())


if __name__ == "__main__":
    saver_support.main()
