#include <vector>

#include <cstring>

#include "control/engine_error.h"
#include "control/format/typed_entry.h"
#include "control/formula/formula_engine.h"
#include "control/text/text_file.h"
#include "control/io/code_page.h"

namespace engine::text {

namespace {

bool IsTextCharacters(std::string_view s) {
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A) return false;
  }
  return true;
}

std::string FromUtf16(const std::uint8_t* p, std::size_t n, bool bigEndian) {
  std::u16string w;
  w.reserve(n / 2);
  for (std::size_t i = 0; i + 1 < n; i += 2)
    w.push_back(static_cast<char16_t>(bigEndian ? (p[i] << 8) | p[i + 1] : p[i] | (p[i + 1] << 8)));
  return xls::Utf16ToUtf8(w.data(), w.size());
}

}  // namespace

bool DecodeText(const std::uint8_t* data, std::size_t size, const LocaleSettings& locale,
                std::string& out) {
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
    out.assign(reinterpret_cast<const char*>(data) + 3, size - 3);
    if (!xls::IsValidUtf8(out)) return false;
  } else if (size >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
    if (size % 2) return false;
    out = FromUtf16(data + 2, size - 2, data[0] == 0xFE);
  } else {
    if (std::memchr(data, 0, size)) return false;
    out.assign(reinterpret_cast<const char*>(data), size);
    if (!xls::IsValidUtf8(out)) {
      unsigned cp = locale.language == "ja" ? 932 : 1252;
      std::string name = xls::CodePageName(cp);
      // Strict decoding: a byte the code page lacks means the file is not text in it.
      out = xls::DecodeCodePage(cp, data, size);
      std::string again = xls::EncodeCodePage(cp, out);
      if (again.size() != size || std::memcmp(again.data(), data, size) != 0) return false;
    }
  }
  return IsTextCharacters(out);
}

void EnterTyped(Workbook& book, Sheet& sheet, int row, int col, std::string_view text) {
  if (text.empty()) return;
  if (text[0] == '=' && text.size() > 1) {
    try {
      auto compiled = book.Formulas().Compile(sheet, row, col, text.substr(1));
      book.SetFormula(sheet, row, col, std::move(compiled));
      return;
    } catch (const EngineError&) {
      book.SetValue(sheet, row, col, Value::Text(std::string(text)));
      return;
    }
  }
  if (text[0] == '\'') {
    book.SetValue(sheet, row, col, Value::Text(std::string(text.substr(1))));
    return;
  }
  format::TypedEntry entry = format::InterpretTyped(text, book.Locale(), book.Date1904());
  if (!entry.formatCode.empty()) {
    Style style = book.Styles().Get(sheet.EffectiveStyle(row, col));
    style.numberFormat = book.Formats().Intern(entry.formatCode);
    book.SetCellStyle(sheet, row, col, book.Styles().Intern(style));
  }
  book.SetValue(sheet, row, col, entry.value);
}

namespace {

int FieldsInFirstLine(std::string_view text, char separator) {
  int fields = 1;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    else if (!quoted && (c == '\r' || c == '\n')) break;
    else if (!quoted && c == separator) ++fields;
  }
  return fields;
}

std::unique_ptr<Workbook> ParseSeparated(const std::string& text, const LocaleSettings* locale,
                                         char separator);

}  // namespace

std::unique_ptr<Workbook> ReadText(const std::uint8_t* data, std::size_t size,
                                   const LocaleSettings* locale, char separator) {
  std::string text;
  if (size == 0 || !DecodeText(data, size, *locale, text))
    throw EngineError(kErrFile, "The file is not a workbook or a text file.");
  return ParseSeparated(text, locale, separator);
}

std::unique_ptr<Workbook> ReadCsv(const std::uint8_t* data, std::size_t size,
                                  const LocaleSettings* locale) {
  std::string text;
  if (size == 0 || !DecodeText(data, size, *locale, text))
    throw EngineError(kErrFile, "The file is not a workbook or a text file.");
  char separator = FieldsInFirstLine(text, ';') > FieldsInFirstLine(text, ',') ? ';' : ',';
  return ParseSeparated(text, locale, separator);
}

namespace {

std::unique_ptr<Workbook> ParseSeparated(const std::string& text, const LocaleSettings* locale,
                                         char separator) {
  auto book = std::make_unique<Workbook>(locale);
  Sheet& sheet = book->GetSheet(1);
  int row = 1, col = 1;
  std::string field;
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto put = [&](bool endOfLine) {
    if (row > kMaxRow)
      throw EngineError(kErrFile, "The text file has more lines than a sheet holds (65,536).");
    if (col > kMaxCol)
      throw EngineError(kErrFile, "The text file has more fields in a line than a sheet holds (256).");
    EnterTyped(*book, sheet, row, col, field);
    field.clear();
    if (endOfLine) {
      ++row;
      col = 1;
    } else {
      ++col;
    }
  };
  bool lineHasContent = false;
  while (i < n) {
    char c = text[i];
    if (c == '"' && field.empty()) {
      // A quoted field: tabs, line breaks and doubled quotes inside.
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            field.push_back('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field.push_back(text[i++]);
      }
      lineHasContent = true;
      continue;
    }
    if (c == separator) {
      put(false);
      lineHasContent = true;
      ++i;
      continue;
    }
    if (c == '\r' || c == '\n') {
      put(true);
      lineHasContent = false;
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      ++i;
      continue;
    }
    if (c == 0x1A && i + 1 == n) break;  // a DOS end-of-file mark
    field.push_back(c);
    lineHasContent = true;
    ++i;
  }
  if (lineHasContent || !field.empty()) put(true);
  book->Formulas().Rebuild();
  return book;
}

}  // namespace

}  // namespace engine::text
