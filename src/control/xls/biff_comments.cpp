// Cell comments. The 97-2000 form keeps each as a drawing shape (MSODRAWING with its OBJ and
// the text in TXO) and a NOTE record naming the cell, the author and the shape; the workbook's
// MSODRAWINGGROUP counts the shapes of every sheet. The 5.0/95 form keeps the text in NOTE
// records alone.
#include <algorithm>

#include "control/io/code_page.h"
#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

namespace {

// Drawing records: a header of version/instance, type and length.
void Header(Bytes& b, unsigned ver, unsigned inst, unsigned type, std::size_t len) {
  Put16(b, (ver & 0xF) | (inst << 4));
  Put16(b, type);
  Put32(b, static_cast<std::uint32_t>(len));
}

// A comment's shape records before its text box: the shape, its properties, anchor and data.
constexpr std::size_t kCommentShapeRest = (8 + 8) + (8 + 6 * 9) + (8 + 18) + 8;

// The shape of one comment up to its client data; its text box record follows in a record of
// its own after the OBJ.
Bytes CommentShape(const Comment& c, std::uint32_t spid) {
  Bytes b;
  Header(b, 0xF, 0, 0xF004, kCommentShapeRest + 8);
  Header(b, 2, 202, 0xF00A, 8);  // a text box
  Put32(b, spid);
  Put32(b, 0x0A00);  // has an anchor and a shape type
  Header(b, 3, 9, 0xF00B, 6 * 9);
  auto prop = [&](unsigned id, std::uint32_t v) {
    Put16(b, id);
    Put32(b, v);
  };
  prop(0x0080, 0);           // text id
  prop(0x008B, 2);           // text direction
  prop(0x00BF, 0x00080008);  // fit text to shape
  prop(0x0158, 0);
  prop(0x0181, 0x08000050);  // fill: the comment colour
  prop(0x0183, 0x08000050);
  prop(0x01BF, 0x00100010);
  prop(0x023F, 0x00030003);                         // shadow
  prop(0x03BF, c.shown ? 0x00020000 : 0x00020002);  // hidden unless shown
  Header(b, 0, 0, 0xF010, 18);
  int col = c.col - 1, row = c.row - 1;
  Put16(b, 3);
  Put16(b, static_cast<unsigned>(std::min(col + 1, kMaxCol - 1)));
  Put16(b, 0x00F0);
  Put16(b, static_cast<unsigned>(std::max(row - 1, 0)));
  Put16(b, 0x001E);
  Put16(b, static_cast<unsigned>(std::min(col + 3, kMaxCol - 1)));
  Put16(b, 0x0090);
  Put16(b, static_cast<unsigned>(std::min(row + 3, kMaxRow - 1)));
  Put16(b, 0x0010);
  Header(b, 0, 0, 0xF011, 0);
  return b;
}

Bytes NoteObj(unsigned id) {
  Bytes b;
  Put16(b, 0x15);  // common object data
  Put16(b, 0x12);
  Put16(b, 0x19);  // a comment
  Put16(b, id);
  Put16(b, 0x4011);
  for (int i = 0; i < 12; ++i) Put8(b, 0);
  Put16(b, 0x0D);  // the note's own data
  Put16(b, 0x16);
  for (int i = 0; i < 16; ++i) Put8(b, static_cast<unsigned>((id * 37 + i * 11) & 0xFF));
  Put16(b, 0);
  Put32(b, 0);
  Put32(b, 0);  // end
  return b;
}

}  // namespace

std::vector<const Comment*> WritableComments(const SheetFeatures& f) {
  std::vector<const Comment*> out;
  for (const Comment& c : f.comments)
    if (c.row >= 1 && c.row <= kMaxRow && c.col >= 1 && c.col <= kMaxCol) out.push_back(&c);
  return out;
}

std::size_t CommentArtSize() { return 8 + kCommentShapeRest + 8; }

void WriteComments(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io) {
  std::vector<const Comment*> list = WritableComments(f);
  if (list.empty() || io.b8) return;
  {
    for (const Comment* c : list) {
      std::string text = EncodeCodePage(io.codePage, c->text);
      std::size_t at = 0;
      bool first = true;
      do {
        std::size_t n = std::min<std::size_t>(2048, text.size() - at);
        Bytes b;
        Put16(b, first ? static_cast<unsigned>(c->row - 1) : 0xFFFF);
        Put16(b, first ? static_cast<unsigned>(c->col - 1) : 0);
        Put16(b, first ? static_cast<unsigned>(text.size()) : static_cast<unsigned>(n));
        b.insert(b.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                 text.begin() + static_cast<std::ptrdiff_t>(at + n));
        w.Write(rec::kNote, b);
        at += n;
        first = false;
      } while (at < text.size());
    }
  }
}

void WriteCommentShapes(RecordWriter& w, const std::vector<const Comment*>& list, Bytes& pending,
                        std::uint32_t firstSpid, unsigned firstObjId) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Comment& c = *list[i];
    Bytes d = std::move(pending);
    pending.clear();
    Bytes shape = CommentShape(c, firstSpid + static_cast<std::uint32_t>(i));
    d.insert(d.end(), shape.begin(), shape.end());
    w.Write(rec::kMsoDrawing, d);
    w.Write(rec::kObj, NoteObj(firstObjId + static_cast<unsigned>(i)));
    Bytes box;
    Header(box, 0, 0, 0xF00D, 0);
    w.Write(rec::kMsoDrawing, box);
    // The text: TXO, then its characters and its formatting runs in CONTINUE records.
    std::u16string text = Utf8ToUtf16(c.text);
    if (text.size() > 32767) text.resize(32767);
    Bytes t;
    Put16(t, 0x0212);  // left, top, locked text
    Put16(t, 0);
    for (int k = 0; k < 6; ++k) Put8(t, 0);
    Put16(t, static_cast<unsigned>(text.size()));
    Put16(t, text.empty() ? 0 : 16);
    Put32(t, 0);
    w.Write(rec::kTxo, t);
    if (!text.empty()) {
      bool wide = std::any_of(text.begin(), text.end(), [](char16_t ch) { return ch > 0xFF; });
      std::size_t per = wide ? 4110 : 8220;
      for (std::size_t at = 0; at < text.size(); at += per) {
        Bytes part;
        Put8(part, wide ? 1 : 0);
        for (std::size_t k = at; k < std::min(text.size(), at + per); ++k) {
          if (wide)
            Put16(part, text[k]);
          else
            Put8(part, text[k]);
        }
        w.Write(rec::kContinue, part);
      }
      Bytes runs;
      Put16(runs, 0);
      Put16(runs, 0);
      Put32(runs, 0);
      Put16(runs, static_cast<unsigned>(text.size()));
      Put16(runs, 0);
      Put32(runs, 0);
      w.Write(rec::kContinue, runs);
    }
  }
}

void WriteCommentNotes(RecordWriter& w, const std::vector<const Comment*>& list,
                       unsigned firstObjId) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Comment& c = *list[i];
    Bytes b;
    Put16(b, static_cast<unsigned>(c.row - 1));
    Put16(b, static_cast<unsigned>(c.col - 1));
    Put16(b, c.shown ? 0x02 : 0);
    Put16(b, firstObjId + static_cast<unsigned>(i));
    PutUnicodeString(b, c.author, 255);
    Put8(b, 0);
    w.Write(rec::kNote, b);
  }
}

}  // namespace engine::xls
