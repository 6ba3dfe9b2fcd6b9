"""Movar Tester's symbolic regression from Python.

A search evolves small register programs until one reproduces every sample within the
margin of error; the model it finds predicts bit for bit as the interpreter computes, and
reads as a formula.

    import movar
    model = movar.MovarRegressor(time_limit=10, seed=1).fit(X, y)
    model.formula_, model.score(X, y)

``MovarRegressor`` is a scikit-learn estimator and is loaded with scikit-learn when first
named; ``search``, ``load_samples`` and ``save_samples`` need NumPy only.
"""

from movar._api import FrontModel, load_samples, save_samples, search, settings
from movar._core import MAX_INPUTS, Program, SearchMemoryError, SearchResult

__all__ = [
    "FrontModel",
    "MAX_INPUTS",
    "MovarRegressor",
    "Program",
    "SearchMemoryError",
    "SearchResult",
    "load_samples",
    "save_samples",
    "search",
    "settings",
]


def __getattr__(name):
    # scikit-learn takes seconds to import: only the estimator needs it.
    if name == "MovarRegressor":
        from movar._regressor import MovarRegressor

        return MovarRegressor
    raise AttributeError(f"module 'movar' has no attribute {name!r}")
