"""ChronovaleSetup.exe and the portable archive in a prefix of their own:
silent installs, the installed saver started as the display settings start
it, the launcher run as its shortcut runs it, silent uninstalls, and what
each leaves behind in the folders and the registry."""

import os
import pathlib
import shutil
import struct
import zipfile

import winetest
from winetest import CHRONOVALE_KEY, WINDOW_TIMEOUT, PrefixTestCase, dword_value, options, \
    wait_until

INSTALL_TIMEOUT = 120
SAVER_TIMEOUT = 40

SYSTEM = r"C:\windows\system32"
DEFAULT_FOLDER = r"C:\Program Files\Quillmere\Chronovale"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Chronovale"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
MENU_FOLDER = r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Chronovale"
INSTALLED_FILES = {"launcher.exe", "help.htm", "Uninstall.exe"}
HELP_RECORD = r"C:\help-opened.txt"
PORTABLE_FILES = {"Chronovale.scr", "CHRONOVALE.DLL", "launcher.exe", "help.htm", "Install.txt"}


def read_shortcut(path):
    """A .lnk file's target, working folder and arguments. The shell link
    format: a header, an item list and a link info (holding the target's
    local path) when flagged, then counted strings in a fixed order."""
    with open(path, "rb") as f:
        data = f.read()
    flags = struct.unpack_from("<I", data, 0x14)[0]
    pos = 0x4C
    if flags & 0x01:
        pos += 2 + struct.unpack_from("<H", data, pos)[0]
    target = None
    if flags & 0x02:
        size, _, _, _, local = struct.unpack_from("<5I", data, pos)
        target = data[pos + local:data.index(b"\0", pos + local)].decode("latin-1")
        pos += size
    strings = {}
    width = 2 if flags & 0x80 else 1
    for bit in (0x04, 0x08, 0x10, 0x20, 0x40):  # name, path, folder, arguments, icon
        if flags & bit:
            count = struct.unpack_from("<H", data, pos)[0]
            raw = data[pos + 2:pos + 2 + count * width]
            strings[bit] = raw.decode("utf-16-le" if width == 2 else "latin-1").rstrip("\0")
            pos += 2 + count * width
    return target, strings.get(0x10), strings.get(0x20, "")


class InstallerTest(PrefixTestCase):
    """One display and one prefix for every test; each test ends with the
    product uninstalled."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # Opening a page: the shell runs a command that writes down its name.
        for key, command in ((r"HKCR\.htm", "ChronovaleTest.htm"),
                             (r"HKCR\ChronovaleTest.htm\shell\open\command",
                              r"C:\windows\system32\cmd.exe /c echo %%1> %s" % HELP_RECORD)):
            cls.wine.reg_add(None, "REG_SZ", command, key=key)

    # Helpers ----------------------------------------------------------------

    def path(self, windows_path):
        return self.wine.unix_path(windows_path)

    def run_windows(self, program, *arguments, cwd=None, timeout=INSTALL_TIMEOUT):
        command = self.wine.saver_command(program, *arguments)
        code, out, err = self.procs.run_program(command, self.wine.env(), timeout, cwd=cwd)
        return code, out + err

    def install(self, *arguments):
        # Wine quotes an argument that holds blanks, which the installer would
        # not read as its folder: the command line goes through cmd instead.
        shutil.copyfile(options.setup, self.path(r"C:\ChronovaleSetup.exe"))
        code, output = self.run_windows("cmd", "/c", r"C:\ChronovaleSetup.exe /S " + " ".join(arguments))
        self.assertEqual(code, 0, "installer: " + output)

    def uninstall(self, *arguments):
        """Runs the entry's quiet uninstall command and waits for the copy of
        the uninstaller that does the work (it deletes the original)."""
        command = self.text(UNINSTALL_KEY, "QuietUninstallString")
        self.assertTrue(command.startswith(self.text(UNINSTALL_KEY, "UninstallString")))
        _, program, switches = command.split('"')
        uninstaller = self.path(program)
        code, output = self.run_windows(uninstaller, *(switches.split() + list(arguments)))
        self.assertEqual(code, 0, "uninstaller: " + output)
        done = wait_until(lambda: not os.path.exists(uninstaller)
                          and not self.prefix_processes("~nsu"), INSTALL_TIMEOUT)
        self.assertTrue(done, "the uninstaller did not finish")
        # Files a running program held are deleted at the next restart.
        self.assertEqual(self.wine.run_wine(["wineboot", "-r"])[0], 0)

    def drive_sheet(self, *commands):
        """sheet_driver's answers to commands, one line each."""
        tool = os.path.join(options.tools_dir, "sheet_driver.exe")
        command = self.wine.saver_command(tool, *commands)
        _, out, _ = self.procs.run_program(command, self.wine.env(), WINDOW_TIMEOUT)
        return out.split()

    def prefix_processes(self, text):
        """Processes of this prefix whose command line holds text."""
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    if text.encode() not in f.read():
                        continue
                with open("/proc/%s/environ" % pid, "rb") as f:
                    environ = f.read().split(b"\0")
            except OSError:
                continue
            if ("WINEPREFIX=" + self.wine.path).encode() in environ:
                found.append(int(pid))
        return found

    def key_exists(self, key):
        return self.wine.run_wine(["reg", "query", key])[0] == 0

    def values(self, key):
        return self.wine.reg_query(key)

    def text(self, key, name):
        value = self.values(key).get(name)
        return value[1] if value else None

    def assert_same_file(self, installed, built):
        with open(installed, "rb") as a, open(built, "rb") as b:
            self.assertTrue(a.read() == b.read(), "%s differs from %s" % (installed, built))

    def assert_installed(self, folder):
        built = {"Chronovale.scr": os.path.join(options.bin_dir, "Chronovale.scr"),
                 "CHRONOVALE.DLL": os.path.join(options.bin_dir, "CHRONOVALE.DLL")}
        for name, source in built.items():
            self.assert_same_file(self.path(SYSTEM + "\\" + name), source)
        self.assertEqual(set(os.listdir(self.path(folder))), INSTALLED_FILES)
        self.assert_same_file(self.path(folder + r"\help.htm"), options.help_page)
        self.assert_same_file(self.path(folder + r"\launcher.exe"), options.launcher)
        self.assertEqual(self.text(CHRONOVALE_KEY, "AppDir"), folder)

        entry = {name: data for name, (_, data) in self.values(UNINSTALL_KEY).items()}
        self.assertEqual((entry["DisplayName"], entry["DisplayVersion"], entry["Publisher"]),
                         ("Chronovale", "1.1", "Quillmere"))
        icon, _, index = entry["DisplayIcon"].rpartition(",")
        self.assertTrue(os.path.isfile(self.path(icon)) and index == "0", entry["DisplayIcon"])
        files = list(built.values()) + [options.launcher, options.help_page]
        size = sum(map(os.path.getsize, files)) // 1024
        self.assertTrue(size <= dword_value(entry["EstimatedSize"]) <= size * 1.2 + 200)

        for name, argument in (("Chronovale Settings", "-config"),
                               ("Chronovale on the Web", "-homepage")):
            target, start_in, arguments = read_shortcut(
                self.path(MENU_FOLDER + "\\" + name + ".lnk"))
            self.assertEqual(target.lower(), (folder + r"\launcher.exe").lower(), name)
            self.assertEqual(arguments, argument, name)
            self.assertEqual(start_in.lower(), SYSTEM.lower(), name)

    def assert_uninstalled(self, folder):
        for name in ("Chronovale.scr", "CHRONOVALE.DLL"):
            self.assertFalse(os.path.exists(self.path(SYSTEM + "\\" + name)), name)
        leftovers = [n for n in os.listdir(self.path(SYSTEM)) if n.lower().endswith(".tmp")]
        self.assertEqual(leftovers, [])
        self.assertFalse(os.path.exists(self.path(folder)), folder)
        self.assertFalse(os.path.exists(self.path(r"C:\Program Files\Quillmere")))
        self.assertFalse(os.path.exists(self.path(MENU_FOLDER)))
        for key in (UNINSTALL_KEY, r"HKCR\.scr", r"HKCR\scrfile"):
            self.assertFalse(self.key_exists(key), key)
        self.assertNotIn("AppDir", self.values(CHRONOVALE_KEY))

    # Tests ------------------------------------------------------------------

    def test_a_silent_install_run_and_uninstall(self):
        self.install()
        self.assert_installed(DEFAULT_FOLDER)
        self.assertEqual(self.text(DESKTOP_KEY, "SCRNSAVE.EXE"), SYSTEM + r"\Chronovale.scr")

        # The saver finds its library in the system folder and closes itself.
        self.wine.reg_add("BCS", "REG_DWORD", 2)
        code, output = self.run_windows(self.text(DESKTOP_KEY, "SCRNSAVE.EXE"), "/s",
                                        timeout=SAVER_TIMEOUT)
        self.assertEqual(code, 0, output)
        self.assertEqual(dword_value(self.values(CHRONOVALE_KEY)["UCS"][1]), 1)

        # The settings shortcut: the launcher in its start folder asks the
        # shell for the saver's "config" verb, which opens the sheet; its Help
        # button opens AppDir's help.htm through the shell.
        target, start_in, arguments = read_shortcut(
            self.path(MENU_FOLDER + r"\Chronovale Settings.lnk"))
        launcher = self.procs.start_program(
            self.wine.saver_command(self.path(target), arguments), self.wine.env(),
            cwd=self.path(start_in))
        windows = self.xvfb.find_windows("^Chronovale$", timeout=WINDOW_TIMEOUT)
        self.assertTrue(windows, "the settings shortcut opened nothing")
        self.assertEqual(self.procs.wait(launcher, SAVER_TIMEOUT)[0], 0)
        self.assertEqual(self.drive_sheet("sheet", "20000", "help"), ["ok", "ok"])
        record = pathlib.Path(self.path(HELP_RECORD))
        opened = wait_until(lambda: record.is_file() and record.read_text("latin-1")
                            .endswith("\n") and record.read_text("latin-1"), WINDOW_TIMEOUT)
        self.assertEqual(opened.strip(), DEFAULT_FOLDER + "\\help.htm")
        self.assertEqual(self.drive_sheet("close"), ["ok"], "the sheet did not close")

        self.uninstall()
        self.assert_uninstalled(DEFAULT_FOLDER)
        self.assertNotIn("SCRNSAVE.EXE", self.values(DESKTOP_KEY))
        self.assertEqual(dword_value(self.values(CHRONOVALE_KEY)["UCS"][1]), 1,
                         "the settings were not kept")

    def test_b_reinstall_over_running_saver_then_uninstall(self):
        other = r"C:\Savers\Other Saver.scr"
        self.wine.reg_add("SCRNSAVE.EXE", "REG_SZ", other, key=DESKTOP_KEY)
        self.wine.reg_add("FaceName", "REG_SZ", "Courier New")
        folder = r"C:\Program Files\Quill Tools\Chrono vale"
        self.install("/NOSCREENSAVER", "/D=" + folder)
        self.assertEqual(self.text(DESKTOP_KEY, "SCRNSAVE.EXE"), other)
        self.assertEqual(self.text(CHRONOVALE_KEY, "AppDir"), folder)

        # A saver running from the system folder while the same version is
        # installed again: the files in use are replaced all the same.
        saver = self.path(SYSTEM + r"\Chronovale.scr")
        with open(saver, "ab") as f:
            f.write(b"an older build")
        self.wine.reg_add("BCS", "REG_DWORD", 0)
        running = self.procs.start_program(self.wine.saver_command(saver, "/s"),
                                           self.wine.env())
        window = self.xvfb.find_windows("^Screen Saver$", timeout=WINDOW_TIMEOUT)
        self.assertTrue(window, "the saver did not start")
        self.install("/NOSCREENSAVER", "/D=" + folder)
        self.assertIsNone(running.poll(), "installing ended the running saver")
        self.assert_installed(folder)
        self.xvfb.focus_and_key(window[0], "space")
        self.assertEqual(self.procs.wait(running, SAVER_TIMEOUT)[0], 0)
        self.assertEqual(self.text(CHRONOVALE_KEY, "FaceName"), "Courier New")

        # A file the user deleted, and one the user added: neither stops the
        # uninstaller, and the user's file stays with its folder.
        os.remove(self.path(folder + r"\launcher.exe"))
        notes = self.path(folder + r"\notes.txt")
        with open(notes, "w") as f:
            f.write("mine")
        self.uninstall()
        self.assertTrue(os.path.isfile(notes), "the uninstaller removed a file of the user's")
        shutil.rmtree(self.path(r"C:\Program Files\Quill Tools"))
        self.assert_uninstalled(folder)
        self.assertEqual(self.text(DESKTOP_KEY, "SCRNSAVE.EXE"), other)
        self.assertEqual(self.text(CHRONOVALE_KEY, "FaceName"), "Courier New")

        # Asked to, the uninstaller also removes the settings; a screensaver
        # chosen by the installer is reset.
        self.install()
        self.assertEqual(self.text(DESKTOP_KEY, "SCRNSAVE.EXE"), SYSTEM + r"\Chronovale.scr")
        self.uninstall("/REMOVESETTINGS")
        self.assertFalse(self.key_exists(r"HKCU\Software\Quillmere"))
        self.assertNotIn("SCRNSAVE.EXE", self.values(DESKTOP_KEY))

    def test_d_screensaver_page_declined_by_keyboard(self):
        other = r"C:\Savers\Other.scr"
        self.wine.reg_add("SCRNSAVE.EXE", "REG_SZ", other, key=DESKTOP_KEY)
        setup = os.path.join(self.wine.drive_c, "ChronovaleSetup.exe")
        shutil.copyfile(options.setup, setup)
        proc = self.procs.start_program(self.wine.saver_command(setup), self.wine.env())
        window = self.xvfb.find_windows("^Chronovale 1.1 Setup$", timeout=WINDOW_TIMEOUT)
        self.assertTrue(window, "no installer window")
        # Welcome, folder, then the screensaver page: its box starts ticked
        # and Alt+U clears it; the pages that follow end with Return.
        for key in ("Return", "Return", "alt+u", "Return"):
            self.xvfb.focus_and_key(window[0], key)
        finished = wait_until(lambda: proc.poll() is not None or
                              self.xvfb.focus_and_key(window[0], "Return"),
                              INSTALL_TIMEOUT, interval=1.0)
        self.assertTrue(finished, "the installer did not finish")
        self.assertEqual(proc.poll(), 0)
        self.assertEqual(self.text(CHRONOVALE_KEY, "AppDir"), DEFAULT_FOLDER)
        self.assertEqual(self.text(DESKTOP_KEY, "SCRNSAVE.EXE"), other)
        self.uninstall()
        self.assertEqual(self.text(DESKTOP_KEY, "SCRNSAVE.EXE"), other)

    def test_c_portable_archive_runs_where_it_is_unpacked(self):
        with zipfile.ZipFile(options.zip) as archive:
            self.assertEqual(set(archive.namelist()), PORTABLE_FILES)
            folder = r"C:\Portable Chronovale"
            archive.extractall(self.path(folder))
            text = archive.read("Install.txt").decode("latin-1")
        self.assertIn("\r\n", text)
        self.assertIn('"Install"', text)
        for name in ("Chronovale.scr", "CHRONOVALE.DLL"):
            self.assert_same_file(self.path(folder + "\\" + name),
                                  os.path.join(options.bin_dir, name))
        self.wine.reg_add("BCS", "REG_DWORD", 2)
        before = dword_value(self.values(CHRONOVALE_KEY).get("UCS", ("", "0"))[1])
        code, output = self.run_windows(self.path(folder + r"\Chronovale.scr"), "/s",
                                        timeout=SAVER_TIMEOUT)
        self.assertEqual(code, 0, output)
        self.assertEqual(dword_value(self.values(CHRONOVALE_KEY)["UCS"][1]), before + 1)


if __name__ == "__main__":
    winetest.main(more_paths=("setup", "zip", "launcher", "help-page"))
