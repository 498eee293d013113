#!/usr/bin/env python3
"""Start-up and frame cost of the Linux saver under Xvfb (a benchmark, not a
test: it prints numbers and judges nothing).

Runs the measuring build chronovale-probe full screen several times on a
1920x1080 Xvfb and reports the medians of
  - the time from process start to the first presented frame (and to the
    OpenGL context being ready, which splits it into start-up and scene
    set-up), and
  - the CPU time per frame of the frame loop (from the first frame on),
read from the probe's "probe context-ready <ns>", "probe first-frame <ns>"
and "probe frames <n> cpu-ns <ns>" lines. Both programs read CLOCK_MONOTONIC, so the start time
taken here and the probe's first-frame time compare directly.

    python3 bench/linux_startup.py --bin-dir build/linux/bin [--runs 7]
"""

import argparse
import re
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent
                       / "tests" / "integration" / "harness"))
from xserver import NO_CLOCK_CHANGE, Xvfb  # noqa: E402

SETTINGS = ('REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]\n'
            '"BCS"=dword:%08x\n')
FIRST_START_AIM_MS = 150.0
RUN_TIMEOUT = 60


def one_run(program, display, config):
    env = display.env(XDG_CONFIG_HOME=config)
    env.pop("XSCREENSAVER_WINDOW", None)
    started = time.monotonic_ns()
    done = subprocess.run(NO_CLOCK_CHANGE + [str(program), "/s"], env=env,
                          capture_output=True, text=True, timeout=RUN_TIMEOUT)
    if done.returncode != 0:
        raise RuntimeError("probe run ended with %d: %s" % (done.returncode, done.stderr))
    context = re.search(r"^probe context-ready (\d+)$", done.stderr, re.M)
    first = re.search(r"^probe first-frame (\d+)$", done.stderr, re.M)
    frames = re.search(r"^probe frames (\d+) cpu-ns (\d+)$", done.stderr, re.M)
    if not context or not first or not frames:
        raise RuntimeError("no probe lines in: %s" % done.stderr)
    startup_ms = (int(first.group(1)) - started) / 1e6
    context_ms = (int(context.group(1)) - started) / 1e6
    frame_count = int(frames.group(1))
    cpu_per_frame_ms = int(frames.group(2)) / 1e6 / max(frame_count, 1)
    return startup_ms, context_ms, cpu_per_frame_ms, frame_count


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin-dir", required=True, type=Path)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--seconds", type=int, default=3,
                        help="length of each run (the saver's BCS)")
    args = parser.parse_args()
    program = args.bin_dir / "chronovale-probe"
    if not program.exists():
        sys.exit("no %s: build the chronovale-probe target" % program)

    results = []
    with Xvfb(width=1920, height=1080, depth=24) as display, \
            tempfile.TemporaryDirectory(prefix="chronovale-bench-") as config:
        folder = Path(config) / "Quillmere"
        folder.mkdir()
        (folder / "Chronovale.reg").write_text(SETTINGS % args.seconds)
        # One run to warm the file cache and complete the settings file, as
        # any start after the first finds it; it is not counted.
        one_run(program, display, config)
        for index in range(args.runs):
            results.append(one_run(program, display, config))
            print("run %d: first frame %.1f ms (context ready at %.1f ms), "
                  "%.3f ms CPU per frame over %d frames" % ((index + 1,) + results[-1]))

    startup = statistics.median(r[0] for r in results)
    context = statistics.median(r[1] for r in results)
    cpu = statistics.median(r[2] for r in results)
    frames = statistics.median(r[3] for r in results)
    print("median of %d runs at 1920x1080: first frame %.1f ms (aim %.0f ms, ratio %.2f), "
          "of which %.1f ms up to the ready OpenGL context; %.3f ms CPU per frame; "
          "%.0f frames in %d s"
          % (len(results), startup, FIRST_START_AIM_MS, startup / FIRST_START_AIM_MS,
             context, cpu, frames, args.seconds))


if __name__ == "__main__":
    main()
