"""Wine side of the integration harness: private prefixes and the registry.

    with Xvfb() as x, WinePrefix(x) as wine, Processes() as procs:
        saver = wine.install_saver(bin_dir)          # C:\\Savers\\Chronovale.scr
        code, out, err = procs.run_program(wine.saver_command(saver, "/s"),
                                           wine.env(), timeout=60)
        values = wine.reg_query(CHRONOVALE_KEY)      # {name: (type, data)}

A prefix is a copy (cp -a) of one template prefix that `wineboot -i` built
once; the template lives in the build tree (CHRONOVALE_WINE_TEMPLATE names
another place) and is built on first use under a lock, or ahead of the tests
by `python3 wine.py --rebuild-template DIR`. Each prefix keeps its own
wineserver alive (`wineserver -p`) while the test runs and stops exactly
that server (`wineserver -k` with its WINEPREFIX) at the end. Every Wine
program of a prefix, its tools included, runs on the prefix's one display:
the first one starts the prefix's desktop on its display for all the others.
"""

import contextlib
import fcntl
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from xserver import NO_CLOCK_CHANGE  # noqa: E402

WINE64 = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
CHRONOVALE_KEY = r"HKCU\Software\Quillmere\Chronovale"

TEMPLATE_VARIABLE = "CHRONOVALE_WINE_TEMPLATE"
TEMPLATE_DIR_NAME = "wine-template"
TEMPLATE_READY_MARK = ".chronovale-template-ready"
TEMPLATE_BUILD_TIMEOUT = 300
SERVER_PERSIST_SECONDS = 60
REG_TIMEOUT = 60
REG_ADD_ATTEMPTS = 3
REG_ADD_RETRY_SECONDS = 1.0

# Quiet, no Mono or Gecko installers, and no menu entries for the desktop.
QUIET_WINE = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d"}
# Wine's helpers write the user's desktop folders; each prefix gets its own.
XDG_FOLDERS = {"XDG_CONFIG_HOME": "xdg-config", "XDG_DATA_HOME": "xdg-data",
               "XDG_CACHE_HOME": "xdg-cache"}


def base_env(prefix, display=None, **extra):
    """os.environ for Wine in prefix: quiet, its own display (or none)."""
    env = dict(os.environ)
    env.update(QUIET_WINE)
    env["WINEPREFIX"] = str(prefix)
    for name, folder in XDG_FOLDERS.items():
        env[name] = os.path.join(str(prefix), folder)
    if display is None:
        env.pop("DISPLAY", None)
    else:
        env["DISPLAY"] = display
    for name, value in extra.items():
        if value is None:
            env.pop(name, None)
        else:
            env[name] = str(value)
    return env


def find_build_dir(start):
    """The nearest directory at or above start that holds a CMakeCache.txt."""
    path = os.path.abspath(start)
    if os.path.isfile(path):
        path = os.path.dirname(path)
    while True:
        if os.path.isfile(os.path.join(path, "CMakeCache.txt")):
            return path
        parent = os.path.dirname(path)
        if parent == path:
            return None
        path = parent


def default_template_dir(near=None):
    """Where the template prefix lives: CHRONOVALE_WINE_TEMPLATE, else the
    build tree above near (or the working directory), else a temp folder."""
    named = os.environ.get(TEMPLATE_VARIABLE)
    if named:
        return named
    for start in (near, os.getcwd()):
        if start:
            build = find_build_dir(start)
            if build:
                return os.path.join(build, TEMPLATE_DIR_NAME)
    return os.path.join(tempfile.gettempdir(),
                        "chronovale-%d-%s" % (os.getuid(), TEMPLATE_DIR_NAME))


def stop_server(prefix):
    """Stops the wineserver of this prefix only, and waits for it."""
    env = base_env(prefix)
    with contextlib.suppress(subprocess.TimeoutExpired, OSError):
        subprocess.run([WINESERVER, "-k"], env=env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with contextlib.suppress(subprocess.TimeoutExpired, OSError):
        subprocess.run([WINESERVER, "-w"], env=env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def _build_template(path):
    staging = path + ".building-%d" % os.getpid()
    shutil.rmtree(staging, ignore_errors=True)
    env = base_env(staging)
    try:
        with tempfile.TemporaryFile() as log:
            subprocess.run([WINE64, "wineboot", "-i"], env=env, stdin=subprocess.DEVNULL,
                           stdout=log, stderr=log, timeout=TEMPLATE_BUILD_TIMEOUT)
            # wineboot returns before the server has written the registry.
            subprocess.run([WINESERVER, "-w"], env=env, timeout=TEMPLATE_BUILD_TIMEOUT)
            if not os.path.isfile(os.path.join(staging, "system.reg")):
                log.seek(0)
                raise RuntimeError("wineboot made no prefix:\n"
                                   + log.read().decode(errors="replace"))
    finally:
        stop_server(staging)
    with open(os.path.join(staging, TEMPLATE_READY_MARK), "w") as mark:
        mark.write("built %s\n" % time.ctime())
    shutil.rmtree(path, ignore_errors=True)
    os.rename(staging, path)


@contextlib.contextmanager
def _template_lock(path):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path + ".lock", "w") as lock:
        yield lock


def _build_if_needed(path, lock, rebuild):
    fcntl.flock(lock, fcntl.LOCK_EX)
    if rebuild or not os.path.isfile(os.path.join(path, TEMPLATE_READY_MARK)):
        _build_template(path)


def ensure_template(path=None, rebuild=False):
    """The template prefix, built first when missing (or when rebuild).
    A rebuild waits for copies in progress and they wait for it."""
    path = os.path.abspath(path or default_template_dir())
    with _template_lock(path) as lock:
        _build_if_needed(path, lock, rebuild)
    return path


def copy_template(path, target):
    """Copies the template (built first when missing) to target; the shared
    lock keeps a rebuild from replacing it half-way through the copy."""
    path = os.path.abspath(path or default_template_dir())
    with _template_lock(path) as lock:
        _build_if_needed(path, lock, rebuild=False)
        fcntl.flock(lock, fcntl.LOCK_SH)
        subprocess.run(["cp", "-a", "--reflink=auto", path, target],
                       check=True, timeout=300)
    with contextlib.suppress(OSError):
        os.unlink(os.path.join(target, TEMPLATE_READY_MARK))


def parse_reg_query(text):
    """`reg query` output of one key as {value name: (type, data text)}."""
    values = {}
    pattern = re.compile(r"^    (.+?)    (REG_[A-Z_]+)    ?(.*)$")
    for line in text.replace("\r\n", "\n").replace("\r", "\n").split("\n"):
        match = pattern.match(line)
        if match:
            values[match.group(1)] = (match.group(2), match.group(3))
    return values


def dword_value(data):
    """A REG_DWORD's data text ("0x1f") as a signed 32-bit number."""
    number = int(data, 16)
    return number - (1 << 32) if number >= 1 << 31 else number


PREFIX_ROOT_PATTERN = "chronovale-wine-"
OWNER_FILE = "owner.pid"


def _process_alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


def remove_abandoned_prefixes():
    """Prefixes whose test process died without cleaning up (a test killed
    for time): their wineserver is stopped and the copy removed."""
    base = tempfile.gettempdir()
    for name in os.listdir(base):
        root = os.path.join(base, name)
        if not name.startswith(PREFIX_ROOT_PATTERN) or not os.path.isdir(root):
            continue
        try:
            with open(os.path.join(root, OWNER_FILE)) as owner:
                pid = int(owner.read().strip())
        except (OSError, ValueError):
            continue
        if _process_alive(pid):
            continue
        prefix = os.path.join(root, "prefix")
        if os.path.isdir(prefix):
            stop_server(prefix)
        shutil.rmtree(root, ignore_errors=True)


class WinePrefix:
    """A private prefix for one test: copied from the template, its server
    kept warm while in use, stopped and removed at the end."""

    def __init__(self, xvfb=None, template=None, keep=None):
        self.xvfb = xvfb
        self.template = template
        self.keep = bool(os.environ.get("CHRONOVALE_KEEP_TEST_FILES")) \
            if keep is None else keep
        self.root = None
        self.path = None

    def __enter__(self):
        remove_abandoned_prefixes()
        self.root = tempfile.mkdtemp(prefix=PREFIX_ROOT_PATTERN)
        with open(os.path.join(self.root, OWNER_FILE), "w") as owner:
            owner.write("%d\n" % os.getpid())
        self.path = os.path.join(self.root, "prefix")
        try:
            copy_template(self.template, self.path)
        except BaseException:
            shutil.rmtree(self.root, ignore_errors=True)
            self.path = None
            raise
        subprocess.run([WINESERVER, "-p%d" % SERVER_PERSIST_SECONDS],
                       env=self.env(), timeout=30, check=False)
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        if self.path is None:
            return
        stop_server(self.path)
        if self.keep:
            # Kept on purpose: no longer looks abandoned to later runs.
            with contextlib.suppress(OSError):
                os.unlink(os.path.join(self.root, OWNER_FILE))
        else:
            shutil.rmtree(self.root, ignore_errors=True)
        self.path = None

    @property
    def drive_c(self):
        return os.path.join(self.path, "drive_c")

    def env(self, **extra):
        """Environment for a program in this prefix on the prefix's display."""
        display = self.xvfb.display if self.xvfb is not None else None
        return base_env(self.path, display, **extra)

    @staticmethod
    def windows_path(unix_path):
        """A Unix path as Wine's Z: drive shows it."""
        return "Z:" + str(unix_path).replace("/", "\\")

    def unix_path(self, windows_path):
        """C:\\a\\b as a path below this prefix's drive_c."""
        drive, _, rest = windows_path.partition(":")
        if drive.upper() != "C":
            raise ValueError("only C: lies in the prefix: " + windows_path)
        return os.path.join(self.drive_c, *[p for p in rest.split("\\") if p])

    def install_saver(self, bin_dir, folder=r"C:\Savers", saver_name="Chronovale.scr",
                      library_name="CHRONOVALE.DLL", with_library=True,
                      source_saver="Chronovale.scr"):
        """Copies the saver (under saver_name) and, unless told otherwise,
        its library into folder; returns the saver's Unix path."""
        target = self.unix_path(folder)
        os.makedirs(target, exist_ok=True)
        saver = os.path.join(target, saver_name)
        shutil.copy2(os.path.join(bin_dir, source_saver), saver)
        if with_library:
            shutil.copy2(os.path.join(bin_dir, "CHRONOVALE.DLL"),
                         os.path.join(target, library_name))
        return saver

    @staticmethod
    def saver_command(program, *arguments):
        """The command line that runs a Windows program without the right
        to set the clock."""
        return NO_CLOCK_CHANGE + [WINE64, str(program)] + [str(a) for a in arguments]

    def run_wine(self, arguments, timeout=REG_TIMEOUT, errors=None):
        """Runs a Wine built-in tool to its end: (exit code, stdout). With a
        list as errors, the tool's stderr is appended to it."""
        # Output goes to files, not pipes: the Wine services a tool starts
        # inherit its output and keep a pipe open long after the tool ended.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            done = subprocess.run([WINE64] + list(arguments), env=self.env(),
                                  stdin=subprocess.DEVNULL, stdout=out,
                                  stderr=err, timeout=timeout)
            out.seek(0)
            if errors is not None:
                err.seek(0)
                errors.append(err.read().decode("latin-1"))
            return done.returncode, out.read().decode("latin-1")

    def reg_query(self, key=CHRONOVALE_KEY):
        """Every value of key as {name: (type, data text)}; {} if no key."""
        code, out = self.run_wine(["reg", "query", key])
        return parse_reg_query(out) if code == 0 else {}

    def reg_add(self, name, value_type, data, key=CHRONOVALE_KEY):
        """Writes one value of key; name None writes the key's default value
        (a file association's, for one)."""
        value = ["/ve"] if name is None else ["/v", name]
        # On a loaded machine Wine's tool has been seen to end with 1 and no
        # output; the write is tried again before the test is failed.
        errors = []
        for attempt in range(REG_ADD_ATTEMPTS):
            if attempt:
                time.sleep(REG_ADD_RETRY_SECONDS)
            code, out = self.run_wine(["reg", "add", key] + value + ["/t", value_type,
                                       "/d", str(data), "/f"], errors=errors)
            if code == 0:
                return
        raise RuntimeError("reg add %s failed (%d): %s%s"
                           % (name or key, code, out, errors[-1][-2000:]))

    def reg_delete_key(self, key=CHRONOVALE_KEY):
        self.run_wine(["reg", "delete", key, "/f"])


def main(argv):
    if len(argv) == 3 and argv[1] == "--rebuild-template":
        print(ensure_template(argv[2], rebuild=True))
        return 0
    print("usage: wine.py --rebuild-template DIR", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
