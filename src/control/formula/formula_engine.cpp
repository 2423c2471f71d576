// The formula engine's hooks: compiling, dependency bookkeeping and recalculation.
//
// Recalculation marks the formulas a change affects as dirty (following the dependency graph
// breadth-first), then computes them with an explicit stack instead of recursion, so a chain
// of 65,536 formulas each reading the one above costs no call depth. A formula whose
// evaluation reads a dirty formula is put back: the cells it needs are pushed above it, and
// it is evaluated again once they are done. Reading a formula that is itself waiting on the
// stack means a circular reference: every formula on that chain gets kCircularError.
#include "control/formula/formula_engine.h"

#include <algorithm>

#include "control/engine_error.h"
#include "control/formula/dependency_graph.h"
#include "control/formula/evaluator.h"
#include "control/formula/expression.h"
#include "control/formula/parser.h"
#include "control/formula/reference_adjust.h"
#include "control/model/sheet.h"
#include "control/model/workbook.h"

namespace engine::formula {

namespace {
enum CalcState : std::uint8_t { kClean = 0, kDirty = 1, kPending = 2, kInProgress = 3 };
constexpr int kMaxNameDepth = 16;

struct Frame {
  CellKey key;
  std::int32_t parent;
};

void CollectPrecedents(const Workbook& book, const Expression& e, std::uint32_t homeSheet,
                       std::uint32_t formulaSheet, int row, int col, std::vector<CellKey>& cells,
                       std::vector<RangePrecedent>& ranges, bool& isVolatile, int depth) {
  if (e.Volatile()) isVolatile = true;
  for (const Token& t : e.Tokens()) {
    if (t.kind == TokenKind::Name) {
      const DefinedName* n = book.FindName(t.text, formulaSheet);
      if (n && n->expr && depth < kMaxNameDepth)
        CollectPrecedents(book, *n->expr, n->sheetId ? n->sheetId : homeSheet, formulaSheet, row,
                          col, cells, ranges, isVolatile, depth + 1);
      continue;
    }
    if ((t.kind != TokenKind::Ref && t.kind != TokenKind::Area) || t.sheetGone) continue;
    std::uint32_t sheet = t.sheet ? t.sheet : homeSheet;
    if (!sheet) continue;
    if (t.sheet2) {
      // A range of sheets reads the block on each of its sheets.
      int first = book.SheetIndexById(t.sheet), last = book.SheetIndexById(t.sheet2);
      if (!first || !last) continue;
      if (first > last) std::swap(first, last);
      Token one = t;
      one.sheet = 0;
      one.sheet2 = 0;
      Expression single({one});
      for (int i = first; i <= last; ++i)
        CollectPrecedents(book, single, book.GetSheet(i).Id(), formulaSheet, row, col, cells,
                          ranges, isVolatile, depth);
      continue;
    }
    if (t.kind == TokenKind::Ref) {
      int r, c;
      if (ResolvePoint(t.a, row, col, r, c)) cells.push_back(MakeKey(sheet, r, c));
      continue;
    }
    int r1, c1, r2, c2;
    bool ok1 = ResolvePoint(t.a, row, col, r1, c1);
    bool ok2 = ResolvePoint(t.b, row, col, r2, c2);
    if (t.wholeCols) r1 = 1, r2 = kMaxRow, ok1 = c1 >= 1 && c1 <= kMaxCol, ok2 = c2 >= 1 && c2 <= kMaxCol;
    if (t.wholeRows) c1 = 1, c2 = kMaxCol, ok1 = r1 >= 1 && r1 <= kMaxRow, ok2 = r2 >= 1 && r2 <= kMaxRow;
    if (!ok1 || !ok2) continue;
    RangePrecedent p{sheet, std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
    if (p.r1 == p.r2 && p.c1 == p.c2)
      cells.push_back(MakeKey(sheet, p.r1, p.c1));
    else
      ranges.push_back(p);
  }
}
}  // namespace

struct FormulaEngine::State {
  DependencyGraph graph;
  std::vector<CellKey> dirty;  // formulas marked dirty, to compute
  std::vector<Frame> stack;
  std::vector<CellKey> needs;  // dirty formulas the current evaluation read
  std::int32_t current = -1;   // frame being evaluated
  bool cycle = false;
  bool running = false;
};

// Reads cells for the evaluator on behalf of the recalculation loop.
class RecalcReader : public CellReader {
 public:
  explicit RecalcReader(FormulaEngine& e) : e_(e) {}

  Value Read(const Sheet& sheet, int row, int col) override {
    const CellSlot* s = sheet.Find(row, col);
    if (!s) return {};
    if (s->kind != CellKind::Formula) return e_.workbook_.GetValue(sheet, row, col);
    return FormulaValue(sheet, row, col, sheet.Formula(*s));
  }

  void ForEach(const Area& a, const std::function<void(int, int, const Value&)>& f) override {
    Sheet& sheet = const_cast<Sheet&>(*a.sheet);
    for (int c = a.c1; c <= a.c2; ++c) {
      Column& column = sheet.Col(c);
      int last = std::min(a.r2, column.LastUsedRow());
      if (last < a.r1) continue;
      column.ForEachSlot(a.r1, last, [&](int row, CellSlot& s) {
        switch (s.kind) {
          case CellKind::Empty:
            return;
          case CellKind::Number:
            f(row, c, Value::Number(s.number));
            return;
          case CellKind::Formula:
            f(row, c, FormulaValue(sheet, row, c, sheet.Formula(s)));
            return;
          default:
            f(row, c, e_.workbook_.GetValue(sheet, row, c));
        }
      });
    }
  }

 private:
  Value FormulaValue(const Sheet& sheet, int row, int col, const FormulaCell& f) {
    auto& st = *e_.state_;
    switch (f.calcState) {
      case kClean:
        return f.result;
      case kInProgress: {
        // A circular reference: mark the chain from this formula's frame to the current one.
        st.cycle = true;
        for (std::int32_t i = st.current; i >= 0; i = st.stack[i].parent) {
          const Frame& fr = st.stack[i];
          if (FormulaCell* cell = e_.FormulaAt(KeySheet(fr.key), KeyRow(fr.key), KeyCol(fr.key)))
            cell->cyclic = true;
          if (i == f.frame) break;
        }
        const_cast<FormulaCell&>(f).cyclic = true;
        return Value::Error(FormulaEngine::kCircularError);
      }
      default:
        st.needs.push_back(MakeKey(sheet.Id(), row, col));
        return f.result;
    }
  }

  FormulaEngine& e_;
};

FormulaEngine::FormulaEngine(Workbook& workbook)
    : workbook_(workbook), state_(std::make_unique<State>()) {}
FormulaEngine::~FormulaEngine() = default;

std::unique_ptr<FormulaCell> FormulaEngine::Compile(const Sheet& sheet, int row, int col,
                                                    std::string_view text) {
  std::vector<Token> tokens = ParseFormula(text, workbook_, sheet.Id(), row, col);
  auto f = std::make_unique<FormulaCell>();
  f->text = FormulaText(tokens, workbook_, sheet.Id(), row, col);
  f->expr = std::make_shared<const Expression>(std::move(tokens));
  f->result = f->expr->Unsupported() ? Value::Error(ErrorValue::Name) : Value::Number(0);
  return f;
}

void FormulaEngine::CompileName(std::uint32_t sheetId, std::string_view text,
                                std::string& canonical, std::shared_ptr<const Expression>& expr) {
  std::vector<Token> tokens = ParseFormula(text, workbook_, sheetId, 1, 1);
  canonical = FormulaText(tokens, workbook_, sheetId, 1, 1);
  expr = std::make_shared<const Expression>(std::move(tokens));
}

std::string FormulaEngine::Text(const Sheet& sheet, int row, int col,
                                const FormulaCell& formula) const {
  if (!formula.expr) return formula.text;
  return FormulaText(formula.expr->Tokens(), workbook_, sheet.Id(), row, col);
}

FormulaCell* FormulaEngine::FormulaAt(std::uint32_t sheetId, int row, int col) {
  Sheet* sheet = workbook_.SheetById(sheetId);
  if (!sheet || row < 1 || row > kMaxRow || col < 1 || col > kMaxCol) return nullptr;
  const CellSlot* s = sheet->Find(row, col);
  if (!s || s->kind != CellKind::Formula) return nullptr;
  return &sheet->Formula(*s);
}

void FormulaEngine::Register(Sheet& sheet, int row, int col, const FormulaCell& f) {
  CellKey key = MakeKey(sheet.Id(), row, col);
  if (!f.expr) {
    state_->graph.Remove(key);
    return;
  }
  std::vector<CellKey> cells;
  std::vector<RangePrecedent> ranges;
  bool isVolatile = false;
  CollectPrecedents(workbook_, *f.expr, sheet.Id(), sheet.Id(), row, col, cells, ranges,
                    isVolatile, 0);
  state_->graph.Set(key, cells, ranges, isVolatile);
}

void FormulaEngine::MarkDirty(Sheet& sheet, int row, int col, FormulaCell& f) {
  if (f.calcState == kDirty) return;
  f.calcState = kDirty;
  f.cyclic = false;
  state_->dirty.push_back(MakeKey(sheet.Id(), row, col));
}

void FormulaEngine::MarkReadersDirty(std::vector<CellKey> queue) {
  // Breadth-first over the readers of what changed; each formula is queued once.
  for (std::size_t i = 0; i < queue.size(); ++i) {
    state_->graph.ForEachReader(queue[i], [&](CellKey reader) {
      Sheet* sheet = workbook_.SheetById(KeySheet(reader));
      if (!sheet) return;
      const CellSlot* s = sheet->Find(KeyRow(reader), KeyCol(reader));
      if (!s || s->kind != CellKind::Formula) return;
      FormulaCell& f = sheet->Formula(*s);
      if (f.calcState == kDirty) return;
      MarkDirty(*sheet, KeyRow(reader), KeyCol(reader), f);
      queue.push_back(reader);
    });
  }
}

void FormulaEngine::Run() {
  State& st = *state_;
  if (st.running) return;  // a hook called from inside a recalculation
  st.running = true;
  RecalcReader reader(*this);
  Evaluator ev(workbook_, reader);
  for (std::size_t i = 0; i < st.dirty.size(); ++i) {
    st.stack.clear();
    st.stack.push_back(Frame{st.dirty[i], -1});
    while (!st.stack.empty()) {
      std::int32_t index = static_cast<std::int32_t>(st.stack.size() - 1);
      CellKey key = st.stack.back().key;
      Sheet* sheet = workbook_.SheetById(KeySheet(key));
      const CellSlot* slot = sheet ? sheet->Find(KeyRow(key), KeyCol(key)) : nullptr;
      if (!slot || slot->kind != CellKind::Formula) {
        st.stack.pop_back();
        continue;
      }
      FormulaCell& f = sheet->Formula(*slot);
      if (f.calcState == kClean) {
        st.stack.pop_back();
        continue;
      }
      if (f.cyclic) {
        f.result = Value::Error(kCircularError);
        f.calcState = kClean;
        st.stack.pop_back();
        continue;
      }
      if (!f.expr || f.expr->Unsupported()) {
        f.calcState = kClean;  // keeps the value it has
        st.stack.pop_back();
        continue;
      }
      f.calcState = kInProgress;
      f.frame = index;
      st.current = index;
      st.needs.clear();
      st.cycle = false;
      Value v = f.IsArray() ? ev.EvaluateArrayElement(*f.expr, *sheet, KeyRow(key), KeyCol(key),
                                                      f.arrayRow, f.arrayCol)
                            : ev.Evaluate(*f.expr, *sheet, KeyRow(key), KeyCol(key));
      if (f.cyclic) {
        f.result = Value::Error(kCircularError);
        f.calcState = kClean;
        st.stack.pop_back();
        continue;
      }
      if (!st.needs.empty()) {
        // Compute what it read first, then come back to it.
        std::vector<CellKey> needs;
        needs.swap(st.needs);
        for (CellKey need : needs) {
          FormulaCell* n = FormulaAt(KeySheet(need), KeyRow(need), KeyCol(need));
          if (!n || n->calcState == kClean || n->calcState == kInProgress) continue;
          n->calcState = kPending;
          st.stack.push_back(Frame{need, index});
        }
        continue;
      }
      f.result = std::move(v);
      f.calcState = kClean;
      st.stack.pop_back();
    }
  }
  st.dirty.clear();
  st.stack.clear();
  st.current = -1;
  st.running = false;
}

void FormulaEngine::Settle(std::uint32_t sheetId, int row, int col, bool placed) {
  Sheet* sheet = workbook_.SheetById(sheetId);
  if (!sheet) return;
  CellKey key = MakeKey(sheetId, row, col);
  const CellSlot* s = sheet->Find(row, col);
  if (s && s->kind == CellKind::Formula) {
    FormulaCell& f = sheet->Formula(*s);
    Register(*sheet, row, col, f);
    if (placed || f.calcState != kClean) {
      f.calcState = kClean;
      MarkDirty(*sheet, row, col, f);
    }
  } else {
    state_->graph.Remove(key);
  }
  MarkReadersDirty({key});
}

void FormulaEngine::FormulaPlaced(Sheet& sheet, int row, int col) {
  Settle(sheet.Id(), row, col, true);
  MarkVolatilesDirty();
  Run();
}

void FormulaEngine::CellChanged(Sheet& sheet, int row, int col) {
  Settle(sheet.Id(), row, col, false);
  MarkVolatilesDirty();
  Run();
}

void FormulaEngine::MarkVolatilesDirty() {
  // Volatile formulas (NOW, RAND, OFFSET, INDIRECT …) are computed again after every change,
  // with what reads them.
  if (state_->graph.Volatiles().empty()) return;
  std::vector<CellKey> changed(state_->graph.Volatiles().begin(), state_->graph.Volatiles().end());
  for (CellKey k : changed) {
    Sheet* sheet = workbook_.SheetById(KeySheet(k));
    const CellSlot* s = sheet ? sheet->Find(KeyRow(k), KeyCol(k)) : nullptr;
    if (!s || s->kind != CellKind::Formula) continue;
    MarkDirty(*sheet, KeyRow(k), KeyCol(k), sheet->Formula(*s));
  }
  MarkReadersDirty(std::move(changed));
}

void FormulaEngine::RangeChanged(Sheet& sheet, int row1, int col1, int row2, int col2) {
  if (row1 > row2) std::swap(row1, row2);
  if (col1 > col2) std::swap(col1, col2);
  // Formulas that were in the block and are gone lose their registrations; new ones register.
  std::vector<CellKey> gone;
  std::vector<CellKey> readers;
  state_->graph.ForEachReaderOfBlock(sheet.Id(), row1, col1, row2, col2,
                                     [&](CellKey k) { readers.push_back(k); });
  for (int c = col1; c <= col2; ++c) {
    int last = std::min(row2, sheet.Col(c).LastSlotRow());
    sheet.Col(c).ForEachSlot(row1, last, [&](int r, CellSlot& s) {
      if (s.kind == CellKind::Formula) {
        FormulaCell& f = sheet.Formula(s);
        Register(sheet, r, c, f);
        f.calcState = kClean;
        MarkDirty(sheet, r, c, f);
        readers.push_back(MakeKey(sheet.Id(), r, c));
      }
    });
  }
  // Registrations of formulas no longer present are dropped lazily: a reader that is not a
  // formula any more is skipped when marking. Clear the block's stale records now.
  for (CellKey k : readers) {
    Sheet* sh = workbook_.SheetById(KeySheet(k));
    const CellSlot* s = sh ? sh->Find(KeyRow(k), KeyCol(k)) : nullptr;
    if (!s || s->kind != CellKind::Formula) continue;
    FormulaCell& f = sh->Formula(*s);
    if (f.calcState != kDirty) MarkDirty(*sh, KeyRow(k), KeyCol(k), f);
  }
  MarkReadersDirty(std::move(readers));
  MarkVolatilesDirty();
  Run();
}

void FormulaEngine::NamesChanged() {
  RebuildGraph();
  MarkAllDirty();
  Run();
}

void FormulaEngine::BeforeStructureChange(const StructureChange& change) {
  for (int i = 1; i <= workbook_.SheetCount(); ++i) {
    Sheet& sheet = workbook_.GetSheet(i);
    bool same = sheet.Id() == change.sheetId;
    sheet.ForEachFormula([&](int r, int c, FormulaCell& f) {
      if (!f.expr) return;
      int nr = r, nc = c;
      if (same && !MapCell(change, nr, nc)) return;  // the formula itself goes away
      std::vector<Token> tokens = f.expr->Tokens();
      if (!AdjustReferences(tokens, change, sheet.Id(), r, c, nr, nc)) return;
      f.text = FormulaText(tokens, workbook_, sheet.Id(), nr, nc);
      f.expr = std::make_shared<const Expression>(std::move(tokens));
    });
  }
  for (DefinedName& n : workbook_.Names()) {
    if (!n.expr) continue;
    std::vector<Token> tokens = n.expr->Tokens();
    if (!AdjustReferences(tokens, change, n.sheetId, 1, 1, 1, 1)) continue;
    n.formula = FormulaText(tokens, workbook_, n.sheetId, 1, 1);
    n.expr = std::make_shared<const Expression>(std::move(tokens));
  }
}

void FormulaEngine::AfterStructureChange() {
  RebuildGraph();
  MarkAllDirty();
  Run();
}

void FormulaEngine::SheetRemoving(std::uint32_t sheetId) {
  int at = workbook_.SheetIndexById(sheetId);
  std::uint32_t next = at && at < workbook_.SheetCount() ? workbook_.GetSheet(at + 1).Id() : 0;
  std::uint32_t previous = at > 1 ? workbook_.GetSheet(at - 1).Id() : 0;
  for (int i = 1; i <= workbook_.SheetCount(); ++i) {
    Sheet& sheet = workbook_.GetSheet(i);
    if (sheet.Id() == sheetId) continue;
    sheet.ForEachFormula([&](int r, int c, FormulaCell& f) {
      if (!f.expr) return;
      std::vector<Token> tokens = f.expr->Tokens();
      if (!DropSheetReferences(tokens, sheetId, next, previous)) return;
      f.text = FormulaText(tokens, workbook_, sheet.Id(), r, c);
      f.expr = std::make_shared<const Expression>(std::move(tokens));
    });
  }
  for (DefinedName& n : workbook_.Names()) {
    if (!n.expr || n.sheetId == sheetId) continue;
    std::vector<Token> tokens = n.expr->Tokens();
    if (!DropSheetReferences(tokens, sheetId, next, previous)) continue;
    n.formula = FormulaText(tokens, workbook_, n.sheetId, 1, 1);
    n.expr = std::make_shared<const Expression>(std::move(tokens));
  }
}

void FormulaEngine::SheetsMoved() {
  auto index = [this](std::uint32_t id) { return workbook_.SheetIndexById(id); };
  for (int i = 1; i <= workbook_.SheetCount(); ++i) {
    Sheet& sheet = workbook_.GetSheet(i);
    sheet.ForEachFormula([&](int r, int c, FormulaCell& f) {
      if (!f.expr) return;
      std::vector<Token> tokens = f.expr->Tokens();
      if (!OrderSheetRange(tokens, index)) return;
      f.text = FormulaText(tokens, workbook_, sheet.Id(), r, c);
      f.expr = std::make_shared<const Expression>(std::move(tokens));
    });
  }
  for (DefinedName& n : workbook_.Names()) {
    if (!n.expr) continue;
    std::vector<Token> tokens = n.expr->Tokens();
    if (!OrderSheetRange(tokens, index)) continue;
    n.formula = FormulaText(tokens, workbook_, n.sheetId, 1, 1);
    n.expr = std::make_shared<const Expression>(std::move(tokens));
  }
  // Which sheets a range of sheets covers may have changed.
  AfterStructureChange();
}

void FormulaEngine::SheetRenamed() {
  // Texts are regenerated from sheet ids; refresh the stored ones.
  for (DefinedName& n : workbook_.Names())
    if (n.expr) n.formula = FormulaText(n.expr->Tokens(), workbook_, n.sheetId, 1, 1);
  for (int i = 1; i <= workbook_.SheetCount(); ++i) {
    Sheet& sheet = workbook_.GetSheet(i);
    sheet.ForEachFormula([&](int r, int c, FormulaCell& f) {
      if (f.expr) f.text = FormulaText(f.expr->Tokens(), workbook_, sheet.Id(), r, c);
    });
  }
}

void FormulaEngine::RebuildGraph() {
  state_->graph.Clear();
  for (int i = 1; i <= workbook_.SheetCount(); ++i) {
    Sheet& sheet = workbook_.GetSheet(i);
    sheet.ForEachFormula([&](int r, int c, FormulaCell& f) {
      Register(sheet, r, c, f);
    });
  }
}

void FormulaEngine::MarkAllDirty() {
  for (int i = 1; i <= workbook_.SheetCount(); ++i) {
    Sheet& sheet = workbook_.GetSheet(i);
    sheet.ForEachFormula([&](int r, int c, FormulaCell& f) {
      f.calcState = kClean;
      MarkDirty(sheet, r, c, f);
    });
  }
}

void FormulaEngine::Recalculate(bool all) {
  if (all)
    MarkAllDirty();
  else
    MarkVolatilesDirty();
  Run();
}

void FormulaEngine::Rebuild() {
  RebuildGraph();
  MarkAllDirty();
  Run();
}

}  // namespace engine::formula
