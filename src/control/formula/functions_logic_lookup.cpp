// Logical, information, lookup and reference functions.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "control/formula/function_support.h"
#include "control/formula/function_table.h"
#include "control/formula/parser.h"
#include "control/model/sheet.h"

namespace engine::formula {

namespace {

Operand If(Evaluator& ev, std::span<Operand> args) {
  DT_BOOL(c, args[0]);
  if (c) return args.size() > 1 ? (args[1].IsMissing() ? Operand::Num(0) : args[1]) : Operand::Bool(true);
  if (args.size() > 2) return args[2].IsMissing() ? Operand::Num(0) : args[2];
  return Operand::Bool(false);
}

Operand AndOr(Evaluator& ev, std::span<Operand> args, bool isAnd) {
  bool any = false, result = isAnd;
  for (Operand& a : args) {
    if (a.IsMissing()) continue;
    bool failed = false;
    ErrorValue err = ErrorValue::Value;
    ev.ForEachValue(a, [&](const Value& v, bool fromRef) {
      if (failed) return;
      bool b;
      if (v.IsError()) {
        failed = true, err = v.error;
        return;
      }
      if (fromRef && !(v.IsNumber() || v.IsLogical())) return;
      ErrorValue e;
      if (!ev.ToBool(v, b, e)) {
        failed = true, err = e;
        return;
      }
      any = true;
      if (isAnd) result = result && b;
      else result = result || b;
    });
    if (failed) return Operand::Err(err);
  }
  if (!any) return Operand::Err(ErrorValue::Value);
  return Operand::Bool(result);
}
Operand And(Evaluator& ev, std::span<Operand> a) { return AndOr(ev, a, true); }
Operand Or(Evaluator& ev, std::span<Operand> a) { return AndOr(ev, a, false); }

Operand Not(Evaluator& ev, std::span<Operand> args) {
  DT_BOOL(b, args[0]);
  return Operand::Bool(!b);
}
Operand True(Evaluator&, std::span<Operand>) { return Operand::Bool(true); }
Operand False(Evaluator&, std::span<Operand>) { return Operand::Bool(false); }

Operand IfError(Evaluator& ev, std::span<Operand> args) {
  Value v = ev.Scalar(args[0]);
  if (v.IsError()) return args[1].IsMissing() ? Operand::Num(0) : args[1];
  return Operand::Of(v.IsEmpty() ? Value::Number(0) : v);
}

template <typename P>
Operand Is(Evaluator& ev, std::span<Operand> args, P pred) {
  return Operand::Bool(pred(ev.Scalar(args[0])));
}
Operand IsBlank(Evaluator& ev, std::span<Operand> a) {
  return Is(ev, a, [](const Value& v) { return v.IsEmpty(); });
}
Operand IsNumber(Evaluator& ev, std::span<Operand> a) {
  return Is(ev, a, [](const Value& v) { return v.IsNumber(); });
}
Operand IsText(Evaluator& ev, std::span<Operand> a) {
  return Is(ev, a, [](const Value& v) { return v.IsText(); });
}
Operand IsLogical(Evaluator& ev, std::span<Operand> a) {
  return Is(ev, a, [](const Value& v) { return v.IsLogical(); });
}
Operand IsError(Evaluator& ev, std::span<Operand> a) {
  return Is(ev, a, [](const Value& v) { return v.IsError(); });
}
Operand IsErr(Evaluator& ev, std::span<Operand> a) {
  return Is(ev, a, [](const Value& v) { return v.IsError() && v.error != ErrorValue::NA; });
}
Operand IsNa(Evaluator& ev, std::span<Operand> a) {
  return Is(ev, a, [](const Value& v) { return v.IsError() && v.error == ErrorValue::NA; });
}
Operand Na(Evaluator&, std::span<Operand>) { return Operand::Err(ErrorValue::NA); }

Operand Choose(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(i, args[0]);
  i = std::trunc(i);
  if (i < 1 || i >= double(args.size())) return Operand::Err(ErrorValue::Value);
  Operand& pick = args[static_cast<std::size_t>(i)];
  return pick.IsMissing() ? Operand::Num(0) : pick;
}

// --- Lookup ---------------------------------------------------------------------------------

// Values of a one-dimensional run of cells: the cell at index k of the vector.
struct Vector {
  const Sheet* sheet;
  int r, c, count;
  bool down;
  Value At(Evaluator& ev, int k) const {
    return ev.CellValue(*sheet, down ? r + k : r, down ? c : c + k);
  }
};

bool SameKindForLookup(const Value& a, const Value& b) {
  return a.kind == b.kind || (a.IsEmpty() && b.IsNumber());
}

// Position (0-based) of the lookup value; -1 when none. mode 0 exact (a linear walk), 1
// largest <=, -1 smallest >= (the data is taken as sorted, ascending for 1 and descending for
// -1, and the range is halved; cells that are empty or of another kind than the key are
// stepped over).
int Locate(Evaluator& ev, const Vector& vec0, const Value& key, int mode) {
  // Cells past the last used row (column) are empty and match nothing but an empty key.
  Vector vec = vec0;
  if (!key.IsEmpty()) {
    int used = vec.down ? vec.sheet->Col(vec.c).LastUsedRow() - vec.r + 1
                        : vec.sheet->LastCol() - vec.c + 1;
    vec.count = std::max(0, std::min(vec.count, used));
  }
  if (mode == 0) {
    bool wild = key.IsText() && HasWildcards(key.text);
    for (int k = 0; k < vec.count; ++k) {
      Value v = vec.At(ev, k);
      if (v.IsEmpty() && !key.IsEmpty()) continue;
      if (wild ? (v.IsText() && WildcardMatch(key.text, v.text))
               : (SameKindForLookup(v, key) && CompareValues(v, key) == 0))
        return k;
    }
    return -1;
  }
  // Binary search for the last position whose value is on the key's side (<= key ascending,
  // >= key descending). A probe that lands on an incomparable cell moves down to the nearest
  // comparable one within the window; when there is none, the window's lower part is dropped.
  auto comparable = [&](const Value& v) {
    return !(v.IsEmpty() && !key.IsEmpty()) && SameKindForLookup(v, key);
  };
  int lo = 0, hi = vec.count - 1, found = -1;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    int probe = mid;
    Value v = vec.At(ev, probe);
    while (!comparable(v) && probe > lo) v = vec.At(ev, --probe);
    if (!comparable(v)) {
      lo = mid + 1;
      continue;
    }
    int cmp = CompareValues(v, key);
    bool onKeySide = mode > 0 ? cmp <= 0 : cmp >= 0;
    if (onKeySide) {
      found = probe;
      lo = mid + 1;
    } else {
      hi = probe - 1;
    }
  }
  return found;
}

Operand LookupTable(Evaluator& ev, std::span<Operand> args, bool vertical) {
  Value key = ev.Scalar(args[0]);
  if (key.IsError()) return Operand::Of(key);
  if (!args[1].IsRef()) return Operand::Err(ErrorValue::NA);
  const Area& t = args[1].area;
  DT_NUM(idx, args[2]);
  idx = std::trunc(idx);
  bool approx = true;
  if (Given(args, 3)) {
    ErrorValue e;
    if (!ev.ArgBool(args[3], approx, e)) return Operand::Err(e);
  }
  if (idx < 1) return Operand::Err(ErrorValue::Value);
  if (idx > (vertical ? t.Cols() : t.Rows())) return Operand::Err(ErrorValue::Ref);
  Vector vec{t.sheet, t.r1, t.c1, vertical ? t.Rows() : t.Cols(), vertical};
  int k = Locate(ev, vec, key, approx ? 1 : 0);
  if (k < 0) return Operand::Err(ErrorValue::NA);
  int off = static_cast<int>(idx) - 1;
  Value v = vertical ? ev.CellValue(*t.sheet, t.r1 + k, t.c1 + off)
                     : ev.CellValue(*t.sheet, t.r1 + off, t.c1 + k);
  return Operand::Of(v.IsEmpty() ? Value::Number(0) : v);
}
Operand VLookup(Evaluator& ev, std::span<Operand> a) { return LookupTable(ev, a, true); }
Operand HLookup(Evaluator& ev, std::span<Operand> a) { return LookupTable(ev, a, false); }

Operand Lookup(Evaluator& ev, std::span<Operand> args) {
  Value key = ev.Scalar(args[0]);
  if (key.IsError()) return Operand::Of(key);
  if (!args[1].IsRef()) return Operand::Err(ErrorValue::NA);
  const Area& a = args[1].area;
  bool down = a.Rows() >= a.Cols();
  Vector vec{a.sheet, a.r1, a.c1, down ? a.Rows() : a.Cols(), down};
  int k = Locate(ev, vec, key, 1);
  if (k < 0) return Operand::Err(ErrorValue::NA);
  Value v;
  if (args.size() > 2) {
    if (!args[2].IsRef()) return Operand::Err(ErrorValue::NA);
    const Area& r = args[2].area;
    bool rdown = r.Rows() >= r.Cols();
    if (rdown ? r.r1 + k > kMaxRow : r.c1 + k > kMaxCol) return Operand::Err(ErrorValue::NA);
    v = ev.CellValue(*r.sheet, rdown ? r.r1 + k : r.r1, rdown ? r.c1 : r.c1 + k);
  } else {
    v = down ? ev.CellValue(*a.sheet, a.r1 + k, a.c2) : ev.CellValue(*a.sheet, a.r2, a.c1 + k);
  }
  return Operand::Of(v.IsEmpty() ? Value::Number(0) : v);
}

Operand Match(Evaluator& ev, std::span<Operand> args) {
  Value key = ev.Scalar(args[0]);
  if (key.IsError()) return Operand::Of(key);
  if (!args[1].IsRef()) return Operand::Err(ErrorValue::NA);
  const Area& a = args[1].area;
  if (a.Rows() > 1 && a.Cols() > 1) return Operand::Err(ErrorValue::NA);
  double type = 1;
  if (Given(args, 2)) {
    ErrorValue e;
    if (!ev.ArgNumber(args[2], type, e)) return Operand::Err(e);
  }
  int mode = type > 0 ? 1 : type < 0 ? -1 : 0;
  bool down = a.Cols() == 1;
  Vector vec{a.sheet, a.r1, a.c1, down ? a.Rows() : a.Cols(), down};
  int k = Locate(ev, vec, key, mode);
  if (k < 0) return Operand::Err(ErrorValue::NA);
  return Operand::Num(k + 1);
}

Operand Index(Evaluator& ev, std::span<Operand> args) {
  if (!args[0].IsRef()) {
    if (args[0].IsError()) return args[0];
    // A single value: INDEX(5,1,1) is 5.
    return args[0];
  }
  Area a = args[0].area;
  if (Given(args, 3)) {
    DT_NUM(which, args[3]);
    which = std::trunc(which);
    if (which < 1 || which > double(1 + args[0].more.size())) return Operand::Err(ErrorValue::Ref);
    if (which > 1) a = args[0].more[static_cast<std::size_t>(which) - 2];
  }
  double r = 0, c = 0;
  ErrorValue e;
  if (Given(args, 1) && !ev.ArgNumber(args[1], r, e)) return Operand::Err(e);
  if (Given(args, 2) && !ev.ArgNumber(args[2], c, e)) return Operand::Err(e);
  r = std::trunc(r), c = std::trunc(c);
  if (r < 0 || c < 0) return Operand::Err(ErrorValue::Value);
  // One row or one column: a single index picks along it.
  if (!Given(args, 2) && a.Rows() == 1 && a.Cols() > 1) std::swap(r, c);
  if (r > a.Rows() || c > a.Cols()) return Operand::Err(ErrorValue::Ref);
  Area out = a;
  if (r > 0) out.r1 = out.r2 = a.r1 + static_cast<int>(r) - 1;
  if (c > 0) out.c1 = out.c2 = a.c1 + static_cast<int>(c) - 1;
  return Operand::Reference(out);
}

Operand RowCol(Evaluator& ev, std::span<Operand> args, bool row) {
  if (args.empty() || args[0].IsMissing()) return Operand::Num(row ? ev.Row() : ev.Col());
  if (!args[0].IsRef()) return args[0].IsError() ? args[0] : Operand::Err(ErrorValue::Value);
  return Operand::Num(row ? args[0].area.r1 : args[0].area.c1);
}
Operand Row(Evaluator& ev, std::span<Operand> a) { return RowCol(ev, a, true); }
Operand Column(Evaluator& ev, std::span<Operand> a) { return RowCol(ev, a, false); }

Operand RowsCols(Evaluator&, std::span<Operand> args, bool rows) {
  if (args[0].IsError()) return args[0];
  if (!args[0].IsRef()) return Operand::Num(1);
  if (!args[0].more.empty()) return Operand::Err(ErrorValue::Ref);
  return Operand::Num(rows ? args[0].area.Rows() : args[0].area.Cols());
}
Operand Rows(Evaluator& ev, std::span<Operand> a) { return RowsCols(ev, a, true); }
Operand Columns(Evaluator& ev, std::span<Operand> a) { return RowsCols(ev, a, false); }

Operand Offset(Evaluator& ev, std::span<Operand> args) {
  if (args[0].IsError()) return args[0];
  if (!args[0].IsRef() || !args[0].more.empty()) return Operand::Err(ErrorValue::Value);
  const Area& a = args[0].area;
  DT_NUM(dr, args[1]);
  DT_NUM(dc, args[2]);
  double h = a.Rows(), w = a.Cols();
  ErrorValue e;
  if (Given(args, 3) && !ev.ArgNumber(args[3], h, e)) return Operand::Err(e);
  if (Given(args, 4) && !ev.ArgNumber(args[4], w, e)) return Operand::Err(e);
  dr = std::trunc(dr), dc = std::trunc(dc), h = std::trunc(h), w = std::trunc(w);
  if (h == 0 || w == 0) return Operand::Err(ErrorValue::Ref);
  double r1 = a.r1 + dr, c1 = a.c1 + dc;
  double r2 = r1 + (h > 0 ? h - 1 : h + 1), c2 = c1 + (w > 0 ? w - 1 : w + 1);
  auto rowOk = [](double r) { return r >= 1 && r <= kMaxRow; };
  auto colOk = [](double c) { return c >= 1 && c <= kMaxCol; };
  if (!rowOk(r1) || !rowOk(r2) || !colOk(c1) || !colOk(c2)) return Operand::Err(ErrorValue::Ref);
  Area out;
  out.sheet = a.sheet;
  out.r1 = static_cast<int>(std::min(r1, r2));
  out.r2 = static_cast<int>(std::max(r1, r2));
  out.c1 = static_cast<int>(std::min(c1, c2));
  out.c2 = static_cast<int>(std::max(c1, c2));
  return Operand::Reference(out);
}

// One R1C1 part ("R2C3", "R[-1]C", "RC[2]") as A1 text, relative to (row, col).
bool R1C1Part(std::string_view s, int row, int col, std::string& out) {
  std::size_t i = 0;
  auto number = [&](int base, int& v) {
    if (i < s.size() && s[i] == '[') {
      std::size_t close = s.find(']', i);
      if (close == std::string_view::npos || close - i > 8) return false;
      std::string digits(s.substr(i + 1, close - i - 1));
      char* end = nullptr;
      long n = std::strtol(digits.c_str(), &end, 10);
      if (digits.empty() || *end) return false;
      v = base + static_cast<int>(n);
      i = close + 1;
      return true;
    }
    std::size_t start = i;
    long n = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && i - start < 6)
      n = n * 10 + (s[i++] - '0');
    v = i == start ? base : static_cast<int>(n);
    return true;
  };
  int r, c;
  if (i >= s.size() || (s[i] != 'R' && s[i] != 'r')) return false;
  ++i;
  if (!number(row, r)) return false;
  if (i >= s.size() || (s[i] != 'C' && s[i] != 'c')) return false;
  ++i;
  if (!number(col, c) || i != s.size()) return false;
  if (r < 1 || r > kMaxRow || c < 1 || c > kMaxCol) return false;
  out = ColumnName(c) + std::to_string(r);
  return true;
}

bool R1C1ToA1(const std::string& text, int row, int col, std::string& out) {
  std::size_t bang = text.rfind('!');
  std::string prefix = bang == std::string::npos ? "" : text.substr(0, bang + 1);
  std::string_view rest = std::string_view(text).substr(prefix.size());
  std::size_t colon = rest.find(':');
  std::string a, b;
  if (!R1C1Part(rest.substr(0, colon), row, col, a)) return false;
  out = prefix + a;
  if (colon != std::string_view::npos) {
    if (!R1C1Part(rest.substr(colon + 1), row, col, b)) return false;
    out += ":" + b;
  }
  return true;
}

Operand Indirect(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(text, args[0]);
  bool a1 = true;
  ErrorValue e;
  if (Given(args, 1) && !ev.ArgBool(args[1], a1, e)) return Operand::Err(e);
  if (!a1 && !R1C1ToA1(std::string(text), ev.Row(), ev.Col(), text))
    return Operand::Err(ErrorValue::Ref);
  Operand out;
  if (text.empty() || !ev.ResolveReferenceText(text, out)) return Operand::Err(ErrorValue::Ref);
  return out;
}

Operand Address(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(row, args[0]);
  DT_NUM(col, args[1]);
  double kind = 1;
  bool a1 = true;
  ErrorValue e;
  if (Given(args, 2) && !ev.ArgNumber(args[2], kind, e)) return Operand::Err(e);
  if (Given(args, 3) && !ev.ArgBool(args[3], a1, e)) return Operand::Err(e);
  std::string sheet;
  bool hasSheet = Given(args, 4);
  if (hasSheet && !ev.ArgText(args[4], sheet, e)) return Operand::Err(e);
  row = std::trunc(row), col = std::trunc(col), kind = std::trunc(kind);
  if (row < 1 || row > kMaxRow || col < 1 || col > kMaxCol || kind < 1 || kind > 4)
    return Operand::Err(ErrorValue::Value);
  bool rowAbs = kind == 1 || kind == 2, colAbs = kind == 1 || kind == 3;
  int r = static_cast<int>(row), c = static_cast<int>(col);
  std::string text;
  if (a1) {
    text = (colAbs ? "$" : "") + ColumnName(c) + (rowAbs ? "$" : "") + std::to_string(r);
  } else {
    text = "R" + (rowAbs ? std::to_string(r) : "[" + std::to_string(r) + "]") + "C" +
           (colAbs ? std::to_string(c) : "[" + std::to_string(c) + "]");
  }
  if (hasSheet) text = (sheet.empty() ? std::string() : QuoteSheetName(sheet)) + "!" + text;
  return Operand::Str(std::move(text));
}

Operand Areas(Evaluator&, std::span<Operand> args) {
  if (args[0].IsError()) return args[0];
  if (!args[0].IsRef()) return Operand::Err(ErrorValue::Value);
  return Operand::Num(1 + double(args[0].more.size()));
}

Operand IsRef(Evaluator&, std::span<Operand> args) { return Operand::Bool(args[0].IsRef()); }

Operand IsNonText(Evaluator& ev, std::span<Operand> a) {
  return Is(ev, a, [](const Value& v) { return !v.IsText(); });
}

// TYPE: 1 number (and empty), 2 text, 4 logical, 16 error; 64 for a block of cells.
Operand Type(Evaluator& ev, std::span<Operand> args) {
  if (args[0].IsRef() && (!args[0].more.empty() || !args[0].area.Single())) return Operand::Num(16);
  Value v = ev.Scalar(args[0]);
  switch (v.kind) {
    case ValueKind::Text:
      return Operand::Num(2);
    case ValueKind::Logical:
      return Operand::Num(4);
    case ValueKind::Error:
      return Operand::Num(16);
    default:
      return Operand::Num(1);
  }
}

constexpr FunctionInfo kLogic[] = {
    {"IF", 1, 2, 3, false, If},
    {"ISNA", 2, 1, 1, false, IsNa},
    {"ISERROR", 3, 1, 1, false, IsError},
    {"ROW", 8, 0, 1, false, Row},
    {"COLUMN", 9, 0, 1, false, Column},
    {"NA", 10, 0, 0, false, Na},
    {"LOOKUP", 28, 2, 3, false, Lookup},
    {"INDEX", 29, 2, 4, false, Index},
    {"TRUE", 34, 0, 0, false, True},
    {"FALSE", 35, 0, 0, false, False},
    {"AND", 36, 1, 30, false, And},
    {"OR", 37, 1, 30, false, Or},
    {"NOT", 38, 1, 1, false, Not},
    {"MATCH", 64, 2, 3, false, Match},
    {"ROWS", 76, 1, 1, false, Rows},
    {"COLUMNS", 77, 1, 1, false, Columns},
    {"OFFSET", 78, 3, 5, true, Offset},
    {"CHOOSE", 100, 2, 30, false, Choose},
    {"HLOOKUP", 101, 3, 4, false, HLookup},
    {"VLOOKUP", 102, 3, 4, false, VLookup},
    {"ISERR", 126, 1, 1, false, IsErr},
    {"ISTEXT", 127, 1, 1, false, IsText},
    {"ISNUMBER", 128, 1, 1, false, IsNumber},
    {"ISBLANK", 129, 1, 1, false, IsBlank},
    {"INDIRECT", 148, 1, 2, true, Indirect},
    {"ISLOGICAL", 198, 1, 1, false, IsLogical},
    {"IFERROR", 0x4000 + 2, 2, 2, false, IfError},
    {"AREAS", 75, 1, 1, false, Areas},
    {"TYPE", 86, 1, 1, false, Type},
    {"ISREF", 105, 1, 1, false, IsRef},
    {"ISNONTEXT", 190, 1, 1, false, IsNonText},
    {"ADDRESS", 219, 2, 5, false, Address},
};

}  // namespace

std::span<const FunctionInfo> LogicLookupFunctions() { return kLogic; }

}  // namespace engine::formula
