#pragma once
// The built-in worksheet functions by their number in formula tokens, with argument counts.

#include <string_view>

namespace engine::xls {

struct BiffFunction {
  int index;
  const char* name;
  int minArgs;
  int maxArgs;  // equal to minArgs: the function is stored with a fixed argument count
};

const BiffFunction* FunctionByIndex(int index);
const BiffFunction* FunctionByName(std::string_view name);  // case-insensitive

}  // namespace engine::xls
