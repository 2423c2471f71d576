#pragma once
// Shared helpers of the function library: argument extraction, UTF-8 character counting,
// wildcard matching and the criteria of COUNTIF/SUMIF/MATCH.

#include <string>
#include <string_view>
#include <vector>

#include "control/formula/evaluator.h"

namespace engine::formula {

// Fetch a typed argument or return its error from the calling function.
#define DT_NUM(var, operand)                                     \
  double var = 0;                                                \
  {                                                              \
    ErrorValue err_;                                             \
    if (!ev.ArgNumber(operand, var, err_)) return Operand::Err(err_); \
  }
#define DT_TEXT(var, operand)                                    \
  std::string var;                                               \
  {                                                              \
    ErrorValue err_;                                             \
    if (!ev.ArgText(operand, var, err_)) return Operand::Err(err_); \
  }
#define DT_BOOL(var, operand)                                    \
  bool var = false;                                              \
  {                                                              \
    ErrorValue err_;                                             \
    if (!ev.ArgBool(operand, var, err_)) return Operand::Err(err_); \
  }

// Optional argument present (given and not omitted)?
inline bool Given(std::span<Operand> args, std::size_t i) {
  return i < args.size() && !args[i].IsMissing();
}

// UTF-8: byte offsets of each character start, plus the end.
std::vector<std::size_t> CharStarts(std::string_view s);
std::size_t CharLength(std::string_view s);
// Characters [from, from+count) (0-based) of s.
std::string CharSlice(std::string_view s, std::size_t from, std::size_t count);
std::string ToUpperAscii(std::string s);
std::string ToLowerAscii(std::string s);

// Wildcard match (* ? and ~ escape), case-insensitive, whole text.
bool WildcardMatch(std::string_view pattern, std::string_view text);
bool HasWildcards(std::string_view pattern);

// A COUNTIF/SUMIF criterion: "5", ">=3", "<>x", "a*", or a value.
class Criterion {
 public:
  Criterion(Evaluator& ev, const Value& criterion);
  bool Matches(const Value& v) const;
  bool MatchesEmpty() const { return Matches(Value()); }

 private:
  enum Op { Eq, Ne, Lt, Le, Gt, Ge } op_ = Eq;
  Value operand_;
  bool wildcard_ = false;
};

// The numbers of the arguments with the aggregate rules of SUM: numbers in references
// (text, logicals and empty cells there are skipped); numbers, logicals and numeric text given
// directly. The first error met is returned through err.
bool CollectNumbers(Evaluator& ev, std::span<Operand> args, std::vector<double>& out,
                    ErrorValue& err);

// Rounds x at `digits` decimals with the mode (0 half away from zero, 1 away, -1 toward zero),
// correcting binary noise the way the spreadsheet shows numbers (15 digits).
double RoundDigits(double x, int digits, int mode);

}  // namespace engine::formula
