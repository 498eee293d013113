"""A private desktop application set for tests: desktop entries for the test
player under XDG_DATA_HOME, defaults in mimeapps.list, and optionally a MIME
type of its own in a shared MIME database there, so that GIO finds exactly
the programs a test registered and nothing of this machine's user."""

import subprocess
from pathlib import Path

# GIO would otherwise start a session bus through X11 autolaunch, a daemon
# that outlives the test; an address that leads nowhere keeps it from trying.
NO_SESSION_BUS = "unix:path=/nonexistent/chronovale-test-bus"


class DesktopApps:
    def __init__(self, root, config_home=None):
        self.root = Path(root)
        self.data_home = self.root / "data"
        self.config_home = Path(config_home) if config_home else self.root / "config"
        (self.data_home / "applications").mkdir(parents=True, exist_ok=True)
        self.config_home.mkdir(parents=True, exist_ok=True)
        self.defaults = {}

    def add_application(self, name, command, field="%u"):
        """A desktop entry `name`.desktop running command followed by the file
        or address (field: %u an address, %f a path); returns its id."""
        entry = self.data_home / "applications" / (name + ".desktop")
        entry.write_text("[Desktop Entry]\nType=Application\nName=%s\nExec=%s %s\n"
                         "NoDisplay=true\n" % (name, command, field))
        return entry.name

    def set_default(self, mime_type, desktop_id):
        self.defaults[mime_type] = desktop_id
        text = "[Default Applications]\n" + "".join(
            "%s=%s\n" % item for item in self.defaults.items())
        (self.config_home / "mimeapps.list").write_text(text)

    def add_mime_type(self, mime_type, extension):
        """A MIME type known by its file-name extension alone."""
        packages = self.data_home / "mime" / "packages"
        packages.mkdir(parents=True, exist_ok=True)
        (packages / "chronovale-test.xml").write_text(
            '<?xml version="1.0"?>\n'
            '<mime-info xmlns="http://www.freedesktop.org/standards/shared-mime-info">\n'
            '  <mime-type type="%s"><comment>test</comment>'
            '<glob pattern="*.%s"/></mime-type>\n</mime-info>\n' % (mime_type, extension))
        subprocess.run(["update-mime-database", str(self.data_home / "mime")],
                       check=True, capture_output=True, timeout=60)

    def env(self):
        return {"XDG_DATA_HOME": str(self.data_home),
                "XDG_CONFIG_HOME": str(self.config_home),
                "DBUS_SESSION_BUS_ADDRESS": NO_SESSION_BUS}


def read_log(path):
    """The test player's lines as (kind, text) pairs; [] before any."""
    try:
        text = Path(path).read_text(errors="replace")
    except FileNotFoundError:
        return []
    return [tuple(line.split(" ", 1)) if " " in line else (line, "")
            for line in text.split("\n") if line]


def args_of(path):
    return [text for kind, text in read_log(path) if kind == "arg"]
