"""pytest plugin: tests parametrised by the rows of a data table.

    @pytest.mark.datatable("logins.xls", sheet="Logins", rows="2-5", id="UserName")
    def test_login(row):                      # the row as a mapping: name -> displayed text
        assert login(row["UserName"], row["Password"])

    @pytest.mark.datatable("logins.xls", sheet="Logins")
    def test_age(UserName, Age):              # or the parameters as named arguments
        ...

One test case per run row of the table (every sheet in run order when `sheet` is not given).
The path is taken relative to the test file's folder. `rows` takes only those rows ("2-5,9",
row 1 being the first row of values); `id` names the column whose text makes the test ids
(the row number otherwise); `typed=True` gives typed values (see Table.values) instead of the
displayed text. A file or sheet that cannot be read is a collection error with the table's
message.

`--datatable-shard K/N` keeps, of every marked test, the run rows at positions K, K+N, ... of
its run, so that N workers (the jobs of a CI matrix, each with its own K) together run every
row exactly once; it splits the rows exactly as `datatable run --shard K/N` does.

Loaded by the `pytest11` entry point when the package is installed, or with
`-p datatable.pytest_plugin`.
"""

import os

import pytest

import datatable

_MARKER = (
    "datatable(path, sheet=None, rows=None, id=None, typed=False): parametrise the test "
    "with one case per run row of a data table (the `row` argument, or the parameters as "
    "named arguments)"
)


def pytest_addoption(parser):
    group = parser.getgroup("datatable")
    group.addoption(
        "--datatable-shard",
        metavar="K/N",
        default=None,
        help="run only the table rows at positions K, K+N, ... of each marked test's run",
    )


def pytest_configure(config):
    config.addinivalue_line("markers", _MARKER)
    shard = config.getoption("datatable_shard", None)
    try:
        config._datatable_shard = datatable.parse_shard(shard) if shard is not None else (1, 1)
    except (TypeError, ValueError) as e:
        raise pytest.UsageError(f"--datatable-shard: {e}") from None
    config._datatable_cases = {}


def _cases(config, path, sheet, rows, typed):
    shard = getattr(config, "_datatable_shard", (1, 1))
    cache = getattr(config, "_datatable_cases", {})
    key = (path, sheet, rows, typed, shard)
    if key in cache:
        return cache[key]
    with datatable.open(path) as table:
        run = table.run(sheet=sheet, rows=rows, shard=shard)
        core = table._core
        read = core.values if typed else core.texts
        cases = []
        # Consecutive rows of one sheet are read in one call; each row is a mapping that
        # carries its sheet name and row number.
        start = 0
        while start < len(run):
            name = run[start][0]
            end = start
            while end < len(run) and run[end][0] == name:
                end += 1
            cases += read(core.sheet(name), [row for _, row in run[start:end]])
            start = end
    cache[key] = cases
    return cases


def _ids(cases, id_column):
    several = len({case.sheet for case in cases}) > 1
    ids, seen = [], set()
    for case in cases:
        text = None
        if id_column is not None:
            value = case.get(id_column)
            text = None if value is None else str(value)
        if not text:
            text = f"{case.sheet}-row{case.number}" if several else f"row{case.number}"
        if text in seen:
            text = f"{text}-{case.sheet}-row{case.number}" if several else f"{text}-row{case.number}"
        seen.add(text)
        ids.append(text)
    return ids


def pytest_generate_tests(metafunc):
    marker = metafunc.definition.get_closest_marker("datatable")
    if marker is None:
        return
    where = metafunc.definition.nodeid
    try:
        args = dict(zip(("path", "sheet", "rows", "id", "typed"), marker.args))
        for key, value in marker.kwargs.items():
            if key in args:
                raise TypeError(f"{key} is given twice")
            args[key] = value
        unknown = set(args) - {"path", "sheet", "rows", "id", "typed"}
        if unknown:
            raise TypeError(f"unknown arguments {sorted(unknown)}")
        if "path" not in args:
            raise TypeError("the marker needs the table's path")
        path = args["path"]
        if not isinstance(path, (str, os.PathLike)):
            raise TypeError("the path is a str or os.PathLike")
        path = os.path.join(os.path.dirname(str(metafunc.definition.path)), os.fspath(path))
        cases = _cases(
            metafunc.config, path, args.get("sheet"), args.get("rows"), bool(args.get("typed"))
        )
    except datatable.Error as e:
        raise pytest.Collector.CollectError(f"{where}: datatable: {e.text}") from None
    except (TypeError, ValueError) as e:
        raise pytest.Collector.CollectError(f"{where}: @pytest.mark.datatable: {e}") from None

    if cases:
        names = list(cases[0].keys())
    else:  # a shard (or a table) without rows for this test: its parameters all the same
        with datatable.open(path) as table:
            sheet = args.get("sheet")
            sheets = [sheet] if sheet is not None else table.sheets
            names = [n for s in sheets for n in table.parameters(s)]
    wanted = [
        n for n in names if n in metafunc.fixturenames and n != "row" and n.isidentifier()
    ]
    argnames = (["row"] if "row" in metafunc.fixturenames else []) + wanted
    if not argnames:
        raise pytest.Collector.CollectError(
            f"{where}: @pytest.mark.datatable: the test takes neither `row` nor a parameter "
            f"of the table ({', '.join(names)})"
        )
    values = []
    for case in cases:
        value = ([case] if "row" in argnames else []) + [case[n] for n in wanted]
        values.append(value if len(argnames) > 1 else value[0])
    metafunc.parametrize(
        argnames if len(argnames) > 1 else argnames[0],
        values,
        ids=_ids(cases, args.get("id")),
    )
