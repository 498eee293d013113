#!/usr/bin/env python3
"""Runs one outline-glyph test program on a private display.

    run_outline_test.py --xvfb PROGRAM [ARGS...]   Linux program under its own Xvfb
    run_outline_test.py --wine PROGRAM.exe [ARGS...]  Windows program under Wine
                                                   in its own prefix and Xvfb

The program's exit code becomes ours; its output is passed through. The
Xvfb, the Wine prefix and its server are this run's alone and are stopped
when it ends, also on a time-out.
"""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "integration", "harness"))

from xserver import NO_CLOCK_CHANGE, ProgramTimeout, Processes, Xvfb, temp_dir  # noqa: E402

PROGRAM_TIMEOUT = 120


def run(mode, program, arguments):
    with Xvfb(width=1024, height=768, depth=24) as x, Processes() as procs, \
            temp_dir(prefix="chronovale-outlines-") as home:
        if mode == "--xvfb":
            env = x.env(XDG_CONFIG_HOME=home)
            return report(procs, NO_CLOCK_CHANGE + [program] + arguments, env)
        from wine import WINE64, WinePrefix
        with WinePrefix(x) as wine:
            env = wine.env(XDG_CONFIG_HOME=home)
            return report(procs, NO_CLOCK_CHANGE + [WINE64, program] + arguments, env)


def report(procs, command, env):
    try:
        code, out, err = procs.run_program(command, env, timeout=PROGRAM_TIMEOUT)
    except ProgramTimeout as timeout:
        sys.stdout.write(timeout.stdout)
        sys.stderr.write(timeout.stderr)
        print("time-out after %d s" % PROGRAM_TIMEOUT, file=sys.stderr)
        return 1
    sys.stdout.write(out)
    sys.stderr.write(err)
    return code


def main(argv):
    if len(argv) < 3 or argv[1] not in ("--xvfb", "--wine"):
        print(__doc__, file=sys.stderr)
        return 2
    return run(argv[1], argv[2], argv[3:])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
