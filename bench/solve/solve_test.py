#!/usr/bin/env python3
"""Checks of the time-to-solution benchmark's problems and of how run.py judges a run."""
import math
import re
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_problems  # noqa: E402
import run  # noqa: E402


def law(name, x):
    return make_problems.PROBLEMS[name][0](x)


class ProblemsTest(unittest.TestCase):
    def test_table_of_the_docstring_matches_the_samples(self):
        # Every row of the docstring's table names a problem whose samples have the stated range
        # and count, so the table and the files cannot drift apart.
        rows = re.findall(r"^  (\S+) .*?\b([UE])\[([^\]]+)\](?:, seed (\d+)| \((\d+)\))",
                          make_problems.__doc__, re.M)
        listed = {row[0] for row in rows}
        self.assertEqual(listed, {n for n in make_problems.PROBLEMS if not n.startswith("sine")})
        for name, kind, bounds, seed, count in rows:
            low, high, third = (float(v) for v in bounds.split(","))
            xs = make_problems.inputs(make_problems.PROBLEMS[name][1])
            with self.subTest(name=name):
                if kind == "U":
                    self.assertEqual(make_problems.PROBLEMS[name][1][4], int(seed))
                    self.assertEqual(len(xs), int(third))
                    self.assertTrue(all(low <= x <= high for x in xs))
                else:
                    self.assertEqual(len(xs), int(count))
                    self.assertEqual((xs[0], xs[-1]), (low, high))
                self.assertTrue(all(math.isfinite(law(name, x)) for x in xs))

    def test_laws_at_points_worked_by_hand(self):
        cases = [("nguyen-1", 1, 3), ("nguyen-4", -1, 0), ("nguyen-5", 0, -1),
                 ("nguyen-6", -1, math.sin(-1)), ("nguyen-7", 1, 2 * math.log(2)),
                 ("koza-1", 2, 30), ("koza-2", 2, 18), ("koza-3", 2, 36),
                 ("keijzer-1", 0.25, 0.075), ("keijzer-2", -1.75, -0.525),
                 ("keijzer-4", math.pi / 2, 0), ("keijzer-7", math.e, 1),
                 ("keijzer-8", 81, 9), ("keijzer-9", 0.75, math.log(2)),
                 ("r-1", 1, 8), ("r-2", 1, -0.5), ("r-3", 1, 0.4), ("xsin-20", 0.25, 0.075),
                 ("sine-m7", 2, math.sin(14))]
        for name, x, y in cases:
            with self.subTest(name=name):
                self.assertAlmostEqual(law(name, x), y, places=12)

    def test_grids_hit_the_decimals(self):
        # Summed steps drift: 0.1 added ten times to -1 is not 0.
        xs = make_problems.inputs(make_problems.PROBLEMS["keijzer-1"][1])
        self.assertEqual(xs[1], -0.9)
        self.assertEqual(xs[10], 0.0)
        grid = make_problems.inputs(make_problems.PROBLEMS["keijzer-4"][1])
        self.assertEqual((len(grid), grid[2], grid[-1]), (201, 0.1, 10.0))
        self.assertEqual(make_problems.inputs(make_problems.PROBLEMS["sine-m1"][1]),
                         list(range(100)))

    def test_files_read_back_exactly(self):
        with tempfile.TemporaryDirectory() as folder:
            sys.argv = ["make_problems.py", folder]
            make_problems.main()
            self.assertEqual(len(list(Path(folder).glob("*.mvs"))), len(make_problems.PROBLEMS))
            for name in ("nguyen-3", "keijzer-9", "sine-m50"):
                data = (Path(folder) / f"{name}.mvs").read_bytes().decode()
                lines = data.split("\r\n")
                self.assertEqual(lines[-1], "")
                read = [tuple(float(v) for v in line.split(",")) for line in lines[:-1]]
                self.assertEqual(read, make_problems.points(name))


# The searches alone, their attempts numbered without the short programs' attempt 1.
SEARCHES = "best without short-programs"


class RunTest(unittest.TestCase):
    def test_problem_selection(self):
        self.assertEqual(run.problems(["sine-m3"]), ["sine-m3"])
        self.assertEqual(len(run.problems(["sine-m"])), 50)
        self.assertEqual(run.problems(["r-", "koza-2"]), ["koza-2", "r-1", "r-2", "r-3"])

    def test_work_follows_the_luby_lengths(self):
        self.assertEqual([run.luby(k) for k in range(15)],
                         [1, 1, 2, 1, 1, 2, 4, 1, 1, 2, 1, 1, 2, 4, 8])
        best = ["--population", "100"] + run.MODES[SEARCHES]
        generations = run.Budget(5000)
        # Attempts 0, 1 and 2 ran 200, 200 and 400 generations before attempt 3 matched.
        self.assertEqual(run.work_to_answer(best, 3, 50, generations), (850, 850))
        self.assertEqual(run.work_to_answer(best, 0, 7, generations), (7, 7))
        # 14 attempts reach 4800 generations, the 15th 6400.
        self.assertEqual(run.attempts_for(best, run.Budget(4800)), 14)
        self.assertEqual(run.attempts_for(best, run.Budget(4801)), 15)
        self.assertEqual(run.attempts_for(best, run.Budget(1)), 1)

    def test_the_size_ladder_grows_three_levels_and_shortens_their_units(self):
        ladder = ["--registers", "2", "--instructions", "5", "--population", "100",
                  "--size-ladder"] + run.MODES[SEARCHES]
        shapes = [run.attempt_shape(ladder, k) for k in range(9)]
        # Levels 0, 1, 2 each run Luby(k / 3) units; a unit of 200 generations at population
        # 100 is 66 at 300 and 20 at 1000, so every level scores about as many programs.
        self.assertEqual(shapes[:3], [(200, 120, 5), (66, 320, 10), (20, 1020, 20)])
        self.assertEqual([s[0] for s in shapes[6:9]], [400, 132, 40])
        work, programs = run.work_to_answer(ladder, 2, 5)
        self.assertEqual((work, programs), (271, 200 * 120 + 66 * 320 + 5 * 1020))
        # A population near the limit grows no further.
        large = ["--population", "500000", "--instructions", "600", "--restarts",
                 "--size-ladder", "--no-short-programs"]
        self.assertEqual(run.attempt_shape(large, 2), (100, 1_000_020, 1000))

    def test_equal_cost_weighs_programs_by_their_instructions(self):
        self.assertEqual(run.program_weight(5), 1.0)
        self.assertAlmostEqual(run.program_weight(20), 1.66 / 0.76)
        self.assertAlmostEqual(run.program_weight(15), (0.98 + 1.66) / 2 / 0.76)
        self.assertGreater(run.program_weight(40), run.program_weight(20))
        big = run.size_args("koza-3", "4/20/1000") + run.MODES[run.BEST]
        weighed = run.Budget(10**9, programs=True, weighed=True)
        self.assertAlmostEqual(run.work_to_answer(big, 0, 10, weighed)[1],
                               10 * 1020 * 1.66 / 0.76)

    def test_budget_in_programs_counts_the_refiner(self):
        best = run.size_args("koza-3", "set") + run.MODES[run.BEST]
        programs = run.Budget(5_100_000, programs=True)
        # 5000 generations of 1020 programs: 25 attempts of 200-generation units reach them.
        self.assertEqual(run.attempts_for(best, programs), run.attempts_for(best, run.Budget(5000)))
        plain = run.size_args("koza-3", "2/5/100") + run.MODES["plain"]
        self.assertEqual(run.limit_args(plain, run.Budget(5_000_000, programs=True), None),
                         ["--generations", "50000"])
        refined = plain + ["--refine", "25"]
        self.assertEqual(run.limit_args(refined, run.Budget(5_000_000, programs=True), None),
                         ["--generations", "40000"])

    def test_the_short_programs_attempt_takes_no_generations(self):
        best = ["--population", "100"] + run.MODES[run.BEST]
        searches = ["--population", "100"] + run.MODES[SEARCHES]
        self.assertEqual(run.attempt_shape(best, 1), (0, 0, 5))
        for k in (0, 2, 3, 7):
            self.assertEqual(run.attempt_shape(best, k),
                             run.attempt_shape(searches, k - 1 if k > 1 else k))
        # Attempts 0, 1 and 2: 200 generations, none, 200; then 50 of attempt 3.
        self.assertEqual(run.work_to_answer(best, 3, 50, run.Budget(5000)), (450, 450))
        self.assertEqual(run.attempts_for(best, run.Budget(4800)),
                         run.attempts_for(searches, run.Budget(4800)) + 1)

    def test_limits_of_a_run(self):
        best = run.MODES[SEARCHES]
        self.assertEqual(run.limit_args(best, run.Budget(4801), None), ["--attempts", "15"])
        self.assertEqual(run.limit_args(best + ["--restart-unit", "100"], run.Budget(4801), 10),
                         ["--time-limit", "10", "--attempts", "26"])
        self.assertEqual(run.limit_args(best + ["--attempts", "3"], run.Budget(4801), None), [])
        self.assertEqual(run.limit_args([], run.Budget(500), None), ["--generations", "500"])
        self.assertEqual(run.limit_args(best, None, 10), ["--time-limit", "10"])

    def test_a_match_beyond_the_budget_does_not_count(self):
        with tempfile.TemporaryDirectory() as folder:
            fake = Path(folder) / "movar-search"
            given = Path(folder) / "arguments"
            fake.write_text("#!/bin/sh\n"
                            f"echo \"$@\" > {given}\n"
                            "printf 'var[0] = x;\\ngenerations: 5\\nattempt: 2\\nseed: 9\\n'\n"
                            "exit ${FAKE_STATUS:-0}\n")
            fake.chmod(0o755)
            best = run.MODES[SEARCHES]
            self.assertEqual(run.run_one(str(fake), "p.mvs", best, 1, run.Budget(405), None)[0:3:2],
                             (True, 5))
            self.assertIn("--attempts 3", given.read_text())
            self.assertEqual(run.run_one(str(fake), "p.mvs", best, 1, run.Budget(404), None)[0],
                             False)
            # In programs: 400 generations of 120 programs, then 5 of the answer.
            in_programs = run.Budget(405 * 120, programs=True)
            self.assertTrue(run.run_one(str(fake), "p.mvs", best, 1, in_programs, None)[0])
            in_programs.amount -= 1
            self.assertFalse(run.run_one(str(fake), "p.mvs", best, 1, in_programs, None)[0])
            matched, _, generations, work, _ = run.run_one(str(fake), "p.mvs", [], 1, None, 10)
            self.assertEqual((matched, generations, work), (True, 5, 5))
            self.assertIn("--time-limit 10", given.read_text())
            fake.write_text(fake.read_text().replace("${FAKE_STATUS:-0}", "2"))
            with self.assertRaises(SystemExit):
                run.run_one(str(fake), "p.mvs", best, 1, None, 10)


if __name__ == "__main__":
    unittest.main()
