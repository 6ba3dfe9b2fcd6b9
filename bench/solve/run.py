#!/usr/bin/env python3
"""Time to solution: runs movar-search on every benchmark problem in every mode from
several master seeds, each run limited in time, and prints a table per mode.

  bench/solve/make_problems.py /tmp/problems
  bench/solve/run.py --bin build/cli/movar-search --problems /tmp/problems

A run counts as matched when movar-search exits 0 (every sample matched). Seconds are
whole-process wall time; generations are those of the answer (of its attempt with
restarts).
"""
import argparse
import csv
import statistics
import subprocess
import sys
import time
from pathlib import Path

# The sine set with the window's defaults; the Nguyen problems with a larger search.
SINE_ARGS = []
NGUYEN_ARGS = ["--registers", "4", "--instructions", "20", "--population", "1000"]

OFF_ALL = ["--no-min-window", "--no-refine", "--no-scaled-constants"]
MODES = {
    "plain": [],
    "restarts only": ["--restarts"] + OFF_ALL,
    "restarts + min-window": ["--restarts", "--no-refine", "--no-scaled-constants"],
    "restarts + refine": ["--restarts", "--no-min-window", "--no-scaled-constants"],
    "restarts + refine + scaled-constants": ["--restarts", "--no-min-window"],
    "best (--restarts)": ["--restarts"],
    "best without min-window": ["--restarts", "--no-min-window"],
    "best without refine": ["--restarts", "--no-refine"],
    "best without scaled-constants": ["--restarts", "--no-scaled-constants"],
}


def problems(folder, only):
    names = [f"sine-m{m}" for m in range(1, 51)] + [f"nguyen-{n}" for n in range(1, 9)]
    return [n for n in names if not only or any(n == o or n.startswith(o) for o in only)]


def run_one(binary, folder, name, mode_args, seed, seconds, threads):
    extra = SINE_ARGS if name.startswith("sine") else NGUYEN_ARGS
    command = [binary, "--samples", str(Path(folder) / f"{name}.mvs"), "--seed", str(seed),
               "--time-limit", str(seconds), "--threads", str(threads)] + extra + mode_args
    start = time.monotonic()
    done = subprocess.run(command, capture_output=True, text=True, env={"LC_ALL": "C"})
    elapsed = time.monotonic() - start
    generations = next((int(line.split()[1]) for line in done.stdout.splitlines()
                        if line.startswith("generations:")), 0)
    return done.returncode == 0, elapsed, generations


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", default="build/cli/movar-search")
    parser.add_argument("--problems", default="/tmp/problems")
    parser.add_argument("--modes", nargs="*", default=list(MODES), help="names from MODES")
    parser.add_argument("--only", nargs="*", help="problem names or prefixes")
    parser.add_argument("--seeds", type=int, default=5, help="master seeds 1 .. N")
    parser.add_argument("--seconds", type=int, default=10)
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--csv", help="also write every run to this file")
    args = parser.parse_args()

    rows = []
    for mode in args.modes:
        for name in problems(args.problems, args.only):
            for seed in range(1, args.seeds + 1):
                matched, seconds, generations = run_one(args.bin, args.problems, name,
                                                        MODES[mode], seed, args.seconds,
                                                        args.threads)
                rows.append((mode, name, seed, matched, seconds, generations))
                print(f"{mode:40} {name:10} seed {seed}: "
                      f"{'matched' if matched else 'no match'} {seconds:6.2f} s "
                      f"{generations} generations", file=sys.stderr, flush=True)
    if args.csv:
        with open(args.csv, "w", newline="") as f:
            writer = csv.writer(f)
            writer.writerow(["mode", "problem", "seed", "matched", "seconds", "generations"])
            writer.writerows(rows)

    print(f"| mode | set | matched | median s to match | median generations to match |")
    print("|---|---|---|---|---|")
    for mode in args.modes:
        for group in ("sine", "nguyen"):
            runs = [r for r in rows if r[0] == mode and r[1].startswith(group)]
            if not runs:
                continue
            hits = [r for r in runs if r[3]]
            seconds = f"{statistics.median(r[4] for r in hits):.2f}" if hits else "-"
            gens = f"{statistics.median(r[5] for r in hits):.0f}" if hits else "-"
            print(f"| {mode} | {group} | {len(hits)} of {len(runs)} | {seconds} | {gens} |")


if __name__ == "__main__":
    main()
