// Placeholder: plain numbers, TRUE/FALSE and error literals. Replaced by full typed entry.
#include "control/format/typed_entry.h"

#include <charconv>

namespace engine::format {

TypedEntry InterpretTyped(std::string_view text, const LocaleSettings&, bool) {
  TypedEntry e;
  double d = 0;
  auto r = std::from_chars(text.data(), text.data() + text.size(), d);
  if (!text.empty() && r.ec == std::errc() && r.ptr == text.data() + text.size()) {
    e.value = Value::Number(d);
  } else if (text == "TRUE" || text == "true") {
    e.value = Value::Logical(true);
  } else if (text == "FALSE" || text == "false") {
    e.value = Value::Logical(false);
  } else {
    ErrorValue err;
    if (ParseErrorText(text, err))
      e.value = Value::Error(err);
    else
      e.value = Value::Text(std::string(text));
  }
  return e;
}

}  // namespace engine::format
