"""The Linux settings dialog (chronovale -c), driven like a user would
through the accessibility bus: each test starts the real program under its
own Xvfb, settings folder, runtime folder and home, clicks controls found
by their numbers and reads the settings file after every click.

Run under dbus-run-session with the system Python (pyatspi); ctest does.
"""

import ctypes
import ctypes.util
import os
import re
import signal
import subprocess
import time

import pyatspi

import saver_support
from saver_support import SaverTestCase, xserver
import dialog_driver as ui

TITLES = ["   Introduction   ", "   Music   ", "   Standard Controls   ",
          "   Custom Controls   "]
SYNC_CAPTION = "About clock synchronization..."
SYNC_TEXT = (
    "This option is suitable for computers which have non-dialup connections to the Internet.\n"
    "Each time the screensaver runs it will query an Internet time server and correct your "
    "system clock.\n"
    "Please note that if you have a firewall you may be prompted to give permission for this "
    "network traffic.")
LOCK_NAME = "Quillmere Chronovale Mutex"
# A full-screen saver ignores the mouse for its first second.
MOUSE_GRACE_SECONDS = 1.5
# Stands in for the desktop's opener: records each target it is given.
FAKE_OPENER = '#!/bin/sh\nprintf "%s\\n" "$1" >> "$CHRONOVALE_TEST_OPENED"\n'


class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def cursor_shape(display_name):
    """The pointer's current cursor picture as bytes (XFixes), to compare."""
    xlib = ctypes.CDLL(ctypes.util.find_library("X11"))
    xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes"))
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xlib.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(display_name.encode())
    try:
        image = xfixes.XFixesGetCursorImage(display)
        if not image:
            return None
        shape = image.contents
        pixels = bytes(str([shape.pixels[i] for i in range(shape.width * shape.height)]), "ascii")
        result = (shape.width, shape.height, shape.xhot, shape.yhot, pixels)
        xlib.XFree(image)
        return result
    finally:
        xlib.XCloseDisplay(display)


class DialogTestCase(SaverTestCase):

    def setUp(self):
        super().setUp()
        self.runtime_dir = self.dir / "run"
        self.runtime_dir.mkdir(mode=0o700)
        self.home = self.dir / "home"
        self.home.mkdir()
        fake_bin = self.dir / "bin"
        fake_bin.mkdir()
        opener = fake_bin / "xdg-open"
        opener.write_text(FAKE_OPENER)
        opener.chmod(0o755)
        self.opened_path = self.dir / "opened.txt"
        self.path = "%s:%s" % (fake_bin, os.environ.get("PATH", "/usr/bin:/bin"))
        self.addCleanup(self.end_previews)

    def env(self, **extra):
        extra.setdefault("XDG_RUNTIME_DIR", self.runtime_dir)
        extra.setdefault("HOME", self.home)
        extra.setdefault("PATH", self.path)
        extra.setdefault("CHRONOVALE_TEST_OPENED", self.opened_path)
        # GTK's own preferences (chooser state) stay in memory, not in a
        # settings database of the machine's user.
        extra.setdefault("GSETTINGS_BACKEND", "memory")
        extra.setdefault("NO_AT_BRIDGE", None)
        return super().env(**extra)

    def start_dialog(self, *args, **env):
        proc = self.start_saver(*(args or ("-c",)), **env)
        return proc, ui.SettingsDialog(proc.pid)

    def value(self, name):
        return self.settings().get(name)

    def wait_value(self, name, expected):
        try:
            ui.wait_for(lambda: self.value(name) == expected, 10, "%s = %r" % (name, expected))
        except AssertionError:
            self.assertEqual(self.value(name), expected, name)

    def opened(self):
        if not self.opened_path.exists():
            return []
        return self.opened_path.read_text().splitlines()

    def close_with_ok(self, proc, dialog):
        ui.click(dialog.button(1))
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err)
        return err

    def secondary_window(self, app, role, name):
        return ui.window(app, role, name)

    def screenshot(self, name):
        """Kept with the test's files (CHRONOVALE_KEEP_TEST_FILES) for a look."""
        self.x.screenshot(self.dir / ("%s.png" % name))

    def end_previews(self):
        """Ends, by pid, any preview saver this test's dialog started."""
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/environ" % entry, "rb") as f:
                    environ = f.read().split(b"\0")
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    cmdline = f.read().split(b"\0")
            except OSError:
                continue
            mine = ("XDG_CONFIG_HOME=%s" % self.config_dir).encode() in environ
            if mine and cmdline[:2] == [str(saver_support.saver_program()).encode(), b"-s"]:
                os.kill(int(entry), signal.SIGKILL)


class StandardControlsAndMusic(DialogTestCase):

    def test_standard_controls_page(self):
        self.write_settings([
            '"CurrentConfigureSheet"=dword:00000002',
            '"PrimaryMonitorOnly"=dword:00000000',
            '"LowDetail"=dword:00000001',
            '"MovingViewpoint"=dword:00000000',
            '"FaceName"="Liberation Serif"',
            '"PlayMusic"=dword:00000001',
            '"MusicFilename"="/music/evening.m3u"',
            '"SntpServer"="127.0.0.1"',
        ])
        proc, dialog = self.start_dialog()
        self.assertEqual(dialog.tab_titles(), TITLES)
        self.assertEqual(dialog.current_page(), 2)
        page = 2
        box = lambda number: dialog.control(page, number)
        self.screenshot("standard_controls")

        # One monitor: 1158 shows the stored value but cannot be changed;
        # LowDetail is locked by start-up.
        self.assertFalse(ui.sensitive(box(1158)))
        self.assertFalse(ui.checked(box(1158)))
        self.assertFalse(ui.sensitive(box(1028)))
        self.assertTrue(ui.checked(box(1028)))
        self.assertTrue(ui.sensitive(box(1005)))

        for number, name in ((1154, "ShowTime"), (1027, "ShowFramerate"),
                             (1157, "PermitMonitorPowerSaving"), (1005, "FrameBlending")):
            self.assertFalse(ui.checked(box(number)), name)
            ui.click(box(number))
            self.wait_value(name, ("dword", 1))
            self.assertTrue(ui.checked(box(number)), name)
        ui.click(box(1027))
        self.wait_value("ShowFramerate", ("dword", 0))

        # Turning the clock correction on explains it; turning it off does not.
        ui.click(box(1161))
        message = ui.window(dialog.app, pyatspi.ROLE_ALERT)
        # Owned by the settings dialog.
        owner = self.x.window_property(self.find_one("^%s$" % re.escape(SYNC_CAPTION)),
                                       "WM_TRANSIENT_FOR")
        self.assertIsNotNone(owner)
        self.assertEqual(int(owner.split("#")[1].strip(), 16), self.find_one("^Chronovale$"))
        self.assertEqual(self.value("SyncClock"), ("dword", 1))
        texts = [node.name for node in ui.by_role(message, pyatspi.ROLE_LABEL)]
        self.assertIn(SYNC_TEXT, texts)
        self.screenshot("sync_message")
        ui.click(ui.by_role(message, pyatspi.ROLE_PUSH_BUTTON, "OK")[0])
        ui.wait_closed(dialog.app, message)
        ui.click(box(1161))
        self.wait_value("SyncClock", ("dword", 0))
        ui.click(box(1161))
        message = ui.window(dialog.app, pyatspi.ROLE_ALERT)
        ui.click(ui.by_role(message, pyatspi.ROLE_PUSH_BUTTON, "OK")[0])
        ui.wait_closed(dialog.app, message)

        # Restore defaults: the seven boxes but the locked one, and the
        # Custom Controls values, silently; the music is left alone.
        ui.click(box(1159))
        # The Custom Controls values are restored last.
        self.wait_value("FaceName", ("sz", "Arial"))
        after = self.settings()
        for name, expected in (("ShowTime", 0), ("ShowFramerate", 0), ("SyncClock", 0),
                               ("PermitMonitorPowerSaving", 0), ("PrimaryMonitorOnly", 1),
                               ("FrameBlending", 0), ("LowDetail", 1), ("MovingViewpoint", 1),
                               ("PlayMusic", 1)):
            self.assertEqual(after[name], ("dword", expected), name)
        self.assertEqual(after["MusicFilename"], ("sz", "/music/evening.m3u"))
        for number in (1154, 1161, 1005):
            self.assertFalse(ui.checked(box(number)))
        self.assertTrue(ui.checked(box(1158)))
        time.sleep(0.3)
        self.assertEqual(len(ui.windows(dialog.app)), 1, "a message after restoring defaults")
        dialog.show_page(3)
        self.assertTrue(ui.checked(dialog.control(3, 1012)))

        # Preview: the saver itself, full screen, in a process of its own;
        # a mouse move ends it as it ends any full-screen saver.
        dialog.show_page(2)
        ui.click(box(1160))
        saver = self.find_one(saver_support.FULL_SCREEN_TITLE)
        time.sleep(MOUSE_GRACE_SECONDS)
        self.x.move_mouse_relative(0, 20)
        self.assertTrue(xserver.wait_until(lambda: not self.x.window_exists(saver), 15))
        self.assertIsNone(proc.poll())

        dialog.show_page(1)
        self.close_with_ok(proc, dialog)
        self.assertEqual(self.value("CurrentConfigureSheet"), ("dword", 1))

    def test_music_page_and_its_file_chooser(self):
        playlist = self.dir / "songs for the night.m3u"
        playlist.write_text("#EXTM3U\n")
        self.write_settings(['"CurrentConfigureSheet"=dword:00000001'])
        proc, dialog = self.start_dialog()
        self.app = dialog.app
        self.assertEqual(dialog.current_page(), 1)
        play = dialog.control(1, 1095)
        self.assertFalse(ui.checked(play))
        ui.click(play)
        self.wait_value("PlayMusic", ("dword", 1))
        self.assertEqual(ui.text(dialog.control(1, 1096)), "")

        def open_chooser():
            ui.click(dialog.control(1, 1097))
            chooser = ui.window(dialog.app, pyatspi.ROLE_FILE_CHOOSER,
                                "Select a music file or playlist")
            filters = ui.by_role(chooser, pyatspi.ROLE_COMBO_BOX)[0]
            self.assertEqual(filters.name,
                             "Music Playlists (*.m3u; *.pls; *.ram; *.m2a; *.kpl; *.b4s)")
            self.assertEqual([item.name for item in ui.by_role(filters, pyatspi.ROLE_MENU_ITEM)], [
                "Music Playlists (*.m3u; *.pls; *.ram; *.m2a; *.kpl; *.b4s)",
                "Music Files (*.mp3; *.ogg; *.wav; *.wma; *.ra; *.mid; *.midi; *.rmi)",
                "All Files (*.*)"])
            return chooser

        chooser = open_chooser()
        self.screenshot("music_chooser")
        ui.click(ui.by_role(chooser, pyatspi.ROLE_PUSH_BUTTON, "Cancel")[0])
        ui.wait_closed(dialog.app, chooser)
        self.assertNotIn("MusicFilename", {k: v for k, v in self.settings().items() if v[1]})

        chooser = open_chooser()
        self.type_location(chooser, str(playlist))
        self.wait_value("MusicFilename", ("sz", str(playlist)))
        ui.wait_for(lambda: ui.text(dialog.control(1, 1096)) == str(playlist),
                    what="the path on the page")
        self.close_with_ok(proc, dialog)

    def type_location(self, chooser, path):
        """Puts a path into the chooser's location field and presses Open."""
        window = self.find_one("^Select a music file or playlist$")
        self.x.run_tool(["xdotool", "windowfocus", "--sync", str(window)], check=False)
        self.x.run_tool(["xdotool", "key", "ctrl+l"])
        entry = ui.wait_for(lambda: [node for node in ui.by_role(chooser, pyatspi.ROLE_TEXT)
                                     if node.getState().contains(pyatspi.STATE_SHOWING)],
                            what="the location field")[0]
        entry.queryEditableText().setTextContents(path)
        ui.wait_for(lambda: ui.text(entry) == path, what="the typed path")
        # The chooser reads the typed folder before it accepts a name in it
        # and ignores Open until then: press it again while it stays open.
        open_button = ui.by_role(chooser, pyatspi.ROLE_PUSH_BUTTON, "Open")[0]
        for attempt in range(10):
            ui.click(open_button)
            try:
                ui.wait_closed(self.app, chooser, timeout=2)
                return
            except AssertionError:
                continue
        self.screenshot("music_chooser_still_open")
        self.fail("the chooser did not accept %s" % path)


class IntroductionAndHelp(DialogTestCase):

    def test_introduction_page_links_and_help(self):
        app_dir = self.dir / "Saver Folder"
        app_dir.mkdir()
        (app_dir / "help.htm").write_text("<html></html>")
        self.write_settings(['"AppDir"="%s"' % app_dir])
        proc, dialog = self.start_dialog()
        self.assertEqual(dialog.current_page(), 0)
        self.screenshot("introduction")
        self.assertEqual(ui.text(dialog.control(0, 1074)), "Version 1.1  -  Jul 15 2004")
        year = time.localtime().tm_year
        self.assertEqual(ui.text(dialog.control(0, 1153)),
                         "Copyright \u00a9 2004-%d Quillmere" % year)
        web, mail = dialog.control(0, 1011), dialog.control(0, 1012)
        self.assertEqual(ui.text(web), "www.quillmere.example")
        self.assertEqual(ui.text(mail), "support@quillmere.example")
        # A hand over the links only.
        self.point_at(dialog.control(0, 1153))
        arrow = cursor_shape(self.x.display)
        self.point_at(web)
        self.assertTrue(ui.wait_for(lambda: cursor_shape(self.x.display) != arrow,
                                    what="the hand cursor"))
        hand = cursor_shape(self.x.display)
        self.point_at(mail)
        self.assertEqual(cursor_shape(self.x.display), hand)
        self.point_at(dialog.control(0, 1074))
        ui.wait_for(lambda: cursor_shape(self.x.display) == arrow, what="the arrow again")
        picture = dialog.control(0, 1158).queryComponent()
        self.assertEqual(tuple(picture.getSize()), (512, 180))
        for count, button in enumerate((web, mail, dialog.button(9)), 1):
            ui.click(button)
            ui.wait_for(lambda: len(self.opened()) == count, what="%d opened" % count)
        self.assertEqual(self.opened(), ["http://www.quillmere.example/",
                                         "mailto:support@quillmere.example",
                                         str(app_dir / "help.htm")])
        self.close_with_ok(proc, dialog)

    def point_at(self, node):
        x, y, width, height = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.x.move_mouse(x + width // 2, y + height // 2)

    def test_help_without_a_page_opens_nothing(self):
        # An empty AppDir beeps (the installed page is not on a build
        # machine); a folder without the page does nothing.
        for app_dir in ("", str(self.dir)):
            with self.subTest(app_dir=app_dir):
                self.write_settings(['"AppDir"="%s"' % app_dir])
                proc, dialog = self.start_dialog()
                ui.click(dialog.button(9))
                time.sleep(0.5)
                self.assertIsNone(proc.poll())
                self.close_with_ok(proc, dialog)
                self.assertEqual(self.opened(), [])


# The machine's fonts with one outline family marked as having no outlines,
# as fontconfig marks a colour bitmap face that is scalable all the same:
# the font chooser must leave it out.
FONTS_CONF = """<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <cachedir>%s</cachedir>
  <match target="scan">
    <test name="family"><string>%s</string></test>
    <edit name="outline" mode="assign"><bool>false</bool></edit>
  </match>
</fontconfig>
"""
NO_OUTLINE_FAMILY = "Liberation Mono"


class CustomControls(DialogTestCase):

    def setUp(self):
        super().setUp()
        self.fonts_conf = self.dir / "fonts.conf"
        self.fonts_conf.write_text(FONTS_CONF % (self.dir / "fontcache", NO_OUTLINE_FAMILY))

    def env(self, **extra):
        extra.setdefault("FONTCONFIG_FILE", self.fonts_conf)
        return super().env(**extra)

    def swatch_rgb(self, dialog):
        """The colour in the middle of swatch 1018 on the screen."""
        x, y, width, height = dialog.control(3, 1018).queryComponent().getExtents(
            pyatspi.DESKTOP_COORDS)
        shot = self.dir / "swatch.png"
        self.x.screenshot(shot)
        return tuple(xserver.read_rgb(shot, (x + width // 2, y + height // 2, 1, 1))[2])

    def test_custom_controls_page_and_its_choosers(self):
        self.write_settings(['"CurrentConfigureSheet"=dword:00000003'])
        proc, dialog = self.start_dialog()
        self.assertEqual(dialog.current_page(), 3)
        control = lambda number: dialog.control(3, number)
        self.screenshot("custom_controls")

        # The defaults as the page shows them.
        shown = {number: ui.checked(control(number))
                 for number in (1012, 1016, 1002, 1003, 1004, 1006, 1007, 1008, 1009, 1013, 1014)}
        self.assertEqual([n for n, on in shown.items() if on], [1012, 1003, 1006, 1013])
        self.assertEqual(ui.text(control(1017)), "(Current font is Arial)")
        self.assertEqual(self.swatch_rgb(dialog), (0x40, 0x80, 0xFF))

        # Every radio button writes its value; so do the two boxes.
        for number, name, value in ((1002, "TimeFormatEnum", 0), (1004, "TimeFormatEnum", 2),
                                    (1003, "TimeFormatEnum", 1), (1007, "TextColorEnum", 1),
                                    (1008, "TextColorEnum", 2), (1006, "TextColorEnum", 0)):
            ui.click(control(number))
            self.wait_value(name, ("dword", value))
            self.assertTrue(ui.checked(control(number)))
        ui.click(control(1012))
        self.wait_value("MovingViewpoint", ("dword", 0))
        ui.click(control(1016))
        self.wait_value("Wireframe", ("dword", 1))

        # Colour chooser: cancelled keeps the colour but the choice stays 3.
        ui.click(control(1009))
        chooser = ui.window(dialog.app, pyatspi.ROLE_DIALOG, "Color")
        self.wait_value("TextColorEnum", ("dword", 3))
        ui.click(ui.by_role(chooser, pyatspi.ROLE_PUSH_BUTTON, "Cancel")[0])
        ui.wait_closed(dialog.app, chooser)
        self.assertEqual(self.value("TextColor"), ("dword", 0xFF8040))
        # Confirmed with a colour typed in: the exact value, and the swatch.
        ui.click(control(1009))
        chooser = ui.window(dialog.app, pyatspi.ROLE_DIALOG, "Color")
        ui.do_named_action(ui.by_role(chooser, pyatspi.ROLE_PUSH_BUTTON, "Custom color")[0],
                           "activate")
        name = ui.wait_for(lambda: [n for n in ui.by_role(chooser, pyatspi.ROLE_TEXT, "Color Name")
                                    if n.getState().contains(pyatspi.STATE_SHOWING)],
                           what="the colour editor")[0]
        name.queryEditableText().setTextContents("#123456")
        ui.do_named_action(name, "activate")
        ui.click(ui.by_role(chooser, pyatspi.ROLE_PUSH_BUTTON, "Select")[0])
        self.wait_value("TextColor", ("dword", 0x563412))
        ui.wait_for(lambda: self.swatch_rgb(dialog) == (0x12, 0x34, 0x56), what="the swatch")

        # Font chooser: outline faces only; cancelled keeps the face, the
        # choice stays 1; confirmed names the family alone.
        ui.click(control(1014))
        chooser = ui.window(dialog.app, pyatspi.ROLE_DIALOG, "Font")
        self.wait_value("FontEnum", ("dword", 1))
        listed = self.listed_families(chooser)
        self.assertTrue(listed)
        self.assertEqual(sorted(set(listed) - self.fontconfig_families(":outline=true")), [])
        self.assertIn(NO_OUTLINE_FAMILY, self.fontconfig_families(":"))
        self.assertNotIn(NO_OUTLINE_FAMILY, listed)
        self.screenshot("font_chooser")
        ui.click(ui.by_role(chooser, pyatspi.ROLE_PUSH_BUTTON, "Cancel")[0])
        ui.wait_closed(dialog.app, chooser)
        self.assertEqual(self.value("FaceName"), ("sz", "Arial"))
        ui.click(control(1014))
        chooser = ui.window(dialog.app, pyatspi.ROLE_DIALOG, "Font")
        self.pick_family(chooser, "DejaVu Serif")
        ui.click(ui.by_role(chooser, pyatspi.ROLE_PUSH_BUTTON, "Select")[0])
        self.wait_value("FaceName", ("sz", "DejaVu Serif"))
        ui.wait_for(lambda: ui.text(control(1017)) == "(Current font is DejaVu Serif)",
                    what="the font comment")
        self.assertEqual(self.value("FontEnum"), ("dword", 1))
        self.close_with_ok(proc, dialog)
        self.assertEqual(self.value("CurrentConfigureSheet"), ("dword", 3))

    def fontconfig_families(self, pattern):
        out = subprocess.run(["fc-list", pattern, "family"], capture_output=True, text=True,
                             env=self.env(), check=True).stdout
        return {name for line in out.splitlines() for name in line.split(",") if name}

    @staticmethod
    def family_table(chooser):
        return ui.wait_for(lambda: [t for t in ui.by_role(chooser, pyatspi.ROLE_TABLE)
                                    if t.queryTable().nRows], what="the font list")[0]

    def listed_families(self, chooser):
        table = self.family_table(chooser).queryTable()
        return [table.getAccessibleAt(row, 0).name for row in range(table.nRows)]

    def pick_family(self, chooser, family):
        """Clicks the family's row, as the chooser follows the cursor."""
        rows = self.listed_families(chooser)
        self.assertIn(family, rows)
        cell = self.family_table(chooser).queryTable().getAccessibleAt(rows.index(family), 0)
        x, y, width, height = cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.x.move_mouse(x + width // 2, y + height // 2)
        self.x.click(1)


class InstancesAndBadInput(DialogTestCase):

    def test_one_dialog_at_a_time_and_a_stale_lock(self):
        # A dialog killed while it held the lock left its file behind.
        holder = subprocess.Popen(
            ["/usr/bin/python3", "-c",
             "import fcntl,sys,time; f=open(sys.argv[1],'w'); fcntl.flock(f, fcntl.LOCK_EX); "
             "print('held', flush=True); time.sleep(60)", str(self.runtime_dir / LOCK_NAME)],
            stdout=subprocess.PIPE, text=True)
        self.assertEqual(holder.stdout.readline().strip(), "held")
        holder.kill()
        holder.wait()
        holder.stdout.close()
        self.assertTrue((self.runtime_dir / LOCK_NAME).exists())

        proc, dialog = self.start_dialog()
        first = self.find_one("^Chronovale$")
        # Another window covers the dialog; a second start brings it forward.
        cover_proc, cover = self.start_host_window(1024, 768, "Cover")
        # xwininfo lists the top-most window first.
        stacked = lambda: [title for window, title in self.children_of_root()
                           if title in ("Chronovale", "Cover")]
        self.assertEqual(stacked(), ["Cover", "Chronovale"])
        for args in (["-c"], []):
            self.x.run_tool(["xdotool", "windowraise", str(cover)])
            self.assertEqual(stacked(), ["Cover", "Chronovale"])
            code, out, err = self.run_saver(*args, timeout=15)
            self.assertEqual(code, 0, err)
            self.assertEqual(self.x.search_windows("^Chronovale$"), [first])
            self.assertEqual(stacked(), ["Chronovale", "Cover"])
        self.assertIsNone(proc.poll())
        self.close_with_ok(proc, dialog)

        # Without XDG_RUNTIME_DIR the lock lies in the settings folder.
        proc, dialog = self.start_dialog(XDG_RUNTIME_DIR=None)
        self.assertTrue(ui.wait_for(
            lambda: (self.config_dir / "Quillmere" / LOCK_NAME).exists(), what="the lock"))
        code, out, err = self.run_saver("-c", XDG_RUNTIME_DIR=None, timeout=15)
        self.assertEqual(code, 0, err)
        self.assertEqual(len(self.x.search_windows("^Chronovale$")), 1)
        self.close_with_ok(proc, dialog)

    def test_hand_edited_values_are_shown_not_rewritten(self):
        long_text = "x" * 499
        self.write_settings([
            '"CurrentConfigureSheet"=dword:00000003',
            '"TimeFormatEnum"=dword:00000007',
            '"TextColorEnum"=dword:ffffffff',
            '"FontEnum"=dword:00000005',
            '"FaceName"=""',
            '"MusicFilename"="/%s"' % long_text[1:],
        ])
        before = self.settings()
        proc, dialog = self.start_dialog()
        control = lambda number: dialog.control(3, number)
        self.assertEqual(ui.text(control(1017)), "(Current font is )")
        for number in (1002, 1003, 1004, 1006, 1007, 1008, 1009, 1013, 1014):
            self.assertFalse(ui.checked(control(number)), number)
        dialog.show_page(1)
        self.assertEqual(ui.text(dialog.control(1, 1096)), "/" + long_text[1:])
        after = self.settings()
        for name in ("TimeFormatEnum", "TextColorEnum", "FontEnum", "FaceName", "MusicFilename"):
            self.assertEqual(after[name], before[name], name)
        # The first click is the user's choice.
        dialog.show_page(3)
        ui.click(control(1004))
        self.wait_value("TimeFormatEnum", ("dword", 2))
        self.close_with_ok(proc, dialog)

    def test_missing_library_and_missing_display(self):
        program = self.copy_saver_alone()
        proc = self.start_saver("-c", program=program)
        self.dismiss_dialog("Error")
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 1, err)
        self.assertIn("can not run because the following file is missing", err)
        self.assertEqual(self.x.search_windows("^Chronovale$"), [])

        code, out, err = self.run_saver("-c", DISPLAY=None)
        self.assertEqual(code, 1, err)
        self.assertIn("needs a display", err)
        self.assertFalse((self.runtime_dir / LOCK_NAME).exists())


if __name__ == "__main__":
    saver_support.main()
