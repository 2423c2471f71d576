#pragma once
// The function library's directory: each function's name, BIFF function number, argument
// counts, volatility and implementation. The .xls reader and writer map ptgFunc/ptgFuncVar
// numbers to names here; a function with a fixed argument count (minArgs == maxArgs) is
// written as ptgFunc, others as ptgFuncVar. Functions that BIFF only knows as add-ins (EDATE,
// EOMONTH, NETWORKDAYS, WORKDAY, RANDBETWEEN, IFERROR) have number 255 + their own id above
// 0x4000 and are written as add-in calls by name.

#include <span>
#include <string_view>

namespace engine::formula {

class Evaluator;
struct Operand;

using FunctionImpl = Operand (*)(Evaluator& ev, std::span<Operand> args);

struct FunctionInfo {
  const char* name;   // upper case, as printed
  int number;         // BIFF function number; >= 0x4000 for add-ins (see IsAddIn)
  int minArgs;
  int maxArgs;
  bool isVolatile;
  FunctionImpl impl;  // null: known name, not computed (#NAME?)
};

inline bool IsAddIn(const FunctionInfo& f) { return f.number >= 0x4000; }

// Lookup by name (case-insensitive) or by number; nullptr when unknown.
const FunctionInfo* FindFunction(std::string_view name);
const FunctionInfo* FindFunction(int number);

// Registration tables of the function families (one per source file).
std::span<const FunctionInfo> MathFunctions();
std::span<const FunctionInfo> TextFunctions();
std::span<const FunctionInfo> LogicLookupFunctions();
std::span<const FunctionInfo> DateFunctions();
std::span<const FunctionInfo> StatsFunctions();
std::span<const FunctionInfo> FinanceFunctions();
std::span<const FunctionInfo> ConditionalFunctions();
std::span<const FunctionInfo> DistributionFunctions();
std::span<const FunctionInfo> DatabaseFunctions();

}  // namespace engine::formula
