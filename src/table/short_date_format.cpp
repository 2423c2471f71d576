#include "table/short_date_format.h"

#include "table/utf8_chars.h"

namespace table {

std::string FourDigitYearFormat(const std::string& userFormat) {
  constexpr std::size_t kMaxLength = 40;
  std::string format = userFormat.substr(0, params::Utf8PrefixFitting(userFormat, kMaxLength));
  if (format.find("yyyy") != std::string::npos) return format;
  const std::size_t p = format.find("yy");
  if (p != std::string::npos) format.insert(p, "yy");
  return format;
}

}  // namespace table
