#!/usr/bin/env python3
"""Start-up and frame cost of the Windows build under Wine, next to the Linux
build's figures from the same run.

    python3 bench/wine_startup.py --wine-bin build/windows/bin \\
        [--linux-bin build/linux/bin] [--runs 5] [--seconds 3] [--size 1920x1080]

Both sides run their probe variant (ChronovaleProbe.scr, chronovale-probe) in
full screen on one private Xvfb of the given size, closing themselves after
--seconds (BCS). Measured per run:
  first frame   from just before the program is started to the probe's
                "probe first-frame" line (Wine: wall clock, written to the file
                CHRONOVALE_PROBE_FILE; Linux: CLOCK_MONOTONIC, on stderr);
  CPU per frame the probe's "probe frames N cpu-ns T": the program's own CPU
                time from its first frame to its teardown over the frames in
                between; under Wine also the prefix's wineserver CPU over the
                whole run divided by the same frames (an upper bound: start-up
                and teardown are in it).
The figures are medians; the Wine prefix is warmed with one uncounted run.
Timings are noisy: compare the two columns of one run, not runs of
different days. Nothing here is a pass/fail test.
"""

import argparse
import os
import re
import shutil
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "integration", "harness"))

from benchruns import median, warmed_runs  # noqa: E402
from wine import WINESERVER, WinePrefix  # noqa: E402
from xserver import NO_CLOCK_CHANGE, Processes, Xvfb  # noqa: E402

FIRST_FRAME = re.compile(r"^probe first-frame (\d+)$", re.M)
FRAMES = re.compile(r"^probe frames (\d+) cpu-ns (\d+)", re.M)
RUN_TIMEOUT = 120
PROBE_SAVER = "ChronovaleProbe.scr"
PROBE_LIBRARY = "CHRONOVALEPROBE.DLL"   # the saver's own name with .DLL
LINUX_PROBE = "chronovale-probe"
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def process_cpu_ns(pid):
    """utime + stime of a running process, from /proc."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1_000_000_000 // CLOCK_TICKS


def wineserver_of(prefix):
    """The pid of the wineserver that serves this prefix, or None."""
    wanted = ("WINEPREFIX=%s" % prefix).encode()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            # The server program is wineserver or wineserver64.
            if not os.path.basename(os.readlink("/proc/%s/exe" % entry)).startswith(
                    os.path.basename(WINESERVER)):
                continue
            with open("/proc/%s/environ" % entry, "rb") as environ:
                if wanted in environ.read().split(b"\0"):
                    return int(entry)
        except OSError:
            continue
    return None


def parse_probe(text, start_ns):
    first = FIRST_FRAME.search(text)
    frames = FRAMES.search(text)
    if not first or not frames:
        raise RuntimeError("probe lines missing:\n" + text)
    count, cpu = int(frames.group(1)), int(frames.group(2))
    return {"first_frame_ms": (int(first.group(1)) - start_ns) / 1e6,
            "frames": count,
            "cpu_us_per_frame": cpu / 1e3 / count if count else float("nan")}


def bench_wine(xvfb, bin_dir, runs, seconds):
    with WinePrefix(xvfb) as wine, Processes() as procs:
        saver = wine.install_saver(bin_dir, saver_name=PROBE_SAVER,
                                   library_name=PROBE_LIBRARY, source_saver=PROBE_SAVER)
        wine.reg_add("BCS", "REG_DWORD", seconds)
        probe_file = os.path.join(wine.root, "probe.txt")
        env = wine.env(CHRONOVALE_PROBE_FILE=wine.windows_path(probe_file))

        def one_run():
            with open(probe_file, "w"):
                pass
            server = wineserver_of(wine.path)
            server_before = process_cpu_ns(server) if server else 0
            start_ns = time.time_ns()
            code, out, err = procs.run_program(wine.saver_command(saver, "/s"), env,
                                               RUN_TIMEOUT, cwd=os.path.dirname(saver))
            if code != 0:
                raise RuntimeError("Wine probe ended with %d:\n%s%s" % (code, out, err))
            with open(probe_file) as probe:
                result = parse_probe(probe.read(), start_ns)
            server_cpu = process_cpu_ns(server) - server_before if server else 0
            result["server_us_per_frame"] = server_cpu / 1e3 / max(result["frames"], 1)
            return result

        return warmed_runs(runs, one_run)


def write_linux_settings(config_home, seconds):
    folder = os.path.join(config_home, "Quillmere")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "Chronovale.reg"), "w") as settings:
        settings.write("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
                       "\"BCS\"=dword:%08x\n" % seconds)


def bench_linux(xvfb, bin_dir, runs, seconds):
    program = os.path.join(bin_dir, LINUX_PROBE)
    config_home = tempfile.mkdtemp(prefix="chronovale-bench-")
    try:
        write_linux_settings(config_home, seconds)
        env = xvfb.env(XDG_CONFIG_HOME=config_home)
        with Processes() as procs:
            def one_run():
                start_ns = time.monotonic_ns()
                code, out, err = procs.run_program(NO_CLOCK_CHANGE + [program, "-s"], env,
                                                   RUN_TIMEOUT)
                if code != 0:
                    raise RuntimeError("Linux probe ended with %d:\n%s%s" % (code, out, err))
                return err, start_ns

            # The warm-up run's lines are not read.
            return [parse_probe(err, start_ns) for err, start_ns in warmed_runs(runs, one_run)]
    finally:
        shutil.rmtree(config_home, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--wine-bin", required=True)
    parser.add_argument("--linux-bin")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--seconds", type=int, default=3)
    parser.add_argument("--size", default="1920x1080")
    args = parser.parse_args()
    width, height = (int(v) for v in args.size.lower().split("x"))

    with Xvfb(width, height, 24) as xvfb:
        wine = bench_wine(xvfb, os.path.abspath(args.wine_bin), args.runs, args.seconds)
        linux = bench_linux(xvfb, os.path.abspath(args.linux_bin), args.runs,
                            args.seconds) if args.linux_bin else []

    print("Chronovale start-up and frame cost, %dx%d Xvfb, median of %d runs"
          % (width, height, args.runs))
    print("%-34s %12s %12s %8s" % ("", "Wine", "Linux", "ratio"))
    rows = (("first frame after start (ms)", "first_frame_ms"),
            ("frames until the automatic close", "frames"),
            ("CPU per frame, program (us)", "cpu_us_per_frame"))
    for label, key in rows:
        w, l = median(wine, key), median(linux, key)
        ratio = "%8.2f" % (w / l) if linux and l else "%8s" % "-"
        print("%-34s %12.1f %12s %s" % (label, w, "%.1f" % l if linux else "-", ratio))
    print("%-34s %12.1f %12s" % ("CPU per frame, wineserver (us)",
                                median(wine, "server_us_per_frame"), "-"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
