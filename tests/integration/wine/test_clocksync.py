"""The clock correction of the Windows saver under Wine against a real SNTP
server on 127.0.0.1, and its refusal against one half a minute ahead. The saver's calls to SetLocalTime and to the
time-change broadcast are watched with Wine's relay trace, and every host
call that could change the clock with strace: the exchange completes, the
saver asks once to set the clock and keeps running, and the host clock is
never touched (the saver runs without the right to set it, and Wine does
not pass the request on: it only answers whether the asked time is within
half a second of the machine's own, as it is for a correct answer here)."""

import os
import re
import shutil
import sys
import time
import unittest

import winetest
from winetest import SaverTestCase, wait_until

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "harness"))
from chrony_server import ChronyServer, OffsetSntpServer  # noqa: E402
from wine import WINE64  # noqa: E402
from xserver import NO_CLOCK_CHANGE, temp_dir  # noqa: E402

HOST_CLOCK_CALLS = "clock_settime,settimeofday,clock_adjtime,adjtimex"
WATCHED = "kernel32.SetLocalTime;kernelbase.SetLocalTime;user32.SendNotifyMessageA"
SET_CALL = re.compile(r"Ret  KERNEL32\.SetLocalTime\(\) retval=([0-9a-f]{8})")
BROADCAST_CALL = re.compile(r"Call user32\.SendNotifyMessageA\(0000ffff,0000001e,", re.IGNORECASE)
EXCHANGE_TIMEOUT = 30.0
KEEPS_RUNNING_SECONDS = 1.0


# The refusing server's time is this far ahead of the machine's.
REFUSED_OFFSET_SECONDS = 30


@unittest.skipUnless(shutil.which("strace"), "strace is needed to watch the host's clock calls")
class ClockCorrection(SaverTestCase):

    def start_watched_saver(self, work):
        """The saver, set to correct the clock from 127.0.0.1, under Wine's
        relay trace of the clock calls and strace of the host's; returns
        (process, relay text reader, host clock calls reader)."""
        self.set_values({"SyncClock": ("REG_DWORD", "1"), "SntpServer": ("REG_SZ", "127.0.0.1")})
        self.wine.reg_add("RelayInclude", "REG_SZ", WATCHED, key=r"HKCU\Software\Wine\Debug")
        self.addCleanup(self.wine.run_wine, ["reg", "delete", r"HKCU\Software\Wine\Debug", "/f"])
        host_trace = os.path.join(work, "host-clock.trace")
        command = NO_CLOCK_CHANGE + [
            "strace", "-f", "-qq", "--seccomp-bpf", "-e", "trace=" + HOST_CLOCK_CALLS,
            "-e", "signal=none", "-o", host_trace, WINE64, self.saver, "/s"]
        proc = self.procs.start_program(command, self.wine.env(WINEDEBUG="-all,+relay"),
                                        cwd=os.path.dirname(self.saver))
        self.saver_window(proc)

        def relay():
            return self.procs.output(proc)[1]

        def host_calls():
            with open(host_trace) as f:
                return [line for line in f
                        if any(name + "(" in line for name in HOST_CLOCK_CALLS.split(","))]
        return proc, relay, host_calls

    def wait_for_set_call(self, relay):
        self.assertTrue(wait_until(lambda: SET_CALL.search(relay()), EXCHANGE_TIMEOUT),
                        "SetLocalTime was never called:\n" + relay()[-3000:])
        return SET_CALL.findall(relay())

    def finish(self, proc):
        time.sleep(KEEPS_RUNNING_SECONDS)
        self.assert_still_running(proc, "after the clock correction")
        self.dismiss(self.saver_window(proc))
        self.assertEqual(self.wait_exit(proc), 0)

    def test_exchange_completes_and_the_saver_runs_on_without_touching_the_host_clock(self):
        work = self.enterContext(temp_dir())
        self.enterContext(ChronyServer(work))
        proc, relay, host_calls = self.start_watched_saver(work)
        self.assertEqual(self.wait_for_set_call(relay), ["00000001"],
                         "one request, within half a second of the host's time")
        self.assertTrue(wait_until(lambda: BROADCAST_CALL.search(relay()), 5.0),
                        "no WM_TIMECHANGE broadcast after the clock was set")
        self.finish(proc)
        self.assertEqual(host_calls(), [])
        self.assertEqual(SET_CALL.findall(relay()), ["00000001"])

    def test_a_refused_correction_sends_no_broadcast_and_the_saver_runs_on(self):
        # Half a minute off: Wine refuses to move the clock that far for a
        # process without the right to, as Windows does for a user without it.
        work = self.enterContext(temp_dir())
        server = self.enterContext(OffsetSntpServer(REFUSED_OFFSET_SECONDS))
        proc, relay, host_calls = self.start_watched_saver(work)
        self.assertEqual(self.wait_for_set_call(relay), ["00000000"], "the request was not refused")
        self.finish(proc)
        self.assertIsNone(BROADCAST_CALL.search(relay()), "a broadcast for a clock that was not set")
        self.assertEqual(server.answered, 1, "one request per run")
        self.assertEqual(SET_CALL.findall(relay()), ["00000000"])
        self.assertEqual(host_calls(), [])


if __name__ == "__main__":
    winetest.main()
