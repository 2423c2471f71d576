"""The pytest plugin: parametrisation per run row, ids, named arguments, collection errors and
shards. Each case runs an inner pytest session (pytester) in-process."""

import os

import pytest

import datatable

TEST_FILE = """
import os, pytest
TABLE = {table!r}

{body}
"""


def run(pytester, body, table, *args):
    pytester.makepyfile(test_table=TEST_FILE.format(table=table, body=body))
    return pytester.runpytest_inprocess("-p", "datatable.pytest_plugin", "-v", *args)


def case_ids(result):
    return [line.split("::", 1)[1].split(" ", 1)[0]
            for line in result.outlines if "::" in line and ("PASSED" in line or "FAILED" in line)]


@pytest.fixture
def example(example_xls):
    return os.path.abspath(example_xls)


def test_one_case_per_row_of_each_example_sheet(pytester, example):
    body = """
@pytest.mark.datatable(TABLE, sheet="Logins")
def test_logins(row):
    assert row["UserName"] and row.sheet == "Logins"

@pytest.mark.datatable(TABLE, sheet="Orders", id="OrderId")
def test_orders(row):
    assert float(row["Total"]) == pytest.approx(float(row["Quantity"]) * float(row["UnitPrice"]))

@pytest.mark.datatable(TABLE, sheet=3)
def test_settings(Setting, Value):
    assert Setting and isinstance(Value, str)
"""
    result = run(pytester, body, example)
    result.assert_outcomes(passed=30 + 24 + 6)
    ids = case_ids(result)
    assert "test_logins[row1]" in ids and "test_logins[row30]" in ids
    assert "test_orders[ORD-5001]" in ids and "test_orders[ORD-5024]" in ids
    assert "test_settings[row6]" in ids


def test_rows_typed_values_named_arguments_and_the_whole_run(pytester, example):
    body = """
import datetime

@pytest.mark.datatable(TABLE, "Logins", "2-3,9", typed=True)
def test_typed(row, Age, StartDate):
    assert row.number in (2, 3, 9) and row["Age"] == Age
    assert isinstance(Age, float) and isinstance(StartDate, datetime.datetime)

@pytest.mark.datatable(TABLE, rows="1")
def test_whole_run(row):
    assert row.number == 1
"""
    result = run(pytester, body, example)
    result.assert_outcomes(passed=3 + 3)
    ids = case_ids(result)
    assert ids[:3] == ["test_typed[row2]", "test_typed[row3]", "test_typed[row9]"]
    assert ids[3:] == ["test_whole_run[Logins-row1]", "test_whole_run[Orders-row1]",
                       "test_whole_run[Settings-row1]"]


def test_ids_from_a_column_stay_unique(pytester, write_table):
    table = write_table([["Name", "N"], ["a", "1"], ["a", "2"], ["", "3"]])
    body = """
@pytest.mark.datatable(TABLE, id="Name")
def test_it(N):
    pass
"""
    result = run(pytester, body, table)
    result.assert_outcomes(passed=3)
    assert case_ids(result) == ["test_it[a]", "test_it[a-row2]", "test_it[row3]"]


@pytest.mark.parametrize("marker,message", [
    ('"missing.xls"', "no such file"),
    ('TABLE, sheet="Nope"', 'no sheet "Nope"'),
    ('TABLE, sheet=9', "no sheet 9"),
    ('TABLE, rows="5-2"', "runs backwards"),
    ('TABLE, sheet="Logins", rows="99"', "beyond the last row"),
    ('TABLE, colour="red"', "unknown arguments"),
    ('', "needs the table's path"),
])
def test_unreadable_tables_are_collection_errors_with_the_message(pytester, example, marker,
                                                                   message):
    body = f"""
@pytest.mark.datatable({marker})
def test_it(row):
    pass

def test_other():
    pass
"""
    result = run(pytester, body, example)
    result.assert_outcomes(errors=1)
    assert message in result.stdout.str()
    assert "Traceback" not in result.stdout.str()


def test_a_damaged_file_is_a_collection_error(pytester, tmp_path):
    bad = tmp_path / "bad.xls"
    bad.write_bytes(b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1 broken")
    result = run(pytester, "@pytest.mark.datatable(TABLE)\ndef test_it(row): pass\n", str(bad))
    result.assert_outcomes(errors=1)
    assert "datatable:" in result.stdout.str()


def test_a_test_that_takes_no_row_is_a_collection_error(pytester, example):
    result = run(pytester, "@pytest.mark.datatable(TABLE)\ndef test_it(): pass\n", example)
    result.assert_outcomes(errors=1)
    assert "neither `row`" in result.stdout.str()


def test_the_marker_is_registered(pytester):
    pytester.makeini("[pytest]\naddopts = --strict-markers\n")
    result = pytester.runpytest_inprocess("-p", "datatable.pytest_plugin", "--markers")
    assert "@pytest.mark.datatable(path" in result.stdout.str()


@pytest.mark.parametrize("shard", ["0/3", "4/3", "x", "1/", "1/0", "-1/2"])
def test_a_malformed_shard_is_a_usage_error(pytester, example, shard):
    result = run(pytester, "def test_it(): pass\n", example, f"--datatable-shard={shard}")
    assert result.ret == pytest.ExitCode.USAGE_ERROR
    assert "--datatable-shard" in result.stderr.str()


def test_shards_of_the_plugin_split_the_rows_as_datatable_run_does(pytester, example, app):
    import subprocess

    body = """
@pytest.mark.datatable(TABLE)
def test_it(row):
    pass
"""
    n = 4
    seen = []
    for k in range(1, n + 1):
        result = run(pytester, body, example, f"--datatable-shard={k}/{n}")
        # Ids of a run over several sheets: SHEET-rowN.
        cases = [tuple(i[len("test_it["):-1].split("-row")) for i in case_ids(result)]
        assert cases
        out = subprocess.run([app, "run", example, "--shard", f"{k}/{n}", "--format", "json"],
                             capture_output=True, text=True, check=True).stdout
        import json

        from_app = [(s["name"], str(r["row"])) for s in json.loads(out)["sheets"]
                    for r in s["rows"]]
        assert cases == from_app
        seen += cases
    with datatable.open(example) as table:
        assert sorted(seen) == sorted((s, str(r)) for s, r in table.run())


def test_a_shard_without_rows_for_a_test_leaves_it_empty_not_broken(pytester, write_table):
    table = write_table([["Name"], ["a"], ["b"]])
    body = """
@pytest.mark.datatable(TABLE)
def test_named(Name):
    pass
"""
    result = run(pytester, body, table, "--datatable-shard=3/3")
    result.assert_outcomes(skipped=1)
    result = run(pytester, body, table, "--datatable-shard=2/3")
    result.assert_outcomes(passed=1)
    assert case_ids(result) == ["test_named[row2]"]
