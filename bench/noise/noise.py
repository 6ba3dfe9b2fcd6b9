#!/usr/bin/env python3
"""Noise benchmark: does the suggested model of a front recover the law under noisy y?

Ten laws of one to three inputs, each with Gaussian noise on y of 1 % and 5 % of y's standard
deviation: 200 noisy rows to search on, 1000 noise-free fresh rows to judge on. Each problem
runs in the best mode for 10 s on 2 threads with a held-out fifth of the rows choosing the
suggested model, which --emit python prints; its RMSE on the fresh rows is compared with
the noise's sigma.

  /usr/bin/python3 bench/noise/noise.py --bin build/cli/movar-search   # needs NumPy (python3-numpy)

The target: RMSE on the fresh rows at most 1.5 sigma for at least 9 of 10 problems per level.
"""
import argparse
import math
import random
import shlex
import subprocess
import sys
import tempfile
from pathlib import Path

import numpy as np

# name, law of the inputs, each input's range
LAWS = [
    ("2.5x^2 - x + 1", lambda x: 2.5 * x * x - x + 1, [(-3, 3)]),
    ("sin x + x/2", lambda x: math.sin(x) + 0.5 * x, [(0, 10)]),
    ("x^3 - 2x", lambda x: x ** 3 - 2 * x, [(-2, 2)]),
    ("exp(0.3x)", lambda x: math.exp(0.3 * x), [(0, 10)]),
    ("4 sqrt x", lambda x: 4 * math.sqrt(x), [(0, 25)]),
    ("1 / (1 + x^2)", lambda x: 1 / (1 + x * x), [(-5, 5)]),
    ("x1 x2", lambda a, b: a * b, [(1, 5), (1, 5)]),
    ("x1^2 + 2 x2", lambda a, b: a * a + 2 * b, [(-2, 2), (0, 3)]),
    ("x1 x2 / x3", lambda a, b, c: a * b / c, [(1, 5), (1, 5), (1, 5)]),
    ("sin x1 + x2 x3", lambda a, b, c: math.sin(a) + b * c, [(0, 6), (0, 2), (0, 2)]),
]
LEVELS = [0.01, 0.05]
SEARCH = ["--restarts", "--threads", "2", "--time-limit", "10", "--margin", "0",
          "--holdout", "20", "--pick", "suggested", "--emit", "python",
          "--registers", "4", "--instructions", "20", "--population", "1000"]


def write_samples(path, rows, inputs):
    # One input as plain pairs; several under a header of names.
    with open(path, "w", newline="") as out:
        if inputs > 1:
            out.write(",".join([f"x{k + 1}" for k in range(inputs)] + ["y"]) + "\r\n")
        for row in rows:
            out.write(",".join(repr(float(v)) for v in row) + "\r\n")


def suggested_model(stdout):
    start = stdout.index("# Movar Tester model for ")
    scope = {}
    exec(stdout[start:], scope)
    return scope["model"]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--only", type=int, nargs="*", help="problem numbers from 1")
    parser.add_argument("--extra", default="", help="more movar-search options for every run, "
                        "e.g. --extra=--size-ladder")
    options = parser.parse_args()
    folder = Path(tempfile.mkdtemp(prefix="movar-noise-"))
    print("| law | inputs | noise | sigma | fresh RMSE | RMSE / sigma | within 1.5 sigma |")
    print("|---|---|---|---|---|---|---|")
    passed = {level: 0 for level in LEVELS}
    for number, (name, law, ranges) in enumerate(LAWS, 1):
        if options.only and number not in options.only:
            continue
        draw = random.Random(1000 + number)
        xs = [[draw.uniform(low, high) for low, high in ranges] for _ in range(200)]
        ys = [law(*x) for x in xs]
        spread = float(np.std(ys))
        fresh_x = [[draw.uniform(low, high) for low, high in ranges] for _ in range(1000)]
        fresh_y = np.array([law(*x) for x in fresh_x])
        fresh_columns = [np.array(column) for column in zip(*fresh_x)]
        for level in LEVELS:
            sigma = level * spread
            noisy = [x + [y + draw.gauss(0, sigma)] for x, y in zip(xs, ys)]
            samples = folder / f"p{number}-{level}.mvs"
            write_samples(samples, noisy, len(ranges))
            run = subprocess.run([options.bin, "--samples", str(samples), "--seed",
                                  str(options.seed)] + SEARCH + shlex.split(options.extra),
                                 capture_output=True, text=True, env={"LC_ALL": "C"})
            if run.returncode not in (0, 1):
                sys.exit(f"{name}: exit {run.returncode}: {run.stderr}")
            model = suggested_model(run.stdout)
            with np.errstate(all="ignore"):
                predicted = np.asarray(model(*fresh_columns), dtype=float)
            rmse = float(np.sqrt(np.mean((predicted - fresh_y) ** 2)))
            ok = rmse <= 1.5 * sigma
            passed[level] += ok
            print(f"| {name} | {len(ranges)} | {level:.0%} | {sigma:.4g} | {rmse:.4g} | "
                  f"{rmse / sigma:.2f} | {'yes' if ok else 'no'} |", flush=True)
    runs = len(options.only) if options.only else len(LAWS)
    for level in LEVELS:
        print(f"{level:.0%} noise: {passed[level]} of {runs} within 1.5 sigma")


if __name__ == "__main__":
    main()
