#!/usr/bin/env python3
"""Whole-process time of a short run of movar-search, for two or more builds in alternation.

  bench/startup/compare.py --bin old/movar-search --bin build/cli/movar-search [--runs 300]

Runs `--seed 1 --generations 1` (start-up, one generation, exit) once per binary in turn, the
order flipped every round, so that a change of the host's load falls on all of them. Prints,
per binary, the median and quartiles of the wall time and of the CPU time (user + system) in
milliseconds. On a shared machine the CPU time is the steadier of the two.
"""
import argparse
import resource
import statistics
import subprocess
import time

ARGS = ["--seed", "1", "--generations", "1"]


def run(binary):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    # Exit 1: one generation matches nothing; only the time is wanted.
    subprocess.run([binary] + ARGS, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   check=False)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime
    return wall * 1000, cpu * 1000


def describe(values):
    low, _, high = statistics.quantiles(values, n=4)
    return f"median {statistics.median(values):6.2f} ms, quartiles {low:6.2f} to {high:6.2f}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", action="append", required=True, help="movar-search to time")
    parser.add_argument("--runs", type=int, default=300)
    options = parser.parse_args()
    walls = {binary: [] for binary in options.bin}
    cpus = {binary: [] for binary in options.bin}
    for round_ in range(options.runs):
        order = options.bin if round_ % 2 == 0 else list(reversed(options.bin))
        for binary in order:
            wall, cpu = run(binary)
            walls[binary].append(wall)
            cpus[binary].append(cpu)
    for binary in options.bin:
        print(f"{binary}\n  wall {describe(walls[binary])}\n  cpu  {describe(cpus[binary])}")


if __name__ == "__main__":
    main()
