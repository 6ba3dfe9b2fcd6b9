#!/usr/bin/python3
"""Checks of the Feynman benchmark's data and of how its runner judges a run.

MOVAR_SEARCH names a movar-search to run three quick equations with; without it those
checks are skipped.
"""
import math
import os
import sys
import tempfile
import unittest
from pathlib import Path
from types import SimpleNamespace

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_data  # noqa: E402
import run  # noqa: E402

HAVE_TABLE = make_data.DEFAULT_TABLE.is_file()


@unittest.skipUnless(HAVE_TABLE, f"no {make_data.DEFAULT_TABLE}")
class DataTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.equations = make_data.read_equations()
        cls.by_name = {e.name: e for e in cls.equations}

    def test_the_whole_collection_with_every_named_variable(self):
        self.assertEqual(len(self.equations), 100)
        self.assertEqual(len(self.by_name), 100)
        self.assertEqual(sorted(e.number for e in self.equations), list(range(1, 101)))
        # The file's count says 3 and 6 variables here.
        self.assertEqual([v[0] for v in self.by_name["I.18.14"].variables],
                         ["m", "r", "v", "theta"])
        self.assertEqual([v[0] for v in self.by_name["II.37.1"].variables], ["mom", "B", "chi"])
        self.assertEqual(self.by_name["I.9.18"].variables[3], ("x1", 3.0, 4.0))

    def test_rows_lie_in_the_ranges_and_follow_the_formula(self):
        # Every equation's y, computed over NumPy arrays, against the formula evaluated row
        # by row with the math module's functions on the row's own values.
        for equation in self.equations:
            train, y_train, fresh, y_fresh = make_data.draw(equation, 1)
            with self.subTest(equation=equation.name):
                self.assertEqual((len(y_train), len(y_fresh)), (200, 1000))
                for (_, low, high), column, other in zip(equation.variables, train, fresh):
                    self.assertTrue(np.all((column >= low) & (column <= high)))
                    self.assertTrue(np.all((other >= low) & (other <= high)))
                    # Drawn, not constant.
                    self.assertGreater(np.ptp(other), (high - low) / 2)
                for k in range(0, 1000, 97):
                    expected = equation.evaluate([c[k] for c in fresh], scalar=True)
                    self.assertAlmostEqual(y_fresh[k], expected,
                                           delta=1e-12 * max(1.0, abs(expected)))

    def test_formulas_at_points_worked_by_hand(self):
        cases = [("I.12.1", [2, 3], 6), ("I.6.2a", [0], 1 / math.sqrt(2 * math.pi)),
                 ("I.26.2", [1, math.pi / 2], math.pi / 2), ("I.44.4", [1, 1, 2, 1, math.e], 2),
                 ("I.13.4", [2, 1, 2, 3], 14), ("II.35.21", [1, 1, 0, 1, 1], 0),
                 ("I.39.11", [3, 2, 5], 5), ("III.15.27", [1, 2, 1], math.pi)]
        for name, values, y in cases:
            with self.subTest(equation=name):
                arrays = [np.array([float(v)]) for v in values]
                self.assertAlmostEqual(float(self.by_name[name].evaluate(arrays)[0]), y,
                                       places=12)

    def test_seeds_give_their_own_rows(self):
        equation = self.by_name["I.12.2"]
        first, again, other = (make_data.draw(equation, s) for s in (1, 1, 2))
        self.assertTrue(np.array_equal(first[1], again[1]))
        self.assertFalse(np.array_equal(first[1], other[1]))
        # Training and fresh rows are different draws.
        self.assertFalse(np.array_equal(first[0][0], first[2][0][:200]))

    def test_tables_read_back_exactly(self):
        equation = self.by_name["I.6.2"]
        with tempfile.TemporaryDirectory() as folder:
            train_path, fresh_path = make_data.make(folder, equation, 3)
            train, y_train, fresh, y_fresh = make_data.draw(equation, 3)
            names, columns, y = make_data.read_table(fresh_path)
            self.assertEqual(names, ["sigma", "theta"])
            self.assertEqual(train_path.read_text().splitlines()[0], "sigma,theta,f")
            self.assertTrue(np.array_equal(y, y_fresh))
            self.assertTrue(all(np.array_equal(a, b) for a, b in zip(columns, fresh)))

    def test_choosing_by_name_and_prefix(self):
        picked = make_data.chosen(self.equations, ["I.12.", "III.4.32"])
        self.assertEqual([e.name for e in picked],
                         ["I.12.1", "I.12.2", "I.12.4", "I.12.5", "I.12.11", "III.4.32"])
        with self.assertRaises(ValueError):
            make_data.chosen(self.equations, ["I.12"])


class FormulaTest(unittest.TestCase):
    def test_only_arithmetic_over_the_variables_runs(self):
        refused = ["__import__('os').system('true')", "x.real", "x[0]", "(lambda: 1)()",
                   "open('f')", "exp", "exp(x, x)", "sqrt(x=x)", "y + 1", "True + x", "'a'",
                   "x if x else 1", "[x]", "x == 1", "x % 2", "x // 2"]
        for text in refused:
            with self.subTest(text=text):
                with self.assertRaises((ValueError, SyntaxError)):
                    make_data.compile_formula(text, ["x"])

    def test_literal_powers_are_floats(self):
        # As integers this would run for ages; as floats it overflows at once.
        equation = make_data.Equation("big", 1, "y", "9**9**99 + x", [("x", 1, 2)])
        with self.assertRaises(OverflowError):
            equation.evaluate([np.array([1.0])])
        halves = make_data.Equation("half", 2, "y", "1/2*x**2", [("x", 1, 2)])
        self.assertEqual(halves.evaluate([3.0], scalar=True), 4.5)

    def test_an_output_named_as_an_input_becomes_y(self):
        self.assertEqual(make_data.Equation("a", 1, "x", "x", [("x", 0, 1)]).y_name(), "y")
        self.assertEqual(make_data.Equation("a", 1, "F", "x", [("x", 0, 1)]).y_name(), "F")


def made_up(equation, seed, matched, r2, worst):
    accurate, exact = run.judge(matched, r2, worst)
    return {"equation": equation, "seed": seed, "matched": matched, "r2_fresh": r2,
            "max_rel_error": worst, "accurate": accurate, "exact": exact}


class JudgeTest(unittest.TestCase):
    def test_accurate_and_exact_at_their_bounds(self):
        cases = [((True, 1.0, 0.0), (True, True)),
                 ((True, 0.999, 1e-6), (True, True)),
                 ((True, 0.9989999, 1e-6), (False, True)),
                 ((True, 1.0, 1.0000001e-6), (True, False)),
                 # Exact on fresh rows without matching every training row is not exact.
                 ((False, 1.0, 0.0), (True, False)),
                 ((True, -math.inf, math.inf), (False, False)),
                 ((False, math.nan, math.nan), (False, False))]
        for given, expected in cases:
            with self.subTest(given=given):
                self.assertEqual(run.judge(*given), expected)

    def test_counts_per_seed_from_made_up_runs(self):
        runs = [made_up("a", 1, True, 1.0, 0.0), made_up("a", 2, True, 1.0, 2e-6),
                made_up("b", 1, False, 0.9995, 1e-3), made_up("b", 2, False, 0.5, 1.0),
                made_up("c", 1, True, 0.9, 1e-2), made_up("c", 2, True, 1.0, 1e-9)]
        per_equation, totals = run.summarise(runs, [1, 2])
        self.assertEqual(totals[1], {"accurate": 2, "exact": 1, "runs": 3})
        self.assertEqual(totals[2], {"accurate": 2, "exact": 1, "runs": 3})
        self.assertEqual(sorted(per_equation), ["a", "b", "c"])
        self.assertIs(per_equation["b"][2], runs[3])

    def test_relative_error_and_r_squared(self):
        y = np.array([1.0, -2.0, 4.0, 0.0])
        self.assertEqual(run.max_relative_error(y, y), 0.0)
        self.assertAlmostEqual(run.max_relative_error(y, [1.0, -2.0, 4.4, 0.0]), 0.1)
        self.assertEqual(run.max_relative_error(y, [1.0, -2.0, 4.0, 1e-300]), math.inf)
        self.assertEqual(run.max_relative_error(y, [1.0, math.nan, 4.0, 0.0]), math.inf)
        self.assertEqual(run.r_squared(y, y), 1.0)
        self.assertAlmostEqual(run.r_squared(y, np.full(4, y.mean())), 0.0)
        self.assertEqual(run.r_squared(y, [1.0, math.inf, 4.0, 0.0]), -math.inf)
        # Residual 1 + 1 + 0 + 0 over a total of 18.75 (y about its mean 0.75).
        self.assertAlmostEqual(run.r_squared(y, [2.0, -1.0, 4.0, 0.0]), 1 - 2 / 18.75)

    def test_the_interpreters_margin_test(self):
        y = np.array([0.0, 1.0, 10.0, 100.0])
        ulp = math.ulp(10.0)
        tolerance = 1e-8 * 100
        exact = run.within_margin(y, [1e-7, 1.0, 10.0 + 4 * ulp, 100.0 - 2 * tolerance], 0)
        self.assertEqual(exact.tolist(), [True, True, True, False])
        self.assertEqual(run.within_margin(y, [0, 1 + 2 * tolerance, 10, 100], 0).tolist(),
                         [True, False, True, True])
        # At 10 %, the band reaches a tenth of the way to the range's bound on each side.
        self.assertTrue(run.within_margin(y, [0, 1, 18.9, 100], 10)[2])
        self.assertFalse(run.within_margin(y, [0, 1, 19.1, 100], 10)[2])
        self.assertTrue(run.within_margin(y, [0, 1, 9.05, 100], 10)[2])
        self.assertFalse(run.within_margin(y, [0, 1, 8.95, 100], 10)[2])
        # 9 is a tenth below 10 as the reals go, but the double 0.9 lies above 9 / 10 in
        # long double: the interpreter's test refuses it, and so does this one.
        self.assertFalse(run.within_margin(y, [0, 1, 9.0, 100], 10)[2])
        # Outside y's range nothing matches, whatever the margin.
        self.assertFalse(run.within_margin(y, [0, 1, 10, 101], 40)[3])
        self.assertFalse(run.within_margin(y, [0, math.nan, 10, 100], 40)[1])


OUTPUT = """// model correctness: 198 of 200
double model(double valueX1, double valueX2) {
return var[0];
}
generations: 3
attempt: 2
seed: 77
held-out: 1000 samples, RMSE 0.0123, R² 0.975637
a*(b > 2 ? b : 1.5)
// Checked against the model at 200 samples: largest difference 0 (relative 0).
# Movar Tester model for t.csv, margin of error 0.00%
def model(a, b):
    import numpy as np
    return np.asarray(a) * np.where(np.asarray(b) > 2, b, 1.5)
"""


class OutputTest(unittest.TestCase):
    def test_what_a_run_printed(self):
        found = run.parse_output(OUTPUT, "seed: 77\nmodel size: 4 live instructions\n")
        self.assertEqual(found["formula"], "a*(b > 2 ? b : 1.5)")
        self.assertEqual((found["train_matches"], found["size"]), (198, 4))
        self.assertEqual((found["held_out_rmse"], found["held_out_r2"]), (0.0123, 0.975637))
        predicted = run.predict(found["python"], [np.array([2.0, 3.0]), np.array([1.0, 4.0])])
        self.assertEqual(predicted.tolist(), [3.0, 12.0])

    def test_the_columns_an_import_took(self):
        in_order = ("import: delimiter ',', decimal separator '.', header; inputs column 1 "
                    "(\"a, b\"), column 2 (\"x\"), y column 3 (\"F\")\nimport: Test data "
                    "imported: 200 samples; no rows skipped.\n")
        self.assertEqual(run.imported_columns(in_order), ([1, 2], 3))
        # A column named Y is taken for y unless the y column is given.
        taken = ("import: delimiter ',', decimal separator '.', header; inputs column 2 "
                 "(\"A\"), column 3 (\"F\"), y column 1 (\"Y\")\n")
        self.assertEqual(run.imported_columns(taken), ([2, 3], 1))
        one = ("import: delimiter ',', decimal separator '.', header; x column 1 (\"income\"), "
               "y column 2 (\"foodexp\")\n")
        self.assertEqual(run.imported_columns(one), ([1], 2))
        self.assertIsNone(run.imported_columns("seed: 1\n"))

    def test_a_run_without_code_or_figures(self):
        found = run.parse_output("generations: 3\nattempt: 0\nseed: 1\n", "")
        self.assertEqual(found, {"python": None, "formula": "", "train_matches": None,
                                 "size": None, "held_out_rmse": None, "held_out_r2": None})
        self.assertIsNone(run.predict(found["python"], []))

    def test_disagreements_with_the_programs_figures(self):
        base = {"train_matches": 200, "code_train_matches": 200, "program_r2_fresh": 0.975637,
                "r2_fresh": 0.97563712, "program_rmse_fresh": 1.23457e-05,
                "code_rmse_fresh": 1.234567e-05}
        self.assertEqual(run.disagreements(base), [])
        for change in ({"code_train_matches": 199}, {"r2_fresh": 0.9757},
                       {"code_rmse_fresh": 1.2347e-05}, {"code_rmse_fresh": None},
                       {"r2_fresh": -math.inf}):
            with self.subTest(change=change):
                self.assertEqual(len(run.disagreements({**base, **change})), 1)
        self.assertEqual(run.disagreements({**base, "program_r2_fresh": None,
                                            "program_rmse_fresh": None, "train_matches": None,
                                            "r2_fresh": 0.1}), [])


SEARCH = os.environ.get("MOVAR_SEARCH")


@unittest.skipUnless(HAVE_TABLE and SEARCH, "MOVAR_SEARCH names no movar-search")
class ProgramTest(unittest.TestCase):
    def test_the_emitted_code_agrees_with_the_program(self):
        # The program's own matches and held-out figures against the emitted code's, on
        # equations of two to four inputs.
        options = SimpleNamespace(margin=0, seconds=1, threads=2, check=True, extra=[])
        picked = make_data.chosen(make_data.read_equations(), ["I.12.1", "I.18.14", "I.29.16"])
        with tempfile.TemporaryDirectory() as folder:
            for equation in picked:
                make_data.make(folder, equation, 1)
                result = run.run_one(SEARCH, folder, equation, 1, options)
                with self.subTest(equation=equation.name):
                    self.assertIsNotNone(result["program_r2_fresh"])
                    self.assertIsNotNone(result["size"])
                    self.assertEqual(run.disagreements(result), [])


if __name__ == "__main__":
    unittest.main()
