#!/usr/bin/env python3
"""The scoring cost of W on samples of 1 to 8 inputs, one whole process per run.

    python3 bench/inputs/table.py --bin build/bench/inputs-w \
        [--counting build-count/bench/inputs-w] [--runs 5] [--inputs 1-8]

Runs of the inputs go in alternation (1, 2, ..., 8, 1, 2, ...), so that load from elsewhere
on the machine spreads over all of them. The counting build (configured with
-DMOVAR_COUNT_INSTRUCTIONS=ON) gives the instructions the search interpreted, the same in
every run of the same inputs; the table divides the median time by them.
"""
import argparse
import re
import statistics
import subprocess


def run(binary, inputs):
    out = subprocess.run([binary, str(inputs)], check=True, capture_output=True, text=True).stdout
    return {key: float(value) for key, value in re.findall(r"^([a-z ]+): ([0-9.]+)$", out, re.M)}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True)
    parser.add_argument("--counting")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--inputs", default="1-8")
    args = parser.parse_args()
    first, last = (int(n) for n in args.inputs.split("-"))
    counts = range(first, last + 1)
    times = {n: [] for n in counts}
    for _ in range(args.runs):
        for n in counts:
            times[n].append(run(args.bin, n)["milliseconds"])
    interpreted = {n: run(args.counting, n) for n in counts} if args.counting else {}
    print("| inputs | ms (min .. max) | median ms | interpreted instructions | ns per instruction |")
    print("|---|---|---|---|---|")
    for n in counts:
        median = statistics.median(times[n])
        count = interpreted.get(n, {}).get("interpreted instructions")
        per = f"{median * 1e6 / count:.2f}" if count else "-"
        print(f"| {n} | {min(times[n]):.0f} .. {max(times[n]):.0f} | {median:.0f} | "
              f"{int(count) if count else '-'} | {per} |")


if __name__ == "__main__":
    main()
