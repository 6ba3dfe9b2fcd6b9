#!/usr/bin/env python3
"""Whole-process speed-up of --threads 2 over --threads 1, as users meet it.

  bench/threads/speedup.py --bin build/cli/movar-search [--bin other/movar-search] [--pairs 20]

Runs workload W (population 4000 by default) once on one thread and once on two, in
alternation, so that a change of the host's load falls on both; with several binaries each
pair runs for every binary in turn. Prints, per binary, the median wall and user time of
each count, the ratio of the median wall times, and the median and quartiles of the ratios
of the pairs. A shared machine moves single runs by 10 % or more: read the quartiles.
"""
import argparse
import resource
import statistics
import subprocess
import time


def workload(population, generations):
    return ["--seed", "3", "--population", str(population), "--instructions", "20",
            "--registers", "4", "--no-progressive", "--generations", str(generations)]


def run(binary, threads, args):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    # Exit 1 means no model matched every sample: W is a timing load, not a problem to solve.
    subprocess.run([binary, "--threads", str(threads)] + args,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, after.ru_utime - before.ru_utime


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", action="append", required=True, help="movar-search to time")
    parser.add_argument("--pairs", type=int, default=20)
    parser.add_argument("--population", type=int, default=4000)
    parser.add_argument("--generations", type=int, default=100)
    options = parser.parse_args()
    args = workload(options.population, options.generations)
    times = {(b, t): [] for b in options.bin for t in (1, 2)}
    for _ in range(options.pairs):
        for binary in options.bin:
            for threads in (1, 2):
                times[(binary, threads)].append(run(binary, threads, args))
    median = statistics.median
    for binary in options.bin:
        one, two = times[(binary, 1)], times[(binary, 2)]
        ratios = sorted(a[0] / b[0] for a, b in zip(one, two))
        quartiles = statistics.quantiles(ratios, n=4) if len(ratios) > 1 else ratios * 3
        wall1, wall2 = median(w for w, _ in one), median(w for w, _ in two)
        print(f"{binary}: 1 thread {wall1:.3f} s (user {median(u for _, u in one):.3f} s), "
              f"2 threads {wall2:.3f} s (user {median(u for _, u in two):.3f} s); "
              f"speed-up {wall1 / wall2:.2f}, pairs {quartiles[1]:.2f} "
              f"(quartiles {quartiles[0]:.2f} to {quartiles[2]:.2f})")


if __name__ == "__main__":
    main()
