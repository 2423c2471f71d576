"""Data tables for Python: Excel workbooks (.xls) and tab-separated text whose sheets hold one
test parameter per column and one test iteration per row.

    import datatable
    with datatable.open("logins.xls") as table:
        for row in table.rows(sheet="Logins"):
            login(row["UserName"], row["Password"])

Rows are numbered as the table numbers them: row 1 is the first row of values (the names are
the column headings). A `sheet` argument is a name, a number from 1, or None for the active
sheet (the first after opening). Failures of the table raise `datatable.Error` with the
table's `code` and message `text`; arguments of the wrong type or value raise TypeError or
ValueError; a table used after it was closed raises ValueError.
"""

import collections.abc as _abc
import os as _os

from . import _datatable
from ._datatable import Error, Row

__all__ = ["Error", "Row", "Table", "open", "TEXT", "EXCEL5", "EXCEL97"]

# A row is a read-only mapping (parameter name -> value) with `sheet` and `number` (the row),
# and to_dict() for a plain dict.
_abc.Mapping.register(Row)
Row.__module__ = "datatable"

# File types (the `type` arguments of open and save).
TEXT = 3  # tab-separated text
EXCEL5 = 4  # Excel 5.0/95 workbook
CSV = 6  # comma-separated text
EXCEL97 = 11  # Excel 97-2000 workbook
XLSX = 51  # Office Open XML workbook
_EXTENSIONS = {".txt": TEXT, ".csv": CSV, ".xlsx": XLSX}

_CHUNK = 512  # rows read from the table per call while iterating


def _file_type(type):
    if type is None:
        return 0
    if isinstance(type, bool) or not isinstance(type, int):
        raise TypeError("type is None or one of datatable.TEXT, EXCEL5, CSV, EXCEL97, XLSX")
    if type not in (TEXT, EXCEL5, CSV, EXCEL97, XLSX):
        raise ValueError(
            "type is None or one of datatable.TEXT (3), EXCEL5 (4), CSV (6), EXCEL97 (11), XLSX (51)")
    return type


def _path(path):
    if isinstance(path, bytes):
        return _os.fsdecode(path)
    if not isinstance(path, (str, _os.PathLike)):
        raise TypeError("a path is a str or os.PathLike")
    path = _os.fspath(path)
    if isinstance(path, bytes):
        path = _os.fsdecode(path)
    if "\0" in path:
        raise ValueError("a path holds no NUL character")
    return path


def open(path, type=None):
    """Opens a table file silently (no message box; a failure raises Error with the table's
    message). `type`: None (from the name in any letter case: .xls or .xlsx a workbook, .txt or
    .csv text, anything else read as a workbook), TEXT, EXCEL5, CSV, EXCEL97 or XLSX."""
    return Table(_datatable.Table.open(_path(path), _file_type(type)))


class Table:
    """One open table. Use it as a context manager, or call close()."""

    def __init__(self, core):
        self._core = core

    def __enter__(self):
        self._core.sheets  # raises on a closed table
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def __repr__(self):
        if self._core.closed:
            return "<datatable.Table closed>"
        return f"<datatable.Table {self._core.file_name!r}>"

    def close(self):
        """Ends the table; using it afterwards raises ValueError. Closing twice is harmless."""
        self._core.close()

    @property
    def closed(self):
        return self._core.closed

    @property
    def file_name(self):
        """The file the table was opened from or last saved to."""
        return self._core.file_name

    @property
    def sheets(self):
        """The names of the sheets, in order."""
        return self._core.sheets

    def parameters(self, sheet=None):
        """The parameter names of a sheet in column order (a column without a name is listed
        under its column letters)."""
        return self._core.parameters(self._core.sheet(sheet))

    def _iterate(self, read, sheet, selected):
        core = self._core
        s = core.sheet(sheet)
        rows = core.sheet_rows(s, bool(selected))

        def generate():
            for start in range(0, len(rows), _CHUNK):
                yield from read(s, rows[start:start + _CHUNK])

        return generate()

    def rows(self, sheet=None, selected=False):
        """One Row per run row of the sheet: a read-only mapping, parameter name → displayed
        text (as a test reads it), in column order, with `sheet` and `number` (the row). selected=True: only the rows selected in the table (see select_rows), in the
        order they were selected; none when no rows are selected."""
        return self._iterate(self._core.texts, sheet, selected)

    def values(self, sheet=None, selected=False):
        """As rows(), with typed values: float for a number, bool, datetime.datetime for a
        date-formatted number, datetime.time for a time of day, str for text and for an error
        value's text ("#DIV/0!"), None for an empty cell."""
        return self._iterate(self._core.values, sheet, selected)

    def run(self, sheet=None, rows=None, shard=None):
        """The rows of a test run as `datatable run` takes them: a list of (sheet name, row)
        in run order, over every sheet when `sheet` is None. rows: "2-5,9" takes only those
        rows (the table's row selection is replaced); shard: (K, N) or "K/N" keeps the run
        rows at positions K, K+N, … of the whole run."""
        core = self._core
        s = 0 if sheet is None else core.sheet(sheet)
        if rows is not None and not isinstance(rows, str):
            raise TypeError('rows is a str such as "2-5,9"')
        k, n = parse_shard(shard) if shard is not None else (1, 1)
        names = core.sheets
        return [(names[sheet - 1], row) for sheet, row in core.run(s, rows, k, n)]

    def select_rows(self, rows, sheet=None):
        """Selects whole rows, e.g. "2-5,9", replacing the sheet's row selection."""
        if not isinstance(rows, str):
            raise TypeError('rows is a str such as "2-5,9"')
        self._core.select_rows(rows, self._core.sheet(sheet))

    def set(self, row, name, value, sheet=None):
        """Writes one value. A str is entered as typed, its text kept (as the table's
        AddArgValue with flags 0 enters it); a float or int becomes a number, a bool a
        logical value, a datetime, date or time a date or time, None empties the cell. Row
        may be the row after the last one, which adds a row."""
        self._core.set(row, name, value, sheet)

    def save(self, path=None, type=None):
        """Saves the table: to its own file (in the form it has) when path is None, else to
        path, which becomes the table's file. Without a type the form follows the name in any
        letter case: .txt, .csv, .xlsx; .xls the workbook form the table has (Excel 97-2000 for
        a table from text or .xlsx)."""
        core = self._core
        file_type = _file_type(type)
        if path is None:
            core.save(None, file_type)
            return
        path = _path(path)
        if file_type == 0:
            ext = _os.path.splitext(path)[1].lower()
            if ext in _EXTENSIONS:
                file_type = _EXTENSIONS[ext]
            elif ext == ".xls":
                current = _os.path.splitext(core.file_name)[1].lower()
                file_type = 0 if current == ".xls" else EXCEL97
            else:
                raise ValueError(f"cannot tell the file type from {path!r}: give type=")
        core.save(path, file_type)


def parse_shard(shard):
    """(K, N) from "K/N" or a pair; ValueError unless 1 <= K <= N."""
    if isinstance(shard, str):
        k, sep, n = shard.partition("/")
        if not sep or not k.isdigit() or not n.isdigit() or not k.isascii() or not n.isascii():
            raise ValueError(f"{shard!r} is not a shard K/N (such as 2/4)")
        k, n = int(k), int(n)
    else:
        try:
            k, n = shard
        except (TypeError, ValueError):
            raise TypeError('a shard is "K/N" or a pair (K, N)') from None
        if any(isinstance(x, bool) or not isinstance(x, int) for x in (k, n)):
            raise TypeError("a shard's K and N are ints")
    if not 1 <= k <= n:
        raise ValueError(f"the shard {k}/{n} needs 1 <= K <= N")
    return k, n
