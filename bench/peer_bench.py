#!/usr/bin/env python3
"""The Linux saver beside a peer program, the 3D text clock of Debian's
xscreensaver-gl collection (a benchmark, not a test: it prints numbers and
judges nothing).

Both programs draw full screen on a private 1920x1080 Xvfb with the same
software renderer. Every case runs --runs times, the cases interleaved, each
run on a fresh X server; each row prints min / median / max per program and
the ratio of the medians (saver / peer, or overlay on / off):
  - CPU per second with default settings, program and X server (/proc);
  - CPU per frame with frames unpaced (the saver's VsyncEnabled 0, the
    peer's -delay 0), program and program + X server;
  - the saver's frame cost with ShowFramerate and ShowTime on against off;
  - frames per second;
  - process start to the first presented frame (the saver's first start:
    it writes its settings file afresh; the driver's shader cache warm from
    an uncounted run), from a preloaded library that stamps each buffer
    swap with CLOCK_MONOTONIC (bench/swap_stamp.c);
  - peak resident memory (VmHWM).
The peer is installed from Debian's xscreensaver-gl when missing.

With --wine-bin, the Windows saver (Chronovale.scr /s) runs the default case
too, under Wine, interleaved with the others, in a private prefix warmed by
an uncounted run. Each run has its own Xvfb and its own Wine session on it
(a fresh wineserver; the saver's settings key deleted first, so that every
run is a first start as on Linux; no Wine program runs before the timed one
but the prefix's wineserver). Its first presented frame is stamped by
the same preloaded library: Wine's X11 driver presents with glXSwapBuffers,
which it finds through glXGetProcAddressARB rather than by linking, and the
library hands out its stamping swap there too. So both columns time from
just before the program is started to the return of its first
glXSwapBuffers, by CLOCK_MONOTONIC (under Wine the stamp agreed with the
probe build's own first-frame line within 0.15 ms, and counted as many
swaps as it presented frames). Under Wine the count starts with the
Wine loader and includes the start of the session's own processes (the
desktop window's process among them); a second start on the same display,
with the session up and the settings written, is timed as well. CPU is the saver's process, the
prefix's wineserver and the X server; peak memory the saver's process and
the sum over every process of the prefix (an upper bound: peaks need not
coincide).

    python3 bench/peer_bench.py --bin-dir build/linux/bin [--runs 3] \
        [--wine-bin build/windows/bin]
"""

import argparse
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent
                       / "tests" / "integration" / "harness"))
from xserver import NO_CLOCK_CHANGE, Xvfb  # noqa: E402
import wine  # noqa: E402

PEER = Path("/usr/libexec/xscreensaver/gltext")
PEER_PACKAGE = "xscreensaver-gl"
WIDTH, HEIGHT = 1920, 1080
FIRST_FRAME_TIMEOUT = 30.0
WARM_UP_SECONDS = 2.0
MEASURE_SECONDS = 5.0
TICKS = os.sysconf("SC_CLK_TCK")

KEY = "[HKEY_CURRENT_USER\\Software\\Quillmere\\Chronovale]"
# A fixed face keeps the frame cost of one run comparable with the next.
FIXED_FACE = '"FontEnum"=dword:00000001\n"FaceName"="DejaVu Sans"\n'
UNPACED = '"VsyncEnabled"=dword:00000000\n'
OVERLAY_ON = '"ShowTime"=dword:00000001\n"ShowFramerate"=dword:00000001\n'


# name -> (program kind, settings text for the saver or arguments for the peer)
CASES = {
    "saver default": ("saver", None),
    "peer default": ("peer", []),
    "saver unpaced": ("saver", FIXED_FACE + UNPACED),
    "peer unpaced": ("peer", ["-delay", "0"]),
    "saver unpaced overlay": ("saver", FIXED_FACE + UNPACED + OVERLAY_ON),
}
# With --baseline, the same saver cases again for an earlier build.
BASELINE_CASES = {
    "baseline default": ("baseline", None),
    "baseline unpaced": ("baseline", FIXED_FACE + UNPACED),
    "baseline unpaced overlay": ("baseline", FIXED_FACE + UNPACED + OVERLAY_ON),
}


def ensure_peer():
    if PEER.exists():
        return
    subprocess.run(["apt-get", "-o", "DPkg::Lock::Timeout=600", "install", "-y",
                    "--no-install-recommends", PEER_PACKAGE], check=True)


def cpu_seconds(pid):
    """User and system time of every thread of the process so far."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def peak_rss_mb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return float("nan")


def prefix_processes(prefix):
    """The pids of every process whose WINEPREFIX is prefix (the saver, the
    session's helpers, the wineserver)."""
    wanted = ("WINEPREFIX=%s" % prefix).encode()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as environ:
                if wanted in environ.read().split(b"\0"):
                    found.append(int(entry))
        except OSError:
            continue
    return found


def wineserver_of(prefix):
    for pid in prefix_processes(prefix):
        try:
            if os.path.basename(os.readlink("/proc/%d/exe" % pid)).startswith("wineserver"):
                return pid
        except OSError:
            continue
    return None


def read_stamps(path):
    data = path.read_bytes() if path.exists() else b""
    if len(data) < 24:
        return 0, 0, 0
    return struct.unpack("<qqq", data[:24])


def measure(stamp_file, processes):
    """After the warm-up, over MEASURE_SECONDS: the frames presented and the
    CPU time of each named process (name: pid), per second ("cpu_s_<name>",
    and "cpu_s_both" for all of them) and per frame."""
    time.sleep(WARM_UP_SECONDS)

    def sample():
        return (time.monotonic(), {name: cpu_seconds(pid) for name, pid in processes.items()},
                read_stamps(stamp_file)[2])
    t0, cpu0, n0 = sample()
    time.sleep(MEASURE_SECONDS)
    t1, cpu1, n1 = sample()
    seconds = t1 - t0
    frames = max(n1 - n0, 1)
    used = {name: cpu1[name] - cpu0[name] for name in processes}
    result = {"fps": (n1 - n0) / seconds,
              "cpu_s_both": sum(used.values()) / seconds,
              "cpu_frame_prog": used["prog"] * 1000.0 / frames,
              "cpu_frame_both": sum(used.values()) * 1000.0 / frames}
    result.update(("cpu_s_" + name, value / seconds) for name, value in used.items())
    return result


def wait_first_stamp(proc, args, stamp_file):
    """CLOCK_MONOTONIC of the program's first swap, once it is stamped."""
    deadline = time.monotonic() + FIRST_FRAME_TIMEOUT
    while read_stamps(stamp_file)[2] == 0:
        if proc.poll() is not None or time.monotonic() > deadline:
            raise RuntimeError("%s: no frame (%s)" % (
                " ".join(args), proc.stderr.read().decode(errors="replace")
                if proc.poll() is not None else "timed out"))
        time.sleep(0.005)
    return read_stamps(stamp_file)[0]


def end_group(proc):
    if proc.poll() is None:
        os.killpg(proc.pid, signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()


def end_process(proc):
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            end_group(proc)
    end_group(proc)


def one_run(kind, setup, bin_dir, preload, work, home):
    """One program on a fresh 1920x1080 Xvfb; kind is "peer", or "saver" or
    "baseline" with bin_dir the folder of that saver build. home is the
    program's own home folder, kept across its runs (the driver's shader
    cache lives there), while the saver's settings start afresh each run."""
    stamp_file = work / "stamps"
    with Xvfb(width=WIDTH, height=HEIGHT, depth=24) as x:
        env = x.env(LD_PRELOAD=str(preload), SWAP_STAMP_FILE=str(stamp_file),
                    HOME=str(home), XDG_CACHE_HOME=str(home / ".cache"),
                    XDG_CONFIG_HOME=str(work / "config"),
                    XSCREENSAVER_WINDOW=None)
        if kind != "peer":
            if setup is not None:
                folder = work / "config" / "Quillmere"
                folder.mkdir(parents=True)
                (folder / "Chronovale.reg").write_text(
                    "REGEDIT4\n\n%s\n%s" % (KEY, setup))
            args = NO_CLOCK_CHANGE + [str(bin_dir / "chronovale"), "/s"]
        else:
            args = [str(PEER), "-root", "-text", "%H:%M:%S"] + setup
        started = time.monotonic_ns()
        proc = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                start_new_session=True)
        try:
            first_ns = wait_first_stamp(proc, args, stamp_file)
            result = measure(stamp_file, {"prog": proc.pid, "x": x.pid})
            result["rss"] = peak_rss_mb(proc.pid)
        finally:
            end_group(proc)
    result["first_frame"] = (first_ns - started) / 1e6
    return result


def forget_settings(registry_file):
    """Drops the saver's key and its subkeys from a prefix's user.reg."""
    ours = "[Software\\\\Quillmere\\\\Chronovale"
    kept, skipping = [], False
    for line in registry_file.read_text(encoding="latin-1").split("\n"):
        if line.startswith("["):
            skipping = line.startswith(ours + "]") or line.startswith(ours + "\\\\")
        if not skipping:
            kept.append(line)
    registry_file.write_text("\n".join(kept), encoding="latin-1")


def wine_run(saver, prefix, preload, work):
    """The Windows saver's default case under Wine on a fresh 1920x1080
    Xvfb, in a session of its own on that display; measured as one_run
    measures, plus the wineserver's CPU, the prefix's summed peak memory
    and a second start with the session up."""
    stamp_file = work / "stamps"
    # Every counted start is a first start, as on Linux; the key goes from
    # the registry file while no server holds it, so no Wine program runs
    # before the timed one.
    forget_settings(Path(prefix.path) / "user.reg")
    with Xvfb(width=WIDTH, height=HEIGHT, depth=24) as x:
        base = wine.base_env(prefix.path, x.display)
        subprocess.run([wine.WINESERVER, "-p%d" % wine.SERVER_PERSIST_SECONDS], env=base,
                       timeout=30, check=False)
        try:
            server = wineserver_of(prefix.path)
            env = dict(base, LD_PRELOAD=str(preload), SWAP_STAMP_FILE=str(stamp_file))
            args = prefix.saver_command(saver, "/s")

            def start():
                started_ns = time.monotonic_ns()
                proc = subprocess.Popen(args, env=env, cwd=os.path.dirname(saver),
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.PIPE, start_new_session=True)
                return started_ns, proc

            started, proc = start()
            try:
                first_ns = wait_first_stamp(proc, args, stamp_file)
                result = measure(stamp_file, {"prog": proc.pid, "server": server, "x": x.pid})
                rss = peak_rss_mb(proc.pid)
                rss_tree = sum(peak_rss_mb(pid) for pid in prefix_processes(prefix.path)
                               if pid != proc.pid) + rss
            finally:
                # The saver alone: the session's processes it started stay
                # up for the second start.
                end_process(proc)
            stamp_file.unlink()
            again, proc = start()
            try:
                again_ns = wait_first_stamp(proc, args, stamp_file)
            finally:
                end_process(proc)
        finally:
            wine.stop_server(prefix.path)
    result.update(first_frame=(first_ns - started) / 1e6,
                  first_frame_again=(again_ns - again) / 1e6, rss=rss, rss_tree=rss_tree)
    return result


def summary(values):
    return min(values), statistics.median(values), max(values)


def cell(values, fmt):
    lo, mid, hi = summary(values)
    return (fmt + " / " + fmt + " / " + fmt) % (lo, mid, hi)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin-dir", required=True, type=Path)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--preload", type=Path,
                        help="swap_stamp.so (default: beside the saver)")
    parser.add_argument("--baseline", type=Path,
                        help="the bin folder of an earlier saver build, run interleaved "
                             "with the others and compared with this one")
    parser.add_argument("--wine-bin", type=Path,
                        help="the bin folder of the Windows build: its saver's default case "
                             "under Wine joins the run")
    args = parser.parse_args()
    bin_dir = args.bin_dir.resolve()
    preload = (args.preload or bin_dir / "swap_stamp.so").resolve()
    if not preload.exists():
        sys.exit("peer_bench: %s missing (build the bench targets)" % preload)
    ensure_peer()

    cases = dict(CASES)
    if args.baseline:
        cases.update(BASELINE_CASES)
    if args.wine_bin:
        cases["wine default"] = ("wine", None)
        prefix = wine.WinePrefix(template=wine.default_template_dir(near=str(args.wine_bin)))
        prefix.__enter__()
        wine.stop_server(prefix.path)
        wine_saver = prefix.install_saver(str(args.wine_bin.resolve()))
    folders = {"saver": bin_dir, "peer": None,
               "baseline": args.baseline.resolve() if args.baseline else None}
    homes = {kind: Path(tempfile.mkdtemp(prefix="peer-bench-home-")) for kind in folders}
    results = {name: [] for name in cases}
    # One uncounted run of each program first: the driver's shader cache is
    # then as warm as on any start after the first.
    for name, (kind, setup) in cases.items():
        if name.endswith(" default"):
            work = Path(tempfile.mkdtemp(prefix="peer-bench-"))
            try:
                if kind == "wine":
                    wine_run(wine_saver, prefix, preload, work)
                else:
                    one_run(kind, setup, folders[kind], preload, work, homes[kind])
            finally:
                shutil.rmtree(work, ignore_errors=True)
    for run in range(args.runs):
        for name, (kind, setup) in cases.items():
            work = Path(tempfile.mkdtemp(prefix="peer-bench-"))
            try:
                if kind == "wine":
                    results[name].append(wine_run(wine_saver, prefix, preload, work))
                else:
                    results[name].append(one_run(kind, setup, folders[kind], preload, work,
                                                 homes[kind]))
            finally:
                shutil.rmtree(work, ignore_errors=True)
            print("run %d %-22s done" % (run + 1, name), file=sys.stderr, flush=True)
    for home in homes.values():
        shutil.rmtree(home, ignore_errors=True)
    if args.wine_bin:
        prefix.close()

    def med(name, key):
        return statistics.median(r[key] for r in results[name])

    def values(name, key):
        return [r[key] for r in results[name]]

    rows = [
        ("CPU/s default, program (cores)", "saver default", "peer default", "cpu_s_prog", "%.3f"),
        ("CPU/s default, X server (cores)", "saver default", "peer default", "cpu_s_x", "%.3f"),
        ("CPU/s default, program + X (cores)", "saver default", "peer default", "cpu_s_both",
         "%.3f"),
        ("fps default", "saver default", "peer default", "fps", "%.1f"),
        ("CPU/frame unpaced, program (ms)", "saver unpaced", "peer unpaced", "cpu_frame_prog",
         "%.2f"),
        ("CPU/frame unpaced, program + X (ms)", "saver unpaced", "peer unpaced",
         "cpu_frame_both", "%.2f"),
        ("fps unpaced", "saver unpaced", "peer unpaced", "fps", "%.1f"),
        ("start to first frame (ms)", "saver default", "peer default", "first_frame", "%.0f"),
        ("peak resident memory (MB)", "saver default", "peer default", "rss", "%.1f"),
    ]
    print("%d runs each, interleaved, %dx%d Xvfb; min / median / max" % (args.runs, WIDTH,
                                                                         HEIGHT))
    print("| | saver | peer | ratio of medians |")
    print("|---|---|---|---|")
    for label, mine, peer, key, fmt in rows:
        peer_median = med(peer, key)
        ratio = med(mine, key) / peer_median if peer_median else float("nan")
        print("| %s | %s | %s | %.2f |" % (label, cell(values(mine, key), fmt),
                                          cell(values(peer, key), fmt), ratio))
    on, off = "saver unpaced overlay", "saver unpaced"
    print("| saver CPU/frame overlay on / off (ms) | %s | %s | %.2f |" % (
        cell(values(on, "cpu_frame_prog"), "%.2f"), cell(values(off, "cpu_frame_prog"), "%.2f"),
        med(on, "cpu_frame_prog") / med(off, "cpu_frame_prog")))
    if args.baseline:
        print()
        print("| this build against the baseline | this build | baseline | ratio of medians |")
        print("|---|---|---|---|")
        for label, mine, base, key, fmt in (
                ("CPU/s default, program + X (cores)", "saver default", "baseline default",
                 "cpu_s_both", "%.3f"),
                ("fps default", "saver default", "baseline default", "fps", "%.1f"),
                ("CPU/frame unpaced, program (ms)", "saver unpaced", "baseline unpaced",
                 "cpu_frame_prog", "%.2f"),
                ("CPU/frame unpaced overlay, program (ms)", "saver unpaced overlay",
                 "baseline unpaced overlay", "cpu_frame_prog", "%.2f"),
                ("start to first frame (ms)", "saver default", "baseline default",
                 "first_frame", "%.0f"),
                ("peak resident memory (MB)", "saver default", "baseline default", "rss",
                 "%.1f")):
            print("| %s | %s | %s | %.2f |" % (label, cell(values(mine, key), fmt),
                                              cell(values(base, key), fmt),
                                              med(mine, key) / med(base, key)))
    if args.wine_bin:
        print()
        print("| under Wine | Wine saver | peer | Wine / peer | Wine / Linux saver |")
        print("|---|---|---|---|---|")
        for label, key, peer_key, fmt in (
                ("CPU/s default, program (cores)", "cpu_s_prog", "cpu_s_prog", "%.3f"),
                ("CPU/s default, wineserver (cores)", "cpu_s_server", None, "%.3f"),
                ("CPU/s default, X server (cores)", "cpu_s_x", "cpu_s_x", "%.3f"),
                ("CPU/s default, program + wineserver + X (cores)", "cpu_s_both", "cpu_s_both",
                 "%.3f"),
                ("fps default", "fps", "fps", "%.1f"),
                ("start to first frame (ms)", "first_frame", "first_frame", "%.0f"),
                ("start to first frame, second start (ms)", "first_frame_again", "first_frame",
                 "%.0f"),
                ("peak resident memory, program (MB)", "rss", "rss", "%.1f"),
                ("peak resident memory, prefix's processes (MB)", "rss_tree", "rss", "%.1f")):
            mine = med("wine default", key)
            if peer_key:
                print("| %s | %s | %s | %.2f | %.2f |" % (
                    label, cell(values("wine default", key), fmt),
                    cell(values("peer default", peer_key), fmt),
                    mine / med("peer default", peer_key), mine / med("saver default", peer_key)))
            else:
                print("| %s | %s | – | – | – |" % (label, cell(values("wine default", key), fmt)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
