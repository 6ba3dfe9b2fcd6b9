"""Samples of several input columns: the predictions against the emitted code and the
search's own sums, the names of a DataFrame's columns, sample files and what is refused."""

import pickle

import numpy as np
import pytest

import movar
from conftest import FAST, compiled_c, model_text, movar_search

# Values where the guards act, beside ordinary ones: every input takes each of them.
EDGES = [0.0, -0.0, 1e-310, -1e-310, 1e300, -1e300, 9.3e18, 710.0, -745.0, np.inf, -np.inf,
         np.nan]


def _bits(values):
    return np.asarray(values, dtype=np.float64).view(np.int64)


def _law(inputs, rows=80, seed=5):
    """Samples of a law that reads every input, and a search that finds a model of it."""
    rng = np.random.default_rng(seed)
    X = rng.uniform(-3, 3, size=(rows, inputs))
    y = X[:, 0] * X[:, -1] + np.sin(X.sum(axis=1))
    result = movar.search(X, y, restarts=False, seed=seed, registers=inputs + 2, instructions=25,
                          population=300, generations=150, progressive=False, threads=1)
    return X, y, result


def _error_sum(predictions, y):
    """The error as the search sums it: each difference rounded to a double, the running
    sum kept as a double, both computed in long double."""
    total = np.float64(0)
    for p, target in zip(predictions, y):
        difference = np.float64(np.longdouble(p) - np.longdouble(target))
        total = np.float64(np.longdouble(total) + np.longdouble(abs(difference)))
    return total


@pytest.mark.parametrize("inputs", [1, 2, 3, 8])
def test_predictions_are_the_emitted_code_and_the_search_s_own_error_bit_for_bit(inputs,
                                                                                tmp_path):
    X, y, result = _law(inputs)
    program = result.program
    assert program.input_count == inputs
    # The search scores with its own fast interpreter; predict runs the reference one.
    predicted = program.predict(X)
    assert _error_sum(predicted, y) == result.error
    rng = np.random.default_rng(inputs)
    edges = rng.choice(EDGES, size=(400, inputs))
    wide = rng.uniform(-1e4, 1e4, size=(400, inputs))
    points = np.concatenate([X, edges, wide])
    expected = program.predict(points)
    namespace = {}
    exec(program.python_code("model"), namespace)
    emitted = namespace["model"](*points.T)
    assert np.array_equal(_bits(emitted), _bits(expected)), program.source
    c_model = compiled_c(program, tmp_path)
    assert np.array_equal(_bits([c_model(*row) for row in points]), _bits(expected)), \
        program.source
    # A row is one sample wherever it stands.
    assert np.array_equal(_bits([program.predict(points[i:i + 1])[0] for i in range(0, 800, 97)]),
                          _bits(expected[0:800:97]))
    if inputs > 1:
        noun = "column" if inputs == 2 else "columns"
        with pytest.raises(ValueError, match=f"X has {inputs - 1} {noun}; the model takes "
                                             f"{inputs}$"):
            program.predict(X[:, 1:])


def test_every_column_count_up_to_the_limit_is_searched_and_more_are_refused():
    rng = np.random.default_rng(8)
    for columns in range(1, movar.MAX_INPUTS + 1):
        X = rng.uniform(size=(12, columns))
        result = movar.search(X, X.sum(axis=1), **FAST, registers=max(2, columns),
                              progressive=False)
        assert result.program.input_count == columns
        assert result.program.predict(X).shape == (12,)
    X = np.zeros((4, movar.MAX_INPUTS + 1))
    with pytest.raises(ValueError, match=f"X has {movar.MAX_INPUTS + 1} columns; a model "
                                         f"takes 1 to {movar.MAX_INPUTS} input columns"):
        movar.search(X, np.zeros(4), **FAST)


def test_fewer_registers_than_inputs_are_raised_with_a_warning():
    X, y = np.random.default_rng(3).uniform(size=(20, 3)), np.arange(20.0)
    with pytest.warns(RuntimeWarning, match="uses 3 registers instead of 1"):
        result = movar.search(X, y, **{**FAST, "registers": 1})
    assert "double var[3];" in result.program.source


def test_a_fault_is_placed_at_its_row_and_column_and_a_text_column_is_named():
    X = np.ones((5, 4))
    X[3, 2] = np.nan
    with pytest.raises(ValueError, match="X holds NaN at row 4, column 3"):
        movar.search(X, np.ones(5), **FAST)
    pandas = pytest.importorskip("pandas")
    frame = pandas.DataFrame({"mass": [1.0, 2.0], "city": ["Oslo", "Rome"], "age": [3, 4]})
    with pytest.raises(ValueError, match="column 'city' is not numeric"):
        movar.MovarRegressor(**FAST).fit(frame, [1.0, 2.0])


def _named_fit(**settings):
    pandas = pytest.importorskip("pandas")
    X, y, _ = _law(3, rows=60)
    frame = pandas.DataFrame(X, columns=["mass", "speed", "height"])
    model = movar.MovarRegressor(**{**FAST, "registers": 5, "population": 300,
                                    "generations": 150, "progressive": False, **settings})
    return frame, pandas.Series(y, name="energy"), model.fit(frame, pandas.Series(y))


def test_a_dataframe_s_column_names_name_the_inputs_of_the_formula_and_the_code():
    sympy = pytest.importorskip("sympy")
    frame, y, model = _named_fit()
    assert list(model.feature_names_in_) == ["mass", "speed", "height"]
    assert model.n_features_in_ == 3
    used = {name for name in ("mass", "speed", "height") if name in model.formula_}
    assert used and "x1" not in model.formula_ and "x2" not in model.formula_
    assert all(r"\mathit{" + name + "}" in model.latex_ for name in used)
    symbols = {str(s) for s in model.sympy().free_symbols}
    assert symbols == used
    assert "double model(double mass, double speed, double height)" in model.program_.c_code()
    assert "def model(mass, speed, height)" in model.program_.python_code()
    # The model text is the one movar-search prints, which names the inputs by position.
    assert "double model(double valueX1, double valueX2, double valueX3)" in model.model_text_
    assert np.array_equal(_bits(model.predict(frame)), _bits(model.program_.predict(frame.values)))
    with pytest.raises(ValueError, match="feature names"):
        model.predict(frame[["speed", "mass", "height"]])
    with pytest.raises(ValueError, match="X has 2 features, but MovarRegressor is expecting 3"), \
            pytest.warns(UserWarning, match="does not have valid feature names"):
        model.predict(frame.values[:, :2])
    # The formula and its expression are the same function of the named inputs.
    expression = sympy.lambdify([sympy.Symbol(n, real=True) for n in frame.columns],
                                model.sympy(), "math")
    row = frame.values[0]
    assert expression(*row) == pytest.approx(model.predict(frame.iloc[:1])[0], rel=1e-9)


def test_the_names_survive_a_pickle_and_a_program_pickled_before_them_still_loads():
    frame, _, model = _named_fit()
    copy = pickle.loads(pickle.dumps(model))
    assert copy.program_.c_code() == model.program_.c_code()
    assert list(copy.feature_names_in_) == list(model.feature_names_in_)
    assert np.array_equal(_bits(copy.predict(frame)), _bits(model.predict(frame)))
    state = model.program_.__getstate__()
    old = movar.Program.__new__(movar.Program)
    old.__setstate__((1,) + state[1:6])
    assert "double model(double x1, double x2, double x3)" in old.c_code()
    assert np.array_equal(_bits(old.predict(frame.values)), _bits(model.predict(frame)))
    for columns in (["mass", "y"], ["mass", "mass", "speed", "y"]):
        with pytest.raises(ValueError, match="column names that do not fit"):
            movar.Program.__new__(movar.Program).__setstate__(state[:6] + (columns,))


def test_sample_files_keep_the_columns_and_movar_search_finds_the_same_model(tmp_path):
    frame, y, model = _named_fit()
    path = tmp_path / "law.mvs"
    movar.save_samples(path, frame, y)
    assert path.read_bytes().startswith(b"mass,speed,height,energy\r\n")
    X, loaded_y = movar.load_samples(path)
    assert X.shape == (60, 3) and np.abs(X - frame.values).max() <= 5e-9
    again_frame, again_y = movar.load_samples(path, as_frame=True)
    assert list(again_frame.columns) == ["mass", "speed", "height"] and again_y.name == "energy"
    options = {"seed": 4, "registers": 5, "generations": 100, "progressive": False}
    stdout, _ = movar_search("--samples", path, "--seed", 4, "--registers", 5,
                             "--generations", 100, "--no-progressive")
    result = movar.search(again_frame, again_y, **options)
    assert result.model_text == model_text(stdout)
    # Unnamed columns are written as movar-search names them.
    plain = tmp_path / "plain.mvs"
    movar.save_samples(plain, X, loaded_y)
    assert plain.read_bytes().startswith(b"x1,x2,x3,y\r\n")


def test_y_takes_a_name_that_no_input_has(tmp_path):
    pandas = pytest.importorskip("pandas")
    frame = pandas.DataFrame({"y": [1.0, 2.0, 3.0], "y_": [0.5, 0.0, 1.0]})
    target = tmp_path / "named.mvs"
    movar.save_samples(target, frame, pandas.Series([1.0, 2.0, 3.0], name="y"))
    assert target.read_bytes().startswith(b"y,y_,y__\r\n")
    X, _ = movar.load_samples(target)
    assert X.tolist() == frame.values.tolist()


@pytest.mark.parametrize("columns, message", [
    (["1.5", "b"], "would not read back"),
    (["a\nb", "c"], "would not read back"),
    (["a", "a"], "Columns 1 and 2 have the same name"),
    (["a", ""], "Column 2 has no name"),
])
def test_names_a_sample_file_cannot_keep_are_refused_before_it_is_written(columns, message,
                                                                       tmp_path):
    pandas = pytest.importorskip("pandas")
    frame = pandas.DataFrame(np.ones((3, 2)), columns=columns)
    target = tmp_path / "named.mvs"
    with pytest.raises(ValueError, match=message):
        movar.save_samples(target, frame, np.ones(3))
    assert not target.exists()


def test_every_result_predicts_a_dataframe_by_its_column_names():
    pandas = pytest.importorskip("pandas")
    X = np.random.default_rng(3).uniform(-3, 3, size=(40, 2))
    frame = pandas.DataFrame(X, columns=["a", "b"])
    result = movar.search(frame, 3 * X[:, 0] - X[:, 1], **{**FAST, "registers": 4})
    expected = _bits(result.predict(frame))
    # The model tells its inputs apart: read by position, the swapped columns differ.
    assert not np.array_equal(_bits(result.predict(X[:, ::-1])), expected)
    swapped = frame[["b", "a"]]
    assert np.array_equal(_bits(result.predict(swapped)), expected)
    assert np.array_equal(_bits(result.program.predict(swapped)), expected)
    assert np.array_equal(_bits(result.program.predict(X)), expected)  # no names: by position
    for model in result.front:
        assert np.array_equal(_bits(model.predict(swapped)), _bits(model.predict(X)))
    with pytest.raises(ValueError, match="X has no column named 'a'; the model takes 'a', 'b'"):
        result.predict(frame.rename(columns={"a": "c"}))
    with pytest.raises(ValueError, match="X has 2 columns named 'a'"):
        result.program.predict(pandas.DataFrame(np.ones((2, 3)), columns=["a", "b", "a"]))
    with pytest.raises(ValueError, match="X has a column the model does not take: 'c'"):
        result.front[0].predict(frame.assign(c=1.0))


def test_a_fit_names_the_row_and_column_of_a_value_that_is_not_finite():
    pandas = pytest.importorskip("pandas")
    frame = pandas.DataFrame({"mass": [1.0, 2.0, 3.0], "speed": [1.0, 2.0, np.inf]})
    model = movar.MovarRegressor(**FAST)
    with pytest.raises(ValueError, match="X holds inf at row 3, column 'speed'"):
        model.fit(frame, [1.0, 2.0, 3.0])
    with pytest.raises(ValueError, match="y holds NaN at row 2"):
        model.fit(frame.fillna(0).replace(np.inf, 0), [1.0, np.nan, 3.0])
    model.fit(np.ones((12, 2)), np.arange(12.0))
    with pytest.raises(ValueError, match="X holds NaN at row 1, column 2"):
        model.predict([[1.0, np.nan]])


def test_a_header_that_is_not_utf_8_is_refused_naming_the_file(tmp_path):
    path = tmp_path / "latin.mvs"
    path.write_bytes(b"caf\xe9,y\r\n1,2\r\n3,4\r\n")
    with pytest.raises(UnicodeDecodeError, match="latin.mvs"):
        movar.load_samples(path)
    repeated = tmp_path / "repeated.mvs"
    repeated.write_bytes(b"\xe9,\xe9\r\n1,2\r\n")
    with pytest.raises(OSError, match="repeated.mvs"):
        movar.load_samples(repeated)
