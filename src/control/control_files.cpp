// Reading and writing workbooks: .xls (BIFF8, BIFF5), tab-separated text and blobs. A read
// parses into a new Workbook and replaces the current one only when it succeeded; a write
// goes through a temporary file renamed over the target.
#include <cstdlib>
#include <cstring>

#include "control/control.h"
#include "control/io/file_io.h"
#include "control/model/workbook.h"
#include "control/text/text_file.h"
#include "control/xls/compound_file.h"
#include "control/xls/xls_file.h"
#include "control/xlsx/xlsx_carried.h"
#include "control/xlsx/xlsx_file.h"

namespace engine {

namespace {

// The largest blob we accept: a sheet's worth of cells cannot need more.
constexpr std::uint64_t kMaxBlobBytes = 1ull << 31;

bool IsBareBiff(const std::uint8_t* d, std::size_t n) {
  if (n < 8) return false;
  unsigned id = d[0] | (d[1] << 8);
  unsigned len = d[2] | (d[3] << 8);
  return (id == 0x0009 || id == 0x0209 || id == 0x0409 || id == 0x0809) && len >= 4 && len <= 20;
}

unsigned BiffCodePage(const LocaleSettings& locale) { return locale.language == "ja" ? 932 : 1252; }

// A write that would leave out what the book carries unmodelled (the parts of an .xlsx package
// in an .xls file, a 97-2000 file's charts and macros in a package) is refused unless the
// caller asked to leave them out: they would otherwise vanish without a word.
void RefuseSilentLoss(const std::string& lost, const char* form, const char* keepingForm) {
  if (!lost.empty())
    throw EngineError(kErrFile, std::string("An ") + form + " file cannot hold the " + lost +
                                    " of this workbook; nothing was saved. Save it as " +
                                    keepingForm + " to keep them, or convert it leaving them out.");
}

void CheckWorkbookFileHolds(const Workbook& book, bool dropUnsupported) {
  if (!dropUnsupported) RefuseSilentLoss(xlsx::XlsxOnlyContent(book), ".xls", ".xlsx");
}

void CheckPackageHolds(const Workbook& book, bool dropUnsupported) {
  if (!dropUnsupported) RefuseSilentLoss(xls::XlsOnlyContent(book), ".xlsx", ".xls");
}

}  // namespace

// Decides the form by content: a compound file is BIFF8 or BIFF5 by its first BOF; a bare
// BIFF stream of Excel 2.x-4.0 is refused; a zip package is an .xlsx workbook; otherwise the
// bytes must decode as text, comma-separated when the caller expects that (type 6 in `type`).
static std::unique_ptr<Workbook> ParseWorkbook(MappedBuffer&& file, const LocaleSettings* locale,
                                               short& type) {
  const std::uint8_t* d = file.data();
  std::size_t n = file.size();
  if (n == 0) throw EngineError(kErrFile, "The file is empty; it is not a workbook.");
  if (xls::IsCompoundFile(d, n)) return xls::ReadXls(std::move(file), locale, type);
  if (IsBareBiff(d, n)) {
    if (d[0] == 0x09 && d[1] == 0x08) return xls::ReadXls(std::move(file), locale, type);
    throw EngineError(kErrFile, "The workbook is in an Excel 2.x-4.0 form, which is not supported.");
  }
  if (xlsx::LooksLikeZip(d, n)) {
    auto book = xlsx::ReadXlsx(d, n, locale);
    type = xlsx::kTypeXlsx;
    return book;
  }
  if (type == text::kTypeCsv) return text::ReadCsv(d, n, locale);
  auto book = text::ReadText(d, n, locale);
  type = xls::kTypeText;
  return book;
}

void Control::ReadFile(const std::string& path, short& type) {
  // Reads are never refused because another program has the file open. A failed read
  // changes nothing, not even an edit in progress; a successful one ends it with the old book.
  MappedBuffer data = xls::ReadWholeFile(path);
  short found = type == text::kTypeCsv ? type : 0;
  auto book = ParseWorkbook(std::move(data), &locale_, found);
  CancelCellEdit();
  ReplaceWorkbook(std::move(book));
  type = found;
}

static xls::Bytes Serialise(Workbook& book, short type, const LocaleSettings& locale,
                            bool dropUnsupported) {
  switch (type) {
    case xls::kTypeBiff8:
    case xls::kTypeBiff5:
      CheckWorkbookFileHolds(book, dropUnsupported);
      return xls::WriteXls(book, type, BiffCodePage(locale));
    case xlsx::kTypeXlsx:
      CheckPackageHolds(book, dropUnsupported);
      return xlsx::WriteXlsx(book);
    case xls::kTypeText:
    case text::kTypeCsv: {
      std::string s = text::WriteText(book, type == text::kTypeCsv ? ',' : '\t');
      return xls::Bytes(s.begin(), s.end());
    }
    default:
      throw EngineError(kErrBadArgument,
                        "Unknown file type " + std::to_string(type) + " for writing.");
  }
}

void Control::WriteFile(const std::string& path, short type) {
  TerminateCellEdit();
  if (path.empty()) throw EngineError(kErrFile, "No file name was given.");
  if (xls::HeldByAnotherProgram(path)) throw EngineError(kErrUnableToOpen, kTextUnableToOpenFile);
  xls::Bytes bytes = Serialise(*book_, type, locale_, dropUnsupported_);
  xls::WriteFileAtomically(path, bytes.data(), bytes.size());
}

void Control::ReadFromBlob(void* handle, short) {
  if (!handle) throw EngineError(kErrBadArgument, "No memory block was given.");
  const auto* p = static_cast<const std::uint8_t*>(handle);
  std::uint64_t count = 0;
  for (int i = 7; i >= 0; --i) count = (count << 8) | p[i];
  if (count == 0 || count > kMaxBlobBytes)
    throw EngineError(kErrFile, "The memory block does not hold a workbook.");
  const std::uint8_t* body = p + 8;
  if (!xls::IsCompoundFile(body, static_cast<std::size_t>(count)))
    throw EngineError(kErrFile, "The memory block does not hold a workbook.");
  short type = 0;
  auto book = xls::ReadXls(body, static_cast<std::size_t>(count), &locale_, type);
  CancelCellEdit();
  ReplaceWorkbook(std::move(book));
}

void Control::WriteToBlob(void** handle, short) {
  if (!handle) throw EngineError(kErrBadArgument, "No place for the memory block was given.");
  TerminateCellEdit();
  CheckWorkbookFileHolds(*book_, dropUnsupported_);
  xls::Bytes bytes = xls::WriteXls(*book_, xls::kTypeBiff8, BiffCodePage(locale_));
  auto* block = static_cast<std::uint8_t*>(std::malloc(bytes.size() + 8));
  if (!block) throw EngineError(kErrFile, "Not enough memory for the memory block.");
  std::uint64_t count = bytes.size();
  for (int i = 0; i < 8; ++i) block[i] = static_cast<std::uint8_t>(count >> (8 * i));
  std::memcpy(block + 8, bytes.data(), bytes.size());
  *handle = block;
}

}  // namespace engine
