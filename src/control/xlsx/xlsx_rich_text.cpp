#include "control/xlsx/xlsx_rich_text.h"

#include <algorithm>

#include "control/xlsx/xml_stream.h"

namespace engine::xlsx {

void RichTextReader::Begin() {
  runs_.clear();
  inRun_ = inProps_ = false;
}

void RichTextReader::Start(std::string_view name, const XmlAttrs& a, std::size_t rawSize) {
  if (inProps_) {
    props_.Apply(name, a, runs_.back().font);
  } else if (name == "r") {
    inRun_ = true;
    runs_.push_back(Raw{rawSize, false, styles_.GetFont(0)});
  } else if (name == "rPr" && inRun_) {
    inProps_ = true;
    runs_.back().props = true;
  }
}

void RichTextReader::End(std::string_view name) {
  if (name == "rPr") inProps_ = false;
  else if (name == "r") inRun_ = inProps_ = false;
}

TextRuns RichTextReader::Finish(std::string_view raw) {
  TextRuns out;
  bool formatted = false;
  for (const Raw& r : runs_) formatted = formatted || r.props;
  if (!formatted) return out;
  // Escapes never span two runs' texts, so each run's piece decodes on its own.
  auto length = [](std::string_view piece) {
    return piece.find("_x") == std::string_view::npos
               ? text_runs::Utf16Length(piece)
               : text_runs::Utf16Length(DecodeEscapes(std::string(piece)));
  };
  std::size_t units = 0, done = 0;  // code units before byte `done` of the raw text
  for (const Raw& r : runs_) {
    const std::size_t start = std::min(std::max(r.start, done), raw.size());
    units += length(raw.substr(done, start - done));
    done = start;
    const TextRun run{static_cast<std::uint32_t>(units),
                      r.props ? styles_.InternFont(r.font) : kCellFont};
    if (!out.empty() && out.back().at == run.at) out.back() = run;
    else out.push_back(run);
  }
  units += length(raw.substr(done));
  while (!out.empty() && out.back().at >= units) out.pop_back();  // runs with no text
  if (!out.empty() && out.front().at == 0 && out.front().font == kCellFont)
    out.erase(out.begin());  // the cell's own font is where the text starts anyway
  return out;
}

void PlaceRuns(Sheet& sheet, int row, int col, const TextRuns& runs, const StyleTable& styles) {
  const CellSlot* s = sheet.Find(row, col);
  if (runs.empty() || !s || s->kind != CellKind::Text) return;
  TextRuns placed = runs;
  const std::uint16_t own = styles.Get(sheet.EffectiveStyle(row, col)).font;
  for (TextRun& run : placed)
    if (run.font == kCellFont) run.font = own;
  sheet.SetRuns(*s, std::move(placed));
}

}  // namespace engine::xlsx
