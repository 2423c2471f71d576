#pragma once
// The cells of a worksheet part: the handler that reads sheetData (and hands what the sheet
// carries besides its cells to a features handler). It either stores into the sheet, or, for
// the later rows of a sheet read in halves, logs what it reads without touching any sheet; the
// storing handler then takes the log in as if it had read those rows itself.

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "control/model/mapped_memory.h"
#include "control/model/sheet.h"
#include "control/model/text_runs.h"
#include "control/model/value.h"
#include "control/xlsx/xlsx_rich_text.h"
#include "control/xlsx/xml_stream.h"

namespace engine::xlsx {

[[noreturn]] void PackageDamaged(const std::string& why);

// The shared strings of a package in one buffer: item i runs from its start to the next
// item's start (the last one to the end), so a sheet's lookups stay close together.
class SharedStrings {
 public:
  std::size_t size() const { return starts_.size(); }
  std::string_view operator[](std::size_t i) const {
    std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : chars_.size();
    return std::string_view(chars_).substr(starts_[i], end - starts_[i]);
  }
  void Open() { starts_.push_back(chars_.size()); }  // a new, empty last item
  std::size_t LastSize() const { return chars_.size() - starts_.back(); }
  void Append(std::string_view text) { chars_.append(text); }
  void DecodeLast();
  // The runs of the last item, if it has any, and of item i.
  void SetLastRuns(TextRuns runs) {
    if (!runs.empty()) runs_.emplace(starts_.size() - 1, std::move(runs));
  }
  // What the package says its cells refer to shared strings, all sheets together: a hint to
  // size the sheets' text pools by, never trusted beyond what a sheet part could hold.
  std::size_t references = 0;
  const TextRuns* Runs(std::size_t i) const {
    if (runs_.empty()) return nullptr;
    auto it = runs_.find(i);
    return it == runs_.end() ? nullptr : &it->second;
  }

 private:
  std::string chars_;
  std::vector<std::size_t> starts_;
  std::unordered_map<std::size_t, TextRuns> runs_;
};

struct PendingFormula {
  Sheet* sheet;
  int row, col;
  std::string text;      // empty for a cell sharing its anchor's formula
  int shared = -1;       // shared-formula group
  bool hasCached = false;
  Value cached;
};

enum class CellType : std::uint8_t { Number, Shared, Inline, Str, Logical, Error, Date };

// A row element's attributes as read, before the sheet's standard height decides about them.
struct RowRead {
  bool hidden = false, custom = false, collapsed = false;
  std::uint16_t style = 0;
  int outline = 0, twips = 0;
  bool Plain() const { return !hidden && !custom && !collapsed && !style && !outline && !twips; }
};

struct ColumnRead {
  int first = 1, last = 1;
  std::uint16_t style = 0;
  bool hidden = false, custom = false, collapsed = false;
  double width = 0;
  int outline = 0;
};

// A cell other than a plain number or shared string: its parts as read.
struct CellRead {
  CellType type = CellType::Number;
  bool hasFormula = false;
  int sharedIndex = -1;
  std::string v, f, inlineText;
  TextRuns runs;  // of an inline string
};

// What a logging handler read, in document order.
class CellLog {
 public:
  enum class Kind : std::uint8_t { Number, Shared, Other, Row, Column };
  struct Entry {
    double number;        // Number
    std::uint32_t index;  // Shared: the string; Other, Row, Column: into their list
    int row;
    std::uint16_t col, style;
    Kind kind;
  };
  static_assert(std::is_trivially_copyable_v<Entry> && std::is_trivially_destructible_v<Entry>);
  void Clear() { *this = CellLog(); }

 private:
  friend class SheetHandler;
  // Entries go into blocks of huge pages that never move, so half a large sheet is neither
  // copied as its log grows nor faulted in a small page at a time. No memory for a block
  // throws, and the first parser then reads these rows itself.
  struct Block {
    MappedBuffer memory;
    Entry* entries = nullptr;
    std::size_t used = 0;
  };
  static constexpr std::size_t kBlockBytes = std::size_t{2} << 20;
  static constexpr std::size_t kPerBlock = kBlockBytes / sizeof(Entry);
  void Add(const Entry& e) {
    if (blocks_.empty() || blocks_.back().used == kPerBlock) {
      MappedBuffer memory(kBlockBytes);  // throws std::bad_alloc
      Entry* entries = static_cast<Entry*>(static_cast<void*>(memory.data()));
      blocks_.push_back({std::move(memory), entries, 0});
    }
    Block& b = blocks_.back();
    new (b.entries + b.used++) Entry(e);
  }
  std::vector<Block> blocks_;
  std::vector<CellRead> others_;
  std::vector<RowRead> rows_;
  std::vector<ColumnRead> columns_;
  int endRow_ = 0, endCol_ = 0;  // where the reading stood at sheetData's end
};

class SheetHandler : public XmlHandler {
 public:
  // Stores into `sheet`; formulas wait in `pending` until every sheet is read.
  // Rich text's fonts are interned in `styles`.
  SheetHandler(Sheet& sheet, const SharedStrings& sst, const std::vector<std::uint16_t>& xfStyles,
               bool date1904, std::vector<PendingFormula>& pending, XmlHandler& features,
               StyleTable& styles, const FontProperties& fontProps);
  // Logs into `log`, touching no sheet and no style table: it may run beside the storing
  // handler of the sheet. An inline string with runs fails it, so one parser reads the rows.
  SheetHandler(CellLog& log, const std::string& sheetName, const SharedStrings& sst,
               const std::vector<std::uint16_t>& xfStyles, bool date1904);

  // A storing handler takes in what a logging one read, as if it had read it here.
  void TakeIn(CellLog& log);

  void Start(std::string_view name, const XmlAttrs& a) override;
  void End(std::string_view name) override;
  void Text(std::string_view text) override;

 private:
  static constexpr std::size_t kMaxCellText = 1u << 20;

  static void CellsStart(void* data, const char* raw, const char** attrs);
  static void CellsEnd(void* data, const char* raw);
  static void CellsText(void* data, const char* text, int length);
  void RunElement(const char* name, const char** attrs);

  void TakeIn(CellLog& log, const CellLog::Entry& e);
  void Capture(const char* text, std::size_t length);
  void StartFormula(const XmlAttrs& a);
  std::uint16_t StyleOf(int s) const;
  void StartRow(const XmlAttrs& a);
  void StoreRow(int row, const RowRead& r);
  void Column(const XmlAttrs& a);
  void StoreColumn(const ColumnRead& c);
  void StartCell(const char** attrs);
  void EndCell();
  void StoreOther();
  void StoreShared(int row, int col, std::uint16_t style, std::size_t index);
  std::size_t SharedIndex() const;
  Value CellValue();

  Sheet* sheet_ = nullptr;  // storing
  CellLog* log_ = nullptr;  // logging
  std::string sheetName_;
  const SharedStrings& sst_;
  const StyleTable* styles_ = nullptr;     // storing
  std::optional<RichTextReader> rich_;     // storing: the runs of an inline string
  const std::vector<std::uint16_t>& xf_;
  bool date1904_;
  std::vector<PendingFormula>* pending_ = nullptr;
  std::unordered_map<int, std::size_t> anchors_;
  int row_ = 0, col_ = 0, cellRow_ = 0;
  bool inCell_ = false, inInline_ = false, inPhonetic_ = false;
  CellRead cell_;
  std::uint16_t style_ = 0;
  std::string* capture_ = nullptr;
  XmlHandler* features_;
  bool inData_ = false;
};

}  // namespace engine::xlsx
