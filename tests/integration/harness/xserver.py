"""Shared harness for integration tests that start real programs under Xvfb.

What it gives a test (Python 3 standard library only, plus the command-line
tools Xvfb, xdotool, xwininfo/xprop and ImageMagick's convert-im6.q16 and
import-im6.q16):

    with Xvfb(width=1024, height=768, depth=24) as x, Processes() as procs:
        env = x.env(XDG_CONFIG_HOME=str(tmp))      # os.environ + DISPLAY
        code, out, err = procs.run_program([...], env, timeout=20)
        proc = procs.start_program([...], env)      # killed at context exit
        ids = x.find_windows('^Screen Saver$')      # polls xdotool search
        x.focus_and_key(ids[0], 'Escape')
        x.move_mouse(10, 10); x.move_mouse_relative(3, 0); x.click(1)
        x.screenshot(tmp / 'shot.png')
        lit_pixel_count(tmp / 'shot.png', region=(0, 0, 100, 100))

Xvfb picks its own free display number (-displayfd), so parallel tests never
share a server; the server is stopped by its pid and its lock removed at exit.
Processes starts every program in its own process group and kills what is
still running when the block ends. temp_dir() gives a per-test directory
(kept when CHRONOVALE_KEEP_TEST_FILES is set). NO_CLOCK_CHANGE is the
command prefix that removes the right to set the clock from a program.
"""

import contextlib
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

CONVERT = "convert-im6.q16"
IMPORT = "import-im6.q16"

# Programs that might try to set the local clock run without that right.
NO_CLOCK_CHANGE = ["setpriv", "--bounding-set=-sys_time", "--"]

DISPLAY_START_TIMEOUT = 15.0
POLL_INTERVAL = 0.1


class ProgramTimeout(AssertionError):
    """A program outlived its time limit; it has been killed."""

    def __init__(self, args, timeout, stdout, stderr):
        super().__init__(
            "%s still running after %.1f s (killed)\nstdout:\n%s\nstderr:\n%s"
            % (" ".join(map(str, args)), timeout, stdout, stderr))
        self.stdout = stdout
        self.stderr = stderr


class Xvfb:
    """One private virtual X server for the duration of a with-block."""

    def __init__(self, width=1024, height=768, depth=24, extra_args=()):
        self.width = width
        self.height = height
        self.depth = depth
        self.extra_args = list(extra_args)
        self.display = None
        self.pid = None
        self._proc = None
        self._log = None

    def __enter__(self):
        self.start()
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def start(self):
        read_end, write_end = os.pipe()
        self._log = tempfile.TemporaryFile()
        args = ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
                "-noreset", "-screen", "0",
                "%dx%dx%d" % (self.width, self.height, self.depth)]
        args += self.extra_args
        self._proc = subprocess.Popen(
            args, pass_fds=(write_end,), stdin=subprocess.DEVNULL,
            stdout=self._log, stderr=self._log, start_new_session=True)
        os.close(write_end)
        self.pid = self._proc.pid
        number = b""
        deadline = time.monotonic() + DISPLAY_START_TIMEOUT
        try:
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or not select.select([read_end], [], [], left)[0]:
                    break
                chunk = os.read(read_end, 64)
                if not chunk:
                    break
                number += chunk
        finally:
            os.close(read_end)
        if not number.strip().isdigit():
            log = self.server_log()
            self.stop()
            raise RuntimeError("Xvfb did not report a display number: %s" % log)
        self.display = ":" + number.decode().strip()

    def server_log(self):
        if self._log is None:
            return ""
        self._log.seek(0)
        return self._log.read().decode(errors="replace")

    def stop(self):
        if self._proc is not None and self._proc.poll() is None:
            self._proc.terminate()
            try:
                self._proc.wait(5)
            except subprocess.TimeoutExpired:
                self._proc.kill()
                self._proc.wait()
        if self.display is not None:
            number = self.display[1:]
            # Xvfb removes these itself on a clean exit; a killed one does not.
            for path in ("/tmp/.X%s-lock" % number,
                         "/tmp/.X11-unix/X%s" % number):
                with contextlib.suppress(OSError):
                    if self._lock_is_ours(path):
                        os.unlink(path)
        self._proc = None
        if self._log is not None:
            self._log.close()
            self._log = None

    def _lock_is_ours(self, path):
        if not path.endswith("-lock"):
            return True
        try:
            with open(path) as f:
                return int(f.read().strip() or 0) == self.pid
        except (OSError, ValueError):
            return False

    def env(self, **extra):
        """os.environ with DISPLAY set; a value of None removes that name."""
        result = dict(os.environ)
        result["DISPLAY"] = self.display
        for name, value in extra.items():
            if value is None:
                result.pop(name, None)
            else:
                result[name] = str(value)
        return result

    def run_tool(self, args, timeout=20, check=True):
        """Runs an X client tool against this display; returns its stdout."""
        done = subprocess.run(args, env=self.env(), capture_output=True,
                              text=True, timeout=timeout)
        if check and done.returncode != 0:
            raise RuntimeError("%s failed (%d): %s"
                               % (" ".join(args), done.returncode, done.stderr))
        return done.stdout

    def screenshot(self, path):
        """Saves the whole root window to path (format from its suffix)."""
        if shutil.which("xwd"):
            xwd = subprocess.run(["xwd", "-root", "-silent"], env=self.env(),
                                 capture_output=True, timeout=30, check=True)
            subprocess.run([CONVERT, "xwd:-", str(path)], input=xwd.stdout,
                           capture_output=True, timeout=30, check=True)
        else:
            subprocess.run([IMPORT, "-window", "root", str(path)],
                           env=self.env(), capture_output=True, timeout=30,
                           check=True)
        return path

    def search_windows(self, name_regex, visible_only=True):
        """One xdotool search by title, without waiting."""
        args = ["xdotool", "search"]
        if visible_only:
            args.append("--onlyvisible")
        args += ["--name", name_regex]
        out = self.run_tool(args, check=False)
        return [int(line) for line in out.split() if line.isdigit()]

    def find_windows(self, name_regex, timeout=10.0, visible_only=True):
        """Polls until a window title matches; [] when none did in time."""
        deadline = time.monotonic() + timeout
        while True:
            found = self.search_windows(name_regex, visible_only)
            if found or time.monotonic() >= deadline:
                return found
            time.sleep(POLL_INTERVAL)

    def focus_and_key(self, window_id, key):
        # No window manager: focus follows nothing until it is set.
        self.run_tool(["xdotool", "windowfocus", str(window_id)], check=False)
        self.run_tool(["xdotool", "key", key])

    def key(self, key):
        self.run_tool(["xdotool", "key", key])

    def move_mouse(self, x, y):
        self.run_tool(["xdotool", "mousemove", str(x), str(y)])

    def move_mouse_relative(self, dx, dy):
        self.run_tool(["xdotool", "mousemove_relative", "--", str(dx), str(dy)])

    def click(self, button=1):
        self.run_tool(["xdotool", "click", str(button)])

    def window_info(self, window_id):
        """xwininfo's fields for one window as a dict (None if it is gone)."""
        done = subprocess.run(["xwininfo", "-id", str(window_id)],
                              env=self.env(), capture_output=True, text=True,
                              timeout=20)
        if done.returncode != 0:
            return None
        info = {}
        for line in done.stdout.splitlines():
            name, sep, value = line.strip().partition(":")
            if sep:
                info[name.strip()] = value.strip()
        match = re.search(r'xwininfo: Window id: \S+ "(.*)"$', done.stdout, re.M)
        if match:
            info["title"] = match.group(1)
        return info

    def window_exists(self, window_id):
        return self.window_info(window_id) is not None

    def window_property(self, window_id, name):
        """xprop's text for one property, or None when it is not set."""
        done = subprocess.run(["xprop", "-id", str(window_id), name],
                              env=self.env(), capture_output=True, text=True,
                              timeout=20)
        if done.returncode != 0 or "not found" in done.stdout \
                or "no such atom" in done.stdout:
            return None
        return done.stdout.strip()


class Processes:
    """Programs started by a test; whatever still runs at exit is killed."""

    def __init__(self):
        self._started = []
        self._dir = None

    def __enter__(self):
        self._dir = tempfile.mkdtemp(prefix="chronovale-out-")
        return self

    def __exit__(self, *exc):
        for proc in self._started:
            self.kill(proc)
        shutil.rmtree(self._dir, ignore_errors=True)
        return False

    def start_program(self, args, env, cwd=None):
        """Starts a program; its output goes to files read by output()."""
        if self._dir is None:
            self._dir = tempfile.mkdtemp(prefix="chronovale-out-")
        index = len(self._started)
        out_path = os.path.join(self._dir, "%d.out" % index)
        err_path = os.path.join(self._dir, "%d.err" % index)
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            proc = subprocess.Popen([str(a) for a in args], env=env, cwd=cwd,
                                    stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=err, start_new_session=True)
        proc.stdout_path = out_path
        proc.stderr_path = err_path
        proc.args_list = list(args)
        self._started.append(proc)
        return proc

    @staticmethod
    def output(proc):
        """(stdout, stderr) a started program has written so far."""
        def read(path):
            with open(path, "rb") as f:
                return f.read().decode(errors="replace")
        return read(proc.stdout_path), read(proc.stderr_path)

    def wait(self, proc, timeout):
        """Waits for a started program: (exit_code, stdout, stderr).

        Raises ProgramTimeout (after killing it) when it outlives timeout."""
        try:
            code = proc.wait(timeout)
        except subprocess.TimeoutExpired:
            self.kill(proc)
            out, err = self.output(proc)
            raise ProgramTimeout(proc.args_list, timeout, out, err) from None
        out, err = self.output(proc)
        return code, out, err

    def run_program(self, args, env, timeout, cwd=None):
        """Runs a program to its end: (exit_code, stdout, stderr)."""
        return self.wait(self.start_program(args, env, cwd), timeout)

    @staticmethod
    def kill(proc):
        if proc.poll() is not None:
            return
        with contextlib.suppress(ProcessLookupError):
            os.killpg(proc.pid, signal.SIGKILL)
        with contextlib.suppress(subprocess.TimeoutExpired):
            proc.wait(5)


def run_program(args, env, timeout, cwd=None):
    """One program run to its end outside a Processes block."""
    with Processes() as procs:
        return procs.run_program(args, env, timeout, cwd)


def wait_until(predicate, timeout, interval=POLL_INTERVAL):
    """Polls predicate until it is true; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() >= deadline:
            return value
        time.sleep(interval)


@contextlib.contextmanager
def temp_dir(prefix="chronovale-test-"):
    """A fresh directory for one test, removed afterwards."""
    path = tempfile.mkdtemp(prefix=prefix)
    try:
        yield path
    finally:
        if not os.environ.get("CHRONOVALE_KEEP_TEST_FILES"):
            shutil.rmtree(path, ignore_errors=True)


def read_rgb(png_path, region=None):
    """Decodes an image with ImageMagick to (width, height, RGB bytes)."""
    args = [CONVERT, str(png_path)]
    if region is not None:
        x, y, w, h = region
        args += ["-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage"]
    args += ["-depth", "8", "ppm:-"]
    data = subprocess.run(args, capture_output=True, timeout=30,
                          check=True).stdout
    # Binary PPM: "P6" width height maxval, each followed by whitespace.
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise ValueError("unexpected PPM header %r" % fields)
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos:pos + width * height * 3]


def lit_pixel_count(png_path, region=None, threshold=40):
    """Pixels with any colour channel above threshold (region: x, y, w, h)."""
    _, _, rgb = read_rgb(png_path, region)
    lit = 0
    for i in range(0, len(rgb), 3):
        if rgb[i] > threshold or rgb[i + 1] > threshold \
                or rgb[i + 2] > threshold:
            lit += 1
    return lit
