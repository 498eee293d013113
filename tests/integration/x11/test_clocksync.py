"""The clock correction of the real Linux saver against a real SNTP server
on 127.0.0.1: the exchange completes, the saver asks the kernel to set the
clock to the server's time, is refused (it runs without the right to set
the clock), and keeps running."""

import re
import shutil
import time
import unittest

import saver_support
from saver_support import FULL_SCREEN_TITLE, NO_CLOCK_CHANGE, SaverTestCase

import xserver
from chrony_server import ChronyServer

# Every call that could change the clock, as strace names them.
CLOCK_CALLS = "clock_settime,settimeofday,clock_adjtime,adjtimex"
TRACE_LINE = re.compile(
    r"clock_settime\(CLOCK_REALTIME, \{tv_sec=(\d+), tv_nsec=(\d+)\}\) = -1 EPERM")
EXCHANGE_TIMEOUT = 15.0
# The set time is the server's plus half a round trip on the loopback; the
# margin only absorbs a slow start of the trace and the frame.
OFFSET_MARGIN_SECONDS = 2.0
KEEPS_RUNNING_SECONDS = 1.0


@unittest.skipUnless(shutil.which("strace"), "strace is needed to watch the clock calls")
class ClockCorrection(SaverTestCase):

    def test_exchange_completes_is_refused_and_the_saver_runs_on(self):
        server = self.enterContext(ChronyServer(self.dir))
        self.write_settings(['"SyncClock"=dword:00000001', '"SntpServer"="127.0.0.1"'])
        trace = self.dir / "clock.trace"
        proc = self.procs.start_program(
            NO_CLOCK_CHANGE + ["strace", "-f", "-qq", "--seccomp-bpf", "-e", "trace=" + CLOCK_CALLS,
                               "-o", str(trace), str(saver_support.saver_program()), "/s"],
            self.env())
        window = self.find_one(FULL_SCREEN_TITLE)

        def attempts():
            return trace.read_text() if trace.exists() else ""
        xserver.wait_until(lambda: "clock_settime" in attempts(), EXCHANGE_TIMEOUT)
        server_now = server.query()
        calls = [line for line in attempts().splitlines()
                 if any(name + "(" in line for name in CLOCK_CALLS.split(","))]
        self.assertEqual(len(calls), 1, attempts())
        match = TRACE_LINE.search(calls[0])
        self.assertIsNotNone(match, calls[0])
        asked = int(match.group(1)) + int(match.group(2)) / 1e9
        self.assertLess(abs(asked - server_now), OFFSET_MARGIN_SECONDS)

        self.assert_still_running(proc, KEEPS_RUNNING_SECONDS)
        self.x.focus_and_key(window, "Escape")
        code, out, err = self.wait_exit(proc)
        self.assertEqual(code, 0, err)
        self.assertEqual(len([line for line in attempts().splitlines() if "clock_settime(" in line]), 1)


if __name__ == "__main__":
    saver_support.main()
