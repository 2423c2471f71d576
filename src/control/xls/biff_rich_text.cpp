#include "control/xls/biff_rich_text.h"

#include <utility>

#include "control/io/code_page.h"

namespace engine::xls::rich_text {

TextRuns FromFile(const std::vector<FileRun>& runs, std::string_view text,
                  const std::vector<std::uint16_t>& fontMap) {
  const std::size_t length = text_runs::Utf16Length(text);
  TextRuns out;
  out.reserve(runs.size());
  for (const FileRun& run : runs) {
    if (!out.empty() && run.at < out.back().at)
      ThrowDamaged("a string's formatting runs are out of order");
    if (run.at > length) ThrowDamaged("a string's formatting run starts past its text");
    const unsigned stored = run.font >= 4 ? run.font - 1u : run.font;  // font 4 is never stored
    if (stored >= fontMap.size())
      ThrowDamaged("a string's formatting names a font the workbook does not have");
    if (run.at == length) continue;
    const TextRun mapped{run.at, fontMap[stored]};
    if (!out.empty() && out.back().at == mapped.at) out.back() = mapped;
    else out.push_back(mapped);
  }
  return out;
}

std::vector<FileRun> ReadBiff5(Cursor& c, const std::uint8_t* bytes, std::size_t size,
                               unsigned codePage) {
  std::vector<FileRun> runs;
  if (c.Left() == 0) return runs;
  const std::size_t count = c.U8();
  if (2 * count > c.Left()) ThrowDamaged("a string's formatting runs run past its record");
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = c.U8();
    const std::uint16_t font = c.U8();
    if (at > size) ThrowDamaged("a string's formatting run starts past its text");
    // A double-byte code page's characters take one or two bytes: count the text before it.
    const std::size_t units = text_runs::Utf16Length(DecodeCodePage(codePage, bytes, at));
    runs.push_back(FileRun{static_cast<std::uint16_t>(units), font});
  }
  return runs;
}

void ReadBiff8Tail(Cursor& c, std::vector<FileRun>& runs) {
  if (!runs.empty() || c.Left() < 2) return;
  const std::size_t count = c.U16();
  if (4 * count > c.Left()) ThrowDamaged("a string's formatting runs run past its record");
  for (std::size_t i = 0; i < count; ++i) {
    FileRun run;
    run.at = c.U16();
    run.font = c.U16();
    runs.push_back(run);
  }
}

bool AppendBiff5(Bytes& body, const TextRuns& runs, std::string_view utf8, unsigned codePage) {
  const std::size_t size = EncodeCodePage(codePage, utf8).size();
  std::vector<std::pair<unsigned, unsigned>> pairs;
  for (const TextRun& run : runs) {
    const std::size_t at =
        EncodeCodePage(codePage, utf8.substr(0, text_runs::Utf8Offset(utf8, run.at))).size();
    if (at > 0xFF || at >= size) break;
    if (FileFont(run.font) > 0xFF) continue;
    pairs.emplace_back(static_cast<unsigned>(at), FileFont(run.font));
  }
  if (pairs.empty()) return false;
  Put8(body, static_cast<unsigned>(pairs.size()));
  for (const auto& [at, font] : pairs) {
    Put8(body, at);
    Put8(body, font);
  }
  return true;
}

std::vector<FileRun> ToFile(const TextRuns& runs, std::size_t length) {
  std::vector<FileRun> out;
  for (const TextRun& run : runs) {
    if (run.at >= length) break;
    out.push_back(FileRun{static_cast<std::uint16_t>(run.at),
                          static_cast<std::uint16_t>(FileFont(run.font))});
  }
  return out;
}

}  // namespace engine::xls::rich_text
