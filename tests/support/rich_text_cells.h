#pragma once
// Giving a cell of the active sheet formatting runs and reading them back with their fonts by
// value, so that workbooks with different font tables compare.

#include <string>
#include <utility>
#include <vector>

#include "control/control.h"
#include "control/model/workbook.h"

namespace rich_cells {

using Runs = std::vector<std::pair<std::uint32_t, engine::Font>>;

inline engine::Font Bold() {
  engine::Font f;
  f.bold = true;
  return f;
}
inline engine::Font RedItalic() {
  engine::Font f;
  f.italic = true;
  f.color = 0x0000FF;
  f.name = "Courier New";
  f.heightTwips = 280;
  return f;
}

inline void SetRich(engine::Control& c, int row, int col, const std::string& text,
                    const Runs& runs) {
  c.SetCellEntry(row, col, text);
  engine::Workbook& book = c.Book();
  engine::Sheet& sheet = book.Active();
  engine::TextRuns placed;
  for (const auto& [at, font] : runs) placed.push_back({at, book.Styles().InternFont(font)});
  sheet.SetRuns(*sheet.Find(row, col), placed);
}

inline Runs RunsAt(const engine::Control& c, int row, int col) {
  const engine::Workbook& book = c.Book();
  const engine::Sheet& sheet = book.Active();
  Runs out;
  const engine::CellSlot* s = sheet.Find(row, col);
  if (const engine::TextRuns* runs = s ? sheet.Runs(*s) : nullptr)
    for (const engine::TextRun& r : *runs) out.emplace_back(r.at, book.Styles().GetFont(r.font));
  return out;
}

}  // namespace rich_cells
