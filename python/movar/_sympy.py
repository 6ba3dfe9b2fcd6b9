"""A formula's SymPy source made into a SymPy expression."""


def expression(source):
    """The expression of source, evaluated with SymPy's names and nothing else."""
    if source is None:
        raise ValueError("the model has no formula: it outgrew the limits of the algebra")
    try:
        import sympy
    except ImportError as missing:
        raise ImportError(
            "sympy() needs SymPy (Debian: apt install python3-sympy; or pip install sympy)"
        ) from missing
    names = ("Add", "Mul", "Pow", "Integer", "Rational", "Float", "Symbol", "Piecewise",
             "StrictGreaterThan", "GreaterThan", "StrictLessThan", "LessThan", "Eq", "Ne",
             "sin", "cos", "tan", "exp", "log", "I")
    namespace = {name: getattr(sympy, name) for name in names}
    return eval(source, {"__builtins__": {}}, namespace)  # the source is our own printer's
