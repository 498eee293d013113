#!/usr/bin/env python3
"""Time from starting the settings dialog to its first frame on the screen:
the Linux GTK dialog (chronovale-probe -c) next to the Windows sheet under
Wine (Chronovale.scr /c), on one private Xvfb, median of several runs.

    python3 bench/dialog_bench.py --linux-bin build/linux/bin \\
        [--wine-bin build/windows/bin] [--runs 7]

Measured per run, from just before the program is started:
  mapped        until a viewable top-level window titled "Chronovale" is
                seen (xdotool, polled); the same measure for both builds;
  first frame   Linux only: the probe's "probe dialog-first-frame <ns>" line
                (CLOCK_MONOTONIC), written after the first paint cycle that
                drew the dialog; it shows how far "mapped" is from the paint.
Each dialog is ended by its pid after the measure. The Wine prefix is warmed
with one uncounted run, the Linux side too (font caches). Timings are noisy:
compare the columns of one run. Nothing here is a pass/fail test.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "integration", "harness"))

from benchruns import median, warmed_runs  # noqa: E402
from xserver import NO_CLOCK_CHANGE, Processes, Xvfb  # noqa: E402

FIRST_FRAME = re.compile(r"^probe dialog-first-frame (\d+)$", re.M)
TIMEOUT = 60.0
POLL = 0.005


def mapped(display_env):
    result = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Chronovale$"],
                            env=display_env, capture_output=True, text=True)
    return result.returncode == 0 and result.stdout.strip() != ""


def wait_mapped(env, proc, start_ns):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        if mapped(env):
            return (time.monotonic_ns() - start_ns) / 1e6
        if proc.poll() is not None:
            raise RuntimeError("the dialog ended with %s before it was seen" % proc.returncode)
        time.sleep(POLL)
    raise RuntimeError("no dialog within %.0f s" % TIMEOUT)


def wait_gone(env):
    deadline = time.monotonic() + TIMEOUT
    while mapped(env) and time.monotonic() < deadline:
        time.sleep(0.05)


def bench_linux(xvfb, bin_dir, runs):
    program = os.path.join(bin_dir, "chronovale-probe")
    with tempfile.TemporaryDirectory(prefix="chronovale-bench-") as folder, \
            Processes() as procs:
        env = xvfb.env(XDG_CONFIG_HOME=folder, XDG_RUNTIME_DIR=folder, HOME=folder,
                       GSETTINGS_BACKEND="memory", NO_AT_BRIDGE="1")
        env.pop("XSCREENSAVER_WINDOW", None)

        def one_run():
            start_ns = time.monotonic_ns()
            proc = procs.start_program(NO_CLOCK_CHANGE + [program, "-c"], env)
            shown_ms = wait_mapped(env, proc, start_ns)
            deadline = time.monotonic() + TIMEOUT
            first = None
            while first is None and time.monotonic() < deadline:
                first = FIRST_FRAME.search(procs.output(proc)[1])
                time.sleep(POLL)
            procs.kill(proc)
            wait_gone(env)
            if first is None:
                raise RuntimeError("no first-frame line:\n" + procs.output(proc)[1])
            return {"mapped": shown_ms, "first_frame": (int(first.group(1)) - start_ns) / 1e6}

        return warmed_runs(runs, one_run)


def bench_wine(xvfb, bin_dir, runs):
    from wine import WinePrefix  # noqa: E402  (only when Wine is measured)
    with WinePrefix(xvfb) as wine, Processes() as procs:
        saver = wine.install_saver(bin_dir)
        env = wine.env()

        def one_run():
            start_ns = time.monotonic_ns()
            proc = procs.start_program(wine.saver_command(saver, "/c"), env)
            shown_ms = wait_mapped(env, proc, start_ns)
            procs.kill(proc)
            wait_gone(env)
            return {"mapped": shown_ms}

        return warmed_runs(runs, one_run)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--linux-bin", required=True)
    parser.add_argument("--wine-bin")
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    with Xvfb(1024, 768, 24) as xvfb:
        linux = bench_linux(xvfb, os.path.abspath(args.linux_bin), args.runs)
        wine = bench_wine(xvfb, os.path.abspath(args.wine_bin), args.runs) \
            if args.wine_bin else []
    print("Settings dialog start, 1024x768 Xvfb, median of %d runs (ms)" % args.runs)
    print("%-30s %10s %10s" % ("", "Linux", "Wine"))
    print("%-30s %10.1f %10s" % ("window mapped", median(linux, "mapped"),
                                 "%.1f" % median(wine, "mapped") if wine else "-"))
    print("%-30s %10.1f %10s" % ("first frame painted", median(linux, "first_frame"), "-"))
    if wine:
        print("Wine / Linux (mapped): %.2f" % (median(wine, "mapped") / median(linux, "mapped")))
    return 0


if __name__ == "__main__":
    sys.exit(main())
