#include "params/name_rules.h"

#include "table/utf8_chars.h"

namespace params {

bool IsNameLetter(int code) { return IsUnicodeLetter(code); }

bool IsNameAlnum(int code) { return IsUnicodeLetter(code) || IsUnicodeDigit(code); }

bool IsValidNameFirstChar(int code) {
  return IsNameLetter(code) || code == '_' || code == kFullWidthLowLine;
}

bool IsValidNameChar(int code) {
  return IsNameAlnum(code) || code == '.' || code == '_' || code == kFullWidthLowLine ||
         code == kIdeographicFullStop;
}

bool IsNameSpace(int code) { return IsUnicodeSpace(code); }

NameProblem CheckParamName(std::string_view name) {
  if (name.empty()) return NameProblem::kEmpty;
  if (name.size() > kMaxNameBytes) return NameProblem::kTooLong;
  Utf8Char first = DecodeUtf8At(name, 0);
  if (!IsValidNameFirstChar(first.code)) return NameProblem::kBadFirstChar;
  for (std::size_t pos = first.size; pos < name.size();) {
    Utf8Char ch = DecodeUtf8At(name, pos);
    if (!IsValidNameChar(ch.code)) return NameProblem::kBadChar;
    pos += ch.size;
  }
  return NameProblem::kNone;
}

std::string RepairParamName(std::string_view name) {
  if (name.empty()) return {};
  std::string out;
  out.reserve(name.size() + 1);
  // The first character is judged as it stands in the input, before anything is dropped.
  bool prefix = !IsValidNameFirstChar(DecodeUtf8At(name, 0).code);
  if (prefix) out.push_back('_');
  for (std::size_t pos = 0; pos < name.size();) {
    Utf8Char ch = DecodeUtf8At(name, pos);
    if (IsValidNameChar(ch.code))
      out.append(name.substr(pos, ch.size));
    else if (IsNameSpace(ch.code))
      out.push_back('_');
    pos += ch.size;
  }
  out.resize(Utf8PrefixFitting(out, kMaxNameBytes));
  return out;
}

}  // namespace params
