// Which sheet record belongs to which feature, and the strings they share.
#include "control/xls/biff_sheet_features.h"

#include <algorithm>

#include "control/io/code_page.h"

namespace engine::xls {

std::string ReadShortText(Cursor& c, const FeatureIo& io) {
  return io.b8 ? c.Unicode16() : c.Bytes8(io.codePage);
}

void PutUnicodeString(Bytes& b, const std::string& utf8, std::size_t maxChars) {
  std::u16string w = Utf8ToUtf16(utf8);
  if (w.size() > maxChars) w.resize(maxChars);
  Put16(b, static_cast<unsigned>(w.size()));
  bool wide = std::any_of(w.begin(), w.end(), [](char16_t ch) { return ch > 0xFF; });
  Put8(b, wide ? 1 : 0);
  for (char16_t ch : w) {
    if (wide)
      Put16(b, ch);
    else
      Put8(b, ch);
  }
}

void PutRecordText(Bytes& b, const std::string& utf8, const FeatureIo& io, std::size_t max) {
  if (io.b8) {
    PutUnicodeString(b, utf8, max);
    return;
  }
  std::string s = EncodeCodePage(io.codePage, utf8);
  if (s.size() > max) s.resize(max);
  Put8(b, static_cast<unsigned>(s.size()));
  b.insert(b.end(), s.begin(), s.end());
}

bool SheetFeatureReader::Take(const Record& r) {
  std::uint16_t previous = previousId_;
  previousId_ = r.id;
  // An embedded chart's records, BOF to EOF, go with the drawing object before them.
  if (r.id == rec::kBof || embedded_ > 0) {
    if (r.id == rec::kBof) ++embedded_;
    else if (r.id == rec::kEof) --embedded_;
    if (io_.b8) {
      if (r.id == rec::kEof) drawing_.Object(r);  // the drawing may go on in CONTINUEs
      else drawing_.Other(r);
    }
    return true;
  }
  Cursor c(r);
  if (openCondFmt_ && r.id != rec::kCf) {
    openCondFmt_ = nullptr;
    condRulesLeft_ = 0;
  }
  switch (r.id) {
    case rec::kWindow2:
      ReadWindow2(c, f_.view, io_);
      return true;
    case rec::kPane:
      ReadPane(c, f_.view);
      return true;
    case rec::kScl:
      ReadScl(c, f_.view);
      return true;
    case rec::kSheetExt:
      ReadSheetExt(c, f_.view);
      return true;
    case rec::kMergeCells:
      ReadMergeCells(c, f_.merges);
      return true;
    case rec::kHLink:
      if (io_.b8) ReadHyperlink(c, f_.links);
      return true;
    case rec::kHLinkTooltip:
      if (io_.b8) ReadHyperlinkTooltip(c, f_.links);
      return true;
    case rec::kDval:
      ReadDval(c, f_);
      return true;
    case rec::kDv:
      ReadDv(c, f_, io_);
      return true;
    case rec::kCondFmt: {
      ConditionalFormat cf;
      std::size_t rules = 0;
      ReadCondFmt(c, cf, rules);
      f_.conditional.push_back(std::move(cf));
      openCondFmt_ = &f_.conditional.back();
      condRulesLeft_ = rules;
      return true;
    }
    case rec::kCf:
      if (!openCondFmt_ || condRulesLeft_ == 0)
        ThrowDamaged("a conditional format rule stands alone");
      if (r.size < 6) ThrowDamaged("a conditional format rule is cut off");
      openCondFmt_->rules.emplace_back(r.data, r.data + r.size);
      if (--condRulesLeft_ == 0) openCondFmt_ = nullptr;
      return true;
    case rec::kAutoFilterInfo:
      ReadAutoFilterInfo(c, f_.filter);
      return true;
    case rec::kAutoFilter:
      ReadAutoFilter(r, f_.filter);
      return true;
    case rec::kFilterMode:
      return true;
    case rec::kDefColWidth:
      f_.defaultColWidth = std::min<int>(c.U16(), 255);
      return true;
    case rec::kDefaultRowHeight: {
      // Flags, then the height in twips of a row without a ROW record of its own.
      if (r.size < 4) return true;
      c.Skip(2);
      const int height = c.U16() & 0x7FFF;
      if (height > 0) f_.defaultRowHeight = std::min(height, kMaxRowHeight);
      return true;
    }
    case rec::kMsoDrawing:
      if (io_.b8) drawing_.Art(r);
      return true;
    case rec::kObj: {
      // ftCmo first: its object type and id.
      if (r.size < 8) ThrowDamaged("a drawing object is cut off");
      if (!io_.b8) return true;
      drawing_.Object(r);
      c.Skip(4);
      unsigned type = c.U16();
      lastObjId_ = c.U16();
      lastObjIsNote_ = type == 0x19;
      return true;
    }
    case rec::kTxo: {
      if (!io_.b8) return true;
      drawing_.Object(r);
      if (r.size < 18) ThrowDamaged("a text box is cut off");
      c.Skip(10);
      unsigned chars = c.U16();
      if (chars > 0 && lastObjIsNote_) {
        if (r.breaks.empty()) ThrowDamaged("a comment's text is missing");
        c.Seek(r.breaks[0]);
        objText_[lastObjId_] = c.UnicodeChars(chars);
      }
      lastObjIsNote_ = false;
      return true;
    }
    case rec::kNote: {
      PendingNote n{};
      unsigned row = c.U16(), col = c.U16();
      if (io_.b8) {
        unsigned flags = c.U16();
        n.objId = c.U16();
        n.shown = flags & 0x02;
        n.author = c.Unicode16();
      } else {
        unsigned len = c.U16();
        const std::uint8_t* p = c.Raw(std::min<std::size_t>(len, c.Left()));
        std::string text = DecodeCodePage(io_.codePage, p, std::min<std::size_t>(len, r.size - 6));
        if (row == 0xFFFF) {  // the text goes on
          if (previous == rec::kNote && !notes_.empty()) notes_.back().text += text;
          return true;
        }
        n.text = std::move(text);
      }
      if (row >= static_cast<unsigned>(kMaxRow) || col >= static_cast<unsigned>(kMaxCol))
        ThrowDamaged("a comment lies outside the sheet");
      n.row = static_cast<int>(row) + 1;
      n.col = static_cast<int>(col) + 1;
      notes_.push_back(std::move(n));
      return true;
    }
    default:
      return ReadPageRecord(r, f_.page, io_);
  }
}

void SheetFeatureReader::Finish() {
  FinishView(f_.view);
  if (io_.b8) drawing_.Finish(f_);
  // Drop-downs with no filter database to say where they stand: no filter.
  if (f_.filter.on && !f_.filter.named) f_.filter = AutoFilter{};
  for (PendingNote& n : notes_) {
    Comment c;
    c.row = n.row;
    c.col = n.col;
    c.shown = n.shown;
    c.author = std::move(n.author);
    if (io_.b8) {
      auto it = objText_.find(n.objId);
      if (it != objText_.end()) c.text = it->second;
    } else {
      c.text = std::move(n.text);
    }
    f_.comments.push_back(std::move(c));
  }
  notes_.clear();
}

}  // namespace engine::xls
