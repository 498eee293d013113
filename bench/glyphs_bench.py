#!/usr/bin/env python3
"""Glyph build time for 255 glyphs: the Linux builder (fontconfig, FreeType,
GLU tessellator) against wglUseFontOutlinesA under Wine, for the same face.

    glyphs_bench.py --linux-build DIR --windows-build DIR [--face NAME] [--repeat N]

DIR are the build trees holding bin/glyphs_timing_x11 and
bin/glyphs_timing_win32.exe (targets of tests/outlines). Each program runs
once, solid and wire, on its own Xvfb (Wine: in its own prefix too), builds
the glyphs repeat + 1 times and reports its first build, its median build
and the thread CPU time per build (steadier than the wall clock on a busy
machine); the table compares the two in the one run, as ratios.

Under Wine 8 wglUseFontOutlinesA draws the front faces only and ignores the
extrusion (look at the --snapshot pictures of the timing programs), so its
figures are for less geometry than the Linux builder's.
"""

import argparse
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "integration", "harness"))

from xserver import NO_CLOCK_CHANGE, Processes, Xvfb, temp_dir  # noqa: E402
from wine import WINE64, WinePrefix  # noqa: E402

TIMEOUT = 300
FIELD = re.compile(r'(\w+)=("[^"]*"|\S+)')


def parse(output):
    for line in output.splitlines():
        if line.startswith("platform="):
            return {k: v.strip('"') for k, v in FIELD.findall(line)}
    raise RuntimeError("no timing line in:\n" + output)


def timing_arguments(face, repeat, wireframe):
    return ["--face", face, "--repeat", str(repeat)] + (["--wireframe"] if wireframe else [])


def run_linux(program, face, repeat, wireframe):
    with Xvfb() as x, Processes() as procs, temp_dir() as home:
        args = [program] + timing_arguments(face, repeat, wireframe)
        code, out, err = procs.run_program(NO_CLOCK_CHANGE + args,
                                           x.env(XDG_CONFIG_HOME=home), TIMEOUT)
        if code != 0:
            raise RuntimeError("%s failed (%d): %s" % (program, code, err))
        return parse(out)


def run_wine(program, face, repeat, wireframe, wine, procs):
    args = [WINE64, program] + timing_arguments(face, repeat, wireframe)
    code, out, err = procs.run_program(NO_CLOCK_CHANGE + args, wine.env(), TIMEOUT)
    if code != 0:
        raise RuntimeError("%s failed (%d): %s" % (program, code, err))
    return parse(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--linux-build", required=True)
    parser.add_argument("--windows-build", required=True)
    parser.add_argument("--face", default="Arial")
    parser.add_argument("--repeat", type=int, default=20)
    options = parser.parse_args()
    linux_program = os.path.join(options.linux_build, "bin", "glyphs_timing_x11")
    wine_program = os.path.join(options.windows_build, "bin", "glyphs_timing_win32.exe")

    rows = []
    with Xvfb() as x, WinePrefix(x) as wine, Processes() as procs:
        for wireframe in (False, True):
            linux = run_linux(linux_program, options.face, options.repeat, wireframe)
            windows = run_wine(wine_program, options.face, options.repeat, wireframe, wine, procs)
            rows.append(("wire" if wireframe else "solid", linux, windows))

    print("face %r, 255 glyphs, %d repeats (ms)" % (options.face, options.repeat))
    columns = ("first_ms", "median_ms", "cpu_ms")
    print("%-6s" % "form" + "".join("%13s" % ("linux " + c[:-3]) for c in columns)
          + "".join("%13s" % ("wine " + c[:-3]) for c in columns)
          + "%15s%15s" % ("median ratio", "cpu ratio"))
    for form, linux, windows in rows:
        line = "%-6s" % form + "".join("%13s" % linux[c] for c in columns)
        line += "".join("%13s" % windows[c] for c in columns)
        for c in ("median_ms", "cpu_ms"):
            line += "%15.2f" % (float(linux[c]) / max(float(windows[c]), 1e-3))
        print(line)
    print("advance of '0': linux %s, wine %s" % (rows[0][1]["advance_0"], rows[0][2]["advance_0"]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
