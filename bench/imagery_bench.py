#!/usr/bin/env python3
"""Imagery benchmark, both platforms in one run: the decode and the upload
(with mipmaps) of picture 142 from the companion library as built, and the
frame with every overlay element on (frame rate, date line, both notes,
banner) as a ratio to the frame with none. Linux runs natively under its own
Xvfb; Windows runs under Wine under another Xvfb with a private prefix.
Timings are compared as ratios within one run; nothing here is a threshold.

    bench/imagery_bench.py [--linux-build build/linux] [--windows-build build/windows]
                           [--size 1024x768] [--warm-up 6] [--blocks 20]
"""

import argparse
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "integration", "harness"))

from xserver import NO_CLOCK_CHANGE, Processes, Xvfb, temp_dir  # noqa: E402
from wine import WINE64, WinePrefix  # noqa: E402

TIMEOUT = 600


def parse(output):
    """The "imagery NAME VALUE" lines as {NAME: VALUE text}."""
    values = {}
    for line in output.splitlines():
        fields = line.split()
        if len(fields) >= 3 and fields[0] == "imagery":
            values[fields[1]] = " ".join(fields[2:])
    return values


def run_linux(build, args):
    tool = os.path.join(build, "tests", "integration", "x11", "imagery_gl")
    library = os.path.join(build, "bin", "chronovale.so")
    width, height = args.size.split("x")
    with temp_dir() as config, Xvfb(int(width), int(height), 24) as x, Processes() as procs:
        env = x.env(XDG_CONFIG_HOME=config)
        code, out, err = procs.run_program(
            NO_CLOCK_CHANGE + [tool, "bench", library, width, height, str(args.warm_up), str(args.blocks)],
            env, timeout=TIMEOUT)
    if code != 0:
        raise SystemExit("Linux bench failed (%d):\n%s%s" % (code, out, err))
    return parse(out)


def run_windows(build, args):
    tool = os.path.join(build, "bin", "imagery_gl.exe")
    library = "Z:" + os.path.join(build, "bin", "CHRONOVALE.DLL")
    width, height = args.size.split("x")
    os.environ.setdefault("CHRONOVALE_WINE_TEMPLATE", os.path.join(build, "wine-template"))
    with Xvfb(int(width), int(height), 24) as x, WinePrefix(x) as wine, Processes() as procs:
        code, out, err = procs.run_program(
            NO_CLOCK_CHANGE + [WINE64, tool, "bench", library, width, height, str(args.warm_up),
                               str(args.blocks)],
            wine.env(), timeout=TIMEOUT)
    if code != 0:
        raise SystemExit("Windows bench failed (%d):\n%s%s" % (code, out, err))
    return parse(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--linux-build", default=os.path.join(ROOT, "build", "linux"))
    parser.add_argument("--windows-build", default=os.path.join(ROOT, "build", "windows"))
    parser.add_argument("--size", default="1024x768")
    parser.add_argument("--warm-up", type=float, default=6.0)
    parser.add_argument("--blocks", type=int, default=20)
    args = parser.parse_args()

    results = [("Linux (native, Mesa)", run_linux(args.linux_build, args)),
               ("Windows (Wine, Mesa)", run_windows(args.windows_build, args))]
    rows = [("decode of picture 142, ms", "decode_ms"),
            ("decode + flip + pad + mipmapped upload, ms", "decode_upload_ms"),
            ("frame without overlay elements, ms", "frame_without_overlay_ms"),
            ("frame with every overlay element, ms", "frame_with_overlay_ms"),
            ("overlay frame cost ratio (with / without)", "overlay_ratio"),
            ("view, objects in flight, frames", "view")]
    label_width = max(len(label) for label, _ in rows)
    print("%-*s  %-24s %-24s" % (label_width, "", results[0][0], results[1][0]))
    for label, key in rows:
        print("%-*s  %-24s %-24s" % (label_width, label, results[0][1].get(key, "-"),
                                     results[1][1].get(key, "-")))
    return 0


if __name__ == "__main__":
    sys.exit(main())
