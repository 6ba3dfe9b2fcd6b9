#!/usr/bin/python3
"""Published physics equations of 1 to 5 variables as a many-input benchmark.

Each equation gets 200 rows to search on and 1000 fresh rows to check on, drawn with the
variable ranges of the equation collection (uniform). A run is movar-search in the best mode
at a 1 % margin; it counts when it matches every search row (exit 0) and the emitted Python
model keeps R^2 >= 0.999 on the fresh rows.

  /usr/bin/python3 bench/physics/run.py --bin build/cli/movar-search --seeds 1 2 3

Needs NumPy (the emitted model is NumPy code).
"""
import argparse
import csv
import math
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np

PI = math.pi
# name, variables with ranges, y as a function of the columns (NumPy arrays)
EQUATIONS = [
    ("I.6.2a", [("theta", 1, 3)], lambda t: np.exp(-t**2 / 2) / np.sqrt(2 * PI)),
    ("I.6.2", [("sigma", 1, 3), ("theta", 1, 3)],
     lambda s, t: np.exp(-(t / s)**2 / 2) / (np.sqrt(2 * PI) * s)),
    ("I.12.1", [("mu", 1, 5), ("Nn", 1, 5)], lambda mu, n: mu * n),
    ("I.14.3", [("m", 1, 5), ("g", 1, 5), ("z", 1, 5)], lambda m, g, z: m * g * z),
    ("I.14.4", [("k_spring", 1, 5), ("x", 1, 5)], lambda k, x: k * x**2 / 2),
    ("I.10.7", [("m_0", 1, 5), ("v", 1, 2), ("c", 3, 10)],
     lambda m0, v, c: m0 / np.sqrt(1 - v**2 / c**2)),
    ("I.12.2", [("q1", 1, 5), ("q2", 1, 5), ("epsilon", 1, 5), ("r", 1, 5)],
     lambda q1, q2, e, r: q1 * q2 * r / (4 * PI * e * r**3)),
    ("I.18.4", [("m1", 1, 5), ("m2", 1, 5), ("r1", 1, 5), ("r2", 1, 5)],
     lambda m1, m2, r1, r2: (m1 * r1 + m2 * r2) / (m1 + m2)),
    ("I.25.13", [("q", 1, 5), ("C", 1, 5)], lambda q, c: q / c),
    ("I.29.4", [("omega", 1, 10), ("c", 1, 10)], lambda w, c: w / c),
    ("I.34.27", [("h", 1, 5), ("omega", 1, 5)], lambda h, w: h / (2 * PI) * w),
    ("I.39.1", [("pr", 1, 5), ("V", 1, 5)], lambda p, v: 1.5 * p * v),
    ("I.43.31", [("mob", 1, 5), ("kb", 1, 5), ("T", 1, 5)], lambda m, k, t: m * k * t),
    ("II.3.24", [("Pwr", 1, 5), ("r", 1, 5)], lambda p, r: p / (4 * PI * r**2)),
    ("II.8.31", [("epsilon", 1, 5), ("Ef", 1, 5)], lambda e, f: e * f**2 / 2),
    ("II.38.3", [("Y", 1, 5), ("A", 1, 5), ("d", 1, 5), ("x", 1, 5)],
     lambda y, a, d, x: y * a * x / d),
    ("I.27.6", [("d1", 1, 5), ("d2", 1, 5), ("n", 1, 5)], lambda d1, d2, n: 1 / (1 / d1 + n / d2)),
    ("I.47.23", [("gamma", 1, 5), ("pr", 1, 5), ("rho", 1, 5)],
     lambda g, p, r: np.sqrt(g * p / r)),
    ("II.34.2a", [("q", 1, 5), ("v", 1, 5), ("r", 1, 5)], lambda q, v, r: q * v / (2 * PI * r)),
    ("I.12.11", [("q", 1, 5), ("Ef", 1, 5), ("B", 1, 5), ("v", 1, 5), ("theta", 1, 5)],
     lambda q, e, b, v, t: q * (e + b * v * np.sin(t))),
]


def draw(variables, formula, rows, rng):
    columns = [rng.uniform(low, high, rows) for _, low, high in variables]
    return columns, formula(*columns)


def write_csv(path, variables, columns, y):
    with open(path, "w", newline="") as out:
        writer = csv.writer(out)
        writer.writerow([name for name, _, _ in variables] + ["y"])
        for row in zip(*columns, y):
            writer.writerow([repr(float(v)) for v in row])


def emitted_model(stdout):
    # The Python code runs from its header comment to the first return at function level.
    lines = stdout.splitlines()
    start = next(i for i, line in enumerate(lines) if line.startswith("# Movar Tester model"))
    end = next(i for i in range(start, len(lines)) if lines[i].startswith("    return"))
    scope = {}
    exec("\n".join(lines[start:end + 1]), scope)
    return scope["model"]


def r_squared(truth, predicted):
    if not np.all(np.isfinite(predicted)):
        return float("-inf")
    residual = float(np.sum((truth - predicted)**2))
    total = float(np.sum((truth - np.mean(truth))**2))
    return 1 - residual / total


def run_one(binary, folder, equation, seed, seconds, threads, extra):
    name, variables, formula = equation
    rng = np.random.default_rng([seed, EQUATIONS.index(equation)])
    train, y_train = draw(variables, formula, 200, rng)
    fresh, y_fresh = draw(variables, formula, 1000, rng)
    path = Path(folder) / f"{name}.csv"
    write_csv(path, variables, train, y_train)
    command = [binary, "--import", str(path), "--restarts", "--margin", "1", "--seed", str(seed),
               "--time-limit", str(seconds), "--threads", str(threads), "--emit", "python"] + extra
    start = time.monotonic()
    done = subprocess.run(command, capture_output=True, text=True, env={"LC_ALL": "C"})
    elapsed = time.monotonic() - start
    if done.returncode not in (0, 1):
        sys.exit(f"{name}: exit {done.returncode}\n{done.stderr}")
    matched = done.returncode == 0
    try:
        model = emitted_model(done.stdout)
        r2 = r_squared(y_fresh, np.asarray(model(*fresh), dtype=float))
    except StopIteration:
        r2 = float("nan")
    return matched, r2, elapsed


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", default="build/cli/movar-search")
    parser.add_argument("--seeds", type=int, nargs="+", default=[1])
    parser.add_argument("--seconds", type=int, default=10)
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--only", nargs="*", help="equation names")
    parser.add_argument("extra", nargs="*", help="more movar-search options (after --)")
    args = parser.parse_args()
    chosen = [e for e in EQUATIONS if not args.only or e[0] in args.only]
    print("| equation | inputs | " + " | ".join(f"seed {s}" for s in args.seeds) + " |")
    print("|---|---|" + "---|" * len(args.seeds))
    solved = {s: 0 for s in args.seeds}
    with tempfile.TemporaryDirectory() as folder:
        for equation in chosen:
            cells = []
            for seed in args.seeds:
                matched, r2, elapsed = run_one(args.bin, folder, equation, seed, args.seconds,
                                               args.threads, args.extra)
                ok = matched and r2 >= 0.999
                solved[seed] += ok
                cells.append(f"{'yes' if ok else 'no'} ({'all rows' if matched else 'not all'}, "
                             f"R² {r2:.6f}, {elapsed:.1f} s)")
            print(f"| {equation[0]} | {len(equation[1])} | " + " | ".join(cells) + " |",
                  flush=True)
    print("| solved | | " + " | ".join(f"{solved[s]} of {len(chosen)}" for s in args.seeds) + " |")


if __name__ == "__main__":
    main()
