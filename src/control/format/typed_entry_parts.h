#pragma once
// The pieces of typed entry: numbers (with percent, currency and fractions) and dates/times.

#include <optional>
#include <string>
#include <string_view>

#include "control/format/typed_entry.h"

namespace engine::format {

// `text` is trimmed of surrounding spaces.
std::optional<TypedEntry> ParseTypedNumber(std::string_view text, const LocaleSettings& locale);
std::optional<TypedEntry> ParseTypedDateTime(std::string_view text, const LocaleSettings& locale,
                                             bool date1904, int currentYear);

// The format code of a currency amount in the locale's style.
std::string CurrencyCode(const LocaleSettings& locale, bool decimals);

}  // namespace engine::format
