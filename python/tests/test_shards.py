"""Shards: N workers that run shards 1/N … N/N together run every row of the run exactly
once, through the module and through `datatable run`."""

import json
import subprocess

import pytest

import datatable


def app_rows(app, path, *args):
    out = subprocess.run([app, "run", path, "--format", "json", *args], capture_output=True,
                         text=True, check=True).stdout
    return [(s["name"], r["row"]) for s in json.loads(out)["sheets"] for r in s["rows"]]


@pytest.mark.parametrize("rows", [None, "2-5,9,1,3-4"])
def test_n_shards_cover_every_run_row_exactly_once(example_xls, app, rows):
    with datatable.open(example_xls) as table:
        whole = table.run(rows=rows)
        assert len(whole) == (60 if rows is None else 3 * 6 - 1)  # Settings has 6 rows
        for n in range(1, 8):
            shards = [table.run(rows=rows, shard=(k, n)) for k in range(1, n + 1)]
            merged = [row for shard in shards for row in shard]
            assert sorted(merged) == sorted(whole), n
            assert len(set(merged)) == len(merged) == len(whole)
            # Shard k holds the positions k, k+n, … of the whole run, in run order.
            for k, shard in enumerate(shards, start=1):
                assert shard == whole[k - 1::n]
            extra = ["--rows", rows] if rows else []
            for k in range(1, n + 1):
                assert app_rows(app, example_xls, "--shard", f"{k}/{n}", *extra) == shards[k - 1]


def test_more_shards_than_rows_leave_some_empty(write_table, app):
    path = write_table([["A"], ["1"], ["2"]])
    with datatable.open(path) as table:
        assert [table.run(shard=f"{k}/5") for k in range(1, 6)] == [
            [("Sheet1", 1)], [("Sheet1", 2)], [], [], []]
    assert app_rows(app, path, "--shard", "4/5") == []


@pytest.mark.parametrize("shard,error", [
    ("0/3", ValueError), ("4/3", ValueError), ("3", ValueError), ("a/b", ValueError),
    ("1/-2", ValueError), ((2, 1), ValueError), ((1,), TypeError), (5, TypeError),
    ((1.0, 2), TypeError),
])
def test_malformed_shards_raise(example_xls, shard, error):
    with datatable.open(example_xls) as table:
        with pytest.raises(error):
            table.run(shard=shard)


@pytest.mark.parametrize("shard", ["0/3", "4/3", "3", "1/x", "", "/", "1/99999999999"])
def test_datatable_run_refuses_a_malformed_shard_with_status_2(example_xls, app, shard):
    r = subprocess.run([app, "run", example_xls, "--shard", shard], capture_output=True,
                       text=True)
    assert r.returncode == 2 and r.stdout == "" and r.stderr.count("\n") == 1
