// The runs of a cell as a view draws them.
#include "control/control.h"
#include "control/model/workbook.h"
#include "control/rich_text.h"

namespace engine {

void GetCellRuns(const Control& control, int row, int col, std::vector<CellRun>& out) {
  out.clear();
  if (row < 1 || row > kMaxRow || col < 1 || col > kMaxCol) return;
  const Workbook& book = control.Book();
  const Sheet& sheet = book.Active();
  const CellSlot* slot = sheet.Find(row, col);
  const TextRuns* runs = slot && slot->kind == CellKind::Text ? sheet.Runs(*slot) : nullptr;
  if (runs == nullptr || book.DisplayText(sheet, row, col) != sheet.Text(*slot)) return;
  for (const TextRun& run : *runs) {
    const Font& f = book.Styles().GetFont(run.font);
    out.push_back(CellRun{run.at, run.font, f.name, f.heightTwips, f.bold, f.italic, f.underline,
                          f.strikeout, f.color});
  }
}

}  // namespace engine
