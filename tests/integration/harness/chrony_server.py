"""A real SNTP server on 127.0.0.1 port 123 for the clock-correction tests:
Debian's chronyd in the foreground with a configuration of its own, serving
this machine's clock as a local reference and never controlling it (-x).

    with ChronyServer(tmp_dir) as server:     # skips the test if it cannot run
        seconds = server.query()              # its time, by one SNTP exchange
    # chronyd has been stopped by its pid

The server runs without the right to set the clock as well, and is stopped
by the pid it was started with, never by name.
"""

import contextlib
import errno
import os
import shutil
import signal
import socket
import struct
import subprocess
import threading
import time
import unittest

from xserver import NO_CLOCK_CHANGE

CHRONYD = "/usr/sbin/chronyd"
HOST = "127.0.0.1"
PORT = 123
READY_TIMEOUT = 15.0
STOP_TIMEOUT = 5.0
NTP_TO_UNIX = 2208988800


def port_taken():
    """True when something already holds UDP 127.0.0.1:123."""
    probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        probe.bind((HOST, PORT))
    except OSError as failure:
        if failure.errno == errno.EADDRINUSE:
            return True
        raise
    finally:
        probe.close()
    return False


def sntp_query(timeout=1.0):
    """One SNTP exchange with the server: (leap, stratum, unix seconds), or
    None when no matching reply came."""
    token = os.urandom(8)
    request = bytes([0x0B]) + bytes(39) + token
    with socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as s:
        s.settimeout(timeout)
        s.connect((HOST, PORT))
        s.send(request)
        try:
            reply = s.recv(512)
        except OSError:
            return None
    if len(reply) != 48 or reply[24:32] != token:
        return None
    seconds, fraction = struct.unpack(">II", reply[40:48])
    return reply[0] >> 6, reply[1], seconds - NTP_TO_UNIX + fraction / 2**32


class ChronyServer:

    def __init__(self, work_dir):
        self.dir = os.path.join(str(work_dir), "chrony")
        self.proc = None
        self.log_path = os.path.join(self.dir, "chronyd.log")

    def __enter__(self):
        if not os.path.exists(CHRONYD):
            raise unittest.SkipTest("chronyd is not installed (Debian package chrony)")
        if os.geteuid() != 0:
            raise unittest.SkipTest("chronyd needs root to serve port 123")
        if port_taken():
            raise unittest.SkipTest("UDP 127.0.0.1:123 is already taken; no SNTP server of our own")
        os.makedirs(self.dir, exist_ok=True)
        config = os.path.join(self.dir, "chrony.conf")
        with open(config, "w") as f:
            f.write("\n".join([
                "local stratum 10",
                "allow 127.0.0.1",
                "bindaddress 127.0.0.1",
                "port %d" % PORT,
                "cmdport 0",
                # No command socket under /run either: the machine's own
                # chronyd may own that path.
                "bindcmdaddress /",
                "pidfile %s" % os.path.join(self.dir, "chronyd.pid"),
                "",
            ]))
        with open(self.log_path, "wb") as log:
            self.proc = subprocess.Popen(
                NO_CLOCK_CHANGE + [CHRONYD, "-x", "-d", "-f", config],
                stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                start_new_session=True)
        try:
            self._wait_ready()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def _wait_ready(self):
        deadline = time.monotonic() + READY_TIMEOUT
        while time.monotonic() < deadline:
            if self.proc.poll() is not None:
                raise unittest.SkipTest("chronyd could not start: " + self.log())
            answer = sntp_query(timeout=0.2)
            # Leap 3 is what it says before its local reference is in force.
            if answer is not None and answer[0] != 3 and 1 <= answer[1] <= 15:
                return
            time.sleep(0.1)
        raise AssertionError("chronyd never answered on %s:%d\n%s" % (HOST, PORT, self.log()))

    def query(self):
        answer = sntp_query()
        if answer is None:
            raise AssertionError("chronyd did not answer")
        return answer[2]

    def log(self):
        with contextlib.suppress(OSError), open(self.log_path, "rb") as f:
            return f.read().decode(errors="replace")
        return ""

    def stop(self):
        if self.proc is None:
            return
        if self.proc.poll() is None:
            os.kill(self.proc.pid, signal.SIGTERM)
            try:
                self.proc.wait(STOP_TIMEOUT)
            except subprocess.TimeoutExpired:
                os.kill(self.proc.pid, signal.SIGKILL)
                self.proc.wait(STOP_TIMEOUT)
        self.proc = None
        shutil.rmtree(self.dir, ignore_errors=True)


class OffsetSntpServer:
    """An SNTP server on 127.0.0.1:123 whose time runs offset_seconds ahead
    of this machine's: a client that believes it asks to move the clock by
    that much, which a platform that may not set the clock must refuse.
    Answers every request from a thread until the block ends."""

    POLL_SECONDS = 0.1

    def __init__(self, offset_seconds):
        self.offset = offset_seconds
        self.socket = None
        self.thread = None
        self.stopping = threading.Event()
        self.answered = 0

    def __enter__(self):
        if os.geteuid() != 0:
            raise unittest.SkipTest("serving port 123 needs root")
        if port_taken():
            raise unittest.SkipTest("UDP 127.0.0.1:123 is already taken; no SNTP server of our own")
        self.socket = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.socket.bind((HOST, PORT))
        self.socket.settimeout(self.POLL_SECONDS)
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.stopping.set()
        self.thread.join(STOP_TIMEOUT)
        self.socket.close()
        return False

    @staticmethod
    def _ntp(unix_seconds):
        seconds = int(unix_seconds)
        return struct.pack(">II", seconds + NTP_TO_UNIX, int((unix_seconds - seconds) * 2**32))

    def _serve(self):
        while not self.stopping.is_set():
            try:
                request, peer = self.socket.recvfrom(512)
            except socket.timeout:
                continue
            except OSError:
                return
            if len(request) < 48:
                continue
            now = time.time() + self.offset
            # Leap 0, version 4, server mode; stratum 2; the client's transmit
            # time comes back as the originate time.
            reply = (bytes([0x24, 2, 6, 0xEC]) + bytes(8) + b"TEST" + self._ntp(now)
                     + request[40:48] + self._ntp(now) + self._ntp(now))
            self.socket.sendto(reply, peer)
            self.answered += 1
