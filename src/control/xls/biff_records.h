#pragma once
// The record layer of a BIFF stream: record ids, a reader that joins CONTINUE records to the
// record they continue (remembering where each began, since strings restart their option
// byte there), and a bounds-checked cursor over one record.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "control/io/byte_io.h"

namespace engine::xls {

enum class BiffVersion { Biff5, Biff8 };

namespace rec {
inline constexpr std::uint16_t kFormula = 0x0006, kEof = 0x000A, kExternSheet = 0x0017,
                               kName = 0x0018, kDateMode = 0x0022, kExternName = 0x0023,
                               kFilePass = 0x002F, kFont = 0x0031, kContinue = 0x003C,
                               kWindow1 = 0x003D, kCodePage = 0x0042, kColInfo = 0x007D,
                               kBoundSheet = 0x0085, kPalette = 0x0092, kMulRk = 0x00BD,
                               kMulBlank = 0x00BE, kRString = 0x00D6, kXf = 0x00E0,
                               kSst = 0x00FC, kLabelSst = 0x00FD, kExtSst = 0x00FF,
                               kSupBook = 0x01AE, kDimensions = 0x0200, kBlank = 0x0201,
                               kNumber = 0x0203, kLabel = 0x0204, kBoolErr = 0x0205,
                               kString = 0x0207, kRow = 0x0208, kWindow2 = 0x023E,
                               kArray = 0x0221, kStyle = 0x0293, kRk = 0x027E,
                               kFormat = 0x041E, kShrFmla = 0x04BC, kBof = 0x0809,
                               kFormula4 = 0x0406, kFormat4 = 0x001E, kXf4 = 0x0443,
                               kBof2 = 0x0009, kBof3 = 0x0209, kBof4 = 0x0409,
                               kInterfaceHdr = 0x00E1, kMms = 0x00C1, kWriteAccess = 0x005C,
                               kDefColWidth = 0x0055, kObjProj = 0x00D3, kCodeName = 0x01BA;
}

[[noreturn]] void ThrowDamaged(const std::string& why);

// A formatting run as a file holds it: from UTF-16 position `at` on, the file's font `font`.
struct FileRun {
  std::uint16_t at = 0, font = 0;
  bool operator==(const FileRun&) const = default;
};

struct Record {
  std::uint16_t id = 0;
  const std::uint8_t* data = nullptr;  // the record's body with its CONTINUEs joined
  std::size_t size = 0;
  std::vector<std::size_t> breaks;  // offsets in the body where a CONTINUE began
  std::size_t streamOffset = 0;     // where the record's header lies in the stream
};

class RecordReader {
 public:
  RecordReader(std::span<const std::uint8_t> stream, std::size_t offset)
      : stream_(stream), pos_(offset) {}
  // The next record, or false at the end of the stream. A record cut off by the end of the
  // stream throws. Inlined into the record loops whatever their size: it runs once a record.
  [[gnu::always_inline]] bool Next(Record& r) {
    const std::size_t size = stream_.size();
    if (pos_ + 4 > size) return false;
    const std::uint8_t* head = stream_.data() + pos_;
    const std::size_t end = pos_ + 4 + Get16(head + 2);
    // Nearly every record is whole and not continued: it is read where it lies, here.
    if (end <= size && (end + 4 > size || Get16(stream_.data() + end) != rec::kContinue)) {
      r.id = Get16(head);
      r.data = head + 4;
      r.size = end - pos_ - 4;
      r.streamOffset = pos_;
      r.breaks.clear();
      pos_ = end;
      return true;
    }
    return NextJoined(r);
  }
  std::size_t Position() const { return pos_; }

 private:
  // The general case: a record cut off, or one with CONTINUE records to join.
  bool NextJoined(Record& r);
  std::span<const std::uint8_t> stream_;
  std::size_t pos_;
  Bytes joined_;
};

// Reads fields of one record; every read is bounds-checked and throws when the record is short.
class Cursor {
 public:
  explicit Cursor(const Record& r) : r_(r) {}
  std::size_t Pos() const { return pos_; }
  std::size_t Left() const { return r_.size - pos_; }
  void Seek(std::size_t pos) {
    if (pos > r_.size) ThrowDamaged("a record is shorter than its contents");
    pos_ = pos;
  }
  void Skip(std::size_t n) { Seek(pos_ + n); }
  std::uint8_t U8() {
    Need(1);
    return r_.data[pos_++];
  }
  std::uint16_t U16() {
    Need(2);
    pos_ += 2;
    return Get16(r_.data + pos_ - 2);
  }
  std::uint32_t U32() {
    Need(4);
    pos_ += 4;
    return Get32(r_.data + pos_ - 4);
  }
  double F64() {
    Need(8);
    pos_ += 8;
    return GetDouble(r_.data + pos_ - 8);
  }
  const std::uint8_t* Raw(std::size_t n) {
    Need(n);
    pos_ += n;
    return r_.data + pos_ - n;
  }
  // A BIFF8 string: the character count (8- or 16-bit) has been read by the caller or is
  // read here; an option byte follows; phonetic data is skipped, and so are rich-text runs
  // unless `runs` takes them (a run list that does not fit the record then throws).
  std::string Unicode16(std::vector<FileRun>* runs = nullptr) { return UnicodeChars(U16(), runs); }
  std::string Unicode8() { return UnicodeChars(U8()); }
  std::string UnicodeChars(std::size_t count, std::vector<FileRun>* runs = nullptr);
  // A BIFF5 byte string (8- or 16-bit length) in the workbook's code page.
  std::string Bytes8(unsigned codePage);
  std::string Bytes16(unsigned codePage);

 private:
  void Need(std::size_t n) const {
    if (n > r_.size - pos_) ThrowDamaged("a record is shorter than its contents");
  }
  std::size_t NextBreak() const;
  bool AtBreak() const;
  const Record& r_;
  std::size_t pos_ = 0;
};

// Writes records, splitting long ones into CONTINUE records.
class RecordWriter {
 public:
  explicit RecordWriter(Bytes& out, std::size_t maxBody) : out_(out), max_(maxBody) {}
  void Write(std::uint16_t id, const Bytes& body);
  std::size_t Position() const { return out_.size(); }
  std::size_t MaxBody() const { return max_; }
  Bytes& Out() { return out_; }

 private:
  Bytes& out_;
  std::size_t max_;
};

}  // namespace engine::xls
