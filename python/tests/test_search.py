"""movar.search and the sample files: the same model as movar-search, the predictions of
the interpreter, refusals of what a search cannot take, Ctrl+C and the GIL."""

import pickle
import signal
import subprocess
import sys
import textwrap
import threading
import time

import numpy as np
import pytest

import movar
from conftest import FAST, compiled_c, golden, model_text, movar_search


@pytest.mark.parametrize("sample_file, options", [
    ("sine-external.mvs", {"seed": 4, "generations": 3000}),
    ("sine-seed1.mvs", {"seed": 1, "generations": 300}),
    ("random-seed1000.mvs", {"seed": 9, "registers": 3, "instructions": 10, "population": 300,
                             "margin": 20, "progressive": False, "generations": 200}),
    ("sine-seed1.mvs", {"seed": 5, "restarts": True, "threads": 2}),
    ("sine-seed1.mvs", {"seed": 6, "restarts": True, "refine": 0, "attempts": 3,
                        "restart_unit": 50, "threads": 1}),
])
def test_the_same_settings_and_seed_give_movar_search_s_model(sample_file, options):
    path = golden(sample_file)
    arguments = ["--samples", path]
    for name, value in options.items():
        option = "--" + name.replace("_", "-")
        if value is True:
            arguments.append(option)
        elif value is False:
            arguments.append("--no-" + name)
        else:
            arguments += [option, value]
    stdout, status = movar_search(*arguments)
    X, y = movar.load_samples(path)
    result = movar.search(X, y, **options)
    assert result.model_text == model_text(stdout)
    report = f"generations: {result.generations}\n"
    if result.attempt is not None:
        report += f"attempt: {result.attempt}\nseed: {result.attempt_seed}\n"
    assert stdout == result.model_text + report
    assert result.matched == (status == 0)
    assert result.seed == options["seed"]


def test_the_reference_run_of_a_sample_file_is_reproduced():
    expected = golden("sine-external-seed4.out").read_text()
    X, y = movar.load_samples(golden("sine-external.mvs"))
    result = movar.search(X, y, seed=4, generations=3000)
    assert result.model_text + f"generations: {result.generations}\n" == expected
    assert result.formula == "sin(x)"
    assert result.matches == result.sample_count == 100


def _bits(values):
    return np.asarray(values, dtype=np.float64).view(np.int64)


def _fitted_programs():
    """Models of the reference data and of harder ones, whose guards act at some x."""
    X, y = movar.load_samples(golden("sine-seed1.mvs"))
    yield movar.search(X, y, seed=1, generations=300).program
    X, y = movar.load_samples(golden("random-seed1000.mvs"))
    for seed in (1, 2, 3):
        yield movar.search(X * 40 - 20, y, seed=seed, registers=4, instructions=30,
                           population=200, progressive=False, generations=60).program


def test_predictions_are_the_emitted_c_and_python_bit_for_bit(tmp_path):
    xs = np.concatenate([np.linspace(-30, 130, 2001), [0.0, -0.0, 1e-310, -1e-310, 1e300,
                                                        -1e300, 9.3e18, np.inf, -np.inf,
                                                        np.nan]])
    for k, program in enumerate(_fitted_programs()):
        predicted = program.predict(xs.reshape(-1, 1))
        namespace = {}
        exec(program.python_code("model"), namespace)
        assert np.array_equal(_bits(namespace["model"](xs)), _bits(predicted)), program.source
        folder = tmp_path / str(k)
        folder.mkdir()
        c_model = compiled_c(program, folder)
        assert np.array_equal(_bits([c_model(x) for x in xs]), _bits(predicted)), program.source


def test_predict_takes_any_layout_and_number_type_as_the_same_doubles():
    program = next(_fitted_programs())
    xs = np.linspace(-5, 5, 41)
    expected = program.predict(xs.reshape(-1, 1))
    wide = np.stack([xs, xs * 7]).T  # a column that is a strided view
    for X in (xs.reshape(-1, 1).astype(np.float32).astype(np.float64), wide[:, :1],
              np.asfortranarray(xs.reshape(-1, 1)), xs.reshape(-1, 1).tolist()):
        assert np.array_equal(_bits(program.predict(np.asarray(X, dtype=np.float64))),
                              _bits(expected))
    result = movar.search(xs, np.sin(xs), **FAST)
    assert np.array_equal(_bits(result.predict(xs)), _bits(result.predict(xs.reshape(-1, 1))))


BAD_INPUTS = [
    ("NaN in X", [[1.0], [np.nan], [3.0]], [1, 2, 3], "X holds NaN at row 2, column 1"),
    ("inf in y", [[1.0], [2.0], [3.0]], [1, np.inf, 3], "y holds inf at row 2"),
    ("-inf in X", [[-np.inf], [2.0]], [1, 2], "X holds -inf at row 1"),
    ("lengths", [[1.0], [2.0], [3.0]], [1, 2], "X has 3 rows and y 2 values"),
    ("no rows", np.zeros((0, 1)), [], "no samples: X has 0 rows"),
    ("columns", np.zeros((4, movar.MAX_INPUTS + 1)), [1, 2, 3, 4],
     f"X has {movar.MAX_INPUTS + 1} columns"),
    ("text", [["a"], ["b"]], [1, 2], "X holds text, not numbers"),
    ("numbers as text", [["1.5"], ["2"]], [1, 2], "X holds text, not numbers"),
    ("an object", np.array([[1.0], [{}]], dtype=object), [1, 2],
     "X holds a value that is not a number"),
    ("complex", [[1j], [2.0]], [1, 2], "X holds complex numbers"),
    ("table of y", [[1.0], [2.0]], [[1, 2], [3, 4]], "y must be one column"),
]


@pytest.mark.parametrize("case, X, y, message", BAD_INPUTS, ids=[c[0] for c in BAD_INPUTS])
def test_what_a_search_cannot_take_is_refused_with_a_sentence(case, X, y, message, tmp_path):
    with pytest.raises(ValueError, match=message.replace("(", r"\(")):
        movar.search(X, y, **FAST)
    target = tmp_path / "samples.mvs"
    with pytest.raises(ValueError, match=message.replace("(", r"\(")):
        movar.save_samples(target, X, y)
    assert not target.exists()


def test_a_dataframe_column_that_is_not_numbers_is_named():
    pandas = pytest.importorskip("pandas")
    frame = pandas.DataFrame({"city": ["Oslo", "Rome"]})
    with pytest.raises(ValueError, match="X's column 'city' is not numeric"):
        movar.search(frame, [1.0, 2.0], **FAST)


SETTING_FAULTS = [
    ({"registers": 21}, ValueError, r"registers: out of range \(1\.\.20\): 21"),
    ({"time_limit": 0}, ValueError, r"time_limit: out of range \(1\.\.31536000\): 0"),
    ({"seed": 2 ** 32}, ValueError, r"seed: out of range \(0\.\.4294967295\): 4294967296"),
    ({"margin": 0.1}, ValueError, "margin: not a whole number: 0.1"),
    ({"population": "100"}, TypeError, "population: a whole number, not '100'"),
    ({"registers": True}, TypeError, "registers: a whole number, not True"),
    ({"progressive": "no"}, TypeError, "progressive: True or False, not 'no'"),
    ({"progressive": 2}, TypeError, "progressive: True or False, not 2"),
    ({"colour": 3}, TypeError, "no setting is called 'colour'"),
    ({"restarts": True, "generations": 10}, ValueError,
     "generations limits a plain search; with restarts use attempts or time_limit"),
]


@pytest.mark.parametrize("settings, error, message", SETTING_FAULTS)
def test_settings_are_checked_against_the_table(settings, error, message):
    with pytest.raises(error, match=message):
        movar.search([1.0, 2.0], [1.0, 2.0], **{**FAST, **settings})


def test_every_setting_of_the_table_is_taken_at_both_ends_of_its_range():
    ends = {row["name"]: (row["minimum"], row["maximum"]) for row in movar.settings()}
    assert set(ends) >= {"registers", "instructions", "population", "margin", "progressive",
                         "generations", "threads", "time_limit", "restarts", "seed"}
    # NumPy's integers and booleans are taken as Python's.
    result = movar.search([1.0, 2.0], [2.0, 4.0], **{**FAST, "registers": np.int64(20),
                                                     "progressive": np.bool_(False),
                                                     "seed": 2 ** 32 - 1})
    assert result.seed == 2 ** 32 - 1


def test_a_progressive_search_on_fewer_than_ten_samples_is_warned_of():
    with pytest.warns(RuntimeWarning, match="scores none of them"):
        movar.search([1.0, 2.0, 3.0], [1.0, 4.0, 9.0], **FAST, progressive=True)


def test_a_program_survives_a_pickle_and_a_damaged_state_is_refused():
    program = next(_fitted_programs())
    copy = pickle.loads(pickle.dumps(program))
    xs = np.linspace(-3, 3, 61).reshape(-1, 1)
    assert np.array_equal(_bits(copy.predict(xs)), _bits(program.predict(xs)))
    assert copy.c_code() == program.c_code()
    state = program.__getstate__()
    code = state[3]
    damaged = {
        "register written": [(5, 0, 0, 0.0)] + code[1:],
        "register read": [(0, 0, 7, 0.0)] + code[1:],
        "opcode": [(0, 13, 0, 0.0)] + code[1:],
        "constant of a function": [(0, 5, 255, 1.0)] + code[1:],
        "no code": [],
    }
    for name, bad in damaged.items():
        with pytest.raises(ValueError, match="not a program"):
            movar.Program.__new__(movar.Program).__setstate__(state[:3] + (bad,) + state[4:])
    with pytest.raises(ValueError, match="not a program"):
        movar.Program.__new__(movar.Program).__setstate__(state[:1] + (0,) + state[2:])
    with pytest.raises(ValueError, match="of this version"):
        movar.Program.__new__(movar.Program).__setstate__((99,) + state[1:])


def test_the_front_trades_size_for_error_and_its_figures_are_its_models():
    X, y = movar.load_samples(golden("random-seed1000.mvs"))
    result = movar.search(X, y, seed=2, registers=3, instructions=12, population=200,
                          progressive=False, generations=200)
    front = result.front
    assert len(front) >= 2
    sizes = [model.size for model in front]
    errors = [model.error for model in front]
    assert sizes == sorted(set(sizes)) and 1 <= sizes[0] and sizes[-1] <= 12
    assert all(larger < smaller for smaller, larger in zip(errors, errors[1:]))
    for model in front:
        residual = model.predict(X) - y
        assert model.error == pytest.approx(np.abs(residual).sum(), rel=1e-12)
        assert model.rmse == pytest.approx(np.sqrt(np.mean(residual ** 2)), rel=1e-12)
        assert model.r2 == pytest.approx(1 - (residual ** 2).sum() / ((y - y.mean()) ** 2).sum(),
                                         rel=1e-9)
        assert model.program.source in model.model_text
        assert model.attempt == 0 and model.seed == 2 and 0 < model.generation <= 200
    # Scored on every sample, each model shown beats the one before: the last one closes it.
    assert front[-1].model_text == result.model_text and front[-1].error == result.error


def test_a_holdout_keeps_out_the_rows_movar_search_keeps_out_and_suggests_a_model():
    path = golden("random-seed1000.mvs")
    options = ["--seed", 9, "--holdout", 20, "--generations", 200, "--registers", 3,
               "--no-progressive"]
    stdout, _ = movar_search("--samples", path, *options)
    X, y = movar.load_samples(path)
    result = movar.search(X, y, seed=9, holdout=20, generations=200, registers=3,
                          progressive=False)
    assert result.model_text == model_text(stdout)
    held_out = result.held_out
    assert result.sample_count == 80 and held_out["count"] == 20
    assert "held-out: 20 samples" in stdout
    # The rows held out and those searched make up the set: their errors add up to its own.
    total = np.abs(result.predict(X) - y).sum()
    assert result.error + held_out["error"] == pytest.approx(total, rel=1e-12)
    front = result.front
    assert all(model.held_out["count"] == 20 for model in front)
    lowest = min(model.held_out["error"] for model in front)
    good = [model for model in front if model.held_out["error"] <= lowest * 1.05]
    assert result.suggested.model_text == good[0].model_text
    assert movar.search(X, y, seed=9, generations=20).suggested is None


def test_sample_files_round_trip_and_movar_search_reads_them(tmp_path):
    rng = np.random.default_rng(7)
    X = rng.uniform(-10, 10, size=(50, 1))
    y = np.cos(X[:, 0]) * 3 + rng.normal(scale=1e-3, size=50)
    path = tmp_path / "noisy.mvs"
    movar.save_samples(path, X, y)
    X2, y2 = movar.load_samples(path)
    # The file holds eight decimals: the values read back are the nearest of those.
    assert np.abs(X2 - X).max() <= 5e-9 and np.abs(y2 - y).max() <= 5e-9
    again = tmp_path / "again.mvs"
    movar.save_samples(again, X2, y2)
    assert again.read_bytes() == path.read_bytes()
    stdout, _ = movar_search("--samples", path, "--seed", 11, "--generations", 50)
    assert model_text(stdout) == movar.search(X2, y2, seed=11, generations=50).model_text


def test_unreadable_lines_are_left_out_with_a_warning_and_a_header_names_the_columns(tmp_path):
    path = tmp_path / "named.mvs"
    path.write_bytes(b"time,height\r\n1,2\r\nx,3\r\n4,5\r\n")
    with pytest.warns(UserWarning, match="1 of 3 lines could not be read"):
        X, y = movar.load_samples(path)
    assert X.tolist() == [[1.0], [4.0]] and y.tolist() == [2.0, 5.0]
    pytest.importorskip("pandas")
    with pytest.warns(UserWarning):
        frame, series = movar.load_samples(path, as_frame=True)
    assert list(frame.columns) == ["time"] and series.name == "height"
    empty = tmp_path / "empty.mvs"
    empty.write_bytes(b"\r\n")
    with pytest.raises(ValueError, match="no samples"):
        movar.load_samples(empty)
    with pytest.raises(OSError, match="Cannot open file"):
        movar.load_samples(tmp_path / "missing.mvs")


def test_ctrl_c_stops_a_search_and_raises_keyboard_interrupt():
    script = textwrap.dedent("""
        import sys, numpy as np, movar
        X = np.random.default_rng(1).uniform(size=(200, 1))
        y = np.random.default_rng(2).uniform(size=200)
        print("searching", flush=True)
        movar.search(X, y, restarts=True, seed=1, threads=2, margin=0)
        print("ended without a match", flush=True)
    """)
    child = subprocess.Popen([sys.executable, "-c", script], stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True)
    assert child.stdout.readline() == "searching\n"
    time.sleep(0.5)
    child.send_signal(signal.SIGINT)
    stdout, stderr = child.communicate(timeout=60)
    assert "KeyboardInterrupt" in stderr and stdout == ""
    # Python ends by SIGINT itself when a KeyboardInterrupt reaches the top.
    assert child.returncode == -signal.SIGINT


def test_the_search_runs_without_the_gil():
    X = np.random.default_rng(1).uniform(size=(100, 1))
    y = np.random.default_rng(2).uniform(size=100)
    finished = threading.Event()
    search = threading.Thread(target=lambda: (movar.search(X, y, restarts=True, seed=1,
                                                            time_limit=2, margin=0, threads=1),
                                              finished.set()))
    search.start()
    turns = 0
    while not finished.is_set():
        turns += 1
        time.sleep(0.001)
    search.join()
    # With the GIL held this thread would not run until the search returned.
    assert turns >= 100


def test_a_search_too_large_for_the_memory_is_refused_before_it_starts():
    script = textwrap.dedent("""
        import resource, movar
        limit = 2 << 30
        resource.setrlimit(resource.RLIMIT_AS, (limit, limit))
        try:
            movar.search([1.0, 2.0], [1.0, 2.0], population=1000000, instructions=1000,
                         registers=20, threads=2, generations=1, restarts=False)
        except movar.SearchMemoryError as error:
            print(isinstance(error, MemoryError), error)
    """)
    run = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                         timeout=120, check=False)
    assert run.stdout.startswith("True A search of population 1000000 with 1000 instructions"), \
        run.stderr
