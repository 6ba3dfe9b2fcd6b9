#!/usr/bin/python3
"""Writes the data of the AI Feynman collection's 100 equations as tables movar-search imports.

  /usr/bin/python3 bench/feynman/make_data.py [--out DIR] [--seed N] [--only NAME ...]

Each equation of feynman-equations.csv (the collection's file names, formulas and published
variable ranges) gets NAME.train.csv (200 rows to search on) and NAME.fresh.csv (1000 other
rows to judge on): every variable drawn uniformly from its range by NumPy's default_rng([seed,
the equation's number]), then y computed by the formula in double precision. A header names
the variables and y (the collection's output name). Every value is written with the digits
that read back to the same double.

The formulas are Python expressions over NumPy's names; they are parsed and checked before
they run: numbers, the equation's variables, pi, + - * / ** and the functions in FUNCTIONS,
nothing else (no attributes, no subscripts, no other names). The file's variable count is
wrong for two equations, so the variables are those the row names.

Needs NumPy.
"""
import argparse
import ast
import csv
import math
import sys
from pathlib import Path

import numpy as np

DEFAULT_TABLE = Path(__file__).resolve().parents[3] / "shared" / "data" / "feynman-equations.csv"
TRAIN_ROWS = 200
FRESH_ROWS = 1000

# The names a formula may call, for NumPy arrays and for plain floats.
FUNCTIONS = {
    "exp": (np.exp, math.exp),
    "sqrt": (np.sqrt, math.sqrt),
    "sin": (np.sin, math.sin),
    "cos": (np.cos, math.cos),
    "tan": (np.tan, math.tan),
    "tanh": (np.tanh, math.tanh),
    "arcsin": (np.arcsin, math.asin),
    "arccos": (np.arccos, math.acos),
    "arctan": (np.arctan, math.atan),
    "ln": (np.log, math.log),
    "log": (np.log, math.log),
}
CONSTANTS = {"pi": math.pi}
OPERATORS = (ast.Add, ast.Sub, ast.Mult, ast.Div, ast.Pow, ast.USub, ast.UAdd)


class Equation:
    """One row of the collection: name, number, output name, formula and variables."""

    def __init__(self, name, number, output, formula, variables):
        self.name = name
        self.number = number
        self.output = output
        self.formula = formula
        self.variables = variables  # [(name, low, high)]
        self.code = compile_formula(formula, [v[0] for v in variables])

    def evaluate(self, columns, scalar=False):
        """y for the columns (arrays, or floats with scalar)."""
        scope = {"__builtins__": {}}
        scope.update({k: f[1] if scalar else f[0] for k, f in FUNCTIONS.items()})
        scope.update(CONSTANTS)
        scope.update(zip((v[0] for v in self.variables), columns))
        return eval(self.code, scope)  # noqa: S307 (checked by compile_formula)

    def y_name(self):
        # The output's own name unless an input has it.
        names = {v[0] for v in self.variables}
        return self.output if self.output and self.output not in names else "y"


def compile_formula(text, variables):
    """The formula as code, refused (ValueError) unless it uses only what the module allows.

    Integer literals become floats, so that a power of two literals cannot run as a huge
    integer."""
    tree = ast.parse(text.strip(), mode="eval")
    allowed = set(variables) | set(CONSTANTS)

    class Floats(ast.NodeTransformer):
        def visit_Constant(self, node):
            value = node.value
            if isinstance(value, bool) or not isinstance(value, (int, float)):
                raise ValueError(f"not a number in {text!r}: {value!r}")
            return ast.copy_location(ast.Constant(float(value)), node)

    for node in ast.walk(tree):
        if isinstance(node, ast.Call):
            if (not isinstance(node.func, ast.Name) or node.func.id not in FUNCTIONS
                    or node.keywords or len(node.args) != 1):
                raise ValueError(f"a call that is not allowed in {text!r}")
        elif isinstance(node, ast.Name):
            if node.id not in allowed and node.id not in FUNCTIONS:
                raise ValueError(f"unknown name {node.id!r} in {text!r}")
        elif not isinstance(node, (ast.Expression, ast.BinOp, ast.UnaryOp, ast.Constant,
                                   ast.Load) + OPERATORS):
            raise ValueError(f"{type(node).__name__} is not allowed in {text!r}")
    # A function's name is only for calling.
    callees = {id(n.func) for n in ast.walk(tree) if isinstance(n, ast.Call)}
    for node in ast.walk(tree):
        if isinstance(node, ast.Name) and node.id in FUNCTIONS and id(node) not in callees:
            raise ValueError(f"{node.id} used as a value in {text!r}")
    tree = ast.fix_missing_locations(Floats().visit(tree))
    return compile(tree, "<formula>", "eval")


def read_equations(path=DEFAULT_TABLE):
    """The equations of the collection's file, in its order."""
    with open(path, newline="", encoding="utf-8-sig") as source:
        rows = list(csv.DictReader(source))
    equations = []
    for row in rows:
        variables = []
        k = 1
        while row.get(f"v{k}_name"):
            variables.append((row[f"v{k}_name"].strip(), float(row[f"v{k}_low"]),
                              float(row[f"v{k}_high"])))
            k += 1
        equations.append(Equation(row["Filename"].strip(), int(row["Number"]),
                                  row["Output"].strip(), row["Formula"], variables))
    return equations


def draw(equation, seed):
    """(train columns, train y, fresh columns, fresh y) of an equation."""
    rng = np.random.default_rng([seed, equation.number])
    tables = []
    for rows in (TRAIN_ROWS, FRESH_ROWS):
        columns = [rng.uniform(low, high, rows) for _, low, high in equation.variables]
        with np.errstate(all="ignore"):
            y = np.asarray(equation.evaluate(columns), dtype=np.float64)
        y = np.broadcast_to(y, (rows,))
        if not np.all(np.isfinite(y)):
            raise ValueError(f"{equation.name}: y is not finite on every row")
        tables += [columns, y]
    return tuple(tables)


def write_table(path, equation, columns, y):
    with open(path, "w", newline="") as out:
        writer = csv.writer(out, lineterminator="\n")
        writer.writerow([v[0] for v in equation.variables] + [equation.y_name()])
        for row in zip(*columns, y):
            writer.writerow([repr(float(v)) for v in row])


def read_table(path):
    """(names, columns, y) of a table written by write_table."""
    with open(path, newline="") as source:
        rows = list(csv.reader(source))
    values = np.array([[float(v) for v in row] for row in rows[1:]])
    return rows[0][:-1], [values[:, k] for k in range(values.shape[1] - 1)], values[:, -1]


def paths(folder, equation):
    folder = Path(folder)
    return folder / f"{equation.name}.train.csv", folder / f"{equation.name}.fresh.csv"


def make(folder, equation, seed):
    """Writes an equation's two tables; returns their paths."""
    train, y_train, fresh, y_fresh = draw(equation, seed)
    train_path, fresh_path = paths(folder, equation)
    write_table(train_path, equation, train, y_train)
    write_table(fresh_path, equation, fresh, y_fresh)
    return train_path, fresh_path


def chosen(equations, only):
    """The equations named in only (names, or prefixes ending in a dot), all without."""
    if not only:
        return equations
    def named(o, e):
        return e.name == o or (o.endswith(".") and e.name.startswith(o))

    picked = [e for e in equations if any(named(o, e) for o in only)]
    unknown = [o for o in only if not any(named(o, e) for e in equations)]
    if unknown:
        raise ValueError(f"no such equation: {' '.join(unknown)}")
    return picked


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", default="/tmp/feynman-data", help="folder of the tables")
    parser.add_argument("--seed", type=int, default=1, help="the data's seed (default 1)")
    parser.add_argument("--table", default=str(DEFAULT_TABLE), help="the collection's CSV")
    parser.add_argument("--only", nargs="+", help="equation names (I.12. for a prefix)")
    args = parser.parse_args(argv)
    Path(args.out).mkdir(parents=True, exist_ok=True)
    try:
        equations = chosen(read_equations(args.table), args.only)
        for equation in equations:
            make(args.out, equation, args.seed)
    except ValueError as fault:
        sys.exit(f"make_data: {fault}")
    print(f"{len(equations)} equations, {TRAIN_ROWS} + {FRESH_ROWS} rows each, in {args.out}")


if __name__ == "__main__":
    main()
