// datatable._datatable: the table SDK for Python. A Table is one headless table (the host
// session of the `datatable` program), opened from a file; the package's __init__.py builds
// the documented API on it. Everything goes through the public SDK as any host's calls do.
// Failures of the table raise datatable.Error(code, text); arguments of the wrong type or
// value raise TypeError / ValueError; a closed table raises ValueError.

#include <pybind11/eval.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <charconv>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "cli.h"
#include "datatable/datatable.h"
#include "host_session.h"
#include "run_plan.h"

namespace py = pybind11;

namespace {

// The datatable.Error class, made when the module is imported.
py::object& ErrorClass() {
  static py::object* cls = new py::object();  // lives as long as the interpreter
  return *cls;
}

[[noreturn]] void RaiseError(int code, const std::string& text) {
  py::object error = ErrorClass()(code, text);
  PyErr_SetObject(ErrorClass().ptr(), error.ptr());
  throw py::error_already_set();
}

[[noreturn]] void RaiseValueError(const std::string& text) { throw py::value_error(text); }
[[noreturn]] void RaiseTypeError(const std::string& text) { throw py::type_error(text); }

long RowArgument(const py::handle& row) {
  if (!py::isinstance<py::int_>(row) || py::isinstance<py::bool_>(row))
    RaiseTypeError("a row is an int (1 is the first row of values)");
  const long long n = row.cast<long long>();
  if (n < 1 || n > 65536) RaiseValueError("row " + std::to_string(n) + " is not a row of a sheet");
  return static_cast<long>(n);
}

std::string NameArgument(const py::handle& name) {
  if (!py::isinstance<py::str>(name)) RaiseTypeError("a parameter name is a str");
  return name.cast<std::string>();
}

// The datetime module's classes, fetched once.
py::object& DateTimeClass() {
  static py::object* cls = new py::object(py::module_::import("datetime").attr("datetime"));
  return *cls;
}
py::object& TimeClass() {
  static py::object* cls = new py::object(py::module_::import("datetime").attr("time"));
  return *cls;
}

py::object Convert(const CZATTypedValue& v) {
  switch (v.kind) {
    case CZATTypedValue::KIND_EMPTY:
      return py::none();
    case CZATTypedValue::KIND_NUMBER:
      if (v.date == CZATTypedValue::DATE_DATE)
        return DateTimeClass()(v.year, v.month, v.day, v.hour, v.minute, v.second,
                               v.millisecond * 1000);
      if (v.date == CZATTypedValue::DATE_TIME_OF_DAY)
        return TimeClass()(v.hour, v.minute, v.second, v.millisecond * 1000);
      return py::float_(v.number);
    case CZATTypedValue::KIND_LOGICAL:
      return py::bool_(v.logical);
    case CZATTypedValue::KIND_TEXT:
    case CZATTypedValue::KIND_ERROR:
      return py::str(v.text);
  }
  return py::none();
}

// The names of one sheet's parameters, shared by the rows read together.
struct RowNames {
  std::string sheet;
  std::vector<std::string> names;
  std::vector<py::object> keys;  // the names as Python strings
  std::unordered_map<std::string, std::size_t> index;
};

// One run row, a read-only mapping parameter name → value with its sheet and row number. The
// values are read when the row is; a Python object is made for a value when it is asked for.
struct Row {
  std::shared_ptr<const RowNames> names;
  std::vector<CString> texts;
  std::vector<CZATTypedValue> values;
  bool typed = false;
  long number = 0;

  std::size_t Size() const { return names->names.size(); }
  py::object At(std::size_t k) const { return typed ? Convert(values[k]) : py::str(texts[k]); }
  std::optional<std::size_t> Find(const py::handle& key) const {
    if (!py::isinstance<py::str>(key)) return std::nullopt;
    auto it = names->index.find(key.cast<std::string>());
    if (it == names->index.end()) return std::nullopt;
    return it->second;
  }
  py::dict Dict() const {
    py::dict d;
    for (std::size_t k = 0; k < Size(); ++k) d[names->keys[k]] = At(k);
    return d;
  }
};

// Makes a sheet active for a scope and the previously active sheet active again after it.
class ActiveSheet {
 public:
  ActiveSheet(CZAT_PSF1& table, long sheet) : table_(table), previous_(table.GetSheet()) {
    if (sheet != previous_) table_.SetSheet(sheet);
  }
  ~ActiveSheet() {
    try {
      if (table_.GetSheet() != previous_) table_.SetSheet(previous_);
    } catch (...) {
      // The sheet is gone; nothing to restore.
    }
  }
  ActiveSheet(const ActiveSheet&) = delete;
  ActiveSheet& operator=(const ActiveSheet&) = delete;

 private:
  CZAT_PSF1& table_;
  long previous_;
};

class Table {
 public:
  static std::unique_ptr<Table> Open(const std::string& path, int type) {
    if (type != 0 && type != CZAT::FILE_TYPE_TEXT && type != CZAT::FILE_TYPE_EXCEL5 &&
        type != CZAT::FILE_TYPE_CSV && type != CZAT::FILE_TYPE_EXCEL97 &&
        type != CZAT::FILE_TYPE_XLSX)
      RaiseValueError(
          "type must be None, 3 (text), 4 (Excel 5.0/95), 6 (comma-separated text), 11 (Excel "
          "97-2000) or 51 (.xlsx)");
    auto table = std::make_unique<Table>();
    if (!table->session_->Open(path, static_cast<CZAT::FILE_TYPE>(type)))
      RaiseError(table->session_->ErrorCode(), table->session_->Error());
    return table;
  }

  Table() : session_(std::make_unique<dtapp::HostSession>()) {}

  void Close() { session_.reset(); }
  bool Closed() const { return !session_; }

  CZAT_PSF1& T() {
    if (!session_) RaiseValueError("the table is closed");
    return session_->Table();
  }

  std::vector<std::string> Sheets() {
    const CStringList& list = T().GetSheetsList();
    return {list.begin(), list.end()};
  }

  std::string FileName() {
    CString name;
    T().GetFileName(name);
    return name;
  }

  // A sheet argument: None the active sheet, a number from 1 or a name.
  long Sheet(const py::handle& sheet) {
    CZAT_PSF1& t = T();
    if (sheet.is_none()) return t.GetSheet();
    if (py::isinstance<py::bool_>(sheet)) RaiseTypeError("a sheet is a name, a number or None");
    if (py::isinstance<py::int_>(sheet)) {
      const long long n = sheet.cast<long long>();
      const long count = t.GetNumSheets();
      if (n < 1 || n > count)
        RaiseError(
            -1, "no sheet " + std::to_string(n) + " (the table has " + std::to_string(count) + ")");
      return static_cast<long>(n);
    }
    if (py::isinstance<py::str>(sheet)) {
      const std::string name = sheet.cast<std::string>();
      const long s = t.GetSheetIndex(name);
      if (s == 0) RaiseError(-1, "no sheet \"" + name + "\"");
      return s;
    }
    RaiseTypeError("a sheet is a name, a number from 1 or None");
  }

  std::vector<std::string> Parameters(long s) {
    const CZATArgList& names = T().GetHeaderArgList(s);
    return {names.begin(), names.end()};
  }

  // The rows of a sheet in run order: every row of values, or only the selected rows (as the
  // run-row capture takes them: in selection order, a row selected twice once).
  std::vector<long> SheetRows(long s, bool selected) {
    CZAT_PSF1& t = T();
    std::vector<long> rows;
    CString name;
    if (t.GetSheetName(name, s) != 0) return rows;
    CWBRowsRangeList list;
    if (!selected) {
      t.GetAllRows(list, s);
      int count = 0;
      list.GetRowsRangeCount(name, count);
      for (int k = 0; k < count; ++k) {
        CRowsRange range;
        if (list.GetRowsRangeEntry(name, k, range) != 0) continue;
        for (long r = range.nFirstRow; r <= range.nLastRow; ++r) rows.push_back(r);
      }
      return rows;
    }
    if (t.GetSelectedRows(list, s) != 0 || list.IsEmptyRowsList(name)) return rows;
    if (t.CaptureRowsList(false, s) != 1) return rows;
    long row = 0;
    while (t.GetNextRunRow(row, s) == 1) rows.push_back(row);
    return rows;
  }

  // The whole run as `datatable run` takes it: (sheet, row) pairs in run order.
  std::vector<std::pair<long, long>> Run(long sheet, const std::optional<std::string>& rows,
                                         long shardIndex, long shardCount) {
    CZAT_PSF1& t = T();
    std::optional<std::vector<dtapp::RowRange>> ranges;
    if (rows) {
      std::string problem;
      ranges = dtapp::ParseRowList(*rows, problem);
      if (!ranges) RaiseValueError("rows: " + problem);
    }
    if (shardCount < 1 || shardIndex < 1 || shardIndex > shardCount)
      RaiseValueError("a shard is K/N with 1 <= K <= N");
    const long first = sheet == 0 ? 1 : sheet;
    const long last = sheet == 0 ? t.GetNumSheets() : sheet;
    std::vector<dtapp::SheetRun> run;
    std::string error;
    const long active = t.GetSheet();
    const bool ok = dtapp::CaptureRun(t, first, last, ranges, sheet != 0, run, error);
    if (t.GetSheet() != active) t.SetSheet(active);
    if (!ok) {
      session_->Fail(error);
      RaiseError(-1, session_->Error());
    }
    dtapp::KeepShard(run, dtapp::Shard{shardIndex, shardCount});
    std::vector<std::pair<long, long>> out;
    for (const dtapp::SheetRun& s : run)
      for (long row : s.rows) out.emplace_back(s.sheet, row);
    return out;
  }

  // The rows as Row mappings: parameter name → displayed text, or (typed) → typed value.
  py::list Rows(long s, const std::vector<long>& rows, bool typed) {
    CZAT_PSF1& t = T();
    auto names = std::make_shared<RowNames>();
    t.GetSheetName(names->sheet, s);
    const CZATArgList& list = t.GetHeaderArgList(s);
    for (const CString& name : list) {
      names->index.emplace(name, names->names.size());
      names->names.push_back(name);
      names->keys.push_back(py::str(name));
    }
    const std::size_t width = names->names.size();
    // The sheet is made active once for all the reads, not once per value.
    ActiveSheet active(t, s);
    py::list out(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      Row row;
      row.names = names;
      row.number = rows[i];
      row.typed = typed;
      if (typed) {
        row.values.resize(width);
        for (std::size_t k = 0; k < width; ++k)
          if (t.GetArgTypedValue(rows[i], names->names[k], row.values[k], 0) != 0)
            row.values[k] = CZATTypedValue();
      } else {
        row.texts.resize(width);
        for (std::size_t k = 0; k < width; ++k)
          if (t.GetArgValue(rows[i], names->names[k], row.texts[k], 0) != 0) row.texts[k].clear();
      }
      out[i] = py::cast(std::move(row));
    }
    return out;
  }

  // Writes one value. entry: the text to enter; flags as AddArgValue takes them; clear: empty
  // the cell instead.
  void Set(long row, const std::string& name, long s, const std::string& entry, unsigned long flags,
           bool clear) {
    CZAT_PSF1& t = T();
    const CZATArgList& names = t.GetHeaderArgList(s);
    bool found = false;
    for (const CString& n : names) found = found || n == name;
    CString sheetName;
    t.GetSheetName(sheetName, s);
    if (!found) RaiseError(-1, "no parameter \"" + name + "\" on sheet \"" + sheetName + "\"");
    long lastRow = 0;
    t.GetMaxRows(lastRow, s);
    if (clear && row > lastRow) return;  // nothing there to clear
    if (row > lastRow + 1)
      RaiseError(-1, "row " + std::to_string(row) + " is beyond the row after the last one (" +
                         std::to_string(lastRow) + ") of sheet \"" + sheetName + "\"");
    // Entries with flags make the cell the selection: keep the selected rows across.
    CWBRowsRangeList selection;
    const bool keepSelection =
        flags != 0 && t.GetSelectedRows(selection, s) == 0 && !selection.IsEmptyRowsList(sheetName);
    const long previous = t.GetSheet();
    if (previous != s) t.SetSheet(s);
    int result = clear ? t.DelArgValue(row, name) : t.AddArgValue(row, name, entry, flags, nullptr);
    if (keepSelection) t.SelectRows(selection, s);
    if (previous != s) t.SetSheet(previous);
    if (result != 0) {
      session_->Fail("the value cannot be entered in row " + std::to_string(row) + " of \"" + name +
                     "\"");
      RaiseError(result, session_->Error());
    }
    session_->TakeMessages();
  }

  void SelectRows(const std::string& spec, long s) {
    CZAT_PSF1& t = T();
    std::string problem;
    const auto ranges = dtapp::ParseRowList(spec, problem);
    if (!ranges) RaiseValueError(problem);
    bool none = false;
    // Selecting rows on a sheet makes it active; the active sheet stays the caller's.
    const long active = t.GetSheet();
    const bool ok = dtapp::SelectRequestedRows(t, s, *ranges, true, none, problem);
    if (t.GetSheet() != active) t.SetSheet(active);
    if (!ok) RaiseValueError(problem);
  }

  void Save(const std::optional<std::string>& path, int type) {
    CZAT_PSF1& t = T();
    session_->TakeMessages();
    int result = -1;
    const CString name = path ? *path : CString();
    result = t.Save(path ? name : CZAT::null_cstring_ref, 1, static_cast<CZAT::FILE_TYPE>(type), 0);
    if (result != 0) {
      session_->Fail(result == 2 ? "the table has no file name; give one"
                                 : "the table cannot be saved");
      RaiseError(result == 2 ? -1 : result, session_->Error());
    }
    session_->TakeMessages();
  }

 private:
  std::unique_ptr<dtapp::HostSession> session_;
};

// The text a typed value is entered as, and the entry flags: numbers in General (1), dates
// and times typed in ISO form keeping the format their entry implies (6), logical values and
// text as typed with their text kept (0).
std::pair<std::string, unsigned long> EntryOf(const py::handle& value, bool& clear) {
  clear = false;
  if (value.is_none()) {
    clear = true;
    return {"", 0};
  }
  if (py::isinstance<py::str>(value)) return {value.cast<std::string>(), 0};
  if (py::isinstance<py::bool_>(value)) return {value.cast<bool>() ? "TRUE" : "FALSE", 0};
  if (py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value)) {
    double number = 0;
    try {
      number = py::float_(py::reinterpret_borrow<py::object>(value)).cast<double>();
    } catch (const py::error_already_set&) {
      RaiseValueError("the number is too large for a cell");
    }
    if (!std::isfinite(number)) RaiseValueError("a cell holds no infinite or NaN number");
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, number);
    return {std::string(buffer, r.ptr), 1};
  }
  py::module_ dt = py::module_::import("datetime");
  auto two = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
  auto timeText = [&](const py::handle& v) {
    std::string text = two(v.attr("hour").cast<int>()) + ":" + two(v.attr("minute").cast<int>()) +
                       ":" + two(v.attr("second").cast<int>());
    const int ms = (v.attr("microsecond").cast<int>() + 500) / 1000;
    if (ms > 0 && ms < 1000) {
      std::string digits = std::to_string(ms + 1000).substr(1);
      text += "." + digits;
    }
    return text;
  };
  auto dateText = [&](const py::handle& v) {
    const int year = v.attr("year").cast<int>();
    if (year < 1900) RaiseValueError("a date before 1900 cannot be entered");
    return std::to_string(year) + "-" + two(v.attr("month").cast<int>()) + "-" +
           two(v.attr("day").cast<int>());
  };
  if (py::isinstance(value, dt.attr("datetime"))) {
    if (!value.attr("tzinfo").is_none()) RaiseValueError("a cell holds no time zone");
    return {dateText(value) + " " + timeText(value), 6};
  }
  if (py::isinstance(value, dt.attr("date"))) return {dateText(value), 6};
  if (py::isinstance(value, dt.attr("time"))) {
    if (!value.attr("tzinfo").is_none()) RaiseValueError("a cell holds no time zone");
    return {timeText(value), 6};
  }
  RaiseTypeError(
      std::string("a value is a str, float, int, bool, datetime, date, time or None, not ") +
      py::str(value.get_type().attr("__name__")).cast<std::string>());
}

}  // namespace

PYBIND11_MODULE(_datatable, m) {
  m.doc() = "The data-table SDK for Python (use the datatable package).";
  py::dict scope;
  scope["__builtins__"] = py::module_::import("builtins");
  py::exec(R"py(
class Error(Exception):
    """A failure of the table: `code` is the table's result code, `text` its message."""
    def __init__(self, code, text):
        super().__init__(code, text)
        self.code = code
        self.text = text
    def __str__(self):
        return f"{self.text} (code {self.code})"
Error.__module__ = "datatable"
)py",
           scope);
  ErrorClass() = scope["Error"];
  m.attr("Error") = ErrorClass();

  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const datatable::EngineError& e) {
      RaiseError(e.Code(), e.Description());
    }
  });

  py::class_<Row>(m, "Row")
      .def("__len__", &Row::Size)
      .def("__getitem__",
           [](const Row& r, const py::handle& key) {
             const auto k = r.Find(key);
             if (!k) throw py::key_error(py::repr(key).cast<std::string>());
             return r.At(*k);
           })
      .def("__contains__",
           [](const Row& r, const py::handle& key) { return r.Find(key).has_value(); })
      .def("__iter__", [](const Row& r) { return py::iter(py::list(py::cast(r.names->keys))); })
      .def("keys", [](const Row& r) { return py::list(py::cast(r.names->keys)); })
      .def("values",
           [](const Row& r) {
             py::list out(r.Size());
             for (std::size_t k = 0; k < r.Size(); ++k) out[k] = r.At(k);
             return out;
           })
      .def("items",
           [](const Row& r) {
             py::list out(r.Size());
             for (std::size_t k = 0; k < r.Size(); ++k)
               out[k] = py::make_tuple(r.names->keys[k], r.At(k));
             return out;
           })
      .def(
          "get",
          [](const Row& r, const py::handle& key, const py::object& fallback) {
            const auto k = r.Find(key);
            return k ? r.At(*k) : fallback;
          },
          py::arg("key"), py::arg("default") = py::none())
      .def("to_dict", &Row::Dict)
      .def("__eq__",
           [](const Row& r, const py::object& other) -> py::object {
             if (py::isinstance<Row>(other))
               return py::bool_(r.Dict().equal(other.cast<const Row&>().Dict()));
             if (py::isinstance<py::dict>(other)) return py::bool_(r.Dict().equal(other));
             return py::reinterpret_borrow<py::object>(Py_NotImplemented);
           })
      .def("__repr__",
           [](const Row& r) {
             return "Row(" + py::repr(py::str(r.names->sheet)).cast<std::string>() + ", " +
                    std::to_string(r.number) + ", " + py::repr(r.Dict()).cast<std::string>() + ")";
           })
      .def_property_readonly("sheet", [](const Row& r) { return r.names->sheet; })
      .def_readonly("number", &Row::number);

  py::class_<Table>(m, "Table")
      .def_static("open", &Table::Open, py::arg("path"), py::arg("type") = 0)
      .def("close", &Table::Close)
      .def_property_readonly("closed", &Table::Closed)
      .def_property_readonly("sheets", &Table::Sheets)
      .def_property_readonly("file_name", &Table::FileName)
      .def("sheet", &Table::Sheet, py::arg("sheet"))
      .def("parameters", &Table::Parameters)
      .def("sheet_rows", &Table::SheetRows)
      .def("run", &Table::Run)
      .def("texts",
           [](Table& t, long s, const std::vector<long>& rows) { return t.Rows(s, rows, false); })
      .def("values",
           [](Table& t, long s, const std::vector<long>& rows) { return t.Rows(s, rows, true); })
      .def("select_rows", &Table::SelectRows)
      .def("save", &Table::Save)
      .def("set", [](Table& t, const py::handle& row, const py::handle& name,
                     const py::handle& value, const py::handle& sheet) {
        const long r = RowArgument(row);
        const std::string n = NameArgument(name);
        const long s = t.Sheet(sheet);
        bool clear = false;
        const auto [entry, flags] = EntryOf(value, clear);
        t.Set(r, n, s, entry, flags, clear);
      });
}
