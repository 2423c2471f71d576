#include "control/xls/biff_records.h"

#include <algorithm>

#include "control/engine_error.h"
#include "control/io/code_page.h"

namespace engine::xls {

void ThrowDamaged(const std::string& why) {
  throw EngineError(kErrFile, "The workbook is damaged: " + why + ".");
}

bool RecordReader::NextJoined(Record& r) {
  const std::size_t size = stream_.size();
  if (pos_ + 4 > size) return false;
  r.id = Get16(stream_.data() + pos_);
  std::size_t len = Get16(stream_.data() + pos_ + 2);
  r.streamOffset = pos_;
  r.breaks.clear();
  if (pos_ + 4 + len > size) ThrowDamaged("a record is cut off");
  const std::uint8_t* body = stream_.data() + pos_ + 4;
  pos_ += 4 + len;
  // Join following CONTINUE records.
  if (pos_ + 4 <= size && Get16(stream_.data() + pos_) == rec::kContinue && r.id != rec::kContinue) {
    joined_.assign(body, body + len);
    while (pos_ + 4 <= size && Get16(stream_.data() + pos_) == rec::kContinue) {
      std::size_t clen = Get16(stream_.data() + pos_ + 2);
      if (pos_ + 4 + clen > size) ThrowDamaged("a record is cut off");
      r.breaks.push_back(joined_.size());
      joined_.insert(joined_.end(), stream_.begin() + static_cast<std::ptrdiff_t>(pos_ + 4),
                     stream_.begin() + static_cast<std::ptrdiff_t>(pos_ + 4 + clen));
      pos_ += 4 + clen;
    }
    r.data = joined_.data();
    r.size = joined_.size();
  } else {
    r.data = body;
    r.size = len;
  }
  return true;
}

std::size_t Cursor::NextBreak() const {
  auto it = std::upper_bound(r_.breaks.begin(), r_.breaks.end(), pos_);
  return it == r_.breaks.end() ? r_.size : *it;
}

bool Cursor::AtBreak() const {
  return std::binary_search(r_.breaks.begin(), r_.breaks.end(), pos_);
}

std::string Cursor::UnicodeChars(std::size_t count, std::vector<FileRun>* runList) {
  if (runList) runList->clear();
  std::uint8_t flags = U8();
  bool wide = flags & 0x01;
  std::size_t runs = (flags & 0x08) ? U16() : 0;
  std::size_t ext = (flags & 0x04) ? U32() : 0;
  std::u16string chars;
  chars.reserve(std::min<std::size_t>(count, r_.size));
  bool ascii = true;
  while (chars.size() < count) {
    if (pos_ >= r_.size) ThrowDamaged("a string is cut off");
    if (!r_.breaks.empty() && AtBreak()) {
      // Characters continue in a CONTINUE record, which restarts with an option byte.
      wide = U8() & 0x01;
      continue;
    }
    std::size_t avail = NextBreak() - pos_;
    std::size_t want = count - chars.size();
    if (wide) {
      std::size_t n = std::min(want, avail / 2);
      if (n == 0) ThrowDamaged("a string is cut off");
      for (std::size_t i = 0; i < n; ++i) {
        char16_t c = static_cast<char16_t>(Get16(r_.data + pos_ + 2 * i));
        if (c >= 0x80) ascii = false;
        chars.push_back(c);
      }
      pos_ += 2 * n;
    } else {
      std::size_t n = std::min(want, avail);
      for (std::size_t i = 0; i < n; ++i) {
        std::uint8_t c = r_.data[pos_ + i];
        if (c >= 0x80) ascii = false;
        chars.push_back(c);
      }
      pos_ += n;
    }
  }
  if (runList) {
    // The runs follow the characters whole, with no option byte where a CONTINUE begins.
    if (4 * runs > Left()) ThrowDamaged("a string's formatting runs run past its record");
    runList->reserve(runs);
    for (std::size_t i = 0; i < runs; ++i) {
      FileRun run;
      run.at = U16();
      run.font = U16();
      runList->push_back(run);
    }
  } else {
    Skip(std::min<std::size_t>(4 * runs, Left()));
  }
  Skip(std::min<std::size_t>(ext, Left()));
  if (ascii) return std::string(chars.begin(), chars.end());
  return Utf16ToUtf8(chars.data(), chars.size());
}

std::string Cursor::Bytes8(unsigned codePage) {
  std::size_t n = U8();
  const std::uint8_t* p = Raw(n);
  return DecodeCodePage(codePage, p, n);
}

std::string Cursor::Bytes16(unsigned codePage) {
  std::size_t n = U16();
  const std::uint8_t* p = Raw(n);
  return DecodeCodePage(codePage, p, n);
}

void RecordWriter::Write(std::uint16_t id, const Bytes& body) {
  std::size_t first = std::min(body.size(), max_);
  Put16(out_, id);
  Put16(out_, static_cast<unsigned>(first));
  out_.insert(out_.end(), body.begin(), body.begin() + static_cast<std::ptrdiff_t>(first));
  for (std::size_t at = first; at < body.size();) {
    std::size_t n = std::min(body.size() - at, max_);
    Put16(out_, rec::kContinue);
    Put16(out_, static_cast<unsigned>(n));
    out_.insert(out_.end(), body.begin() + static_cast<std::ptrdiff_t>(at),
                body.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  }
}

}  // namespace engine::xls
