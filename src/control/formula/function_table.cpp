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
    {"NPV", 11, 2, 30, false, nullptr},       {"STDEV", 12, 1, 30, false, nullptr},
    {"SIN", 15, 1, 1, false, nullptr},        {"COS", 16, 1, 1, false, nullptr},
    {"TAN", 17, 1, 1, false, nullptr},        {"ATAN", 18, 1, 1, false, nullptr},
    {"VAR", 46, 1, 30, false, nullptr},       {"PV", 56, 3, 5, false, nullptr},
    {"FV", 57, 3, 5, false, nullptr},         {"NPER", 58, 3, 5, false, nullptr},
    {"PMT", 59, 3, 5, false, nullptr},        {"RATE", 60, 3, 6, false, nullptr},
    {"IRR", 62, 1, 2, false, nullptr},        {"AREAS", 75, 1, 1, false, nullptr},
    {"TRANSPOSE", 83, 1, 1, false, nullptr},  {"TYPE", 86, 1, 1, false, nullptr},
    {"ATAN2", 97, 2, 2, false, nullptr},      {"ASIN", 98, 1, 1, false, nullptr},
    {"ACOS", 99, 1, 1, false, nullptr},       {"ISREF", 105, 1, 1, false, nullptr},
    {"CELL", 125, 1, 2, true, nullptr},       {"FACT", 184, 1, 1, false, nullptr},
    {"ISNONTEXT", 190, 1, 1, false, nullptr}, {"STDEVP", 193, 1, 30, false, nullptr},
    {"VARP", 194, 1, 30, false, nullptr},     {"RANK", 216, 2, 3, false, nullptr},
    {"ADDRESS", 219, 2, 5, false, nullptr},   {"MEDIAN", 227, 1, 30, false, nullptr},
    {"SINH", 229, 1, 1, false, nullptr},      {"COSH", 230, 1, 1, false, nullptr},
    {"TANH", 231, 1, 1, false, nullptr},      {"EVEN", 279, 1, 1, false, nullptr},
    {"ODD", 298, 1, 1, false, nullptr},       {"SUMSQ", 321, 0, 30, false, nullptr},
    {"LARGE", 325, 2, 2, false, nullptr},     {"SMALL", 326, 2, 2, false, nullptr},
    {"RADIANS", 342, 1, 1, false, nullptr},   {"DEGREES", 343, 1, 1, false, nullptr},
    {"SUBTOTAL", 344, 2, 30, false, nullptr},
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
