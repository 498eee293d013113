#!/usr/bin/env python3
"""Time from `Chronovale.scr /c` to the configuration sheet's first paint
under Wine, median of several runs.

    python3 bench/configure_bench.py --bin-dir build/windows/bin [--runs 7]

sheet_driver.exe (built with the Wine tests, in the same folder) is started
first and reports "ready"; the clock starts just before the saver is started
and stops when the driver reports that the sheet's background shows on the
screen (it polls the screen every millisecond). The prefix is warmed with one
uncounted run. Timings are noisy: compare figures of one run, not of
different days. Nothing here is a pass/fail test.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "integration", "harness"))

from benchruns import warmed_runs  # noqa: E402
from wine import WinePrefix  # noqa: E402
from xserver import Processes, Xvfb  # noqa: E402

RUN_TIMEOUT = 60


def read_line(proc, deadline):
    line = proc.stdout.readline()
    if not line or time.monotonic() > deadline:
        raise RuntimeError("sheet_driver said nothing in time")
    return line.strip()


def one_run(wine, procs, saver, driver):
    deadline = time.monotonic() + RUN_TIMEOUT
    watcher = subprocess.Popen(wine.saver_command(driver, "paint-wait", RUN_TIMEOUT * 1000),
                               env=wine.env(), stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                               start_new_session=True)
    try:
        if read_line(watcher, deadline) != "ready":
            raise RuntimeError("sheet_driver did not start")
        started = time.monotonic()
        proc = procs.start_program(wine.saver_command(saver, "/c"), wine.env(),
                                   cwd=os.path.dirname(saver))
        if read_line(watcher, deadline) != "painted":
            raise RuntimeError("the sheet did not paint")
        painted = time.monotonic()
    finally:
        watcher.wait(RUN_TIMEOUT)
    procs.run_program(wine.saver_command(driver, "close"), wine.env(), RUN_TIMEOUT)
    code, _, _ = procs.wait(proc, RUN_TIMEOUT)
    if code != 0:
        raise RuntimeError("configuration ended with %d" % code)
    return (painted - started) * 1000.0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin-dir", required=True)
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    bin_dir = os.path.abspath(args.bin_dir)
    driver = os.path.join(bin_dir, "sheet_driver.exe")
    with Xvfb(1024, 768, 24) as xvfb, WinePrefix(xvfb) as wine, Processes() as procs:
        saver = wine.install_saver(bin_dir)
        times = warmed_runs(args.runs, lambda: one_run(wine, procs, saver, driver))
    print("configuration sheet, /c to first paint under Wine (%d runs)" % args.runs)
    print("  runs: " + " ".join("%.0f" % t for t in times) + " ms")
    print("  median %.0f ms   min %.0f ms   max %.0f ms"
          % (statistics.median(times), min(times), max(times)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
