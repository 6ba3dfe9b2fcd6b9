"""What the tests of the package share: the reference runs, movar-search, small searches."""

import ctypes
import os
import pathlib
import shutil
import subprocess

import pytest

GOLDEN = pathlib.Path(os.environ.get("MOVAR_GOLDEN_DIR", "../shared/golden"))
SEARCH = os.environ.get("MOVAR_SEARCH", "")

# Searches small enough for a test: a plain run of a few generations on one thread.
FAST = {"restarts": False, "population": 30, "generations": 20, "seed": 3, "threads": 1}


def golden(name):
    path = GOLDEN / name
    if not path.exists():
        pytest.skip(f"no reference runs at {GOLDEN}")
    return path


def movar_search(*arguments):
    """movar-search's stdout for the arguments, in the C locale, and its exit status."""
    if not SEARCH:
        pytest.skip("MOVAR_SEARCH does not name movar-search")
    run = subprocess.run([SEARCH, *map(str, arguments)], capture_output=True, text=True,
                         env={**os.environ, "LC_ALL": "C"}, check=False)
    assert run.returncode in (0, 1), run.stderr
    return run.stdout, run.returncode


def model_text(stdout):
    """The model text of movar-search's report: the lines before "generations:"."""
    return stdout[:stdout.index("generations: ")]


def compiled_c(program, folder):
    """The program's emitted C, compiled as a shared library, as a function of its inputs."""
    compiler = next((c for c in ("cc", "gcc", "clang") if shutil.which(c)), None)
    if compiler is None:
        pytest.skip("no C compiler")
    source = folder / "model.c"
    source.write_text(program.c_code("model"))
    library = folder / "model.so"
    subprocess.run([compiler, "-std=c99", "-O1", "-shared", "-fPIC", "-o", library, source,
                    "-lm"], check=True)
    model = ctypes.CDLL(str(library)).model
    model.restype = ctypes.c_double
    model.argtypes = [ctypes.c_double] * program.input_count
    return model
