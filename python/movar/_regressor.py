"""MovarRegressor: the search as a scikit-learn estimator."""

import numpy as np
from sklearn.base import BaseEstimator, RegressorMixin
from sklearn.utils.validation import _get_feature_names, check_is_fitted, check_X_y

from movar import _api, _core, _sympy

try:  # scikit-learn 1.6 and later
    from sklearn.utils.validation import validate_data as _validate_data
except ImportError:
    def _validate_data(estimator, X, **options):
        return estimator._validate_data(X, **options)

# The defaults of the one table of settings.
_DEFAULTS = {row["name"]: row["default"] for row in _core.settings()}


class MovarRegressor(RegressorMixin, BaseEstimator):
    """Symbolic regression by Movar Tester's search, as a scikit-learn regressor.

    A search evolves small register programs until one reproduces every sample of the
    training set within ``margin`` percent, or until a limit ends it; the best program is
    the model. Its predictions are bit for bit those of the interpreter.

    Parameters are the settings of ``movar-search`` under their Python names; ``None``
    leaves a setting to its default (``movar.settings()`` lists ranges and help). They are
    checked when ``fit`` runs. With ``restarts`` (on by default here, unlike
    ``movar-search``) the search runs attempts of growing length until one matches, with
    ``min_window``, ``refine``, ``scaled_constants``, ``linear_scaling`` and ``margin_line`` on
    unless given: limit it with ``time_limit`` (seconds) or ``attempts``; ``generations`` limits
    a search without restarts. Without any limit a fit runs until every sample matches; Ctrl+C stops it and
    raises KeyboardInterrupt. The same ``seed`` and settings give the same model as
    ``movar-search --samples FILE`` with the same options.

    Attributes after fit: ``model_text_`` (the model text as movar-search prints it),
    ``formula_`` and ``latex_`` (None when the formula outgrew the algebra's limits),
    ``formula_note_``, ``program_`` (a ``movar.Program``), ``seed_`` (the seed that repeats
    the run), ``matched_``, ``matches_``, ``error_``, ``generations_``, ``attempt_``
    (None without restarts), ``front_`` (the models of lowest error for their size, each
    lower than every smaller one's: ``movar.FrontModel``, smallest first),
    ``n_features_in_`` and ``feature_names_in_`` (for a DataFrame whose column names are
    strings: they name the inputs of the formula, SymPy's symbols and the code). With
    ``holdout`` (a percentage of the rows, drawn from the seed, kept out of the search):
    ``held_out_`` (the model's count, error, rmse and r2 on them) and ``suggested_`` (the
    smallest model of the front whose held-out error is within 5 % of the lowest).
    """

    def __init__(self, registers=_DEFAULTS["registers"], instructions=_DEFAULTS["instructions"],
                 population=_DEFAULTS["population"], margin=_DEFAULTS["margin"],
                 progressive=bool(_DEFAULTS["progressive"]), restarts=True,
                 time_limit=None, generations=None, seed=None, threads=None,
                 holdout=_DEFAULTS["holdout"], restart_unit=_DEFAULTS["restart_unit"],
                 attempts=None, size_ladder=bool(_DEFAULTS["size_ladder"]),
                 unscaled_attempts=bool(_DEFAULTS["unscaled_attempts"]),
                 short_programs=bool(_DEFAULTS["short_programs"]), min_window=None,
                 refine=None, scaled_constants=None,
                 constant_fitting=_DEFAULTS["constant_fitting"],
                 linear_scaling=None, margin_line=None,
                 rank_by_matches=bool(_DEFAULTS["rank_by_matches"]),
                 margin_weights=bool(_DEFAULTS["margin_weights"]),
                 point_mutations=_DEFAULTS["point_mutations"]):
        self.registers = registers
        self.instructions = instructions
        self.population = population
        self.margin = margin
        self.progressive = progressive
        self.restarts = restarts
        self.time_limit = time_limit
        self.generations = generations
        self.seed = seed
        self.threads = threads
        self.holdout = holdout
        self.restart_unit = restart_unit
        self.attempts = attempts
        self.size_ladder = size_ladder
        self.unscaled_attempts = unscaled_attempts
        self.short_programs = short_programs
        self.min_window = min_window
        self.refine = refine
        self.scaled_constants = scaled_constants
        self.constant_fitting = constant_fitting
        self.linear_scaling = linear_scaling
        self.margin_line = margin_line
        self.rank_by_matches = rank_by_matches
        self.margin_weights = margin_weights
        self.point_mutations = point_mutations

    def fit(self, X, y):
        """Searches for a model of y over the columns of X; returns self.

        Nothing of the estimator changes unless the search ends with a model.
        """
        _api.check_numeric_columns(X)
        _api.check_finite(X, "X")
        _api.check_finite(y, "y")
        names = _get_feature_names(X)
        target = y
        X, y = check_X_y(X, y, y_numeric=True, estimator=self)
        settings = {name: getattr(self, name) for name in self._get_param_names()}
        columns = _api.sample_names(None if names is None else [str(n) for n in names], target)
        result = _core.search(np.ascontiguousarray(X, dtype=np.float64),
                              np.ascontiguousarray(y, dtype=np.float64), settings,
                              f"{X.shape[0]} samples given to MovarRegressor.fit", columns or [])
        if result.program is None:
            raise RuntimeError("the search ended before it found a model")
        self.program_ = result.program
        self.model_text_ = result.model_text
        self.formula_ = result.formula
        self.latex_ = result.latex
        self.formula_note_ = result.formula_note
        self.sympy_source_ = result.sympy_text
        self.seed_ = result.seed
        self.matched_ = result.matched
        self.matches_ = result.matches
        self.error_ = result.error
        self.generations_ = result.generations
        self.attempt_ = result.attempt
        self.n_features_in_ = X.shape[1]
        self._keep("front_", result.front or None)
        self._keep("held_out_", result.held_out)
        self._keep("suggested_", result.suggested)
        self._keep("feature_names_in_", names)
        return self

    def _keep(self, name, value):
        # An attribute of this fit, or none where the fit has none, whatever an earlier fit left.
        if value is not None:
            setattr(self, name, value)
        elif hasattr(self, name):
            delattr(self, name)

    def predict(self, X):
        """The model's prediction for each row of X, bit for bit the interpreter's."""
        check_is_fitted(self, "program_")
        _api.check_numeric_columns(X)
        try:
            checked = _validate_data(self, X, reset=False)
        except ValueError as fault:
            # scikit-learn checks the names first, then the values: a value that is not
            # finite is named by its place, as fit names it.
            if "feature names" in str(fault):
                raise
            try:
                _api.check_finite(X, "X")
            except ValueError as placed:
                raise placed from None
            raise
        X = checked
        return self.program_.predict(np.ascontiguousarray(X, dtype=np.float64))

    def sympy(self):
        """The formula as a SymPy expression (needs SymPy)."""
        check_is_fitted(self, "program_")
        return _sympy.expression(self.sympy_source_)
