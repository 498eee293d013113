"""The Windows launcher under Wine: which shell request each command line
makes. Wine has no association for screensaver files, so the prefix gets
the "config" verb that Windows registers (the file run with /c). Wine's
shell still runs a program file itself before it looks at the verb, and the
saver then starts without arguments, which is configuration mode as well;
either command line counts. The test player stands in for the saver and,
as the http handler, for the browser. Once the real saver is the target,
and its configuration opens."""

import os
import re
import shutil
import time

import winetest
from winetest import SaverTestCase, wait_until

HOME_PAGE = "http://www.quillmere.example/"
LAUNCH_TIMEOUT = 60.0
QUIET_PERIOD = 2.0
LAUNCH_FOLDER = r"C:\Launch"


def read_lines(path):
    try:
        with open(path, encoding="latin-1") as f:
            return [line.rstrip("\r") for line in f.read().split("\n") if line]
    except FileNotFoundError:
        return []


class WineLauncherTest(SaverTestCase):
    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        player = os.path.join(winetest.options.tools_dir, "test_player.exe")
        cls.folder = cls.wine.unix_path(LAUNCH_FOLDER)
        os.makedirs(cls.folder, exist_ok=True)
        shutil.copy2(os.path.join(winetest.options.bin_dir, "launcher.exe"), cls.folder)
        shutil.copy2(player, os.path.join(cls.folder, "test_player.exe"))
        for key, data in ((r"HKCR\.scr", "scrfile"),
                          (r"HKCR\scrfile\shell\config\command", '"%1" /c'),
                          (r"HKCR\http\shell\open\command",
                           '"%s\\test_player.exe" "%%1"' % LAUNCH_FOLDER)):
            cls.wine.reg_add(None, "REG_SZ", data, key=key)

    def launch(self, args, log, cwd=None):
        env = self.wine.env(CHRONOVALE_TEST_LOG=self.wine.windows_path(log))
        proc = self.procs.start_program(
            self.wine.saver_command(os.path.join(self.folder, "launcher.exe"), *args),
            env, cwd=cwd or self.folder)
        self.assertEqual(self.wait_exit(proc, LAUNCH_TIMEOUT), 0, args)

    def test_each_command_line_makes_at_most_one_request(self):
        shutil.copy2(os.path.join(self.folder, "test_player.exe"),
                     os.path.join(self.folder, "Chronovale.scr"))
        tmp = self.wine.path
        # (arguments, the command line the one started program receives)
        saver = re.compile(r'^"(C:\\Launch\\)?Chronovale\.scr"( /c)?$')
        browser = re.compile("^" + re.escape('"%s\\test_player.exe" "%s"'
                                             % (LAUNCH_FOLDER, HOME_PAGE)) + "$")
        cases = [
            (["-config", "-homepage"], saver),
            (["-homepage", "x-configure"], saver),
            (["-homepage"], browser),
            (["x" * 9990, "-homepage"], browser),
            (["/config"], None),
            (["-Config", "-HOMEPAGE"], None),
            ([], None),
        ]
        logs = []
        for number, (args, _) in enumerate(cases):
            logs.append(os.path.join(tmp, "launch-%d.log" % number))
            self.launch(args, logs[-1])
        time.sleep(QUIET_PERIOD)
        for (args, wanted), log in zip(cases, logs):
            if wanted:
                wait_until(lambda: read_lines(log), LAUNCH_TIMEOUT)
            started = [line[len("cmdline "):] for line in read_lines(log)
                       if line.startswith("cmdline ")]
            what = "command line %r: %s" % (" ".join(args)[:40], started)
            self.assertEqual(len(started), 1 if wanted else 0, what)
            if wanted:
                self.assertRegex(started[0], wanted, what)

    def test_config_opens_the_real_saver_configuration(self):
        shutil.copy2(self.saver, os.path.join(self.folder, "Chronovale.scr"))
        shutil.copy2(os.path.join(os.path.dirname(self.saver), "CHRONOVALE.DLL"), self.folder)
        self.launch(["-config"], os.path.join(self.wine.path, "unused.log"))
        found = self.xvfb.find_windows("Chronovale", timeout=winetest.WINDOW_TIMEOUT)
        self.assertTrue(found, "no configuration window appeared")
        self.dismiss(found[0])
        self.assertTrue(wait_until(lambda: not self.xvfb.search_windows("Chronovale"), 30),
                        "the configuration did not close")


if __name__ == "__main__":
    winetest.main()
