#!/usr/bin/python3
"""Real regression tables from Debian's packages: the answer a user gets against a straight line.

  /usr/bin/python3 bench/tables/tables.py --bin build/cli/movar-search --seeds 1 2 3 --csv runs.csv

Each table (TABLES: scikit-learn's diabetes and statsmodels' data sets) is split 75/25 by
scikit-learn's train_test_split with each split seed. The search sees the training rows only
and the test rows judge its answer, as a user who keeps rows back to judge a model does; the
test rows are never shown to the search (--validation gives them to movar-search as its
--validation rows instead, which lets it pick its answer by them). Two routes, each with the
defaults and only the time limit, 2 threads and the split seed as the search's seed (so that
a run can be repeated):

- cli: movar-search --import TRAIN.csv --restarts --time-limit 30 --threads 2 --seed SEED, the
  answer judged by the Python code it emits (--emit python: the interpreter's arithmetic in
  NumPy's long double, with its guards);
- python: movar.MovarRegressor(time_limit=30, seed=SEED, threads=2).fit(X, y), judged by its
  predict (the interpreter itself).

Per table, seed and route: whether the answer matched every training row within the margin
(exit status 0), the answer's R^2 on the test rows, that of scikit-learn's
LinearRegression and of the best constant (the training mean), the answer's size (live
instructions; for the python route, which reports no size, that of the front's model that
predicts as the answer does, "-" where none does) and formula, and whether the answer is the model its front calls best: the
front's suggested model where rows were held out (the formulas compared), else its most
accurate model, the smaller of two whose errors are within a hair (1e-6 relative; the answer's
error on the training rows set against it within the printed six digits).

--only picks tables, --routes one route, --csv keeps every run, and options after -- go to
movar-search. Needs NumPy, pandas, scikit-learn, statsmodels (python3-statsmodels) and, for the
python route, the module (--module-path, default build/python).
"""
import argparse
import csv
import importlib.util
import math
import re
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np

ROOT = Path(__file__).resolve().parents[2]


def _feynman_runner():
    # The Feynman runner's judging of emitted code, loaded under a name of its own.
    spec = importlib.util.spec_from_file_location("feynman_run", ROOT / "bench/feynman/run.py")
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


feynman = _feynman_runner()

TEST_SHARE = 0.25
HAIR = 1e-6
# The front prints errors with six significant digits.
PRINTED = 1e-5

# name: (statsmodels data set or None for scikit-learn's diabetes, y, inputs)
TABLES = {
    "diabetes": (None, "target", None),
    "engel": ("engel", "foodexp", ["income"]),
    "longley": ("longley", "TOTEMP", ["GNPDEFL", "GNP", "UNEMP", "ARMED", "POP", "YEAR"]),
    "stackloss": ("stackloss", "STACKLOSS", ["AIRFLOW", "WATERTEMP", "ACIDCONC"]),
    "ccard": ("ccard", "AVGEXP", ["AGE", "INCOME", "INCOMESQ", "OWNRENT"]),
    "statecrime": ("statecrime", "murder", ["urban", "poverty", "hs_grad", "single"]),
    "copper": ("copper", "WORLDCONSUMPTION",
               ["COPPERPRICE", "INCOMEINDEX", "ALUMPRICE", "INVENTORYINDEX", "TIME"]),
    "fair": ("fair", "affairs", ["rate_marriage", "age", "yrs_married", "children", "religious",
                                 "educ", "occupation", "occupation_husb"]),
}

FIELDS = ["table", "rows", "inputs", "seed", "route", "status", "seconds", "r2_test",
          "r2_linear", "r2_constant", "size", "front_best", "answer_error", "front_best_error",
          "formula"]


def load(name):
    """(X, y) of a table: a DataFrame of the inputs and a Series, as floats."""
    source, target, inputs = TABLES[name]
    if source is None:
        from sklearn.datasets import load_diabetes

        frame = load_diabetes(as_frame=True).frame
        inputs = [c for c in frame.columns if c != target]
    else:
        import importlib

        frame = importlib.import_module(f"statsmodels.datasets.{source}").load_pandas().data
    frame = frame[inputs + [target]].astype(float).reset_index(drop=True)
    return frame[inputs], frame[target]


def split(X, y, seed):
    from sklearn.model_selection import train_test_split

    return train_test_split(X, y, test_size=TEST_SHARE, random_state=seed)


def r_squared(truth, predicted):
    return feynman.r_squared(np.asarray(truth, dtype=np.float64), predicted)


def constant_r2(y_train, y_test):
    """R^2 on the test rows of the training mean, the best constant a search could answer."""
    y_test = np.asarray(y_test, dtype=np.float64)
    return r_squared(y_test, np.full(y_test.shape, float(np.mean(y_train))))


def linear_r2(X_train, y_train, X_test, y_test):
    from sklearn.linear_model import LinearRegression

    model = LinearRegression().fit(X_train, y_train)
    return r_squared(y_test, model.predict(X_test))


def parse_front(stdout):
    """The rows of movar-search's --front table: size, error, rmse, r2, matches, held-out
    error (None without held-out rows), suggested (its * mark) and formula."""
    lines = stdout.splitlines()
    header = next((i for i, line in enumerate(lines)
                   if re.match(r"^\s+size\s+error\s+RMSE", line)), None)
    if header is None:
        return []
    held_out = "held-out" in lines[header]
    number = r"(\S+)"
    pattern = (r"^(\*)?\s*(\d+)\s+" + number + r"\s+" + number + r"\s+" + number +
               r"\s+(\d+) of \d+\s+" +
               (number + r"\s+" + number + r"\s+" + number + r"\s+" if held_out else "") +
               r"(.*)$")
    rows = []
    for line in lines[header + 1:]:
        found = re.match(pattern, line)
        if not found:
            break
        groups = found.groups()
        rows.append({"suggested": groups[0] == "*", "size": int(groups[1]),
                     "error": float(groups[2]), "rmse": float(groups[3]),
                     "r2": float(groups[4]), "matches": int(groups[5]),
                     "held_out_error": float(groups[6]) if held_out else None,
                     "formula": groups[-1].strip()})
    return rows


def front_best(rows):
    """The model a front calls best: its suggested one where rows were held out, else the
    smallest whose error is within a hair of the lowest. None for an empty front."""
    if not rows:
        return None
    if rows[0]["held_out_error"] is not None:
        return next((row for row in rows if row["suggested"]), None)
    lowest = min(row["error"] for row in rows)
    return min((row for row in rows if row["error"] <= lowest * (1 + HAIR)),
               key=lambda row: row["size"])


def is_front_best(best, answer_error, answer_formula):
    """Whether the answer is the front's best: by the formula where rows were held out (their
    errors are on other rows), else by its error on the training rows."""
    if best is None:
        return False
    if best["held_out_error"] is not None:
        return best["formula"] == answer_formula
    return abs(answer_error - best["error"]) <= PRINTED * max(best["error"], 1e-300)


def absolute_error(truth, predicted):
    """The sum of absolute errors, as the search and its front sum them."""
    predicted = np.asarray(predicted, dtype=np.float64)
    if not np.all(np.isfinite(predicted)):
        return math.inf
    return float(np.sum(np.abs(np.asarray(truth, dtype=np.float64) - predicted)))


def write_table(path, X, y):
    with open(path, "w", newline="") as out:
        writer = csv.writer(out, lineterminator="\n")
        writer.writerow([*X.columns, y.name])
        for row, value in zip(X.itertuples(index=False), y):
            writer.writerow([repr(float(v)) for v in row] + [repr(float(value))])


def run_cli(options, folder, name, seed, parts):
    X_train, X_test, y_train, y_test = parts
    train_path = Path(folder) / f"{name}-{seed}.train.csv"
    write_table(train_path, X_train, y_train)
    command = [options.bin, "--import", str(train_path), "--restarts", "--time-limit",
               str(options.seconds), "--threads", str(options.threads), "--seed", str(seed),
               "--emit", "formula", "--emit", "python", "--front"]
    if options.validation:
        test_path = Path(folder) / f"{name}-{seed}.test.csv"
        write_table(test_path, X_test, y_test)
        command += ["--validation", str(test_path)]
    command += options.extra
    start = time.monotonic()
    done = subprocess.run(command, capture_output=True, text=True, env={"LC_ALL": "C"})
    seconds = time.monotonic() - start
    if done.returncode not in (0, 1):
        raise RuntimeError(f"{name} seed {seed}: exit {done.returncode}\n{done.stderr}")
    inputs = X_train.shape[1]
    if feynman.imported_columns(done.stderr) != (list(range(1, inputs + 1)), inputs + 1):
        raise RuntimeError(f"{name}: the columns were not imported in their order\n{done.stderr}")
    found = feynman.parse_output(done.stdout, done.stderr)
    on_train = feynman.predict(found["python"], [X_train[c].to_numpy() for c in X_train])
    on_test = feynman.predict(found["python"], [X_test[c].to_numpy() for c in X_test])
    best = front_best(parse_front(done.stdout))
    error = absolute_error(y_train, on_train) if on_train is not None else math.inf
    return {"status": done.returncode, "seconds": round(seconds, 3),
            "r2_test": r_squared(y_test, on_test) if on_test is not None else -math.inf,
            "size": found["size"], "formula": found["formula"], "answer_error": error,
            "front_best_error": best["error"] if best else None,
            "front_best": is_front_best(best, error, found["formula"])}


def run_python(options, name, seed, parts):
    X_train, X_test, y_train, y_test = parts
    if options.module_path not in sys.path:
        sys.path.insert(0, options.module_path)
    from movar import MovarRegressor

    settings = {"time_limit": options.seconds, "seed": seed, "threads": options.threads}
    start = time.monotonic()
    model = MovarRegressor(**settings).fit(X_train, y_train)
    seconds = time.monotonic() - start
    front = list(getattr(model, "front_", None) or [])
    on_train = model.predict(X_train)
    # The answer's size is that of the front's model that predicts as it does.
    size = next((entry.size for entry in front
                 if np.array_equal(entry.predict(X_train), on_train, equal_nan=True)), None)
    rows = [{"size": e.size, "error": e.error, "held_out_error": None, "formula": None,
             "suggested": False} for e in front]
    best = front_best(rows)
    error = float(model.error_)
    return {"status": 0 if model.matched_ else 1, "seconds": round(seconds, 3),
            "r2_test": r_squared(y_test, model.predict(X_test)), "size": size,
            "formula": model.formula_, "answer_error": error,
            "front_best_error": best["error"] if best else None,
            "front_best": bool(best) and abs(error - best["error"]) <= HAIR * best["error"]}


def fmt(value, digits=3):
    if value is None:
        return "-"
    return f"{value:.{digits}f}" if math.isfinite(value) else str(value)


def parse_args(argv):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", default=str(ROOT / "build" / "cli" / "movar-search"))
    parser.add_argument("--module-path", default=str(ROOT / "build" / "python"))
    parser.add_argument("--seeds", type=int, nargs="+", default=[1, 2, 3], help="split seeds")
    parser.add_argument("--seconds", type=int, default=30, help="time limit per run")
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--only", nargs="+", choices=list(TABLES), help="tables")
    parser.add_argument("--routes", nargs="+", choices=["cli", "python"],
                        default=["cli", "python"])
    parser.add_argument("--validation", action="store_true",
                        help="give the test rows to movar-search as --validation rows")
    parser.add_argument("--csv", help="write every run to this CSV file")
    parser.add_argument("extra", nargs="*", help="more movar-search options (after --)")
    options = parser.parse_args(argv)
    if options.validation and "python" in options.routes:
        parser.error("--validation is for the cli route only (--routes cli)")
    return options


def main(argv=None):
    options = parse_args(argv)
    names = options.only or list(TABLES)
    runs = []
    print("| table | rows × inputs | seed | route | all matched | answer R² | linear R² | "
          "constant R² | size | front's best | formula |")
    print("|---|---|---|---|---|---|---|---|---|---|---|")
    with tempfile.TemporaryDirectory() as folder:
        for name in names:
            X, y = load(name)
            for seed in options.seeds:
                parts = split(X, y, seed)
                linear = linear_r2(parts[0], parts[2], parts[1], parts[3])
                constant = constant_r2(parts[2], parts[3])
                for route in options.routes:
                    result = (run_cli(options, folder, name, seed, parts) if route == "cli"
                              else run_python(options, name, seed, parts))
                    run = {"table": name, "rows": len(y), "inputs": X.shape[1], "seed": seed,
                           "route": route, "r2_linear": linear, "r2_constant": constant,
                           **result}
                    runs.append(run)
                    below = " (below the constant)" if run["r2_test"] < constant else ""
                    print(f"| {name} | {len(y)} × {X.shape[1]} | {seed} | {route} | "
                          f"{'yes' if run['status'] == 0 else 'no'} | "
                          f"{fmt(run['r2_test'])}{below} | {fmt(linear)} | {fmt(constant)} | "
                          f"{run['size'] if run['size'] is not None else '-'} | "
                          f"{'yes' if run['front_best'] else 'no'} | `{run['formula']}` |",
                          flush=True)
    if options.csv:
        with open(options.csv, "w", newline="") as out:
            writer = csv.DictWriter(out, fieldnames=FIELDS, lineterminator="\n",
                                    extrasaction="ignore")
            writer.writeheader()
            writer.writerows(runs)


if __name__ == "__main__":
    main()
