#!/usr/bin/env python3
"""Time to solution: runs movar-search on the benchmark problems in the chosen modes from
several master seeds, each run limited in time or in work, and prints tables.

  python3 bench/solve/make_problems.py              # writes /tmp/solve-problems
  python3 bench/solve/run.py --bin build/cli/movar-search

The problem files are written to /tmp/solve-problems by default, where other worktrees find
them; make_problems.py lists every problem's law, range and sample count.

A run counts as matched when movar-search exits 0 (every sample matched). Seconds are
whole-process wall time. Generations are those of the answer (of its attempt with
restarts); "work" counts the generations in sequence up to the answer: every attempt below
the answer ran its whole Luby length without a match, so work is the sum of those lengths
plus the answer's generations, the same for every thread count and machine load.

Limits: --time-limit S (10 s when no work budget is given), or a work budget: --generations
N (work as above) or --programs P (scored programs: each attempt's generations times its
population plus the refiner's changes per generation; with --size-ladder attempts differ in
size). --equal-cost weighs a scored program by what one of its instructions costs against
one of 5 instructions (PROGRAM_COST), so that sizes compare at equal cost. A budget run with
restarts gets --attempts enough to reach the budget and no time limit, and counts as matched
only when its work is within the budget; a plain run gets --generations.

Several --bin and --sizes are run in alternation, problem by problem, so a changing load
falls on each alike.
"""
import argparse
import csv
import os
import shlex
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_problems  # noqa: E402

# The sine set with the window's defaults; the other problems with a larger search.
SINE_SIZES = "2/5/100"
OTHER_SIZES = "4/20/1000"

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
    "best with constant-fitting": ["--restarts", "--constant-fitting", "2"],
    "best without linear-scaling": ["--restarts", "--no-linear-scaling"],
    "best without margin-line": ["--restarts", "--no-margin-line"],
    "best without unscaled-attempts": ["--restarts", "--no-unscaled-attempts"],
    "best with size-ladder": ["--restarts", "--size-ladder"],
    "best with point-mutations": ["--restarts", "--point-mutations", "50"],
    "best without short-programs": ["--restarts", "--no-short-programs"],
}
BEST = "best (--restarts)"

# movar-search's defaults that the work figures depend on.
RESTART_UNIT = 200
BEST_MODE_REFINE = 20


def family(name):
    return name.split("-")[0]


def problems(only):
    """The problems named in only, a name or else a prefix (sine-m3 is one problem, sine-m
    all fifty), in the order of the table; all of them without only."""
    names = list(make_problems.PROBLEMS)
    if not only:
        return names
    return [n for n in names if any(n == o or (o not in names and n.startswith(o)) for o in only)]


def size_args(name, sizes):
    if sizes == "set":
        sizes = SINE_SIZES if family(name) == "sine" else OTHER_SIZES
    registers, instructions, population = sizes.split("/")
    return ["--registers", registers, "--instructions", instructions, "--population", population]


def option(args, name, default):
    """The value of the last name in args, as an int, or default."""
    value = default
    for i, arg in enumerate(args[:-1]):
        if arg == name:
            value = int(args[i + 1])
    return value


def luby(k):
    """Term k of 1, 1, 2, 1, 1, 2, 4, ..., counting from 0."""
    i = k + 1
    while True:
        power = 1
        while power - 1 < i:
            power *= 2
        if power - 1 == i:
            return power // 2
        i -= power // 2 - 1


# With --size-ladder, attempt k runs at level k mod 3 with these factors of the population
# (and 2^level times the instructions), for Luby(k / 3) units shortened by the factor.
LADDER_POPULATION = (1, 3, 10)
# One thread's CPU seconds per million scored programs by instructions per program (2/5/100,
# 3/10/300, 4/20/1000 on r-1, nguyen-5, keijzer-4 and xsin-20, see the README): --equal-cost
# weighs a scored program by its cost against one of 5 instructions.
PROGRAM_COST = ((5, 0.76), (10, 0.98), (20, 1.66))


def program_weight(instructions):
    """The cost of a program of this many instructions against one of 5, interpolated."""
    points = PROGRAM_COST
    if instructions <= points[0][0]:
        return 1.0
    for (x0, c0), (x1, c1) in zip(points, points[1:]):
        if instructions <= x1:
            return (c0 + (c1 - c0) * (instructions - x0) / (x1 - x0)) / points[0][1]
    (x0, c0), (x1, c1) = points[-2], points[-1]
    return (c1 + (c1 - c0) * (instructions - x1) / (x1 - x0)) / points[0][1]


def attempt_shape(args, k):
    """Attempt k's whole length in generations, scored programs per generation, instructions."""
    unit = option(args, "--restart-unit", RESTART_UNIT)
    population = option(args, "--population", 100)
    instructions = option(args, "--instructions", 5)
    if "--restarts" in args and "--no-short-programs" not in args:
        # Attempt 1 tries the short programs without generations; the searches go around it.
        if k == 1:
            return 0, 0, instructions
        k = k - 1 if k > 1 else k
    refine = refine_per_generation(args)
    if "--size-ladder" not in args:
        return luby(k) * unit, population + refine, instructions
    level = k % len(LADDER_POPULATION)
    grown = min(population * LADDER_POPULATION[level], 1_000_000)
    return (luby(k // len(LADDER_POPULATION)) * max(1, unit * population // grown),
            grown + refine, min(instructions << level, 1000))


class Budget:
    """A work budget: generations or scored programs, the latter weighed by size or not."""

    def __init__(self, amount, programs=False, weighed=False):
        self.amount, self.programs, self.weighed = amount, programs, weighed

    def cost(self, args, k, generations):
        """Work of generations of attempt k, in the budget's terms."""
        if not self.programs:
            return generations
        _, per, instructions = attempt_shape(args, k)
        return generations * per * (program_weight(instructions) if self.weighed else 1)


def work_to_answer(args, attempt, generations, budget=None):
    """Generations and work in the budget's terms (programs without one) up to the answer:
    every attempt below it ran its whole length."""
    budget = budget or Budget(None, programs=True)
    if "--restarts" not in args:
        return generations, budget.cost(args, 0, generations)
    total, work = 0, 0
    for k in range(attempt + 1):
        length = generations if k == attempt else attempt_shape(args, k)[0]
        total += length
        work += budget.cost(args, k, length)
    return total, work


def attempts_for(args, budget):
    """The fewest attempts whose lengths together reach the budget."""
    attempts, total = 0, 0
    while total < budget.amount:
        total += budget.cost(args, attempts, attempt_shape(args, attempts)[0])
        attempts += 1
    return max(attempts, 1)


def refine_per_generation(args):
    if "--no-refine" in args:
        return 0
    return option(args, "--refine", BEST_MODE_REFINE if "--restarts" in args else 0)


def limit_args(args, budget, seconds):
    limits = [] if seconds is None else ["--time-limit", str(seconds)]
    if budget is None:
        return limits
    if "--restarts" in args:
        if "--attempts" in args:
            return limits
        return limits + ["--attempts", str(attempts_for(args, budget))]
    generations = budget.amount
    if budget.programs:
        generations = max(int(budget.amount // budget.cost(args, 0, 1)), 1)
    return limits + ["--generations", str(generations)]


def parse_report(stdout):
    values = {}
    for line in stdout.splitlines():
        key, _, rest = line.partition(": ")
        if key in ("generations", "attempt") and rest.strip().isdigit():
            values[key] = int(rest)
    return values.get("generations", 0), values.get("attempt", 0)


def run_one(binary, path, args, seed, budget, seconds):
    command = ([binary, "--samples", str(path), "--seed", str(seed)] + args +
               limit_args(args, budget, seconds))
    start = time.monotonic()
    done = subprocess.run(command, capture_output=True, text=True, env={"LC_ALL": "C"})
    elapsed = time.monotonic() - start
    if done.returncode not in (0, 1):
        sys.exit(f"{shlex.join(command)}\nexited {done.returncode}: {done.stderr.strip()}")
    generations, attempt = parse_report(done.stdout)
    work, programs = work_to_answer(args, attempt, generations,
                                    budget if budget and budget.programs else None)
    spent = programs if budget and budget.programs else work
    matched = done.returncode == 0 and (budget is None or spent <= budget.amount)
    return matched, elapsed, generations, work, programs


def median(values, form):
    values = list(values)
    return form.format(statistics.median(values)) if values else "-"


def per_problem_table(rows, config):
    print(f"\n{config}\n")
    print("| problem | matched | median s to a match | median generations | median work |")
    print("|---|---|---|---|---|")
    for name in dict.fromkeys(r["problem"] for r in rows if r["config"] == config):
        runs = [r for r in rows if r["config"] == config and r["problem"] == name]
        hits = [r for r in runs if r["matched"]]
        print(f"| {name} | {len(hits)} of {len(runs)} | "
              f"{median((r['seconds'] for r in hits), '{:.2f}')} | "
              f"{median((r['generations'] for r in hits), '{:.0f}')} | "
              f"{median((r['work'] for r in hits), '{:.0f}')} |")


def summary(rows, config):
    runs = [r for r in rows if r["config"] == config]
    hits = [r for r in runs if r["matched"]]
    other = [r for r in runs if family(r["problem"]) != "sine"]
    other_hits = [r for r in other if r["matched"]]
    share = 100 * len(hits) / len(runs) if runs else 0
    return (f"{config}: matched {len(hits)} of {len(runs)} runs ({share:.1f} %); "
            f"non-sine problems {len(other_hits)} of {len(other)}, median "
            f"{median((r['seconds'] for r in other_hits), '{:.2f}')} s and "
            f"{median((r['work'] for r in other_hits), '{:.0f}')} generations "
            f"({median((r['programs'] for r in other_hits), '{:.0f}')} scored programs) of "
            f"work to a match")


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", nargs="+", default=["build/cli/movar-search"],
                        help="one or more builds, run in alternation")
    parser.add_argument("--problems", default=make_problems.DEFAULT_FOLDER,
                        help="the folder make_problems.py wrote")
    parser.add_argument("--modes", nargs="*", default=[BEST],
                        help="names from MODES, or all of them")
    parser.add_argument("--only", nargs="*", help="problem names or prefixes")
    parser.add_argument("--seeds", type=int, default=5, help="master seeds 1 .. N")
    parser.add_argument("--sizes", nargs="+", default=["set"],
                        help="registers/instructions/population for every problem, e.g. "
                        f"2/5/100; 'set' (the default): {SINE_SIZES} for the sine set, "
                        f"{OTHER_SIZES} for the others")
    parser.add_argument("--margin", type=float, help="margin in percent (0 for the strict "
                        "measure); default movar-search's")
    parser.add_argument("--threads", type=int, default=2)
    parser.add_argument("--time-limit", "--seconds", type=int, dest="seconds",
                        help="seconds per run; default 10 unless a work budget is given")
    budget = parser.add_mutually_exclusive_group()
    budget.add_argument("--generations", type=int, help="work budget per run in generations")
    budget.add_argument("--programs", type=int, help="work budget per run in scored programs")
    parser.add_argument("--equal-cost", action="store_true",
                        help="weigh each scored program by its cost against one of 5 "
                        "instructions (PROGRAM_COST), so that sizes get budgets of equal cost")
    parser.add_argument("--extra", default="", help="more movar-search options for every run")
    parser.add_argument("--csv", help="also write every run to this file")
    args = parser.parse_args()
    if args.modes == ["all"]:
        args.modes = list(MODES)
    unknown = [m for m in args.modes if m not in MODES]
    if unknown:
        parser.error(f"unknown modes {unknown}; known: {list(MODES)}")
    seconds = args.seconds
    if seconds is None and args.generations is None and args.programs is None:
        seconds = 10
    budget = None
    if args.generations is not None:
        budget = Budget(args.generations)
    elif args.programs is not None:
        budget = Budget(args.programs, programs=True, weighed=args.equal_cost)

    configs = []
    for mode in args.modes:
        for sizes in args.sizes:
            for index, binary in enumerate(args.bin):
                label = mode
                if len(args.sizes) > 1:
                    label += f" {sizes}"
                if len(args.bin) > 1:
                    label += f" [bin {index + 1}]"
                configs.append((label, binary, mode, sizes))
    common = ["--threads", str(args.threads)] + shlex.split(args.extra)
    if args.margin is not None:
        common += ["--margin", f"{args.margin:g}"]
    load_before = os.getloadavg()[0]

    rows = []
    for name in problems(args.only):
        path = Path(args.problems) / f"{name}.mvs"
        if not path.exists():
            sys.exit(f"{path} is missing: run make_problems.py {args.problems}")
        for seed in range(1, args.seeds + 1):
            for label, binary, mode, sizes in configs:
                run_args = size_args(name, sizes) + common + MODES[mode]
                matched, elapsed, generations, work, programs = run_one(
                    binary, path, run_args, seed, budget, seconds)
                rows.append({"config": label, "problem": name, "seed": seed,
                             "matched": matched, "seconds": elapsed,
                             "generations": generations, "work": work,
                             "programs": round(programs)})
                print(f"{label:40} {name:10} seed {seed}: "
                      f"{'matched' if matched else 'no match'} {elapsed:6.2f} s "
                      f"{generations} generations, work {work}", file=sys.stderr, flush=True)
    if args.csv:
        with open(args.csv, "w", newline="") as f:
            writer = csv.DictWriter(f, fieldnames=list(rows[0]) if rows else ["config"])
            writer.writeheader()
            writer.writerows(rows)

    limits = []
    if seconds is not None:
        limits.append(f"{seconds} s")
    if args.generations is not None:
        limits.append(f"{args.generations} generations of work")
    if args.programs is not None:
        limits.append(f"{args.programs} scored programs"
                      + (" weighed by cost" if args.equal_cost else ""))
    print(f"runs: {', '.join(limits)}, {args.threads} threads, seeds 1-{args.seeds}, margin "
          f"{'default' if args.margin is None else f'{args.margin:g} %'}; load "
          f"{load_before:.2f} before, {os.getloadavg()[0]:.2f} after\n")
    print("| mode | set | matched | median s to match | median generations to match |")
    print("|---|---|---|---|---|")
    labels = [c[0] for c in configs]
    for label in labels:
        for group in dict.fromkeys(family(r["problem"]) for r in rows):
            runs = [r for r in rows if r["config"] == label and family(r["problem"]) == group]
            hits = [r for r in runs if r["matched"]]
            print(f"| {label} | {group} | {len(hits)} of {len(runs)} | "
                  f"{median((r['seconds'] for r in hits), '{:.2f}')} | "
                  f"{median((r['generations'] for r in hits), '{:.0f}')} |")
    for label in labels:
        per_problem_table(rows, label)
    print()
    for label in labels:
        print(summary(rows, label))


if __name__ == "__main__":
    main()
