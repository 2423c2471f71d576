// Names that no column of the active sheet bears yet: a name made unique with a number, and
// the generated "Noname" names.
#include <string>
#include <unordered_set>

#include "params/name_rules.h"
#include "table/czat_psf1.h"
#include "table/utf8_chars.h"

namespace {

constexpr int kLastCandidate = 99999;

std::unordered_set<std::string> NameSet(const CZATArgList& list) {
  return std::unordered_set<std::string>(list.begin(), list.end());
}

// base followed by the number. A base too long for a name with that number is shortened
// (never splitting a character), so a made-unique name stays within the name length limit.
std::string Numbered(const std::string& base, int number) {
  std::string digits = std::to_string(number);
  if (base.size() + digits.size() <= params::kMaxNameBytes || base.size() > params::kMaxNameBytes)
    return base + digits;
  std::size_t keep = params::Utf8PrefixFitting(base, params::kMaxNameBytes - digits.size());
  return base.substr(0, keep) + digits;
}

}  // namespace

bool CZAT_PSF1::GetNotDupArgName(CString& name) {
  if (name.empty()) return false;
  std::unordered_set<std::string> taken = NameSet(GetHeaderArgList(0));
  if (!taken.count(name)) return true;
  const std::string base = name;
  for (int i = 1; i <= kLastCandidate; ++i) {
    name = Numbered(base, i);
    if (!taken.count(name)) return true;
  }
  return false;
}

bool CZAT_PSF1::GetNonameName(CString& name) {
  std::unordered_set<std::string> taken = NameSet(GetHeaderArgList(0));
  for (int i = 1; i <= kLastCandidate; ++i) {
    name = "Noname" + std::to_string(i);
    if (!taken.count(name)) return true;
  }
  return false;
}
