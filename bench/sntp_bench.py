#!/usr/bin/env python3
"""Runs the SNTP measurement against a chronyd started on 127.0.0.1:123,
natively and (given the Windows build) under Wine, in one run so the two
can be compared side by side.

    bench/sntp_bench.py --linux BUILD/bin/sntp_bench [--windows WINBUILD/bin/sntp_bench.exe]
                        [--exchanges 50] [--frame-ms 16]

Every program runs without the right to set the clock; the server is
stopped by its pid at the end.
"""

import argparse
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "integration", "harness"))

from chrony_server import ChronyServer  # noqa: E402
from xserver import NO_CLOCK_CHANGE, Processes, Xvfb  # noqa: E402

RUN_TIMEOUT = 600


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--linux")
    parser.add_argument("--windows")
    parser.add_argument("--exchanges", type=int, default=50)
    parser.add_argument("--frame-ms", type=int, default=16)
    options = parser.parse_args()
    arguments = [str(options.exchanges), str(options.frame_ms)]
    with tempfile.TemporaryDirectory(prefix="sntp-bench-") as work, \
            ChronyServer(work), Processes() as procs:
        if options.linux:
            code, out, err = procs.run_program(
                NO_CLOCK_CHANGE + [os.path.abspath(options.linux)] + arguments,
                dict(os.environ), RUN_TIMEOUT)
            print("Linux (exit %d):\n%s%s" % (code, out, err))
        if options.windows:
            from wine import WinePrefix, default_template_dir
            program = os.path.abspath(options.windows)
            with Xvfb() as x, WinePrefix(x, template=default_template_dir(near=program)) as wine:
                code, out, err = procs.run_program(
                    wine.saver_command(program, *arguments), wine.env(), RUN_TIMEOUT)
                print("Wine (exit %d):\n%s%s" % (code, out, err))


if __name__ == "__main__":
    main()
