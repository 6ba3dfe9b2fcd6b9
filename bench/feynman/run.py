#!/usr/bin/python3
"""The AI Feynman collection's 100 equations as a benchmark of exact recovery.

  /usr/bin/python3 bench/feynman/run.py --bin build/cli/movar-search --seeds 1 2 --csv runs.csv

For each equation (make_data.py makes its 200 training and 1000 fresh rows) and master seed,
one movar-search run in the best mode: --restarts --margin 0 --threads 2 --time-limit 10 --seed
SEED --import NAME.train.csv --y-column N --emit formula --emit python (N the last column: a
variable named y or Y would be taken for y), options after -- added. A run is

- accurate when the emitted model keeps R^2 >= 0.999 on the fresh rows, and
- exact when it matched every training row (exit status 0) and its largest relative error on
  the fresh rows, |prediction - y| / |y|, is at most 1e-6.

The answer is judged by running the Python code that movar-search emits (--emit python): it
computes in NumPy's long double as the interpreter does, with the interpreter's guards, so
its predictions are the program's own. Each run also counts the training rows the code
matches by the program's margin test and sets that against the "model correctness" the
program reports; --check adds --validation NAME.fresh.csv to each run and sets the program's
own held-out RMSE and R^2 beside the code's (the answer may then differ from a run without it,
so --check is for checking the route, not for the figures).

Prints a table per equation (A accurate, E exact, R^2 on the fresh rows, seconds) and the
counts per seed; --csv keeps every run (equation, seed, matched, R^2 fresh, largest relative
error, seconds, model size, formula and more). --jobs runs several equations side by side
(each with --threads threads), --only picks equations (names, or a prefix ending in a dot).

Needs NumPy and the emitted code's 80-bit long double (x86-64 Linux).
"""
import argparse
import concurrent.futures
import csv
import math
import re
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_data  # noqa: E402

ACCURATE_R2 = 0.999
EXACT_RELATIVE = 1e-6
# The interpreter's tolerance of a prediction at any margin (core/model/SD.h).
RANGE_TOLERANCE = 1e-8
ULP_TOLERANCE = 4

FIELDS = ["equation", "inputs", "seed", "status", "matched", "train_matches",
          "code_train_matches", "r2_fresh", "max_rel_error", "accurate", "exact", "seconds",
          "size", "formula", "program_r2_fresh", "program_rmse_fresh", "code_rmse_fresh"]


def r_squared(truth, predicted):
    """1 - residual / total sum of squares; -inf where a prediction is not finite."""
    predicted = np.asarray(predicted, dtype=np.float64)
    if predicted.shape != np.shape(truth) or not np.all(np.isfinite(predicted)):
        return -math.inf
    residual = float(np.sum((truth - predicted) ** 2))
    total = float(np.sum((truth - np.mean(truth)) ** 2))
    if total == 0:
        return 1.0 if residual == 0 else -math.inf
    return 1 - residual / total


def rmse(truth, predicted):
    predicted = np.asarray(predicted, dtype=np.float64)
    if not np.all(np.isfinite(predicted)):
        return math.inf
    return float(np.sqrt(np.mean((truth - predicted) ** 2)))


def max_relative_error(truth, predicted):
    """The largest |prediction - y| / |y|: a y of 0 counts 0 when predicted exactly, else inf;
    a prediction that is not finite counts inf."""
    predicted = np.asarray(predicted, dtype=np.float64)
    truth = np.asarray(truth, dtype=np.float64)
    if predicted.shape != truth.shape or not np.all(np.isfinite(predicted)):
        return math.inf
    difference = np.abs(predicted - truth)
    with np.errstate(divide="ignore", invalid="ignore"):
        relative = np.where(difference == 0, 0.0, difference / np.abs(truth))
    return float(np.max(relative)) if relative.size else 0.0


def judge(matched, r2, max_relative):
    """(accurate, exact) of a run."""
    accurate = bool(r2 >= ACCURATE_R2)
    return accurate, bool(matched and max_relative <= EXACT_RELATIVE)


def within_margin(truth, predicted, margin_percent):
    """Per row, whether the prediction matches by the interpreter's test: within rounding
    (a 1e-8 share of y's range plus 4 units in y's last place), or inside the band that
    reaches the margin's share of the way from y to the bound of y's range on its side."""
    y = np.asarray(truth, dtype=np.float64)
    value = np.asarray(predicted, dtype=np.float64)
    low, high = float(np.min(y)), float(np.max(y))
    # The margin and its complement are doubles, the differences long doubles.
    margin = float(margin_percent) / 100.0
    complement = 1.0 - margin
    yl, vl = y.astype(np.longdouble), value.astype(np.longdouble)
    magnitude = np.abs(y)
    unit = np.nextafter(magnitude, np.inf).astype(np.longdouble) - magnitude
    tolerance = np.longdouble(RANGE_TOLERANCE) * (np.longdouble(high) - low) + ULP_TOLERANCE * unit
    with np.errstate(all="ignore"):
        rounding = np.abs(vl - yl) <= tolerance
        inside = (value >= low) & (value <= high)
        above = (value > y) & ((vl - yl) / (np.longdouble(high) - yl) <= margin)
        below = (value < y) & ((vl - low) / (yl - low) >= complement)
    return rounding | (inside & ((value == y) | above | below))


def parse_output(stdout, stderr):
    """What a run printed: the emitted Python code, the formula, the counts and sizes."""
    found = {"python": None, "formula": "", "train_matches": None, "size": None,
             "held_out_rmse": None, "held_out_r2": None}
    lines = stdout.splitlines()
    for i, line in enumerate(lines):
        if line.startswith("# Movar Tester model"):
            end = next((k for k in range(i, len(lines)) if lines[k].startswith("    return")),
                       None)
            if end is not None:
                found["python"] = "\n".join(lines[i:end + 1])
            break
    seed_line = next((i for i, line in enumerate(lines) if line.startswith("seed:")), None)
    if seed_line is not None:
        # The formula is the first line after the report that is no labelled figure.
        for line in lines[seed_line + 1:]:
            if line and not re.match(r"^[a-z][a-z -]*: ", line) and not line.startswith("//"):
                if not line.startswith("# Movar Tester model"):
                    found["formula"] = line
                break
    match = re.search(r"^// model correctness: (\d+) of (\d+)", stdout, re.M)
    if match:
        found["train_matches"] = int(match.group(1))
    match = re.search(r"^held-out: \d+ samples, RMSE (\S+), R² (\S+)", stdout, re.M)
    if match:
        found["held_out_rmse"], found["held_out_r2"] = (float(v.rstrip(",")) for v in
                                                        match.groups())
    match = re.search(r"^model size: (\d+) live instruction", stderr, re.M)
    if match:
        found["size"] = int(match.group(1))
    return found


def imported_columns(stderr):
    """(input column numbers, y column number) as movar-search's import reports them; None
    where it reports none."""
    line = re.search(r"^import: .*?header; (?:inputs|x) (.*), y column (\d+) ", stderr, re.M)
    if not line:
        return None
    return [int(n) for n in re.findall(r"column (\d+)", line.group(1))], int(line.group(2))


def emitted_model(code):
    """The function model(...) of movar-search's --emit python code."""
    scope = {}
    exec(code, scope)  # noqa: S102 (the code movar-search wrote for this run)
    return scope["model"]


def predict(code, columns):
    if code is None:
        return None
    with np.errstate(all="ignore"):
        return np.asarray(emitted_model(code)(*columns), dtype=np.float64)


def run_one(binary, folder, equation, seed, options):
    train_path, fresh_path = make_data.paths(folder, equation)
    inputs = len(equation.variables)
    # A variable named y would be taken for y without the column given.
    command = [binary, "--import", str(train_path), "--y-column", str(inputs + 1), "--restarts",
               "--margin", str(options.margin), "--seed", str(seed), "--time-limit",
               str(options.seconds), "--threads", str(options.threads), "--emit", "formula",
               "--emit", "python"]
    if options.check:
        command += ["--validation", str(fresh_path)]
    command += options.extra
    start = time.monotonic()
    done = subprocess.run(command, capture_output=True, text=True, env={"LC_ALL": "C"})
    seconds = time.monotonic() - start
    if done.returncode not in (0, 1):
        raise RuntimeError(f"{equation.name} seed {seed}: exit {done.returncode}\n{done.stderr}")
    if imported_columns(done.stderr) != (list(range(1, inputs + 1)), inputs + 1):
        raise RuntimeError(f"{equation.name}: the columns were not imported in their order\n"
                           f"{done.stderr}")
    found = parse_output(done.stdout, done.stderr)
    _, train, y_train = make_data.read_table(train_path)
    _, fresh, y_fresh = make_data.read_table(fresh_path)
    on_train = predict(found["python"], train)
    on_fresh = predict(found["python"], fresh)
    matched = done.returncode == 0
    r2 = r_squared(y_fresh, on_fresh) if on_fresh is not None else -math.inf
    worst = max_relative_error(y_fresh, on_fresh) if on_fresh is not None else math.inf
    accurate, exact = judge(matched, r2, worst)
    code_matches = (int(np.sum(within_margin(y_train, on_train, options.margin)))
                    if on_train is not None else None)
    return {"equation": equation.name, "inputs": inputs, "seed": seed,
            "status": done.returncode, "matched": matched,
            "train_matches": found["train_matches"], "code_train_matches": code_matches,
            "r2_fresh": r2, "max_rel_error": worst, "accurate": accurate, "exact": exact,
            "seconds": round(seconds, 3), "size": found["size"], "formula": found["formula"],
            "program_r2_fresh": found["held_out_r2"],
            "program_rmse_fresh": found["held_out_rmse"],
            "code_rmse_fresh": rmse(y_fresh, on_fresh) if on_fresh is not None else None}


def disagreements(run):
    """Where the emitted code's figures differ from the program's own."""
    notes = []
    if run["train_matches"] is not None and run["train_matches"] != run["code_train_matches"]:
        notes.append(f"training matches {run['train_matches']} (program) against "
                     f"{run['code_train_matches']} (code)")
    for what in ("r2", "rmse"):
        printed = run[f"program_{what}_fresh"]
        ours = run[f"{what}_fresh"] if what == "r2" else run["code_rmse_fresh"]
        if printed is None:
            continue
        # The program prints six significant digits: R^2 near 1 to that many decimals.
        scale = max(1.0, abs(printed)) if what == "r2" else abs(printed)
        if ours is None or not (math.isfinite(ours) and abs(ours - printed) <= 1e-5 * scale):
            notes.append(f"{what} on fresh rows {printed} (program) against {ours} (code)")
    return notes


def summarise(runs, seeds):
    """Per equation, the runs in seed order; per seed, the accurate and exact counts."""
    per_equation = {}
    for run in runs:
        per_equation.setdefault(run["equation"], {})[run["seed"]] = run
    totals = {seed: {"accurate": 0, "exact": 0, "runs": 0} for seed in seeds}
    for run in runs:
        total = totals[run["seed"]]
        total["runs"] += 1
        total["accurate"] += run["accurate"]
        total["exact"] += run["exact"]
    return per_equation, totals


def cell(run):
    flags = ("A" if run["accurate"] else "-") + ("E" if run["exact"] else "-")
    return f"{flags} R² {run['r2_fresh']:.6g}, {run['seconds']:.1f} s"


def print_tables(runs, seeds, equations):
    per_equation, totals = summarise(runs, seeds)
    print("| equation | inputs | " + " | ".join(f"seed {s}" for s in seeds) + " |")
    print("|---|---|" + "---|" * len(seeds))
    for equation in equations:
        row = per_equation.get(equation.name, {})
        cells = [cell(row[s]) if s in row else "" for s in seeds]
        print(f"| {equation.name} | {len(equation.variables)} | " + " | ".join(cells) + " |")
    print("| accurate | | " + " | ".join(f"{totals[s]['accurate']} of {totals[s]['runs']}"
                                         for s in seeds) + " |")
    print("| exact | | " + " | ".join(f"{totals[s]['exact']} of {totals[s]['runs']}"
                                      for s in seeds) + " |")


def write_csv(path, runs):
    with open(path, "w", newline="") as out:
        writer = csv.DictWriter(out, fieldnames=FIELDS, lineterminator="\n")
        writer.writeheader()
        for run in runs:
            writer.writerow(run)


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", default="build/cli/movar-search")
    parser.add_argument("--seeds", type=int, nargs="+", default=[1], help="master seeds")
    parser.add_argument("--seconds", type=int, default=10, help="time limit per run")
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--margin", type=float, default=0, help="margin in percent")
    parser.add_argument("--jobs", type=int, default=1, help="equations run side by side")
    parser.add_argument("--only", nargs="+", help="equation names (I.12. for a prefix)")
    parser.add_argument("--data", help="folder for the tables (kept; default: a temporary one)")
    parser.add_argument("--data-seed", type=int, default=1, help="the data's seed (default 1)")
    parser.add_argument("--table", default=str(make_data.DEFAULT_TABLE))
    parser.add_argument("--csv", help="write every run to this CSV file")
    parser.add_argument("--check", action="store_true",
                        help="give the fresh rows as --validation and compare the program's "
                             "held-out figures with the emitted code's")
    parser.add_argument("extra", nargs="*", help="more movar-search options (after --)")
    return parser.parse_args(argv)


def main(argv=None):
    options = parse_args(argv)
    if np.finfo(np.longdouble).nmant != 63:
        sys.exit("run.py: NumPy's long double is not the 80-bit format the interpreter uses")
    try:
        equations = make_data.chosen(make_data.read_equations(options.table), options.only)
    except ValueError as fault:
        sys.exit(f"run.py: {fault}")
    with tempfile.TemporaryDirectory() as scratch:
        folder = Path(options.data or scratch)
        folder.mkdir(parents=True, exist_ok=True)
        for equation in equations:
            make_data.make(folder, equation, options.data_seed)
        tasks = [(e, s) for s in options.seeds for e in equations]
        runs = []
        with concurrent.futures.ThreadPoolExecutor(max_workers=options.jobs) as pool:
            futures = [pool.submit(run_one, options.bin, folder, e, s, options) for e, s in tasks]
            for future in futures:
                run = future.result()
                runs.append(run)
                notes = disagreements(run)
                print(f"{run['equation']} seed {run['seed']}: {cell(run)}, size {run['size']}, "
                      f"{run['formula']}" + "".join(f"\n  DISAGREES: {n}" for n in notes),
                      file=sys.stderr, flush=True)
    if options.csv:
        write_csv(options.csv, runs)
    print_tables(runs, options.seeds, equations)
    if any(disagreements(run) for run in runs):
        sys.exit("run.py: the emitted code disagrees with the program on some runs (above)")


if __name__ == "__main__":
    main()
