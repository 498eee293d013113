#!/usr/bin/env python3
"""The scene's cost and accuracy, Linux and Wine side by side in one run.

Each platform's probe saver runs full screen at 1920x1080 under its own Xvfb
with the default settings (plus a fixed Seed) until the lead has reached 12
and lead + 1 times are in flight, then on for the measuring window. From its
"probe crossing" lines (one per time reaching the viewer's plane, with the
frame count and the process's CPU time) it reports:
- CPU time per frame within the window (lead 12, 13 objects in flight) and
  the frame rate there;
- the arrival error of every time of the run against the wall clock: mean
  and maximum, in milliseconds and in frame periods (the mean period between
  the neighbouring crossings).
The Wine/Linux ratios are printed last; absolute times depend on the load.

Usage: scene_bench.py --linux-bin DIR --windows-bin DIR [--seconds N]
"""

import argparse
import os
import signal
import statistics
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "integration" / "harness"))
sys.path.insert(0, str(HERE.parent / "tests" / "integration" / "x11"))

import scene_pictures  # noqa: E402
import xserver  # noqa: E402
from xserver import NO_CLOCK_CHANGE, Processes, Xvfb  # noqa: E402

WIDTH, HEIGHT = 1920, 1080
LARGEST_LEAD = 12
# After the lead reached 12 the last slower object needs 12 s before the
# number in flight settles at 13.
SETTLE_SECONDS = LARGEST_LEAD + 1
SETTINGS = {"Seed": 7}


def linux_run(bin_dir, seconds):
    with xserver.temp_dir() as work, Xvfb(WIDTH, HEIGHT, 24) as x, Processes() as procs:
        config = Path(work) / "config" / "Quillmere"
        config.mkdir(parents=True)
        (config / "Chronovale.reg").write_text(
            "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n"
            + "".join('"%s"=dword:%08x\n' % item for item in SETTINGS.items()),
            encoding="latin-1")
        env = x.env(XDG_CONFIG_HOME=Path(work) / "config", XSCREENSAVER_WINDOW=None, TZ="UTC")
        proc = procs.start_program(NO_CLOCK_CHANGE + [str(Path(bin_dir) / "chronovale-probe"), "/s"], env)
        time.sleep(seconds)
        os.kill(proc.pid, signal.SIGTERM)
        code, _, err = procs.wait(proc, 30)
        if code != 0:
            raise RuntimeError("the Linux probe ended with %s: %s" % (code, err[-2000:]))
        return err


def wine_run(bin_dir, seconds):
    from wine import WinePrefix
    with Xvfb(WIDTH, HEIGHT, 24) as x, WinePrefix(x) as prefix, Processes() as procs:
        saver = prefix.install_saver(bin_dir, saver_name="ChronovaleProbe.scr",
                                     library_name="CHRONOVALEPROBE.DLL",
                                     source_saver="ChronovaleProbe.scr")
        values = dict(SETTINGS)
        values["BCS"] = seconds
        for name, value in values.items():
            prefix.reg_add(name, "REG_DWORD", value)
        lines = Path(prefix.root) / "probe.txt"
        env = prefix.env(CHRONOVALE_PROBE_FILE=lines, TZ="UTC")
        proc = procs.start_program(prefix.saver_command(saver, "/s"), env, cwd=os.path.dirname(saver))
        code, _, err = procs.wait(proc, seconds + 120)
        if code != 0:
            raise RuntimeError("the Wine probe ended with %s: %s" % (code, err[-2000:]))
        return lines.read_text()


def measures(probe_text):
    found = scene_pictures.crossings(probe_text)
    if len(found) < 3:
        raise RuntimeError("too few crossings: %r" % probe_text[-2000:])
    result = {"crossings": len(found), "largest lead": max(c[2] for c in found)}

    # Arrival errors, each in the frame period around it.
    errors, _ = scene_pictures.arrival_errors(found)
    in_frames = []
    for i, error in enumerate(errors):
        a, b = found[max(0, i - 1)], found[min(len(found) - 1, i + 1)]
        period = (b[0] - a[0]) / 1e9 / max(1, b[3] - a[3])
        in_frames.append(error / period)
    result["arrival mean ms"] = 1000 * statistics.mean(errors)
    result["arrival max ms"] = 1000 * max(errors)
    result["arrival mean frames"] = statistics.mean(in_frames)
    result["arrival max frames"] = max(in_frames)

    # The window with the lead at 12 and 13 objects in flight.
    at_twelve = [c for c in found if c[2] == LARGEST_LEAD]
    if at_twelve:
        start_ns = at_twelve[0][0] + SETTLE_SECONDS * 1e9
        window = [c for c in at_twelve if c[0] >= start_ns]
        if len(window) >= 2:
            first, last = window[0], window[-1]
            frames = last[3] - first[3]
            result["window s"] = (last[0] - first[0]) / 1e9
            result["window frames"] = frames
            result["cpu ms per frame"] = (last[4] - first[4]) / 1e6 / frames
            result["fps"] = frames / ((last[0] - first[0]) / 1e9)
    return result


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--linux-bin", required=True, help="folder of chronovale-probe")
    parser.add_argument("--windows-bin", required=True, help="folder of ChronovaleProbe.scr")
    parser.add_argument("--seconds", type=int, default=140,
                        help="length of each run (the lead needs about 92 s to reach 12)")
    args = parser.parse_args()

    results = {}
    for name, run, folder in (("Linux", linux_run, args.linux_bin),
                              ("Wine", wine_run, args.windows_bin)):
        print("running %s for %d s ..." % (name, args.seconds), file=sys.stderr, flush=True)
        results[name] = measures(run(folder, args.seconds))

    keys = sorted({k for r in results.values() for k in r}, key=lambda k: (
        ["crossings", "largest lead", "window s", "window frames", "fps", "cpu ms per frame",
         "arrival mean ms", "arrival max ms", "arrival mean frames",
         "arrival max frames"] + [k]).index(k))
    print("%-22s %12s %12s %10s" % ("1920x1080, defaults", "Linux", "Wine", "Wine/Linux"))
    for key in keys:
        linux, wine = results["Linux"].get(key), results["Wine"].get(key)
        ratio = "%10.2f" % (wine / linux) if linux and wine else "%10s" % "-"
        print("%-22s %12s %12s %s" % (key, "%.3f" % linux if linux is not None else "-",
                                      "%.3f" % wine if wine is not None else "-", ratio))
    return 0


if __name__ == "__main__":
    sys.exit(main())
