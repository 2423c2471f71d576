"""The datatable module: opening, reading rows and typed values, selecting, writing, saving,
and failures that raise instead of crashing."""

import datetime
import json
import os
import shutil

import pytest

import datatable

# The example table's first rows, as a test reads them.
LOGINS_ROW1 = {
    "UserName": "alice", "Password": "pw1000", "Age": "19", "StartDate": "1/1/2015",
    "Limit": "$500.50", "Rate": "0%", "Active": "FALSE", "Label": "alice-19",
}
ORDERS_ROW1 = {
    "OrderId": "ORD-5001", "Customer": "alice", "Quantity": "1", "UnitPrice": "3.25",
    "Total": "3.25", "Ordered": "3/1/2024", "Express": "TRUE",
}


class TestReading:
    def test_sheets_parameters_and_rows_of_every_example_sheet(self, example_xls):
        with datatable.open(example_xls) as table:
            assert table.sheets == ["Logins", "Orders", "Settings"]
            assert table.parameters() == list(LOGINS_ROW1)  # the first sheet is active
            assert table.parameters("Orders") == list(ORDERS_ROW1)
            assert table.parameters(3) == ["Setting", "Value"]
            logins = list(table.rows())
            assert len(logins) == 30 and logins[0] == LOGINS_ROW1
            assert list(logins[0]) == list(LOGINS_ROW1)  # column order
            orders = list(table.rows(sheet="Orders"))
            assert len(orders) == 24 and orders[0] == ORDERS_ROW1
            assert orders[1]["Total"] == "71.25"  # a formula's displayed result
            settings = list(table.rows(sheet=3))
            assert settings[0] == {"Setting": "Server", "Value": "test.example.org"}
            assert len(settings) == 6

    def test_rows_match_what_datatable_run_prints(self, example_xls, app):
        import subprocess

        out = subprocess.run([app, "run", example_xls], capture_output=True, text=True,
                             check=True).stdout
        blocks = out.split("\n\n")
        with datatable.open(example_xls) as table:
            for sheet, block in zip(table.sheets, blocks):
                lines = block.strip("\n").split("\n")
                assert lines[0].split("\t") == table.parameters(sheet)
                assert [line.split("\t") for line in lines[1:]] == [
                    list(r.values()) for r in table.rows(sheet)
                ]

    def test_corpus_workbooks_read_as_spreadsheets_show_them(self, corpus_dir):
        for name in ("login.libreoffice97", "login.gnumeric97", "login.gnumeric95"):
            expected = json.loads((corpus_dir / "interop" / f"{name}.expected.json").read_text())
            with datatable.open(corpus_dir / "interop" / f"{name}.xls") as table:
                assert table.sheets == [s["name"] for s in expected["sheets"]]
                for number, sheet in enumerate(expected["sheets"], start=1):
                    width = len(table.parameters(number))
                    want = [(r + [""] * width)[:width] for r in sheet["rows"][1:]]
                    got = [list(r.values()) for r in table.rows(number)]
                    assert got == want, (name, sheet["name"])

    def test_rows_are_lazy_and_read_in_chunks(self, write_table):
        path = write_table([["N"]] + [[str(i)] for i in range(1, 1201)])
        with datatable.open(path) as table:
            rows = table.rows()
            assert next(rows) == {"N": "1"}
            assert [r["N"] for r in rows] == [str(i) for i in range(2, 1201)]

    def test_a_sheet_with_names_only_has_no_rows(self, write_table):
        with datatable.open(write_table([["A", "B"]])) as table:
            assert table.parameters() == ["A", "B"]
            assert list(table.rows()) == [] and list(table.values()) == []


class TestTypedValues:
    def test_each_kind_of_value(self, write_table):
        path = write_table([
            ["Num", "Text", "Flag", "Day", "At", "When", "Err", "Empty", "Pct", "Zip"],
            ["3.5", "hello", "TRUE", "1/15/2024", "13:45:30", "1/15/2024 13:45",
             "=1/0", "", "25%", "=\"007\""],
        ])
        with datatable.open(path) as table:
            (row,) = list(table.values())
            assert row == {
                "Num": 3.5, "Text": "hello", "Flag": True,
                "Day": datetime.datetime(2024, 1, 15),
                "At": datetime.time(13, 45, 30),
                "When": datetime.datetime(2024, 1, 15, 13, 45),
                "Err": "#DIV/0!", "Empty": None, "Pct": 0.25, "Zip": "007",
            }
            assert type(row["Num"]) is float and type(row["Flag"]) is bool
            (text,) = list(table.rows())
            assert text["Zip"] == "007" and text["Flag"] == "TRUE" and text["Empty"] == ""

    def test_typed_values_of_the_example(self, example_xls):
        with datatable.open(example_xls) as table:
            first = next(table.values("Logins"))
            assert first["Age"] == 19.0
            assert first["StartDate"] == datetime.datetime(2015, 1, 1)
            assert first["Active"] is False and first["Rate"] == 0.0
            assert next(table.values("Orders"))["Ordered"] == datetime.datetime(2024, 3, 1)

    def test_dates_across_the_counted_29_february_1900(self, write_table):
        # The 1900 date system counts a 29 February 1900; the days around it stay right.
        path = write_table([["D"], ["1/1/1900"], ["2/28/1900"], ["3/1/1900"], ["12/31/9999"]])
        with datatable.open(path) as table:
            values = [r["D"] for r in table.values()]
        assert values == [datetime.datetime(1900, 1, 1), datetime.datetime(1900, 2, 28),
                          datetime.datetime(1900, 3, 1), datetime.datetime(9999, 12, 31)]


class TestSelection:
    def test_selected_rows_in_the_order_selected(self, example_xls):
        with datatable.open(example_xls) as table:
            assert list(table.rows(selected=True)) == []  # nothing selected
            table.select_rows("5,2-3")
            assert [r["UserName"] for r in table.rows(selected=True)] == ["eve", "bob", "carol"]
            table.select_rows("2-4,3", sheet="Orders")  # a row selected twice runs once
            assert [r["OrderId"] for r in table.rows("Orders", selected=True)] == [
                "ORD-5002", "ORD-5003", "ORD-5004"]
            # The other sheet's selection stays; reading all rows ignores it.
            assert len(list(table.rows(selected=True))) == 3
            assert len(list(table.rows())) == 30

    def test_bad_selections_raise_value_error_and_change_nothing(self, example_xls):
        with datatable.open(example_xls) as table:
            table.select_rows("2")
            for bad in ("", "0", "5-2", "a", "2,,3", "31"):
                with pytest.raises(ValueError):
                    table.select_rows(bad)
            with pytest.raises(TypeError):
                table.select_rows(2)
            assert [r["UserName"] for r in table.rows(selected=True)] == ["bob"]


class TestWritingAndSaving:
    def test_set_each_kind_and_read_it_back(self, write_table):
        path = write_table([["Name", "N", "Flag", "Day", "At"], ["a", "1", "TRUE", "", ""]])
        with datatable.open(path) as table:
            table.set(1, "Name", "007")  # text entered as typed keeps its text
            table.set(1, "N", 0.1 + 0.2)
            table.set(1, "Flag", False)
            table.set(1, "Day", datetime.datetime(2024, 2, 29, 8, 30, 15, 250000))
            table.set(1, "At", datetime.time(23, 59, 59))
            table.set(2, "Name", "added")  # the row after the last one adds a row
            table.set(2, "N", 12345678901234567890)
            table.set(2, "Day", datetime.date(1999, 12, 31))
            rows = list(table.values())
        assert rows[0] == {
            "Name": "007", "N": 0.1 + 0.2, "Flag": False,
            "Day": datetime.datetime(2024, 2, 29, 8, 30, 15, 250000),
            "At": datetime.time(23, 59, 59),
        }
        assert rows[1]["Name"] == "added" and rows[1]["N"] == float(12345678901234567890)
        assert rows[1]["Day"] == datetime.datetime(1999, 12, 31) and rows[1]["Flag"] is None

    def test_set_none_empties_and_keeps_the_row_selection(self, example_xls):
        with datatable.open(example_xls) as table:
            table.select_rows("2-3")
            table.set(2, "Age", None)
            table.set(3, "Age", 77)  # a number makes the cell the selection inside
            rows = list(table.values(selected=True))
            assert [r["Age"] for r in rows] == [None, 77.0]

    def test_wrong_arguments_raise_and_leave_the_table_as_it_was(self, example_xls):
        with datatable.open(example_xls) as table:
            before = list(table.rows())
            for args, error in [
                ((0, "Age", "1"), ValueError), ((-5, "Age", "1"), ValueError),
                ((True, "Age", "1"), TypeError), (("1", "Age", "1"), TypeError),
                ((1, 5, "1"), TypeError), ((1, "Age", object()), TypeError),
                ((1, "Age", float("nan")), ValueError), ((1, "Age", 10 ** 400), ValueError),
                ((1, "Age", b"x"), TypeError),
                ((1, "Age", datetime.date(1800, 1, 1)), ValueError),
            ]:
                with pytest.raises(error):
                    table.set(*args)
            with pytest.raises(datatable.Error) as e:
                table.set(1, "Nope", "x")
            assert e.value.code == -1 and "Nope" in e.value.text
            with pytest.raises(datatable.Error):
                table.set(99, "Age", "1")  # beyond the row after the last one
            with pytest.raises(datatable.Error) as e:
                table.set(1, "Age", "=1+")  # a formula that does not parse
            assert e.value.text
            for sheet in ("Nope", 0, 4):
                with pytest.raises(datatable.Error):
                    table.parameters(sheet)
            for sheet in (1.5, True, b"Logins"):
                with pytest.raises(TypeError):
                    list(table.rows(sheet))
            assert list(table.rows()) == before

    @pytest.mark.parametrize("name,type,magic", [
        ("copy.xls", None, b"\xd0\xcf\x11\xe0"),
        ("copy95.xls", datatable.EXCEL5, b"\xd0\xcf\x11\xe0"),
        ("copy.txt", None, b"UserName\t"),
        ("copy.CSV", None, b"UserName,"),
        ("copy.xlsx", None, b"PK\x03\x04"),
        ("copy.data", datatable.XLSX, b"PK\x03\x04"),
    ])
    def test_round_trip_through_save(self, example_xls, tmp_path, name, type, magic):
        target = tmp_path / name
        with datatable.open(example_xls) as table:
            table.set(1, "UserName", "zoë")
            table.set(2, "Age", 41)
            table.save(target, type)
            assert table.file_name == str(target)
            expected = {s: list(table.rows(s)) for s in table.sheets}
        assert target.read_bytes().startswith(magic)
        with datatable.open(target) as back:
            # Text holds the active sheet only.
            assert list(back.rows(1)) == expected["Logins"]
            if name.endswith((".xls", ".xlsx", ".data")):  # a workbook keeps every sheet
                assert {s: list(back.rows(s)) for s in back.sheets} == expected

    def test_save_without_a_path_writes_the_tables_own_file(self, example_xls, tmp_path):
        own = tmp_path / "own.xls"
        shutil.copy(example_xls, own)
        with datatable.open(own) as table:
            table.set(1, "Password", "secret")
            table.save()
        with datatable.open(own) as table:
            assert next(table.rows())["Password"] == "secret"

    def test_failed_saves_raise_and_keep_the_table(self, example_xls, tmp_path):
        with datatable.open(example_xls) as table:
            with pytest.raises(ValueError):
                table.save(tmp_path / "x.doc")
            with pytest.raises(ValueError):
                table.save(tmp_path / "x.xls", type=5)
            with pytest.raises(datatable.Error) as e:
                table.save(tmp_path / "no-folder" / "x.xls")
            assert e.value.code == -1 and e.value.text
            assert len(list(table.rows())) == 30


class TestFailures:
    def test_files_that_cannot_be_opened_raise_error_with_the_message(self, tmp_path):
        with pytest.raises(datatable.Error) as e:
            datatable.open(tmp_path / "missing.xls")
        assert e.value.code == -1 and "missing.xls" in e.value.text
        bad = tmp_path / "bad.xls"
        bad.write_bytes(b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1 broken")
        with pytest.raises(datatable.Error) as e:
            datatable.open(bad)
        assert e.value.code == -1 and e.value.text and "\n" not in e.value.text
        assert str(e.value).endswith("(code -1)")
        with pytest.raises(datatable.Error):
            datatable.open(tmp_path)  # a folder
        for args, error in [((5,), TypeError), (("x.xls", 7), ValueError),
                            (("x.xls", "xls"), TypeError), (("a\0b",), ValueError)]:
            with pytest.raises(error):
                datatable.open(*args)

    def test_damaged_corpus_files_raise_and_never_crash(self, corpus_dir):
        files = sorted((corpus_dir / "real-xls").glob("libxls-fuzz-*"))[:12]
        assert files
        for path in files:
            try:
                with datatable.open(path, datatable.EXCEL97) as table:
                    for sheet in table.sheets:
                        list(table.values(sheet))
            except datatable.Error as e:
                assert e.text

    def test_a_closed_table_raises(self, example_xls):
        table = datatable.open(example_xls)
        rows = table.rows()
        with table:
            pass
        assert table.closed and "closed" in repr(table)
        for use in (lambda: table.sheets, lambda: table.parameters(), lambda: list(rows),
                    lambda: table.set(1, "Age", "1"), lambda: table.save(),
                    lambda: table.select_rows("1"), lambda: table.run()):
            with pytest.raises(ValueError, match="closed"):
                use()
        table.close()  # twice is harmless

    def test_many_tables_at_once_keep_their_own_messages(self, example_xls, tmp_path):
        tables = [datatable.open(example_xls) for _ in range(3)]
        with pytest.raises(datatable.Error) as e:
            tables[1].save(tmp_path / "no-folder" / "x.xls")
        tables[0].close()
        with pytest.raises(datatable.Error) as again:
            tables[2].save(tmp_path / "no-folder" / "y.xls")
        assert again.value.text == e.value.text.replace("x.xls", "y.xls")
        for t in tables:
            t.close()


def test_the_error_class_is_the_packages():
    assert datatable.Error.__module__ == "datatable"
    e = datatable.Error(-7, "text")
    assert (e.code, e.text) == (-7, "text") and isinstance(e, Exception)


def test_a_row_is_a_read_only_mapping_that_outlives_its_table(example_xls):
    import collections.abc

    with datatable.open(example_xls) as table:
        rows = list(table.rows("Orders"))
        typed = list(table.values("Orders"))
    row = rows[1]  # read before the table closed, usable after
    assert isinstance(row, collections.abc.Mapping)
    assert (row.sheet, row.number) == ("Orders", 2)
    assert row["OrderId"] == "ORD-5002" and row.get("Nope") is None and row.get("Nope", 5) == 5
    assert "Total" in row and "Nope" not in row and 3 not in row
    assert list(row) == list(ORDERS_ROW1) == list(row.keys()) and len(row) == 7
    assert dict(row) == row.to_dict() == dict(row.items()) and row == dict(row)
    assert row != rows[0] and rows[0] == ORDERS_ROW1 and row != "x"
    with pytest.raises(KeyError):
        row["Nope"]
    with pytest.raises(TypeError):
        row["OrderId"] = "x"  # read-only
    with pytest.raises(TypeError):
        hash(row)
    assert repr(row).startswith("Row('Orders', 2, {'OrderId': 'ORD-5002'")
    assert typed[1]["Quantity"] == 5.0 and typed[1].number == 2
