"""The Linux launcher: which request each command line makes, with a test
player standing in for the saver beside it and for the default browser, and
once with the real saver, whose configuration then opens."""

import os
import re
import shutil
import signal
import time

import saver_support
from desktop_apps import DesktopApps, args_of
from saver_support import SaverTestCase, tool
from xserver import wait_until

HOME_PAGE = "http://www.quillmere.example/"
LAUNCH_TIMEOUT = 15.0
# How long a request that must not happen is given to happen anyway.
QUIET_PERIOD = 1.5


class LauncherTest(SaverTestCase):
    def setUp(self):
        super().setUp()
        self.apps = DesktopApps(self.dir / "desktop")
        browser = self.apps.add_application("test-browser", str(tool("test_player")))
        self.apps.set_default("x-scheme-handler/http", browser)

    def install(self, saver):
        """launcher and saver side by side in a folder of their own."""
        folder = self.dir / "installed"
        folder.mkdir(exist_ok=True)
        shutil.copy2(saver_support.BIN_DIR / "chronovale-launcher", folder)
        shutil.copy2(saver, folder / "chronovale")
        for module in (saver_support.DESKTOP_MODULE, saver_support.GIO_MODULE):
            shutil.copy2(saver_support.BIN_DIR / module, folder)
        return folder / "chronovale-launcher"

    def launch(self, launcher, args, log):
        """Runs the launcher to its end; the test player, whether started as
        the saver or as the browser, writes what it got to log."""
        env = self.env(**self.apps.env())
        env["CHRONOVALE_TEST_LOG"] = str(log)
        code, _, err = self.procs.run_program([str(launcher)] + list(args), env,
                                              timeout=LAUNCH_TIMEOUT)
        self.assertEqual(code, 0, "%s: %s" % (args, err))

    def test_each_command_line_makes_at_most_one_request(self):
        launcher = self.install(tool("test_player"))
        # (arguments, what the one started program receives: the saver's
        # configuration switch, the home page address, or nothing at all)
        cases = [
            (["-config", "-homepage"], ["-c"]),
            (["-homepage", "x-configure"], ["-c"]),
            (["-homepage"], [HOME_PAGE]),
            (["x" * 9990 + " -homepage"], [HOME_PAGE]),
            (["/config"], []),
            (["-Config", "-HOMEPAGE"], []),
            ([], []),
        ]
        logs = []
        for number, (args, _) in enumerate(cases):
            logs.append(self.dir / ("case-%d.log" % number))
            self.launch(launcher, args, logs[-1])
        time.sleep(QUIET_PERIOD)
        for (args, wanted), log in zip(cases, logs):
            if wanted:
                wait_until(lambda: args_of(log), LAUNCH_TIMEOUT)
            self.assertEqual(args_of(log), wanted, "command line %r" % " ".join(args)[:40])

    def test_config_opens_the_configuration_of_the_saver_beside_it(self):
        launcher = self.install(saver_support.saver_program())
        shutil.copy2(saver_support.BIN_DIR / "chronovale.so", launcher.parent)
        started = time.monotonic()
        self.launch(launcher, ["-config"], self.dir / "unused.log")
        # The launcher has ended; the saver runs on as a process of its own.
        found = self.x.find_windows("Chronovale", timeout=30)
        self.assertTrue(found, "no configuration window within %.0f s"
                        % (time.monotonic() - started))
        pid = int(re.search(r"= (\d+)", self.x.run_tool(
            ["xprop", "-id", str(found[0]), "_NET_WM_PID"])).group(1))
        self.addCleanup(self.end_process, pid)
        self.assertIn("-c", open("/proc/%d/cmdline" % pid, "rb").read().decode().split("\0"))

    @staticmethod
    def end_process(pid):
        try:
            os.kill(pid, signal.SIGTERM)
            time.sleep(0.5)
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass


if __name__ == "__main__":
    saver_support.main()
