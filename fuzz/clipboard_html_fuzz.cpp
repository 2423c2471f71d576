// libFuzzer target: the reader of HTML that other programs put on the clipboard. What it reads
// must be runs a cell can take, and writing it out must read back as the same texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "control/model/clipboard_html.h"
#include "control/model/text_runs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace engine::clipboard_html;
  const auto rows = Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  std::vector<std::vector<RichField>> fields;
  for (const auto& row : rows) {
    fields.emplace_back();
    for (const ParsedField& f : row) {
      const std::size_t length = engine::text_runs::Utf16Length(f.text);
      RichField field{f.text, {}};
      for (std::size_t k = 0; k < f.runs.size(); ++k) {
        if (f.runs[k].at >= length || (k > 0 && f.runs[k].at <= f.runs[k - 1].at)) std::abort();
        field.runs.push_back({f.runs[k].at, f.runs[k].marks.Applied(engine::Font())});
      }
      fields.back().push_back(std::move(field));
    }
  }
  const auto back = Parse(Table(fields));
  if (back.size() != fields.size()) std::abort();
  return 0;
}
