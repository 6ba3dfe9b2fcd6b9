"""MovarRegressor: scikit-learn's own checks, its parameters from the table of settings,
the fitted attributes, pickling and a fit that fails without a trace."""

import inspect
import pickle
import threading
import warnings

import numpy as np
import pytest

sklearn = pytest.importorskip("sklearn")
from sklearn.utils.estimator_checks import (  # noqa: E402
    check_dataframe_column_names_consistency, check_estimator, check_n_features_in_after_fitting)

import movar  # noqa: E402
from conftest import FAST, golden, model_text, movar_search  # noqa: E402

MovarRegressor = movar.MovarRegressor


def test_scikit_learn_s_own_checks_pass():
    # No check is skipped. The search is kept small, yet large enough that the models of
    # the checks' linear data score the R² above 0.5 that check_regressors_train asks for.
    # The two checks named below are not among check_estimator's in every scikit-learn.
    estimator = MovarRegressor(**{**FAST, "population": 100, "generations": 50})
    with warnings.catch_warnings():
        # The checks' data has up to 10 columns: more than the 2 registers of the default.
        warnings.filterwarnings("ignore", "The samples have", RuntimeWarning)
        check_estimator(estimator)
        check_dataframe_column_names_consistency("MovarRegressor", estimator)
        check_n_features_in_after_fitting("MovarRegressor", estimator)


def test_the_parameters_are_the_settings_of_the_table_with_their_defaults():
    parameters = inspect.signature(MovarRegressor).parameters
    table = {row["name"]: row for row in movar.settings()}
    assert set(parameters) == set(table)
    for name, row in table.items():
        default = parameters[name].default
        if name == "restarts":
            assert default is True  # the estimator's mode; movar-search's is off
        elif row["best_mode"] is not None or row["default"] is None:
            assert default is None, name  # the mode's or "no limit"
        elif row["switch"]:
            assert default is bool(row["default"]), name
        else:
            assert default == row["default"], name


def test_fit_gives_movar_search_s_model_and_the_fitted_attributes():
    path = golden("sine-seed1.mvs")
    stdout, _ = movar_search("--samples", path, "--seed", 2, "--restarts", "--threads", 1)
    X, y = movar.load_samples(path)
    model = MovarRegressor(seed=2, threads=1).fit(X, y)
    assert model.model_text_ == model_text(stdout)
    assert f"attempt: {model.attempt_}\n" in stdout
    assert model.seed_ == 2 and model.matched_ and model.matches_ == 100
    assert model.n_features_in_ == 1 and not hasattr(model, "feature_names_in_")
    assert model.formula_ and model.latex_ and model.formula_note_
    assert np.array_equal(model.predict(X), model.program_.predict(X))
    assert model.score(X, y) > 0.99


def test_a_fit_from_the_clock_says_which_seed_repeats_it():
    X = np.linspace(0, 3, 30).reshape(-1, 1)
    y = 2 * X[:, 0] + 1
    first = MovarRegressor(**{**FAST, "seed": None}).fit(X, y)
    again = MovarRegressor(**{**FAST, "seed": first.seed_}).fit(X, y)
    assert again.model_text_ == first.model_text_


def test_a_dataframe_s_column_names_are_kept_and_checked_when_predicting():
    pandas = pytest.importorskip("pandas")
    frame = pandas.DataFrame({"angle": np.linspace(0, 6, 40)})
    model = MovarRegressor(**FAST).fit(frame, np.sin(frame["angle"]))
    assert list(model.feature_names_in_) == ["angle"]
    with pytest.raises(ValueError, match="feature names"):
        model.predict(pandas.DataFrame({"other": [1.0]}))
    with pytest.raises(ValueError, match="column 'label' is not numeric"):
        model.fit(pandas.DataFrame({"label": ["a", "b"]}), [1.0, 2.0])


def test_a_fitted_estimator_survives_a_pickle():
    X = np.linspace(-2, 2, 50).reshape(-1, 1)
    model = MovarRegressor(**FAST).fit(X, X[:, 0] ** 2)
    copy = pickle.loads(pickle.dumps(model))
    assert copy.model_text_ == model.model_text_
    assert np.array_equal(copy.predict(X).view(np.int64), model.predict(X).view(np.int64))
    assert copy.get_params() == model.get_params()
    assert [m.model_text for m in copy.front_] == [m.model_text for m in model.front_]
    assert np.array_equal(copy.front_[0].predict(X), model.front_[0].predict(X))


def test_a_holdout_adds_its_figures_and_a_later_fit_without_one_takes_them_away():
    X = np.linspace(-2, 2, 50).reshape(-1, 1)
    y = X[:, 0] ** 3 - X[:, 0]
    model = MovarRegressor(**FAST, holdout=30).fit(X, y)
    assert model.held_out_["count"] == 15 and model.suggested_.held_out is not None
    assert all(m.held_out["count"] == 15 for m in model.front_)
    model.set_params(holdout=0).fit(X, y)
    assert not hasattr(model, "held_out_") and not hasattr(model, "suggested_")
    assert all(m.held_out is None for m in model.front_)


def test_sympy_gives_the_formula_as_an_expression():
    sympy = pytest.importorskip("sympy")
    X, y = movar.load_samples(golden("sine-external.mvs"))
    model = MovarRegressor(restarts=False, seed=4, generations=3000).fit(X, y)
    x = sympy.Symbol("x", real=True)
    assert model.formula_ == "sin(x)"
    assert model.sympy() == sympy.sin(x)


FAULTS = [
    ("NaN", [[1.0], [np.nan]], [1.0, 2.0], "X holds NaN at row 2, column 1"),
    ("infinite", [[1.0], [2.0]], [1.0, np.inf], "y holds inf at row 2"),
    ("lengths", [[1.0], [2.0], [3.0]], [1.0, 2.0], "inconsistent numbers of samples"),
    ("no rows", np.zeros((0, 1)), np.zeros(0), "0 sample"),
    ("too many columns", np.ones((3, movar.MAX_INPUTS + 1)), [1.0, 2.0, 3.0],
     f"X has {movar.MAX_INPUTS + 1} columns"),
    ("text", [["a"], ["b"]], [1.0, 2.0], "X holds text, not numbers"),
    ("setting", [[1.0], [2.0]], [1.0, 2.0], "registers: out of range"),
]


@pytest.mark.parametrize("case, X, y, message", FAULTS, ids=[f[0] for f in FAULTS])
def test_a_fit_that_fails_leaves_the_estimator_as_it_was(case, X, y, message):
    good = np.linspace(0, 1, 20).reshape(-1, 1)
    model = MovarRegressor(**FAST).fit(good, good[:, 0] * 3)
    before = dict(vars(model))
    if case == "setting":
        model.set_params(registers=99)
    with pytest.raises(ValueError, match=message):
        model.fit(X, y)
    model.set_params(registers=before["registers"])
    assert vars(model).keys() == before.keys()
    assert all(vars(model)[k] is before[k] for k in before)


def test_ctrl_c_during_fit_leaves_an_unfitted_estimator():
    import _thread

    X = np.random.default_rng(1).uniform(size=(100, 1))
    y = np.random.default_rng(2).uniform(size=100)
    model = MovarRegressor(seed=1, margin=0, threads=1, time_limit=60)
    timer = threading.Timer(0.5, _thread.interrupt_main)
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        model.fit(X, y)
    timer.join()
    assert not hasattr(model, "program_")
