#include "control/formula/function_table.h"

#include <cctype>
#include <string>
#include <unordered_map>
#include <vector>

namespace engine::formula {

namespace {

// Functions the engine knows by name and number but does not compute (#NAME?); kept so that
// workbooks from files show and write them back unchanged.
constexpr FunctionInfo kNamesOnly[] = {
    {"TRANSPOSE", 83, 1, 1, false, nullptr},
    {"CELL", 125, 1, 2, true, nullptr},
};

struct Directory {
  std::unordered_map<std::string, const FunctionInfo*> byName;
  std::unordered_map<int, const FunctionInfo*> byNumber;
  Directory() {
    auto add = [this](std::span<const FunctionInfo> list) {
      for (const FunctionInfo& f : list) {
        byName.emplace(f.name, &f);
        byNumber.emplace(f.number, &f);
      }
    };
    add(MathFunctions());
    add(TextFunctions());
    add(LogicLookupFunctions());
    add(DateFunctions());
    add(StatsFunctions());
    add(FinanceFunctions());
    add(ConditionalFunctions());
    add(DistributionFunctions());
    add(DatabaseFunctions());
    add(kNamesOnly);
  }
};

const Directory& Dir() {
  static const Directory d;
  return d;
}

}  // namespace

const FunctionInfo* FindFunction(std::string_view name) {
  std::string up(name);
  for (char& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  // Files written by newer programs prefix later functions ("_xlfn.IFERROR").
  if (up.starts_with("_XLFN.")) up.erase(0, 6);
  auto it = Dir().byName.find(up);
  return it == Dir().byName.end() ? nullptr : it->second;
}

const FunctionInfo* FindFunction(int number) {
  auto it = Dir().byNumber.find(number);
  return it == Dir().byNumber.end() ? nullptr : it->second;
}

}  // namespace engine::formula
