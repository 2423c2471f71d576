#include "expected_json.h"

#include <gtest/gtest.h>

std::vector<ExpectedSheet> ReadExpectedSheets(const std::string& path) {
  std::string error;
  std::optional<JsonTable> table = ReadTableJson(path, error);
  if (!table) {
    ADD_FAILURE() << error;
    return {};
  }
  return std::move(table->sheets);
}
