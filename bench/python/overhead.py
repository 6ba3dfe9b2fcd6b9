#!/usr/bin/env python3
"""What a fit from Python costs beside the same search in movar-search: whole processes.

  /usr/bin/python3 bench/python/overhead.py --build build [--runs 15] [--generations 1000]
                                            [--population 100] [--inputs 1]

Writes a sample file of 100 rows that no program matches (so every run goes the full
number of generations), then alternates, the order turned every round, between

  movar-search --samples FILE --seed 1 --generations N --population P --threads 1
  python3: import movar; movar.search(X, y, <the same settings>)
  python3: import movar; movar.MovarRegressor(<the same settings>).fit(X, y)

and checks that all three print the same model. Prints the median and quartiles of the
wall and CPU times (user + system) of each process, and of the Python processes' own time
inside search and fit (measured in the process, after every import), and the ratios of the
medians to movar-search's. A Python process pays for starting Python and importing NumPy
(and scikit-learn for the estimator) once, whatever the search: the lines "... alone" show
the search without it.
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

# argv: samples, generations, population; the estimator's class is looked up before the
# clock starts, since that imports scikit-learn.
PYTHON = """
import sys, time
import movar
X, y = movar.load_samples(sys.argv[1])
settings = dict(restarts=False, generations=int(sys.argv[2]), population=int(sys.argv[3]),
                seed=1, threads=1)
if sys.argv[4] == "fit":
    estimator = movar.MovarRegressor(**settings)
    started = time.perf_counter()
    text = estimator.fit(X, y).model_text_
    generations = estimator.generations_
else:
    started = time.perf_counter()
    result = movar.search(X, y, **settings)
    text, generations = result.model_text, result.generations
inside = time.perf_counter() - started
print(text + "generations: %d" % generations)
print("inside %.6f" % inside, file=sys.stderr)
"""


def timed(command, env):
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
    low, _, high = statistics.quantiles(values, n=4) if len(values) > 1 else values * 3
    return f"median {statistics.median(values):7.3f} s, quartiles {low:7.3f} to {high:7.3f}"


def write_samples(path, inputs):
    rng = np.random.default_rng(100)
    X = rng.uniform(-5, 5, size=(100, inputs))
    y = rng.uniform(-1, 1, 100)
    header = "" if inputs == 1 else ",".join([f"x{k + 1}" for k in range(inputs)] + ["y"]) + "\r\n"
    rows = "".join(",".join(f"{v:.8f}" for v in (*row, target)) + "\r\n"
                   for row, target in zip(X, y))
    path.write_text(header + rows)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build", help="the build folder")
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--generations", type=int, default=1000)
    parser.add_argument("--population", type=int, default=100)
    parser.add_argument("--inputs", type=int, default=1, help="columns of X")
    options = parser.parse_args()
    build = pathlib.Path(options.build).resolve()
    search = build / "cli" / "movar-search"
    env = {**os.environ, "LC_ALL": "C", "PYTHONPATH": str(build / "python")}
    generations, population = str(options.generations), str(options.population)
    with tempfile.TemporaryDirectory() as folder:
        samples = pathlib.Path(folder) / "noise.mvs"
        write_samples(samples, options.inputs)
        commands = {
            "movar-search": [str(search), "--samples", str(samples), "--seed", "1",
                             "--generations", generations, "--population", population,
                             "--threads", "1"],
            "movar.search": [sys.executable, "-c", PYTHON, str(samples), generations,
                             population, "search"],
            "fit": [sys.executable, "-c", PYTHON, str(samples), generations, population, "fit"],
        }
        walls = {name: [] for name in commands}
        cpus = {name: [] for name in commands}
        inside = {name: [] for name in commands if name != "movar-search"}
        outputs = {}
        for round_ in range(options.runs):
            names = list(commands)
            shift = round_ % len(names)
            for name in names[shift:] + names[:shift]:
                run, wall, cpu = timed(commands[name], env)
                walls[name].append(wall)
                cpus[name].append(cpu)
                outputs[name] = run.stdout.strip()
                if name in inside:
                    inside[name].append(float(run.stderr.split("inside ")[-1]))
        if len(set(outputs.values())) != 1:
            sys.exit("the runs found different models:\n" + "\n---\n".join(outputs.values()))
    print(f"{options.runs} rounds, 100 rows of {options.inputs} inputs, population "
          f"{options.population}, {options.generations} generations, one thread")
    for name in commands:
        print(f"{name:18} wall {describe(walls[name])}\n{'':18} cpu  {describe(cpus[name])}")
    for name, values in inside.items():
        print(f"{name + ' alone':18} wall {describe(values)}")
    base = statistics.median(walls["movar-search"])
    base_cpu = statistics.median(cpus["movar-search"])
    for name in inside:
        print(f"{name}: process wall / movar-search "
              f"{statistics.median(walls[name]) / base:.3f}, process cpu / movar-search "
              f"{statistics.median(cpus[name]) / base_cpu:.3f}, alone / movar-search wall "
              f"{statistics.median(inside[name]) / base:.3f}")


if __name__ == "__main__":
    main()
