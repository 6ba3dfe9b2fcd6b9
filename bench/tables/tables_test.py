#!/usr/bin/python3
"""Checks of the real-table benchmark: its tables, splits, baselines and how it reads a front."""
import math
import sys
import tempfile
import unittest
from pathlib import Path

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parent))
import tables  # noqa: E402

try:
    import pandas
    import sklearn  # noqa: F401 (only whether it is there)
    import statsmodels  # noqa: F401
    HAVE_PACKAGES = True
except ImportError:
    HAVE_PACKAGES = False

FRONT = """\
generations: 200
   size    error      RMSE        R²   matches  formula
      1      120       3.1     0.001   0 of 20  0.5
      3    40.0001       1.2      0.8   2 of 20  2.5*x + 1 : y
      4    40.00001      1.1      0.8   2 of 20  (x > 2 ? x : 1.5)*x
      6      40       1.0      0.81   3 of 20  sqrt(x)*x
attempt 3  seed 5
"""

HELD_OUT_FRONT = """\
   size  error  RMSE  R²  matches  held-out error  held-out RMSE  held-out R²  formula
      2     9     1   0.1  1 of 20   8  1  0.2  3*x
*     3     7     0.9   0.3  1 of 20   7.1  0.9  0.3  1.5e+06*x - 2
      5     6     0.8   0.4  1 of 20   7.05  0.85  0.31  x^2 - x
* suggested: the smallest model whose held-out error is within 5% of the lowest
"""


class FrontTest(unittest.TestCase):
    def test_rows_of_a_front(self):
        rows = tables.parse_front(FRONT)
        self.assertEqual([r["size"] for r in rows], [1, 3, 4, 6])
        self.assertEqual(rows[1]["formula"], "2.5*x + 1 : y")
        self.assertEqual((rows[2]["error"], rows[2]["matches"]), (40.00001, 2))
        self.assertTrue(all(r["held_out_error"] is None and not r["suggested"] for r in rows))
        self.assertEqual(tables.parse_front("generations: 3\nseed: 1\n"), [])

    def test_the_most_accurate_model_the_smaller_within_a_hair(self):
        rows = tables.parse_front(FRONT)
        # 40.00001 lies within a millionth of 40, 40.0001 does not.
        self.assertEqual(tables.front_best(rows)["size"], 4)
        self.assertEqual(tables.front_best(rows[:2])["size"], 3)
        self.assertIsNone(tables.front_best([]))

    def test_the_suggested_model_where_rows_were_held_out(self):
        rows = tables.parse_front(HELD_OUT_FRONT)
        self.assertEqual([r["held_out_error"] for r in rows], [8, 7.1, 7.05])
        best = tables.front_best(rows)
        self.assertEqual((best["size"], best["formula"]), (3, "1.5e+06*x - 2"))
        self.assertTrue(tables.is_front_best(best, 1e9, "1.5e+06*x - 2"))
        self.assertFalse(tables.is_front_best(best, 7, "x^2 - x"))

    def test_the_answer_against_the_front_by_its_error(self):
        best = tables.front_best(tables.parse_front(FRONT))
        # The front prints six digits: 40.00001 stands for anything that rounds to it.
        self.assertTrue(tables.is_front_best(best, 40.0000104, ""))
        self.assertFalse(tables.is_front_best(best, 40.0006, ""))
        self.assertFalse(tables.is_front_best(best, 39.99, ""))
        self.assertFalse(tables.is_front_best(None, 40.00001, ""))


class BaselineTest(unittest.TestCase):
    def test_the_training_mean_on_the_test_rows(self):
        self.assertAlmostEqual(tables.constant_r2([1.0, 3.0], [1.0, 3.0]), 0.0)
        # Mean 2 against test rows 2 and 4: residual 0 + 4 over a total of 1 + 1.
        self.assertAlmostEqual(tables.constant_r2([1.0, 3.0], [2.0, 4.0]), -1.0)

    def test_absolute_error_as_the_search_sums_it(self):
        self.assertEqual(tables.absolute_error([1.0, -2.0, 3.0], [1.5, -1.0, 3.0]), 1.5)
        self.assertEqual(tables.absolute_error([1.0, 2.0], [1.0, math.nan]), math.inf)


@unittest.skipUnless(HAVE_PACKAGES, "needs pandas, scikit-learn and statsmodels")
class TablesTest(unittest.TestCase):
    def test_every_table_loads_as_numbers(self):
        for name, (_, target, inputs) in tables.TABLES.items():
            X, y = tables.load(name)
            with self.subTest(table=name):
                self.assertEqual(y.name, target)
                self.assertNotIn(target, X.columns)
                if inputs is not None:
                    self.assertEqual(list(X.columns), inputs)
                self.assertEqual(len(X), len(y))
                self.assertGreaterEqual(len(y), 16)
                self.assertTrue(np.all(np.isfinite(X.to_numpy())))
                self.assertTrue(np.all(np.isfinite(y.to_numpy())))
                self.assertGreater(float(np.std(y)), 0)
        self.assertEqual(tables.load("diabetes")[0].shape, (442, 10))

    def test_splits_are_three_to_one_and_repeat(self):
        X, y = tables.load("stackloss")
        X_train, X_test, y_train, y_test = tables.split(X, y, 2)
        self.assertEqual((len(X_train), len(X_test)), (15, 6))
        self.assertEqual(sorted([*X_train.index, *X_test.index]), list(range(21)))
        self.assertEqual(list(y_test.index), list(X_test.index))
        again = tables.split(X, y, 2)[1]
        other = tables.split(X, y, 3)[1]
        self.assertEqual(list(again.index), list(X_test.index))
        self.assertNotEqual(list(other.index), list(X_test.index))

    def test_a_line_fits_a_table_made_on_a_line(self):
        X = pandas.DataFrame({"a": np.arange(20.0), "b": np.arange(20.0) ** 2 % 7})
        y = pandas.Series(3 * X["a"] - 2 * X["b"] + 1, name="y")
        X_train, X_test, y_train, y_test = tables.split(X, y, 1)
        self.assertAlmostEqual(tables.linear_r2(X_train, y_train, X_test, y_test), 1.0)

    def test_training_tables_read_back_exactly(self):
        X, y = tables.load("engel")
        with tempfile.TemporaryDirectory() as folder:
            path = Path(folder) / "engel.csv"
            tables.write_table(path, X, y)
            lines = path.read_text().splitlines()
        self.assertEqual(lines[0], "income,foodexp")
        read = np.array([[float(v) for v in line.split(",")] for line in lines[1:]])
        self.assertTrue(np.array_equal(read, np.column_stack([X.to_numpy(), y.to_numpy()])))


if __name__ == "__main__":
    unittest.main()
