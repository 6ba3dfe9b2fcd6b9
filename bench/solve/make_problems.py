#!/usr/bin/env python3
"""Writes the sample files of the time-to-solution benchmark into a folder (default
/tmp/solve-problems), one NAME.mvs per problem of PROBLEMS.

Sampling, as usual in the literature:
  U[a, b, n]  n points drawn uniformly from [a, b] with Python's random.Random(seed), kept
              in the order drawn;
  E[a, b, s]  every point from a to b in steps of s (computed as k / (1 / s), so -0.9 is the
              double nearest -0.9).
y is the law at each x, written with 17 significant digits.

  name         law                                        sampling
  sine-mM      sin(M x), M = 1 .. 50                      x = 0, 1, ..., 99 (100)
  nguyen-1     x^3 + x^2 + x                              U[-1, 1, 20], seed 1001
  nguyen-2     x^4 + x^3 + x^2 + x                        U[-1, 1, 20], seed 1002
  nguyen-3     x^5 + x^4 + x^3 + x^2 + x                  U[-1, 1, 20], seed 1003
  nguyen-4     x^6 + x^5 + x^4 + x^3 + x^2 + x            U[-1, 1, 20], seed 1004
  nguyen-5     sin(x^2) cos(x) - 1                        U[-1, 1, 20], seed 1005
  nguyen-6     sin(x) + sin(x + x^2)                      U[-1, 1, 20], seed 1006
  nguyen-7     ln(x + 1) + ln(x^2 + 1)                    U[0, 2, 20], seed 1007
  nguyen-8     sqrt(x)                                    U[0, 4, 20], seed 1008
  koza-1       x^4 + x^3 + x^2 + x                        U[-1, 1, 20], seed 2001
  koza-2       x^5 - 2 x^3 + x                            U[-1, 1, 20], seed 2002
  koza-3       x^6 - 2 x^4 + x^2                          U[-1, 1, 20], seed 2003
  keijzer-1    0.3 x sin(2 pi x)                          E[-1, 1, 0.1] (21)
  keijzer-2    0.3 x sin(2 pi x)                          E[-2, 2, 0.1] (41)
  keijzer-3    0.3 x sin(2 pi x)                          E[-3, 3, 0.1] (61)
  keijzer-4    x^3 e^-x cos(x) sin(x) (sin(x)^2 cos(x) - 1)  E[0, 10, 0.05] (201)
  keijzer-7    ln(x)                                      E[1, 100, 1] (100)
  keijzer-8    sqrt(x)                                    E[0, 100, 1] (101)
  keijzer-9    arcsinh(x) = ln(x + sqrt(x^2 + 1))         E[0, 100, 1] (101)
  r-1          (x + 1)^3 / (x^2 - x + 1)                  U[-1, 1, 20], seed 3001
  r-2          (x^5 - 3 x^3 + 1) / (x^2 + 1)              U[-1, 1, 20], seed 3002
  r-3          (x^6 + x^5) / (x^4 + x^3 + x^2 + x + 1)    U[-1, 1, 20], seed 3003
  xsin-20      0.3 x sin(2 pi x)                          U[-1, 1, 20], seed 4001

The Nguyen files are the ones this benchmark always had.
"""
import math
import random
import sys
from pathlib import Path

DEFAULT_FOLDER = "/tmp/solve-problems"


def xsin(x):
    return 0.3 * x * math.sin(2 * math.pi * x)


# name: (law, sampling); a sampling is ("U", low, high, count, seed) or ("E", low, high, step).
PROBLEMS = {
    "nguyen-1": (lambda x: x**3 + x**2 + x, ("U", -1.0, 1.0, 20, 1001)),
    "nguyen-2": (lambda x: x**4 + x**3 + x**2 + x, ("U", -1.0, 1.0, 20, 1002)),
    "nguyen-3": (lambda x: x**5 + x**4 + x**3 + x**2 + x, ("U", -1.0, 1.0, 20, 1003)),
    "nguyen-4": (lambda x: x**6 + x**5 + x**4 + x**3 + x**2 + x, ("U", -1.0, 1.0, 20, 1004)),
    "nguyen-5": (lambda x: math.sin(x**2) * math.cos(x) - 1, ("U", -1.0, 1.0, 20, 1005)),
    "nguyen-6": (lambda x: math.sin(x) + math.sin(x + x**2), ("U", -1.0, 1.0, 20, 1006)),
    "nguyen-7": (lambda x: math.log(x + 1) + math.log(x**2 + 1), ("U", 0.0, 2.0, 20, 1007)),
    "nguyen-8": (lambda x: math.sqrt(x), ("U", 0.0, 4.0, 20, 1008)),
    "koza-1": (lambda x: x**4 + x**3 + x**2 + x, ("U", -1.0, 1.0, 20, 2001)),
    "koza-2": (lambda x: x**5 - 2 * x**3 + x, ("U", -1.0, 1.0, 20, 2002)),
    "koza-3": (lambda x: x**6 - 2 * x**4 + x**2, ("U", -1.0, 1.0, 20, 2003)),
    "keijzer-1": (xsin, ("E", -1, 1, 0.1)),
    "keijzer-2": (xsin, ("E", -2, 2, 0.1)),
    "keijzer-3": (xsin, ("E", -3, 3, 0.1)),
    "keijzer-4": (lambda x: x**3 * math.exp(-x) * math.cos(x) * math.sin(x) *
                  (math.sin(x)**2 * math.cos(x) - 1), ("E", 0, 10, 0.05)),
    "keijzer-7": (math.log, ("E", 1, 100, 1)),
    "keijzer-8": (math.sqrt, ("E", 0, 100, 1)),
    "keijzer-9": (math.asinh, ("E", 0, 100, 1)),
    "r-1": (lambda x: (x + 1)**3 / (x**2 - x + 1), ("U", -1.0, 1.0, 20, 3001)),
    "r-2": (lambda x: (x**5 - 3 * x**3 + 1) / (x**2 + 1), ("U", -1.0, 1.0, 20, 3002)),
    "r-3": (lambda x: (x**6 + x**5) / (x**4 + x**3 + x**2 + x + 1), ("U", -1.0, 1.0, 20, 3003)),
    "xsin-20": (xsin, ("U", -1.0, 1.0, 20, 4001)),
    **{f"sine-m{m}": ((lambda x, m=m: math.sin(m * x)), ("E", 0, 99, 1)) for m in range(1, 51)},
}


def inputs(sampling):
    if sampling[0] == "U":
        _, low, high, count, seed = sampling
        rng = random.Random(seed)
        return [rng.uniform(low, high) for _ in range(count)]
    _, low, high, step = sampling
    # Whole steps divided, not summed, so the grid carries no drift.
    per_unit = round(1 / step)
    return [k / per_unit for k in range(round(low * per_unit), round(high * per_unit) + 1)]


def points(name):
    law, sampling = PROBLEMS[name]
    return [(x, law(x)) for x in inputs(sampling)]


def write(path, rows):
    # The sample file: x and y joined by ",", CR LF after every line.
    with open(path, "w", newline="") as f:
        for x, y in rows:
            f.write(f"{x:.17g},{y:.17g}\r\n")


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else DEFAULT_FOLDER)
    folder.mkdir(parents=True, exist_ok=True)
    for name in PROBLEMS:
        write(folder / f"{name}.mvs", points(name))


if __name__ == "__main__":
    main()
