"""The Debian package from build to removal, as a user meets it: built with
dpkg-buildpackage from a copy of the tree, checked by lintian, installed with
dpkg, its layout read back, the real screensaver daemon running the installed
saver full screen and the preview pane's command form, a second install over
the first, and removal leaving nothing behind.

Needs root (dpkg). The daemon and the saver run as an unprivileged user with
a home folder of the test's own, on an X server of the test's own; the
package is removed again at the end whatever happened.

    tests/package/test_package.py [--tools-dir build/linux/tests/integration/x11]
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import time
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tests" / "integration" / "harness"))
import xserver  # noqa: E402

TOOLS_DIR = SOURCE / "build" / "linux" / "tests" / "integration" / "x11"
PACKAGE = "chronovale"
HACK_DIR = Path("/usr/libexec/xscreensaver")
SAVER = HACK_DIR / "chronovale"
DIALOGS = HACK_DIR / "chronovale-desktop.so"
GIO_MODULE = HACK_DIR / "chronovale-gio.so"
NOBODY = 65534
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)

BUILD_TIMEOUT = 1200
DPKG_LOCK_WAIT = 600
DAEMON_TIMEOUT = 20
SAVER_START_TIMEOUT = 20
PICTURE_TIMEOUT = 20
END_TIMEOUT = 10


def run(args, timeout, env=None, cwd=None):
    done = subprocess.run([str(a) for a in args], capture_output=True, text=True,
                          timeout=timeout, env=env, cwd=cwd)
    return done.returncode, done.stdout, done.stderr


def dpkg(*args):
    """dpkg, waiting while another program holds its lock."""
    deadline = time.monotonic() + DPKG_LOCK_WAIT
    while True:
        code, out, err = run(["dpkg"] + list(args), 300)
        if code == 0 or "lock" not in err or time.monotonic() > deadline:
            return code, out, err
        time.sleep(2)


def installed_version():
    code, out, _ = run(["dpkg-query", "-W", "-f=${Status} ${Version}", PACKAGE], 30)
    return out.split()[-1] if code == 0 and out.startswith("install ok installed") else None


def descendants(pid):
    """Every living process started, directly or not, by pid."""
    parents = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    # The name in parentheses may hold blanks; the parent follows it.
                    parents[int(entry)] = int(f.read().rsplit(")", 1)[1].split()[1])
            except (OSError, IndexError, ValueError):
                pass
    found, frontier = set(), {pid}
    while frontier:
        frontier = {child for child, parent in parents.items() if parent in frontier} - found
        found |= frontier
    return found


def program_of(pid):
    try:
        return os.readlink("/proc/%d/exe" % pid)
    except OSError:
        return None


def lit_box(png, region=None, threshold=40):
    """(lit pixel count, bounding box of lit pixels as x0, y0, x1, y1)."""
    width, height, rgb = xserver.read_rgb(png, region)
    count, xs, ys = 0, [], []
    for y in range(height):
        row = rgb[y * width * 3:(y + 1) * width * 3]
        lit = [x for x in range(width) if max(row[x * 3:x * 3 + 3]) > threshold]
        if lit:
            count += len(lit)
            xs += (lit[0], lit[-1])
            ys.append(y)
    return count, (min(xs), min(ys), max(xs), max(ys)) if count else None


class Package(unittest.TestCase):

    def setUp(self):
        if os.geteuid() != 0:
            self.skipTest("installing a package needs root")
        if installed_version() is not None:
            self.fail("%s is installed on this machine already; the test will not replace it"
                      % PACKAGE)
        self.work = Path(self.enterContext(xserver.temp_dir("chronovale-package-")))
        # Whatever happens below, the package does not outlive the test.
        self.addCleanup(self.remove_if_installed)

    def remove_if_installed(self):
        if installed_version() is not None:
            dpkg("--purge", PACKAGE)

    # The whole life of the package, in the order a user meets it.
    def test_build_install_run_reinstall_remove(self):
        deb = self.build_package()
        code, out, err = dpkg("-i", deb)
        self.assertEqual(code, 0, out + err)
        files = self.check_layout()
        self.check_daemon_runs_the_saver()
        self.check_preview_pane_form()
        self.check_settings_entry()

        code, out, err = dpkg("-i", deb)
        self.assertEqual(code, 0, "second install: " + out + err)
        self.assertEqual(self.installed_files(), files)

        code, out, err = dpkg("-r", PACKAGE)
        self.assertEqual(code, 0, out + err)
        left = [path for path in files if os.path.lexists(path)]
        self.assertEqual(left, [], "left behind by dpkg -r")
        self.assertFalse(os.path.exists("/usr/share/doc/chronovale"))

    def build_package(self):
        # A copy of the tree as git sees it, so no build folder of the
        # developer's leaks in and the package files land in the test's folder.
        tree = self.work / "src" / ("%s-1.1" % PACKAGE)
        code, out, err = run(["git", "-C", SOURCE, "ls-files", "-z", "--cached", "--others",
                              "--exclude-standard"], 60)
        self.assertEqual(code, 0, err)
        for name in filter(None, out.split("\0")):
            source = SOURCE / name
            if source.is_file() or source.is_symlink():
                target = tree / name
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copy2(source, target, follow_symlinks=False)
        env = dict(os.environ, DEB_BUILD_OPTIONS="nocheck parallel=2")
        code, out, err = run(["dpkg-buildpackage", "-us", "-uc", "-b"], BUILD_TIMEOUT, env, tree)
        self.assertEqual(code, 0, (out + err)[-4000:])
        debs = sorted(p.name for p in tree.parent.glob("*.deb"))
        self.assertEqual(debs, ["chronovale-dbgsym_1.1_amd64.deb", "chronovale_1.1_amd64.deb"])

        # Every remaining lintian note is overridden with its reason in debian/.
        changes = tree.parent / "chronovale_1.1_amd64.changes"
        code, out, err = run(["lintian", "--fail-on", "error,warning", changes], 600)
        complaints = [line for line in (out + err).splitlines() if re.match(r"[EW]: ", line)]
        self.assertEqual((code, complaints), (0, []), out + err)
        return tree.parent / "chronovale_1.1_amd64.deb"

    def installed_files(self):
        code, out, err = run(["dpkg", "-L", PACKAGE], 30)
        self.assertEqual(code, 0, err)
        return sorted(p for p in out.splitlines() if p and not os.path.isdir(p)
                      or os.path.islink(p))

    def check_layout(self):
        files = self.installed_files()
        expected = [
            "/usr/bin/chronovale",
            str(SAVER), str(SAVER) + ".so", str(DIALOGS), str(GIO_MODULE),
            "/usr/share/applications/chronovale-settings.desktop",
            "/usr/share/doc/chronovale/changelog.gz",
            "/usr/share/doc/chronovale/copyright",
            "/usr/share/doc/chronovale/help.htm",
            "/usr/share/lintian/overrides/chronovale",
            "/usr/share/man/man6/chronovale.6.gz",
            "/usr/share/xscreensaver/config/chronovale.xml",
            "/usr/bin/chronovale-launcher",
            "/usr/share/man/man1/chronovale-launcher.1.gz",
        ] + ["/usr/share/icons/hicolor/%dx%d/apps/chronovale.png" % (s, s) for s in ICON_SIZES]
        self.assertEqual(files, sorted(expected))

        # The command on the PATH is the saver in the daemon's folder, and
        # every binary is stripped, the library keeping its resource table
        # and the desktop and GIO modules their entries alone.
        self.assertEqual(os.path.realpath("/usr/bin/chronovale"), str(SAVER))
        for binary in (SAVER, Path(str(SAVER) + ".so"), DIALOGS, GIO_MODULE):
            code, out, _ = run(["readelf", "-S", "-W", binary], 30)
            self.assertNotIn(".debug_info", out, binary)
            self.assertNotIn(".symtab", out, binary)
        code, out, _ = run(["nm", "-D", "--defined-only", str(SAVER) + ".so"], 30)
        self.assertIn("chronovale_resource_table", out)
        for module, entries in ((DIALOGS, ["ChronovaleDesktopRunSettings",
                                           "ChronovaleDesktopShowMessage"]),
                                (GIO_MODULE, ["ChronovaleGioLaunchDefault"])):
            code, out, _ = run(["nm", "-D", "--defined-only", module], 30)
            self.assertEqual(sorted(line.split()[-1] for line in out.splitlines()
                                    if " T " in line), entries, module)

        description = ElementTree.parse("/usr/share/xscreensaver/config/chronovale.xml").getroot()
        self.assertEqual((description.tag, description.get("name"), description.get("_label"),
                          description.get("gl")), ("screensaver", "chronovale", "Chronovale", "yes"))
        self.assertEqual(description.find("command").get("arg"), "--root")
        self.assertIn('"chronovale -c"', description.findtext("_description"))

        # The man page renders cleanly and documents every setting the
        # catalogue declares.
        code, page, err = run(["man", "--warnings", "-l", "-E", "UTF-8",
                               "/usr/share/man/man6/chronovale.6.gz"], 60,
                              dict(os.environ, MANWIDTH="80"))
        self.assertEqual((code, err), (0, ""))
        catalogue = (SOURCE / "app" / "settings_catalogue.def").read_text()
        names = re.findall(r"^SETTING_\w+\((\w+),", catalogue, re.M)
        self.assertEqual(len(names), 25)
        for name in names + ["--window-id", "XSCREENSAVER_WINDOW", "Chronovale.reg"]:
            self.assertIn(name, page)
        return files

    # The unprivileged user's side: its home, its environment.
    def user_home(self, name):
        """A home of the user's own, where the saver has run often enough that
        its first-run notes no longer cover the view."""
        home = self.work / name
        settings = home / ".config" / "Quillmere" / "Chronovale.reg"
        settings.parent.mkdir(parents=True)
        settings.write_text("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
                            "\"UCS\"=dword:00000010\n")
        for path in (home, home / ".config", settings.parent, settings):
            os.chown(path, NOBODY, NOBODY)
        self.work.chmod(0o755)
        return home

    def as_user(self, home, x, *args, **env):
        variables = ["HOME=%s" % home, "DISPLAY=%s" % x.display, "PATH=/usr/bin:/bin",
                     "LANG=C.UTF-8"] + ["%s=%s" % item for item in env.items()]
        return ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups",
                "env", "-i"] + variables + list(args)

    def check_daemon_runs_the_saver(self):
        home = self.user_home("daemon-home")
        settings = home / ".xscreensaver"
        settings.write_text(
            "mode:\t\tone\nselected:\t0\nlock:\t\tFalse\nfade:\t\tFalse\nunfade:\t\tFalse\n"
            "splash:\t\tFalse\ndpmsEnabled:\tFalse\ntimeout:\t0:01:00\n"
            "programs:\t\t\t\t\t\t\t\t\\\n\t\tGL: chronovale --root\t\t\t\t\\n\\\n\n")
        os.chown(settings, NOBODY, NOBODY)
        with xserver.Xvfb(width=640, height=480) as x, xserver.Processes() as procs:
            daemon = procs.start_program(self.as_user(home, x, "xscreensaver", "-no-splash"),
                                         dict(os.environ))

            def command(*args):
                return run(["xscreensaver-command"] + list(args), 10, x.env())

            ready = xserver.wait_until(lambda: command("-time")[0] == 0, DAEMON_TIMEOUT)
            self.assertTrue(ready, "the daemon did not come up: %s" % (procs.output(daemon),))
            code, out, err = command("-activate")
            self.assertEqual(code, 0, err)

            def savers():
                return [pid for pid in descendants(daemon.pid) if program_of(pid) == str(SAVER)]

            running = xserver.wait_until(savers, SAVER_START_TIMEOUT)
            self.assertEqual(len(running), 1, "no saver started: %s" % (procs.output(daemon),))
            saver = running[0]
            self.assertEqual(os.stat("/proc/%d" % saver).st_uid, NOBODY)
            self.assert_lit_clock(x, None, (640, 480), "full screen")
            # The daemon's saver draws without the dialogs' GTK loaded.
            with open("/proc/%d/maps" % saver) as maps:
                self.assertNotIn("libgtk-3", maps.read())
            self.assertIn('"UCS"=dword:00000011', (home / ".config" / "Quillmere" /
                                                   "Chronovale.reg").read_text())

            code, out, err = command("-deactivate")
            self.assertEqual(code, 0, err)
            self.assertTrue(xserver.wait_until(lambda: not os.path.exists("/proc/%d" % saver),
                                               END_TIMEOUT), "the saver outlived -deactivate")
            started = descendants(daemon.pid)
            command("-exit")
            procs.wait(daemon, END_TIMEOUT)
            self.assertEqual([pid for pid in started if os.path.exists("/proc/%d" % pid)
                              and program_of(pid)], [], "left running after the daemon")

    def check_preview_pane_form(self):
        home = self.user_home("preview-home")
        with xserver.Xvfb(width=640, height=480) as x, xserver.Processes() as procs:
            procs.start_program([TOOLS_DIR / "x11_test_window", "create", "320", "240",
                                 "Preview pane"], x.env())
            pane = int(x.find_windows("^Preview pane$")[0])
            # As the settings program starts it: the configured command with
            # its window appended, and the window in the variable too.
            saver = procs.start_program(
                self.as_user(home, x, "/usr/bin/chronovale", "--root", "--window-id",
                             "0x%x" % pane, XSCREENSAVER_WINDOW="0x%x" % pane),
                dict(os.environ))
            drawn = xserver.wait_until(lambda: '"Chronovale"' in x.run_tool(
                ["xwininfo", "-children", "-id", str(pane)]), SAVER_START_TIMEOUT)
            self.assertTrue(drawn, "no view in the pane: %s" % (procs.output(saver),))
            info = x.window_info(pane)
            origin = (int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]))
            self.assert_lit_clock(x, origin + (320, 240), (320, 240), "preview pane")
            os.kill(saver.pid, signal.SIGTERM)
            code, out, err = procs.wait(saver, END_TIMEOUT)
            self.assertEqual(code, 0, err)
            # Drawing into the pane rather than the root is said, in one line.
            self.assertRegex(err, r"^Chronovale: [^\n]*0x%x[^\n]*\n$" % pane)
            self.assertNotIn('"Chronovale"', x.run_tool(["xwininfo", "-children", "-id",
                                                          str(pane)]))

    def check_settings_entry(self):
        """The menu entry's command opens the saver's settings, as a process
        of its own that the launcher leaves running."""
        entry = Path("/usr/share/applications/chronovale-settings.desktop").read_text()
        fields = dict(line.split("=", 1) for line in entry.splitlines() if "=" in line)
        self.assertEqual((fields["Name"], fields["Icon"]), ("Chronovale Settings", "chronovale"))
        home = self.user_home("settings-home")
        with xserver.Xvfb(width=800, height=600) as x, xserver.Processes() as procs:
            code, out, err = procs.run_program(self.as_user(home, x, *fields["Exec"].split()),
                                               dict(os.environ), END_TIMEOUT)
            self.assertEqual(code, 0, err)

            def settings_processes():
                found = []
                for pid in filter(str.isdigit, os.listdir("/proc")):
                    try:
                        environ = Path("/proc/%s/environ" % pid).read_bytes().split(b"\0")
                    except OSError:
                        continue
                    if ("HOME=%s" % home).encode() in environ and program_of(int(pid)) == str(SAVER):
                        found.append(int(pid))
                return found
            try:
                self.assertTrue(xserver.wait_until(settings_processes, SAVER_START_TIMEOUT),
                                "the launcher started no saver")
                self.assertTrue(x.find_windows("^Chronovale", timeout=SAVER_START_TIMEOUT),
                                "no settings window")
            finally:
                # The launcher let it go; it is ended here, by its own id.
                for pid in settings_processes():
                    os.kill(pid, signal.SIGKILL)

    def assert_lit_clock(self, x, region, size, where):
        """The flying clock has come close: lit text spread across the view,
        on black; not a black screen, a few distant specks, or the white of
        a window that nobody draws over."""
        shot = self.work / ("%s.png" % where.replace(" ", "-"))
        # Above the overlay's bottom lines, where the title banner fades out.
        width, height = size[0], size[1] * 4 // 5
        if region is None:
            region = (0, 0, width, height)
        else:
            region = (region[0], region[1], width, height)
        found = []

        def lit():
            count, box = lit_box(x.screenshot(shot), region)
            found[:] = [count, box]
            return box is not None and box[2] - box[0] > width // 3 \
                and width * height // 100 < count < width * height // 2
        self.assertTrue(xserver.wait_until(lit, PICTURE_TIMEOUT, interval=1.0),
                        "%s: no lit clock (lit pixels, box: %s)" % (where, found))


if __name__ == "__main__":
    args = iter(sys.argv[1:])
    rest = [sys.argv[0]]
    for arg in args:
        if arg == "--tools-dir":
            TOOLS_DIR = Path(next(args)).resolve()
        else:
            rest.append(arg)
    unittest.main(argv=rest, verbosity=2)
