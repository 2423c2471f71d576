#include "table/short_date_format.h"

namespace table {

std::string FourDigitYearFormat(const std::string& userFormat) {
  constexpr std::size_t kMaxLength = 40;
  std::string format = userFormat;
  if (format.size() > kMaxLength) {
    std::size_t end = kMaxLength;
    while (end > 0 && (static_cast<unsigned char>(format[end]) & 0xC0) == 0x80) --end;
    format.resize(end);
  }
  if (format.find("yyyy") != std::string::npos) return format;
  const std::size_t p = format.find("yy");
  if (p != std::string::npos) format.insert(p, "yy");
  return format;
}

}  // namespace table
