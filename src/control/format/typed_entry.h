#pragma once
// Interprets text as a person typing it into a cell: numbers with signs, separators and
// exponents, percentages, currency, dates and times, TRUE/FALSE, error literals, otherwise text.
// Formulas ("=…") and the leading apostrophe are the caller's business.

#include <string>
#include <string_view>

#include "control/locale_settings.h"
#include "control/model/value.h"

namespace engine::format {

struct TypedEntry {
  Value value;             // Number, Text, Logical or Error (never Empty)
  std::string formatCode;  // number format the entry implies; empty = keep the cell's format
};

TypedEntry InterpretTyped(std::string_view text, const LocaleSettings& locale,
                          bool date1904 = false);

// The same with the year that a date typed without one ("1/15") falls in.
TypedEntry InterpretTyped(std::string_view text, const LocaleSettings& locale, bool date1904,
                          int currentYear);

}  // namespace engine::format
