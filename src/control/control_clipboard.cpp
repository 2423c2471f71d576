// Cut, copy and paste. A copy carries values, formulas and formats; the system clipboard gets
// the block as tab-separated displayed text and as an HTML table for other programs, and the
// cells in the engine's own form, so that another table — in this process or another — pastes
// everything. Text that another program put there is pasted as typed entries.
#include <algorithm>
#include <map>
#include <memory>

#include "control/clipboard_data.h"
#include "control/control.h"
#include "control/formula/formula_engine.h"
#include "control/model/clipboard_text.h"
#include "control/model/sheet_ops.h"
#include "control/model/workbook.h"
#include "control/rich_text.h"

namespace engine {

namespace {
std::shared_ptr<ClipData>& CurrentClip() {
  static std::shared_ptr<ClipData> clip;
  return clip;
}
}  // namespace

// Lets the destructor forget a copy or cut whose source goes away.
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

std::shared_ptr<ClipData> Capture(Workbook& book, const Sheet& sheet, const Block& b) {
  auto clip = std::make_shared<ClipData>();
  const int lastRow = std::min(b.row2, std::max(sheet.LastRow(), b.row1));
  const int lastCol = std::min(b.col2, std::max(sheet.LastCol(), b.col1));
  clip->rows = lastRow - b.row1 + 1;
  clip->cols = lastCol - b.col1 + 1;
  clip->row1 = b.row1;
  clip->col1 = b.col1;
  clip->sourceBook = &book;
  clip->sourceSheetId = sheet.Id();
  clip->token = clip_cells::NewToken();
  std::map<std::uint16_t, int> styleIndex;  // the workbook's style → the copy's
  std::vector<std::vector<std::string>> shown(clip->rows, std::vector<std::string>(clip->cols));
  std::vector<std::vector<clipboard_html::RichField>> rich(
      clip->rows, std::vector<clipboard_html::RichField>(clip->cols));
  for (int r = 0; r < clip->rows; ++r)
    for (int c = 0; c < clip->cols; ++c) {
      const int row = b.row1 + r, col = b.col1 + c;
      const std::uint16_t style = sheet.EffectiveStyle(row, col);
      const CellSlot* s = sheet.Find(row, col);
      const bool content = s && s->HasContent();
      if (!content && style == 0) continue;
      ClipCell cell;
      cell.r = r;
      cell.c = c;
      if (style != 0) {
        auto [it, added] = styleIndex.emplace(style, static_cast<int>(clip->styles.size()));
        if (added) {
          ClipStyle cs;
          cs.style = book.Styles().Get(style);
          cs.font = book.Styles().GetFont(cs.style.font);
          cs.formatCode = book.Formats().Code(cs.style.numberFormat);
          if (cs.style.parent) cs.styleName = NamedStyleName(book.Styles().GetNamed(cs.style.parent));
          clip->styles.push_back(std::move(cs));
        }
        cell.style = it->second;
      }
      if (content) {
        cell.content = true;
        cell.value = book.GetValue(sheet, row, col);
        if (s->kind == CellKind::Formula) {
          const FormulaCell& f = sheet.Formula(*s);
          cell.formula = true;
          cell.expr = f.expr;
          cell.formulaText = book.Formulas().Text(sheet, row, col, f);
          if (cell.formulaText.empty()) {  // a formula that cannot be told travels as its value
            cell.formula = false;
            cell.expr.reset();
          }
          if (!cell.formula && cell.value.IsEmpty()) cell.value = Value::Number(0);
        }
        if (const TextRuns* runs = sheet.Runs(*s))
          for (const TextRun& run : *runs)
            cell.runs.push_back(ClipRun{run.at, book.Styles().GetFont(run.font)});
        shown[r][c] = book.DisplayText(sheet, row, col);
        rich[r][c].text = shown[r][c];
        // The runs count positions of the cell's text; a format that adds to it shows no runs.
        if (!cell.runs.empty() && shown[r][c] == sheet.Text(*s)) rich[r][c].runs = cell.runs;
      }
      clip->cells.push_back(std::move(cell));
    }
  clip->text = clipboard_text::Join(shown);
  clip->html = clipboard_html::Table(rich);
  clip->serialised = clip_cells::Encode(*clip);
  return clip;
}

// The style of a copied format in the target workbook.
std::uint16_t InternStyle(Workbook& book, const ClipStyle& cs) {
  Style st = cs.style;
  st.font = book.Styles().InternFont(cs.font);
  st.numberFormat = book.Formats().Intern(cs.formatCode);
  // The named style of the same name in the target; Normal when it has none.
  int parent = cs.styleName.empty() ? 0 : book.Styles().FindNamed(cs.styleName);
  st.parent = static_cast<std::uint16_t>(parent > 0 ? parent : 0);
  return book.Styles().Intern(st);
}

// A pasted text takes its runs, their fonts in the target workbook's table.
void PasteRuns(Workbook& book, Sheet& sheet, int row, int col, const std::vector<ClipRun>& runs) {
  const CellSlot* s = sheet.Find(row, col);
  if (!s || s->kind != CellKind::Text) return;
  TextRuns placed;
  try {
    for (const ClipRun& run : runs)
      placed.push_back(TextRun{run.at, book.Styles().InternFont(run.font)});
  } catch (const EngineError&) {
    return;  // a full font table: the text stays, in the cell's own font
  }
  if (text_runs::Valid(placed, text_runs::Utf16Length(sheet.Text(*s)), book.Styles().FontCount()))
    sheet.SetRuns(*s, std::move(placed));
}

bool HasFont(const Workbook& book, const Font& font) {
  for (std::size_t i = 0; i < book.Styles().FontCount(); ++i)
    if (book.Styles().GetFont(static_cast<std::uint16_t>(i)) == font) return true;
  return false;
}

// Another program's HTML beside the text it gave: each pasted text that the HTML shows the same
// takes its runs over the cell's own font. The values came from the text; the HTML adds only
// runs, so markup that is broken, or says something else, costs nothing but those runs.
void PasteHtmlRuns(Workbook& book, Sheet& sheet, const Block& target, std::string_view html) {
  // Fonts one paste may add to the workbook: markup that gives every piece a new size must not
  // fill the font table.
  constexpr std::size_t kMaxNewFonts = 256;
  const std::size_t fontLimit = book.Styles().FontCount() + kMaxNewFonts;
  const auto rows = clipboard_html::Parse(html);
  for (std::size_t r = 0; r < rows.size() && target.row1 + static_cast<int>(r) <= kMaxRow; ++r)
    for (std::size_t c = 0; c < rows[r].size() && target.col1 + static_cast<int>(c) <= kMaxCol;
         ++c) {
      const clipboard_html::ParsedField& field = rows[r][c];
      if (field.runs.empty()) continue;
      const int row = target.row1 + static_cast<int>(r), col = target.col1 + static_cast<int>(c);
      const CellSlot* s = sheet.Find(row, col);
      if (!s || s->kind != CellKind::Text || !clipboard_html::SameText(sheet.Text(*s), field.text))
        continue;
      const Font base = book.Styles().GetFont(book.Styles().Get(sheet.EffectiveStyle(row, col)).font);
      TextRuns placed;
      for (const clipboard_html::MarkedRun& run : field.runs) {
        const Font font = run.marks.Applied(base);
        if (book.Styles().FontCount() >= fontLimit && !HasFont(book, font)) return;
        try {
          placed.push_back(TextRun{run.at, book.Styles().InternFont(font)});
        } catch (const EngineError&) {
          return;  // a full font table: the texts are in, without these runs
        }
      }
      if (text_runs::Valid(placed, text_runs::Utf16Length(sheet.Text(*s)), book.Styles().FontCount()))
        sheet.SetRuns(*s, std::move(placed));
    }
}

}  // namespace

void Control::CopySelection() {
  if (editing_) TerminateCellEdit();
  Sheet& sheet = ActiveSheet();
  if (sheet.Sel().blocks.size() != 1)
    throw EngineError(kErrClipboard, "That command cannot be used on multiple selections.");
  auto clip = Capture(*book_, sheet, sheet.Sel().blocks[0]);
  clip->source = this;
  clipboard_->SetContent(ClipboardContent{clip->text, clip->html, clip->serialised});
  CurrentClip() = std::move(clip);
}

void Control::CutSelection() {
  CopySelection();
  CurrentClip()->cutFrom = this;
}

std::shared_ptr<ClipData> Control::ClipToPaste() const {
  const auto& current = CurrentClip();
  if (auto cells = clipboard_->GetCells()) {
    if (current && clip_cells::TokenOf(*cells) == current->token) return current;
    return clip_cells::Decode(*cells);
  }
  // A clipboard that keeps text only: this process's copy while the text is still its own.
  auto text = clipboard_->GetText();
  if (current && text && *text == current->text) return current;
  return nullptr;
}

bool Control::CanPaste() const {
  if (ClipToPaste()) return true;
  auto text = clipboard_->GetText();
  return text && !text->empty();
}

const Block& Control::PasteTarget() {
  const auto& blocks = ActiveSheet().Sel().blocks;
  if (blocks.empty()) throw EngineError(kErrClipboard, "Select where to paste first.");
  return blocks.front();
}

void Control::PasteText(Sheet& sheet, const Block& target, const std::string& text) {
  if (text.empty()) throw EngineError(kErrClipboard, "There is nothing to paste.");
  const auto rows = clipboard_text::Split(text);
  const int height = static_cast<int>(rows.size());
  int width = 0;
  for (const auto& r : rows) width = std::max(width, static_cast<int>(r.size()));
  if (height == 0 || width == 0) throw EngineError(kErrClipboard, "There is nothing to paste.");
  if (height > kMaxRow - target.row1 + 1 || width > kMaxCol - target.col1 + 1)
    throw EngineError(kErrClipboard, "The data does not fit on the sheet there.");
  ModifyScope scope(*this);
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
      const int row = target.row1 + r, col = target.col1 + c;
      const std::string& field = rows[r][c];
      if (field.empty()) {
        book_->ClearCell(sheet, row, col);
        continue;
      }
      try {
        EnterText(sheet, row, col, field);
      } catch (const EngineError&) {
        // A field that looks like a formula but is none stays as the text it was, so the
        // block never lands half pasted.
        book_->SetValue(sheet, row, col, Value::Text(field));
        NoteWidth(sheet, row, col);
      }
    }
  SetSelection(target.row1, target.col1, target.row1 + height - 1, target.col1 + width - 1);
  scope.Changed();
}

void Control::PasteClipboard() {
  if (editing_) TerminateCellEdit();
  Sheet& sheet = ActiveSheet();
  const Block target = PasteTarget();
  const auto clip = ClipToPaste();
  if (!clip) {
    // Another program's text; the runs its HTML gives are part of the same change.
    ModifyScope scope(*this);
    PasteText(sheet, target, clipboard_->GetText().value_or(std::string()));
    if (auto markup = clipboard_->GetHtml())
      PasteHtmlRuns(*book_, sheet, target, *markup);
    return;
  }
  if (target.row1 + clip->rows - 1 > kMaxRow || target.col1 + clip->cols - 1 > kMaxCol)
    throw EngineError(kErrClipboard, "The data does not fit on the sheet there.");
  const int row2 = target.row1 + clip->rows - 1, col2 = target.col1 + clip->cols - 1;
  ModifyScope scope(*this);
  // A cut pasted on its own sheet is a move: references to the cells follow them.
  if (clip->cutFrom == this && clip->sourceBook == book_.get() &&
      clip->sourceSheetId == sheet.Id()) {
    MoveRange(clip->row1, clip->col1, clip->row1 + clip->rows - 1, clip->col1 + clip->cols - 1,
              target.row1 - clip->row1, target.col1 - clip->col1);
    CurrentClip().reset();
    clipboard_->SetText(std::string());
  } else {
    const bool sameBook = clip->sourceBook == book_.get();
    sheet_ops::ClearBlock(sheet, target.row1, target.col1, row2, col2, true, true);
    book_->Formulas().RangeChanged(sheet, target.row1, target.col1, row2, col2);
    std::vector<std::uint16_t> styles(clip->styles.size(), 0);
    for (std::size_t i = 0; i < clip->styles.size(); ++i)
      styles[i] = InternStyle(*book_, clip->styles[i]);
    for (const ClipCell& cell : clip->cells) {
      const int row = target.row1 + cell.r, col = target.col1 + cell.c;
      if (cell.formula && cell.expr && sameBook) {
        auto f = std::make_unique<FormulaCell>();
        f->expr = cell.expr;
        f->result = cell.value;
        book_->SetFormula(sheet, row, col, std::move(f));
      } else if (cell.formula) {
        // From another workbook: read where it was copied, then placed here, so that its
        // relative references move by the distance pasted. A formula that does not compile
        // here (a sheet this workbook lacks) keeps its value.
        try {
          auto at = book_->Formulas().Compile(sheet, clip->row1 + cell.r, clip->col1 + cell.c,
                                              cell.formulaText);
          const std::string moved = book_->Formulas().Text(sheet, row, col, *at);
          book_->SetFormula(sheet, row, col, book_->Formulas().Compile(sheet, row, col, moved));
        } catch (const EngineError&) {
          book_->SetValue(sheet, row, col, cell.value);
        }
      } else if (cell.content) {
        book_->SetValue(sheet, row, col, cell.value);
        if (!cell.runs.empty()) PasteRuns(*book_, sheet, row, col, cell.runs);
      }
      if (cell.style >= 0) book_->SetCellStyle(sheet, row, col, styles[cell.style]);
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
  SetSelection(target.row1, target.col1, row2, col2);
  scope.Changed();
}

void Control::PasteValues() {
  if (editing_) TerminateCellEdit();
  const auto clip = ClipToPaste();
  Sheet& sheet = ActiveSheet();
  const Block target = PasteTarget();
  if (!clip) {
    // Another program's text holds values only; the runs of its HTML stay behind.
    PasteText(sheet, target, clipboard_->GetText().value_or(std::string()));
    return;
  }
  if (target.row1 + clip->rows - 1 > kMaxRow || target.col1 + clip->cols - 1 > kMaxCol)
    throw EngineError(kErrClipboard, "The data does not fit on the sheet there.");
  const int row2 = target.row1 + clip->rows - 1, col2 = target.col1 + clip->cols - 1;
  ModifyScope scope(*this);
  // The target keeps its formats.
  sheet_ops::ClearBlock(sheet, target.row1, target.col1, row2, col2, true, false);
  book_->Formulas().RangeChanged(sheet, target.row1, target.col1, row2, col2);
  for (const ClipCell& cell : clip->cells) {
    if (!cell.content) continue;
    const int row = target.row1 + cell.r, col = target.col1 + cell.c;
    book_->SetValue(sheet, row, col, cell.value.IsEmpty() ? Value::Number(0) : cell.value);
    NoteWidth(sheet, row, col);
  }
  SetSelection(target.row1, target.col1, row2, col2);
  scope.Changed();
}

}  // namespace engine
