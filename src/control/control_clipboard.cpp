// Cut, copy and paste. Inside the process the clipboard carries values, formulas and formats;
// the system clipboard gets the block as tab-separated displayed text for other programs, and
// text that another program put there is pasted as typed entries.
#include <memory>

#include "control/control.h"
#include "control/formula/formula_engine.h"
#include "control/model/clipboard_text.h"
#include "control/model/workbook.h"

namespace engine {

struct ClipCell {
  CellKind kind = CellKind::Empty;
  Value value;  // the value, or a formula's last result
  std::shared_ptr<const formula::Expression> expr;
  std::string formulaText;  // canonical text as if the formula stood at the paste position
  bool hasStyle = false;
  Style style;
  Font font;
  std::string formatCode;
};

struct ClipData {
  int rows = 0, cols = 0;
  std::vector<ClipCell> cells;  // row-major
  const Workbook* sourceBook = nullptr;
  std::uint32_t sourceSheetId = 0;
  int row1 = 0, col1 = 0;
  Control* source = nullptr;   // the control copied from, while it lives
  Control* cutFrom = nullptr;  // set by a cut until the paste
  std::string text;            // what was put on the system clipboard
};

namespace {
std::shared_ptr<ClipData>& CurrentClip() {
  static std::shared_ptr<ClipData> clip;
  return clip;
}
}  // namespace

// Lets the destructor forget a cut whose source goes away.
struct ControlAccess {
  static void Forget(Control* control) {
    auto& clip = CurrentClip();
    if (!clip) return;
    if (clip->cutFrom == control) clip->cutFrom = nullptr;
    if (clip->source == control) {
      clip->source = nullptr;
      clip->sourceBook = nullptr;
    }
  }
};

void ForgetClipboardSource(Control* control) { ControlAccess::Forget(control); }

namespace {

std::shared_ptr<ClipData> Capture(const Workbook& book, const Sheet& sheet, const Block& b) {
  auto clip = std::make_shared<ClipData>();
  int lastRow = std::min(b.row2, std::max(sheet.LastRow(), b.row1));
  int lastCol = std::min(b.col2, std::max(sheet.LastCol(), b.col1));
  clip->rows = lastRow - b.row1 + 1;
  clip->cols = lastCol - b.col1 + 1;
  clip->sourceBook = &book;
  clip->sourceSheetId = sheet.Id();
  clip->row1 = b.row1;
  clip->col1 = b.col1;
  clip->cells.resize(static_cast<std::size_t>(clip->rows) * clip->cols);
  std::vector<std::vector<std::string>> shown(clip->rows, std::vector<std::string>(clip->cols));
  for (int r = 0; r < clip->rows; ++r)
    for (int c = 0; c < clip->cols; ++c) {
      int row = b.row1 + r, col = b.col1 + c;
      ClipCell& cell = clip->cells[r * clip->cols + c];
      std::uint16_t styleIndex = sheet.EffectiveStyle(row, col);
      if (styleIndex) {
        cell.hasStyle = true;
        cell.style = book.Styles().Get(styleIndex);
        cell.font = book.Styles().GetFont(cell.style.font);
        cell.formatCode = book.Formats().Code(cell.style.numberFormat);
      }
      const CellSlot* s = sheet.Find(row, col);
      if (!s || !s->HasContent()) continue;
      cell.kind = s->kind;
      cell.value = book.GetValue(sheet, row, col);
      if (s->kind == CellKind::Formula) cell.expr = sheet.Formula(*s).expr;
      shown[r][c] = book.DisplayText(sheet, row, col);
    }
  clip->text = clipboard_text::Join(shown);
  return clip;
}

}  // namespace

void Control::CopySelection() {
  if (editing_) TerminateCellEdit();
  Sheet& sheet = ActiveSheet();
  if (sheet.Sel().blocks.size() != 1)
    throw EngineError(kErrClipboard, "That command cannot be used on multiple selections.");
  auto clip = Capture(*book_, sheet, sheet.Sel().blocks[0]);
  clip->source = this;
  clipboard_->SetText(clip->text);
  CurrentClip() = std::move(clip);
}

void Control::CutSelection() {
  CopySelection();
  CurrentClip()->cutFrom = this;
}

bool Control::CanPaste() const {
  auto text = clipboard_->GetText();
  return (CurrentClip() && text && *text == CurrentClip()->text) || (text && !text->empty());
}

void Control::PasteClipboard() {
  if (editing_) TerminateCellEdit();
  auto clip = CurrentClip();
  auto text = clipboard_->GetText();
  Sheet& sheet = ActiveSheet();
  const Block target = sheet.Sel().blocks.front();
  if (!clip || !text || *text != clip->text) {
    if (!text || text->empty()) throw EngineError(kErrClipboard, "There is nothing to paste.");
    auto rows = clipboard_text::Split(*text);
    int height = static_cast<int>(rows.size());
    int width = 0;
    for (const auto& r : rows) width = std::max(width, static_cast<int>(r.size()));
    if (target.row1 + height - 1 > kMaxRow || target.col1 + width - 1 > kMaxCol)
      throw EngineError(kErrClipboard, "The data does not fit on the sheet there.");
    ModifyScope scope(*this);
    for (int r = 0; r < height; ++r)
      for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
        int row = target.row1 + r, col = target.col1 + c;
        const std::string& field = rows[r][c];
        if (field.empty())
          book_->ClearCell(sheet, row, col);
        else
          EnterText(sheet, row, col, field);
      }
    SetSelection(target.row1, target.col1, target.row1 + height - 1, target.col1 + width - 1);
    scope.Changed();
    return;
  }
  if (target.row1 + clip->rows - 1 > kMaxRow || target.col1 + clip->cols - 1 > kMaxCol)
    throw EngineError(kErrClipboard, "The data does not fit on the sheet there.");
  ModifyScope scope(*this);
  // A cut pasted on its own sheet is a move: references to the cells follow them.
  if (clip->cutFrom == this && clip->sourceBook == book_.get() &&
      clip->sourceSheetId == sheet.Id()) {
    MoveRange(clip->row1, clip->col1, clip->row1 + clip->rows - 1, clip->col1 + clip->cols - 1,
              target.row1 - clip->row1, target.col1 - clip->col1);
    CurrentClip().reset();
    clipboard_->SetText(std::string());
  } else {
    const Sheet* source = clip->sourceBook == book_.get() ? book_->SheetById(clip->sourceSheetId)
                                                          : nullptr;
    for (int r = 0; r < clip->rows; ++r)
      for (int c = 0; c < clip->cols; ++c) {
        const ClipCell& cell = clip->cells[r * clip->cols + c];
        int row = target.row1 + r, col = target.col1 + c;
        std::uint16_t style = 0;
        if (cell.hasStyle) {
          Style st = cell.style;
          st.font = book_->Styles().InternFont(cell.font);
          st.numberFormat = book_->Formats().Intern(cell.formatCode);
          style = book_->Styles().Intern(st);
        }
        if (cell.kind == CellKind::Formula && cell.expr && source) {
          auto f = std::make_unique<FormulaCell>();
          f->expr = cell.expr;
          f->result = cell.value;
          book_->SetFormula(sheet, row, col, std::move(f));
        } else if (cell.kind == CellKind::Formula && cell.expr && clip->source) {
          // From another workbook: the formula's text as it would read where it lands, compiled
          // again here; a formula that does not compile here keeps its value.
          Workbook& from = clip->source->Book();
          const Sheet* fromSheet = from.SheetById(clip->sourceSheetId);
          FormulaCell probe;
          probe.expr = cell.expr;
          try {
            if (!fromSheet) throw EngineError(kErrClipboard, "source sheet is gone");
            std::string text = from.Formulas().Text(*fromSheet, row, col, probe);
            book_->SetFormula(sheet, row, col, book_->Formulas().Compile(sheet, row, col, text));
          } catch (const EngineError&) {
            book_->SetValue(sheet, row, col, cell.value);
          }
        } else if (cell.kind == CellKind::Formula) {
          book_->SetValue(sheet, row, col, cell.value);
        } else if (cell.kind == CellKind::Empty) {
          book_->ClearCell(sheet, row, col);
        } else {
          book_->SetValue(sheet, row, col, cell.value);
        }
        book_->SetCellStyle(sheet, row, col, style);
        NoteWidth(sheet, row, col);
      }
    if (clip->cutFrom) {
      Control* from = clip->cutFrom;
      Workbook& fromBook = from->Book();
      if (Sheet* src = fromBook.SheetById(clip->sourceSheetId)) {
        ModifyScope sourceScope(*from);
        for (int r = 0; r < clip->rows; ++r)
          for (int c = 0; c < clip->cols; ++c) {
            fromBook.ClearCell(*src, clip->row1 + r, clip->col1 + c);
            fromBook.SetCellStyle(*src, clip->row1 + r, clip->col1 + c, 0);
          }
        sourceScope.Changed();
      }
      CurrentClip().reset();
      clipboard_->SetText(std::string());
    }
    book_->Formulas().AfterStructureChange();
  }
  SetSelection(target.row1, target.col1, target.row1 + clip->rows - 1,
               target.col1 + clip->cols - 1);
  scope.Changed();
}

void Control::PasteValues() {
  if (editing_) TerminateCellEdit();
  auto clip = CurrentClip();
  auto text = clipboard_->GetText();
  if (!clip || !text || *text != clip->text) {
    PasteClipboard();  // text from another program holds values only
    return;
  }
  Sheet& sheet = ActiveSheet();
  const Block target = sheet.Sel().blocks.front();
  if (target.row1 + clip->rows - 1 > kMaxRow || target.col1 + clip->cols - 1 > kMaxCol)
    throw EngineError(kErrClipboard, "The data does not fit on the sheet there.");
  ModifyScope scope(*this);
  for (int r = 0; r < clip->rows; ++r)
    for (int c = 0; c < clip->cols; ++c) {
      const ClipCell& cell = clip->cells[r * clip->cols + c];
      int row = target.row1 + r, col = target.col1 + c;
      if (cell.kind == CellKind::Empty)
        book_->ClearCell(sheet, row, col);
      else
        book_->SetValue(sheet, row, col, cell.value.IsEmpty() ? Value::Number(0) : cell.value);
      NoteWidth(sheet, row, col);
    }
  SetSelection(target.row1, target.col1, target.row1 + clip->rows - 1,
               target.col1 + clip->cols - 1);
  scope.Changed();
}

}  // namespace engine
