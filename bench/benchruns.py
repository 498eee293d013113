"""What the benchmark scripts share: runs after one uncounted warm-up run,
and the median of one figure over them. Timings stay within a script's run;
nothing here compares against a fixed time."""

import statistics


def warmed_runs(runs, one_run):
    """Calls one_run() runs + 1 times and returns what all but the first
    returned: the first warms the Wine prefix and the font and file caches."""
    one_run()
    return [one_run() for _ in range(runs)]


def median(results, key):
    """The median of figure key over results (dicts); NaN when none has it."""
    values = [r[key] for r in results if key in r]
    return statistics.median(values) if values else float("nan")
