"""The plain functions: a search on arrays, and sample files in and out."""

import dataclasses
import warnings

import numpy as np

from movar import _core, _sympy

# Dtype kinds a search takes: booleans, integers, floats.
_NUMERIC_KINDS = "biuf"


def settings():
    """The search settings as dicts: name, default, range, unit and help, in the help's order."""
    return _core.settings()


def column_names(X):
    """The column names of a DataFrame as strings, or None for anything else."""
    columns = getattr(X, "columns", None)
    if columns is None or not hasattr(X, "dtypes"):
        return None
    return [str(name) for name in columns]


def feature_names(X):
    """The names of X's columns where they all are strings (a DataFrame's, as scikit-learn
    keeps them), else None."""
    columns = getattr(X, "columns", None)
    if columns is None or not hasattr(X, "dtypes"):
        return None
    names = list(columns)
    return [str(name) for name in names] if all(isinstance(n, str) for n in names) else None


def sample_names(inputs, y):
    """The names of a set's columns: the inputs', then y's, a Series' own name where it has
    one that no input has, else "y" (or "y_", "y__" ... past the inputs' names). None
    without input names."""
    if inputs is None:
        return None
    target = getattr(y, "name", None)
    if not isinstance(target, str) or not target or target in inputs:
        target = "y"
        while target in inputs:
            target += "_"
    return [*inputs, target]


def check_numeric_columns(X, what="X"):
    """Refuses a DataFrame with a column that is not numbers, naming the column, and an
    array of text: numbers written as text are the caller's to convert."""
    if column_names(X) is None:
        if np.asarray(X).dtype.kind in "SU":
            raise ValueError(f"{what} holds text, not numbers; a search takes numbers only")
        return
    for name, dtype in zip(X.columns, X.dtypes):
        if getattr(dtype, "kind", "O") not in _NUMERIC_KINDS:
            raise ValueError(
                f"{what}'s column {str(name)!r} is not numeric ({dtype}); a search takes "
                "numbers only")


def check_finite(values, what="X"):
    """Refuses NaN and infinite values, naming the first one's row and column, as a search
    names them; a DataFrame's column by its name."""
    array = np.asarray(values)
    if array.dtype.kind not in "fc":
        return
    bad = ~np.isfinite(array)
    if not bad.any():
        return
    place = np.argwhere(bad)[0]
    value = array[tuple(place)]
    kind = "NaN" if np.isnan(value) else "inf" if value.real > 0 else "-inf"
    where = f"row {place[0] + 1}"
    if array.ndim == 2 and what == "X":
        names = column_names(values)
        column = place[1]
        where += f", column {names[column]!r}" if names else f", column {column + 1}"
    raise ValueError(f"{what} holds {kind} at {where}; a search takes finite numbers only")


def take_columns(X, names):
    """A DataFrame's columns in the order of a model's input names, found by name; anything
    else as it is, by position. Refuses a name that is missing or given twice, and columns
    the model does not take."""
    given = feature_names(X)
    if not names or given is None:
        return X
    for name in names:
        count = given.count(name)
        if count == 0:
            taken = ", ".join(repr(n) for n in names)
            raise ValueError(f"X has no column named {name!r}; the model takes {taken}")
        if count > 1:
            raise ValueError(f"X has {count} columns named {name!r}; give each input once")
    extra = [name for name in given if name not in names]
    if extra:
        raise ValueError("X has a column the model does not take: "
                         + ", ".join(repr(n) for n in extra))
    return X[list(names)]


def program_predict(program, X):
    """The program's prediction for each row of X, a DataFrame's columns found by name."""
    return program.predict_rows(as_matrix(take_columns(X, program.input_names), "X"))


def as_matrix(values, what="X", columns=True):
    """values as float64, refusing what does not read as real numbers with a clear message.

    With columns, a 1-D sequence is one column and the result is 2-D; without, the result is
    one column of values, and an (n, 1) array is taken as that column.
    """
    check_numeric_columns(values, what)
    array = np.asarray(values)
    if array.dtype.kind == "c":
        raise ValueError(f"{what} holds complex numbers; a search takes real numbers only")
    if array.dtype.kind not in _NUMERIC_KINDS:
        try:
            array = array.astype(np.float64)
        except (TypeError, ValueError) as fault:
            raise ValueError(f"{what} holds a value that is not a number ({fault})") from None
    array = np.ascontiguousarray(array, dtype=np.float64)
    if columns:
        if array.ndim == 1:
            array = array.reshape(-1, 1)
        if array.ndim != 2:
            raise ValueError(f"{what} must be a table of rows and columns, not {array.ndim}-D")
    else:
        if array.ndim == 2 and array.shape[1] == 1:
            array = array.ravel()
        if array.ndim != 1:
            raise ValueError(f"{what} must be one column of values, not of shape {array.shape}")
    return array


def search(X, y, **settings):
    """Searches for a model of y over the columns of X; returns a SearchResult.

    The settings are those of movar-search, by their Python names (time_limit for
    --time-limit): ``movar.settings()`` lists them with their ranges. Those not given take
    movar-search's defaults, so the same settings and seed give the same model as
    ``movar-search --samples FILE`` on the same samples. The search runs without the GIL;
    Ctrl+C stops it and raises KeyboardInterrupt.
    """
    names = sample_names(feature_names(X), y)
    X = as_matrix(X, "X")
    y = as_matrix(y, "y", columns=False)
    return _core.search(X, y, settings, f"{X.shape[0]} samples from Python", names or [])


def _result_predict(self, X):
    """The model's prediction for each row of X, bit for bit the interpreter's; a
    DataFrame's columns are found by the names the search gave the inputs."""
    if self.program is None:
        raise ValueError("the search ended before it found a model")
    return program_predict(self.program, X)


def _result_sympy(self):
    """The formula as a SymPy expression (needs SymPy)."""
    return _sympy.expression(self.sympy_text)


@dataclasses.dataclass(frozen=True)
class FrontModel:
    """A model of the front: the lowest error the search showed for its size (the program's
    live instructions), lower than that of every smaller model.

    error is the sum of absolute errors as the search sums it, rmse and r2 (R²) are over the
    samples searched; held_out has count, error, rmse and r2 over the rows held out of the
    search (None without a holdout); attempt, seed and generation say where it was found.
    """

    size: int
    error: float
    rmse: float
    r2: float
    held_out: dict
    matches: int
    attempt: int
    seed: int
    generation: int
    model_text: str
    program: _core.Program

    def predict(self, X):
        """The model's prediction for each row of X, bit for bit the interpreter's; a
        DataFrame's columns are found by the names the search gave the inputs."""
        return program_predict(self.program, X)


def _result_front(self):
    """The front of models by size, smallest first, from every attempt of the run."""
    return [FrontModel(**entry) for entry in self.front_models]


def _result_suggested(self):
    """With a holdout, the smallest model of the front whose held-out error is within 5 %
    of the lowest; None without."""
    index = self.suggested_index
    return None if index is None else FrontModel(**self.front_models[index])


def _program_predict(self, X):
    """One prediction per row of X (rows of the model's inputs), bit for bit the
    interpreter's; a DataFrame's columns are found by the names the search gave the inputs."""
    return program_predict(self, X)


_core.Program.predict = _program_predict
_core.SearchResult.predict = _result_predict
_core.SearchResult.sympy = _result_sympy
_core.SearchResult.front = property(_result_front)
_core.SearchResult.suggested = property(_result_suggested)


def load_samples(path, as_frame=False):
    """The samples of a sample file as (X, y): X with a column per input, y beside it.

    Lines that do not read as numbers are left out with a warning, as movar-search leaves
    them out; items a line holds beyond those read, and numbers cut short of a digit, are
    warned of too. With as_frame, X is a pandas DataFrame and y a Series, named by the file's
    header, or x (x1 ... xn for several inputs) and y without one.
    """
    X, y, raw_names, notes = _core.load_samples(str(path))
    try:
        names = [name.decode("utf-8") for name in raw_names]
    except UnicodeDecodeError as fault:
        raise UnicodeDecodeError(fault.encoding, fault.object, fault.start, fault.end,
                                 f"{path}: the header's names are not UTF-8 text") from None
    for note in notes:
        warnings.warn(note, stacklevel=2)
    if not as_frame:
        return X, y
    import pandas

    return pandas.DataFrame(X, columns=names[:-1]), pandas.Series(y, name=names[-1])


def save_samples(path, X, y):
    """Writes X and y as a sample file that movar-search and the window read.

    The file holds each value with eight decimals, as the window saves it: search the
    arrays that ``load_samples`` reads back to repeat a run of movar-search on the file.
    A DataFrame's column names (and a Series' name for y) become the file's header.
    """
    names = sample_names(feature_names(X), y)
    _core.save_samples(str(path), as_matrix(X, "X"), as_matrix(y, "y", columns=False),
                       names or [])
