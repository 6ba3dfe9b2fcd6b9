#!/usr/bin/env python3
"""What a fit from Python costs beside the same search in movar-search: whole processes.

  /usr/bin/python3 bench/python/overhead.py --build build [--runs 15] [--generations 1000]

Writes a sample file of 100 rows that no program matches (so every run goes the full
number of generations), then alternates, the order flipped every round, between

  movar-search --samples FILE --seed 1 --generations N --threads 1
  python3 -c 'import movar; ... MovarRegressor(restarts=False, generations=N, seed=1,
              threads=1).fit(X, y)'

and checks that both print the same model. Prints the median and quartiles of the wall and
CPU times (user + system) of each, the Python process's time inside fit, and the ratio of
the medians. The Python process imports NumPy and scikit-learn too: that is part of what a
user pays, and the line "fit alone" shows the search without it.
"""
import argparse
import os
import pathlib
import resource
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np

FIT = """
import sys, time
import movar
X, y = movar.load_samples(sys.argv[1])
started = time.perf_counter()
model = movar.MovarRegressor(restarts=False, generations=int(sys.argv[2]), seed=1,
                             threads=1).fit(X, y)
fit = time.perf_counter() - started
print(model.model_text_ + "generations: %d" % model.generations_)
print("fit %.6f" % fit, file=sys.stderr)
"""


def timed(command, env=None):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    run = subprocess.run(command, capture_output=True, text=True, env=env, check=False)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime
    if run.returncode not in (0, 1):
        sys.exit(f"{command[0]} failed: {run.stderr}")
    return run, wall, cpu


def describe(values):
    low, _, high = statistics.quantiles(values, n=4)
    return f"median {statistics.median(values):7.3f} s, quartiles {low:7.3f} to {high:7.3f}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build", help="the build folder")
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--generations", type=int, default=1000)
    options = parser.parse_args()
    build = pathlib.Path(options.build).resolve()
    search = build / "cli" / "movar-search"
    env = {**os.environ, "LC_ALL": "C", "PYTHONPATH": str(build / "python")}
    with tempfile.TemporaryDirectory() as folder:
        samples = pathlib.Path(folder) / "noise.mvs"
        rng = np.random.default_rng(100)
        x = np.sort(rng.uniform(-5, 5, 100))
        y = rng.uniform(-1, 1, 100)
        samples.write_text("".join(f"{a:.8f},{b:.8f}\r\n" for a, b in zip(x, y)))
        commands = {
            "movar-search": [str(search), "--samples", str(samples), "--seed", "1",
                             "--generations", str(options.generations), "--threads", "1"],
            "python fit": [sys.executable, "-c", FIT, str(samples), str(options.generations)],
        }
        walls = {name: [] for name in commands}
        cpus = {name: [] for name in commands}
        fits = []
        outputs = {}
        for round_ in range(options.runs):
            names = list(commands) if round_ % 2 == 0 else list(reversed(commands))
            for name in names:
                run, wall, cpu = timed(commands[name], env)
                walls[name].append(wall)
                cpus[name].append(cpu)
                outputs[name] = run.stdout.strip()
                if name == "python fit":
                    fits.append(float(run.stderr.split("fit ")[-1]))
        if outputs["movar-search"] != outputs["python fit"]:
            sys.exit("the two runs found different models:\n" + "\n---\n".join(outputs.values()))
    print(f"{options.runs} rounds, 100 rows, {options.generations} generations, one thread")
    for name in commands:
        print(f"{name:13} wall {describe(walls[name])}\n{'':13} cpu  {describe(cpus[name])}")
    print(f"{'fit alone':13} wall {describe(fits)}")
    base = statistics.median(walls["movar-search"])
    print(f"wall time of the Python process / movar-search: "
          f"{statistics.median(walls['python fit']) / base:.3f}; "
          f"fit alone / movar-search: {statistics.median(fits) / base:.3f}")


if __name__ == "__main__":
    main()
