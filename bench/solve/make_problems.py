#!/usr/bin/env python3
"""Writes the sample files of the time-to-solution benchmark into a folder.

sine-mM.mvs: y = sin(M x) at x = 0 .. 99, M = 1 .. 50 (17 significant digits).
nguyen-N.mvs: the Nguyen problems 1 .. 8 on 20 points, x drawn uniformly from [-1, 1]
([0, 2] for Nguyen-7, [0, 4] for Nguyen-8) with Python's random.Random(1000 + N),
kept in the order drawn.
"""
import math
import random
import sys
from pathlib import Path

NGUYEN = {
    1: (lambda x: x**3 + x**2 + x, -1.0, 1.0),
    2: (lambda x: x**4 + x**3 + x**2 + x, -1.0, 1.0),
    3: (lambda x: x**5 + x**4 + x**3 + x**2 + x, -1.0, 1.0),
    4: (lambda x: x**6 + x**5 + x**4 + x**3 + x**2 + x, -1.0, 1.0),
    5: (lambda x: math.sin(x**2) * math.cos(x) - 1, -1.0, 1.0),
    6: (lambda x: math.sin(x) + math.sin(x + x**2), -1.0, 1.0),
    7: (lambda x: math.log(x + 1) + math.log(x**2 + 1), 0.0, 2.0),
    8: (lambda x: math.sqrt(x), 0.0, 4.0),
}


def write(path, points):
    # The sample file: x and y joined by ",", CR LF after every line.
    with open(path, "w", newline="") as f:
        for x, y in points:
            f.write(f"{x:.17g},{y:.17g}\r\n")


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "problems")
    folder.mkdir(parents=True, exist_ok=True)
    for m in range(1, 51):
        write(folder / f"sine-m{m}.mvs", [(x, math.sin(m * x)) for x in range(100)])
    for n, (f, low, high) in NGUYEN.items():
        rng = random.Random(1000 + n)
        xs = [rng.uniform(low, high) for _ in range(20)]
        write(folder / f"nguyen-{n}.mvs", [(x, f(x)) for x in xs])


if __name__ == "__main__":
    main()
