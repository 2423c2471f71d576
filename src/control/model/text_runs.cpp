#include "control/model/text_runs.h"

namespace engine::text_runs {

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte
    n += c >= 0xF0 ? 2 : 1;            // four-byte sequences need a surrogate pair
  }
  return n;
}

std::size_t Utf8Offset(std::string_view utf8, std::size_t units) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if ((c & 0xC0) == 0x80) continue;
    if (seen >= units) return i;
    seen += c >= 0xF0 ? 2 : 1;
  }
  return utf8.size();
}

std::string Key(const TextRuns& runs, std::string_view text) {
  // The count first, then fixed-size runs: two different lists never give the same prefix.
  std::string key;
  key.reserve(4 + 6 * runs.size() + text.size());
  auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) key.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  put(static_cast<std::uint32_t>(runs.size()), 4);
  for (const TextRun& run : runs) {
    put(run.at, 4);
    put(run.font, 2);
  }
  key.append(text);
  return key;
}

bool Valid(const TextRuns& runs, std::size_t length, std::size_t fontCount) {
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (runs[i].at >= length || runs[i].font >= fontCount) return false;
    if (i > 0 && runs[i].at <= runs[i - 1].at) return false;
  }
  return true;
}

}  // namespace engine::text_runs
