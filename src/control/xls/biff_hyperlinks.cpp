// Hyperlinks: HLINK (a URL, a file or a place in this workbook, with its shown text) and
// HLINKTOOLTIP.
#include <algorithm>
#include <cstring>

#include "control/io/code_page.h"
#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

namespace {

constexpr std::uint8_t kStdLink[16] = {0xD0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                                       0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
constexpr std::uint8_t kUrlMoniker[16] = {0xE0, 0xC9, 0xEA, 0x79, 0xF9, 0xBA, 0xCE, 0x11,
                                          0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B};
constexpr std::uint8_t kFileMoniker[16] = {0x03, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                           0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr unsigned kHasMoniker = 0x01, kAbsolute = 0x02, kSiteGaveName = 0x04, kHasLocation = 0x08,
                   kHasDisplay = 0x10, kHasGuid = 0x20, kHasTime = 0x40, kHasFrame = 0x80,
                   kMonikerAsString = 0x100;

// A length-prefixed (characters, with the terminating zero) UTF-16 string.
std::string LinkString(Cursor& c) {
  std::uint32_t n = c.U32();
  if (n > c.Left() / 2) ThrowDamaged("a hyperlink's text is cut off");
  std::u16string w;
  const std::uint8_t* p = c.Raw(2 * n);
  for (std::uint32_t i = 0; i < n; ++i) w.push_back(static_cast<char16_t>(Get16(p + 2 * i)));
  while (!w.empty() && w.back() == 0) w.pop_back();
  return Utf16ToUtf8(w.data(), w.size());
}

std::string Utf16Bytes(const std::uint8_t* p, std::size_t bytes) {
  std::u16string w;
  for (std::size_t i = 0; i + 1 < bytes; i += 2) {
    char16_t ch = static_cast<char16_t>(Get16(p + i));
    if (ch == 0) break;
    w.push_back(ch);
  }
  return Utf16ToUtf8(w.data(), w.size());
}

void PutLinkString(Bytes& b, const std::string& utf8) {
  std::u16string w = Utf8ToUtf16(utf8);
  Put32(b, static_cast<std::uint32_t>(w.size() + 1));
  for (char16_t ch : w) Put16(b, ch);
  Put16(b, 0);
}

void ReadMoniker(Cursor& c, Hyperlink& l) {
  const std::uint8_t* clsid = c.Raw(16);
  if (std::memcmp(clsid, kUrlMoniker, 16) == 0) {
    std::uint32_t bytes = c.U32();
    if (bytes > c.Left()) ThrowDamaged("a hyperlink's address is cut off");
    l.kind = LinkKind::Url;
    l.target = Utf16Bytes(c.Raw(bytes), bytes);
  } else if (std::memcmp(clsid, kFileMoniker, 16) == 0) {
    unsigned up = c.U16();
    std::uint32_t ansiLen = c.U32();
    if (ansiLen > c.Left()) ThrowDamaged("a hyperlink's file name is cut off");
    const std::uint8_t* ansi = c.Raw(ansiLen);
    std::string path = DecodeCodePage(1252, ansi, ansiLen ? ansiLen - 1 : 0);
    c.Skip(24);
    std::uint32_t extra = c.U32();
    if (extra > 0) {
      std::uint32_t bytes = c.U32();
      c.U16();
      if (bytes > c.Left()) ThrowDamaged("a hyperlink's file name is cut off");
      path = Utf16Bytes(c.Raw(bytes), bytes);
    }
    std::string prefix;
    for (unsigned i = 0; i < up; ++i) prefix += "../";
    l.kind = LinkKind::File;
    l.target = prefix + path;
  } else {
    ThrowDamaged("a hyperlink has an address of an unknown kind");
  }
}

}  // namespace

void ReadHyperlink(Cursor& c, std::vector<Hyperlink>& links) {
  Hyperlink l;
  unsigned r1 = c.U16(), r2 = c.U16(), c1 = c.U16(), c2 = c.U16();
  if (r1 > r2 || c1 > c2 || r2 >= static_cast<unsigned>(kMaxRow) ||
      c2 >= static_cast<unsigned>(kMaxCol))
    ThrowDamaged("a hyperlink is not on a range of the sheet");
  l.range = CellRange{static_cast<int>(r1) + 1, static_cast<int>(c1) + 1, static_cast<int>(r2) + 1,
                      static_cast<int>(c2) + 1};
  c.Skip(16);
  c.U32();
  unsigned flags = c.U32();
  if (flags & kHasDisplay) l.description = LinkString(c);
  if (flags & kHasFrame) LinkString(c);
  if (flags & kHasMoniker) {
    if (flags & kMonikerAsString) {
      l.target = LinkString(c);
      l.kind = LinkKind::Url;
    } else {
      ReadMoniker(c, l);
    }
  } else {
    l.kind = LinkKind::Cell;
  }
  if (flags & kHasLocation) l.location = LinkString(c);
  if (flags & kHasGuid) c.Skip(16);
  if (flags & kHasTime) c.Skip(8);
  links.push_back(std::move(l));
}

void ReadHyperlinkTooltip(Cursor& c, std::vector<Hyperlink>& links) {
  c.Skip(2);  // the record's own id
  unsigned r1 = c.U16(), r2 = c.U16(), c1 = c.U16(), c2 = c.U16();
  std::size_t n = c.Left();
  std::string tip = Utf16Bytes(c.Raw(n), n);
  for (auto it = links.rbegin(); it != links.rend(); ++it)
    if (it->range == CellRange{static_cast<int>(r1) + 1, static_cast<int>(c1) + 1,
                               static_cast<int>(r2) + 1, static_cast<int>(c2) + 1}) {
      it->tooltip = tip;
      return;
    }
}

void WriteHyperlinks(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io) {
  if (!io.b8) return;  // the 5.0/95 form has no hyperlinks
  for (const Hyperlink& l : f.links) {
    if (l.range.row1 < 1) continue;
    Bytes b;
    auto ref = [&](Bytes& out) {
      Put16(out, static_cast<unsigned>(l.range.row1 - 1));
      Put16(out, static_cast<unsigned>(l.range.row2 - 1));
      Put16(out, static_cast<unsigned>(l.range.col1 - 1));
      Put16(out, static_cast<unsigned>(l.range.col2 - 1));
    };
    ref(b);
    b.insert(b.end(), kStdLink, kStdLink + 16);
    Put32(b, 2);
    bool hasTarget = l.kind != LinkKind::Cell && !l.target.empty();
    bool absolute = l.kind == LinkKind::Url || (l.kind == LinkKind::File && !l.target.empty() &&
                                                (l.target[0] == '/' || l.target[0] == '\\' ||
                                                 (l.target.size() > 1 && l.target[1] == ':')));
    unsigned flags = (hasTarget ? kHasMoniker : 0) | (absolute && hasTarget ? kAbsolute : 0) |
                     (l.location.empty() ? 0 : kHasLocation) |
                     (l.description.empty() ? 0 : kHasDisplay | kSiteGaveName);
    Put32(b, flags);
    if (!l.description.empty()) PutLinkString(b, l.description);
    if (hasTarget && l.kind == LinkKind::Url) {
      b.insert(b.end(), kUrlMoniker, kUrlMoniker + 16);
      std::u16string u = Utf8ToUtf16(l.target);
      Put32(b, static_cast<std::uint32_t>(2 * (u.size() + 1)));
      for (char16_t ch : u) Put16(b, ch);
      Put16(b, 0);
    } else if (hasTarget) {
      // The path as it stands, relative parts included; the wide form only when the code
      // page cannot hold it.
      const std::string& path = l.target;
      std::string ansi = EncodeCodePage(1252, path);
      bool wide = ansi.find('?') != std::string::npos && path.find('?') == std::string::npos;
      b.insert(b.end(), kFileMoniker, kFileMoniker + 16);
      Put16(b, 0);
      Put32(b, static_cast<std::uint32_t>(ansi.size() + 1));
      b.insert(b.end(), ansi.begin(), ansi.end());
      Put8(b, 0);
      Put16(b, 0xFFFF);
      Put16(b, 0xDEAD);
      for (int i = 0; i < 20; ++i) Put8(b, 0);
      if (wide) {
        std::u16string u = Utf8ToUtf16(path);
        Put32(b, static_cast<std::uint32_t>(6 + 2 * u.size()));
        Put32(b, static_cast<std::uint32_t>(2 * u.size()));
        Put16(b, 3);
        for (char16_t ch : u) Put16(b, ch);
      } else {
        Put32(b, 0);
      }
    }
    if (!l.location.empty()) PutLinkString(b, l.location);
    w.Write(rec::kHLink, b);
    if (!l.tooltip.empty()) {
      Bytes t;
      Put16(t, rec::kHLinkTooltip);
      ref(t);
      for (char16_t ch : Utf8ToUtf16(l.tooltip)) Put16(t, ch);
      Put16(t, 0);
      w.Write(rec::kHLinkTooltip, t);
    }
  }
}

}  // namespace engine::xls
