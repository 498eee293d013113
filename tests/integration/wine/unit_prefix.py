"""The Python half of run-unit-in-wine: the shared prefix of a test run, and
the runs for which there is none.

    unit_prefix.py --setup DIR     make the run's prefix in DIR (fixture)
    unit_prefix.py --cleanup DIR   stop its wineserver, remove DIR (fixture)
    unit_prefix.py PROGRAM.exe [ARGUMENTS...]

--setup copies the template prefix into DIR/prefix, starts its wineserver
kept warm (`wineserver -p`) and writes DIR/env, the environment and command
with which run-unit-in-wine starts each case there without Python. --cleanup
stops that one server (and whatever still runs in the prefix) and removes
DIR, also what a killed run left. A program run here, without a ready shared
prefix (the case listing, which CTest runs before any fixture), runs as
run-in-wine runs it: in a private prefix with its own display, in its own
folder, without the right to set the clock, within CHRONOVALE_WINE_TIMEOUT
seconds (default 120), with Windows line ends made Unix ones (CTest parses
the case list). Exit code: the program's, 124 when it was killed for time,
125 when the set-up failed.
"""

import os
import shlex
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.realpath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "harness"))

from wine import (SERVER_PERSIST_SECONDS, WINE64, WINESERVER, WinePrefix,  # noqa: E402
                  base_env, copy_template, default_template_dir, stop_server)
from xserver import NO_CLOCK_CHANGE, Processes, ProgramTimeout, Xvfb  # noqa: E402

READY_MARK = "ready"
ENV_FILE = "env"
DEFAULT_TIMEOUT = 120
EXIT_TIMEOUT = 124
EXIT_SETUP_FAILED = 125


def prefix_of(run_dir):
    return os.path.join(run_dir, "prefix")


def setup(run_dir):
    """A fresh prefix for this test run, its server started and kept warm."""
    cleanup(run_dir)
    os.makedirs(run_dir)
    copy_template(default_template_dir(near=run_dir), prefix_of(run_dir))
    # The server outlives this fixture: it must not hold CTest's output open.
    subprocess.run([WINESERVER, "-p%d" % SERVER_PERSIST_SECONDS],
                   env=base_env(prefix_of(run_dir)), timeout=30, check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    # The first program in a prefix starts Wine's services and may wait for
    # them; a trivial one takes that start here instead of in the first case.
    subprocess.run(NO_CLOCK_CHANGE + [WINE64, "cmd", "/c", "exit"],
                   env=base_env(prefix_of(run_dir)), timeout=120, check=False,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    write_env_file(run_dir)
    with open(os.path.join(run_dir, READY_MARK), "w"):
        pass
    return 0


def write_env_file(run_dir):
    """The prefix's variables (those that differ from this process's) and
    the command that starts a Windows program, for bash to source."""
    env = base_env(prefix_of(run_dir))
    lines = ["unset DISPLAY"]
    for name, value in sorted(env.items()):
        if os.environ.get(name) != value:
            lines.append("export %s=%s" % (name, shlex.quote(value)))
    lines.append("wine_command=(%s)" % " ".join(
        shlex.quote(part) for part in NO_CLOCK_CHANGE + [WINE64]))
    with open(os.path.join(run_dir, ENV_FILE), "w") as out:
        out.write("\n".join(lines) + "\n")


def cleanup(run_dir):
    """Stops the prefix's own server (and every program still in it), then
    removes the prefix; also what a run left behind when it was killed."""
    if os.path.isdir(prefix_of(run_dir)):
        stop_server(prefix_of(run_dir))
    shutil.rmtree(run_dir, ignore_errors=True)
    return 0


def unix_lines(text):
    return text.replace("\r\n", "\n")


def run(command, env, timeout, cwd):
    with Processes() as procs:
        try:
            code, out, err = procs.run_program(command, env, timeout, cwd=cwd)
        except ProgramTimeout as expired:
            sys.stdout.write(unix_lines(expired.stdout))
            sys.stderr.write(unix_lines(expired.stderr))
            print("unit_prefix: %s killed after %g s" % (command[-1], timeout),
                  file=sys.stderr)
            return EXIT_TIMEOUT
    sys.stdout.write(unix_lines(out))
    sys.stderr.write(unix_lines(err))
    return code


def run_program(program, arguments):
    timeout = float(os.environ.get("CHRONOVALE_WINE_TIMEOUT", DEFAULT_TIMEOUT))
    cwd = os.path.dirname(program)
    with Xvfb() as x, WinePrefix(x, template=default_template_dir(near=program)) as wine:
        return run(wine.saver_command(program, *arguments), wine.env(), timeout, cwd)


def main(argv):
    try:
        if len(argv) == 3 and argv[1] == "--setup":
            return setup(os.path.abspath(argv[2]))
        if len(argv) == 3 and argv[1] == "--cleanup":
            return cleanup(os.path.abspath(argv[2]))
        if len(argv) < 2 or argv[1].startswith("--"):
            print(__doc__.strip(), file=sys.stderr)
            return EXIT_SETUP_FAILED
        program = os.path.abspath(argv[1])
        if not os.path.isfile(program):
            print("unit_prefix: no such program: %s" % program, file=sys.stderr)
            return EXIT_SETUP_FAILED
        return run_program(program, argv[2:])
    except (OSError, RuntimeError, subprocess.SubprocessError) as failure:
        print("unit_prefix: set-up failed: %s" % failure, file=sys.stderr)
        return EXIT_SETUP_FAILED


if __name__ == "__main__":
    sys.exit(main(sys.argv))
