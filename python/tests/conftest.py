"""Shared fixtures of the Python package's tests: where the example table, the corpus and the
`datatable` program are, and small tables written for a test."""

import os
import pathlib

import pytest

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent

pytest_plugins = ["pytester"]


@pytest.fixture(scope="session")
def example_xls():
    return os.environ.get("DT_EXAMPLE_XLS", str(ROOT / "examples" / "login_tests.xls"))


@pytest.fixture(scope="session")
def corpus_dir():
    path = pathlib.Path(os.environ.get("DT_CORPUS_DIR", ROOT.parent / "shared" / "corpus"))
    assert path.is_dir(), f"the workbook corpus is missing: {path}"
    return path


@pytest.fixture(scope="session")
def app():
    path = os.environ.get("DT_APP", str(ROOT / "build" / "release" / "app" / "datatable"))
    assert os.access(path, os.X_OK), f"the datatable program is missing: {path}"
    return path


@pytest.fixture
def write_table(tmp_path):
    """Writes a tab-separated table (a list of lines of fields) and returns its path."""

    def write(lines, name="t.txt"):
        path = tmp_path / name
        path.write_text("".join("\t".join(fields) + "\n" for fields in lines), encoding="utf-8")
        return str(path)

    return write
