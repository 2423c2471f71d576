// The --rows option: a comma-separated list of rows and row ranges; the --shard option K/N.

#include <cctype>

#include "cli.h"

namespace dtapp {

namespace {

bool ParseRow(const std::string& text, long& row) {
  if (text.empty() || text.size() > 9) return false;  // beyond any sheet's rows
  row = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    row = row * 10 + (c - '0');
  }
  return row >= 1;
}

}  // namespace

std::optional<std::vector<RowRange>> ParseRowList(const std::string& text, std::string& error) {
  std::vector<RowRange> ranges;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    const std::string item = text.substr(start, comma - start);
    const std::size_t dash = item.find('-');
    RowRange range;
    bool ok;
    if (dash == std::string::npos) {
      ok = ParseRow(item, range.first);
      range.last = range.first;
    } else {
      ok = ParseRow(item.substr(0, dash), range.first) &&
           ParseRow(item.substr(dash + 1), range.last);
    }
    if (!ok) {
      error = "\"" + item + "\" is not a row or a range of rows (such as 2-5,9)";
      return std::nullopt;
    }
    if (range.last < range.first) {
      error = "the range \"" + item + "\" runs backwards";
      return std::nullopt;
    }
    ranges.push_back(range);
    start = comma + 1;
  }
  return ranges;
}

std::optional<Shard> ParseShard(const std::string& text, std::string& error) {
  const std::size_t slash = text.find('/');
  Shard shard;
  if (slash == std::string::npos || !ParseRow(text.substr(0, slash), shard.index) ||
      !ParseRow(text.substr(slash + 1), shard.count)) {
    error = "\"" + text + "\" is not a shard K/N (such as 2/4)";
    return std::nullopt;
  }
  if (shard.index > shard.count) {
    error = "the shard " + text + " lies beyond its " + std::to_string(shard.count) + " parts";
    return std::nullopt;
  }
  return shard;
}

}  // namespace dtapp
