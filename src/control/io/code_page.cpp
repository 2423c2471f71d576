#include "control/io/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <vector>

namespace engine::xls {

std::string CodePageName(unsigned cp) {
  switch (cp) {
    case 367: return "ASCII";
    case 1200: return "UTF-16LE";
    case 10000:
    case 32768: return "MACINTOSH";
    case 32769: return "CP1252";
    case 65001: return "UTF-8";
    default: break;
  }
  if (cp == 437 || cp == 720 || cp == 737 || cp == 775 || cp == 850 || cp == 852 || cp == 855 ||
      cp == 857 || cp == 858 || cp == 860 || cp == 861 || cp == 862 || cp == 863 || cp == 864 ||
      cp == 865 || cp == 866 || cp == 869 || cp == 874 || cp == 932 || cp == 936 || cp == 949 ||
      cp == 950 || (cp >= 1250 && cp <= 1258))
    return "CP" + std::to_string(cp);
  return {};
}

namespace {

// One conversion at a time: iconv descriptors are cheap to open, so we open per call.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // Converts as much as it can; returns false at an invalid or unconvertible sequence, with
  // `in`/`left` pointing at it.
  bool Run(char*& in, std::size_t& left, std::string& out) {
    char buf[1024];
    while (left > 0) {
      char* o = buf;
      std::size_t room = sizeof buf;
      std::size_t r = iconv(cd_, &in, &left, &o, &room);
      out.append(buf, static_cast<std::size_t>(o - buf));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }
  void Reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

bool AllAscii(const std::uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (p[i] >= 0x80) return false;
  return true;
}

std::size_t Utf8SeqLength(std::string_view s, std::size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
  return std::min(n, s.size() - i);
}

}  // namespace

std::string DecodeCodePage(unsigned codePage, const std::uint8_t* data, std::size_t size) {
  if (AllAscii(data, size)) return std::string(reinterpret_cast<const char*>(data), size);
  std::string name = CodePageName(codePage);
  if (name.empty() || name == "UTF-16LE") name = "CP1252";
  Iconv cv("UTF-8", name.c_str());
  std::string out;
  if (!cv.ok()) {
    for (std::size_t i = 0; i < size; ++i) out.push_back(data[i] < 0x80 ? static_cast<char>(data[i]) : '?');
    return out;
  }
  std::vector<char> copy(data, data + size);
  char* in = copy.data();
  std::size_t left = size;
  while (!cv.Run(in, left, out)) {
    out.push_back('?');
    ++in;
    --left;
    cv.Reset();
  }
  return out;
}

std::string EncodeCodePage(unsigned codePage, std::string_view utf8) {
  bool ascii = true;
  for (char c : utf8)
    if (static_cast<unsigned char>(c) >= 0x80) ascii = false;
  if (ascii) return std::string(utf8);
  std::string name = CodePageName(codePage);
  if (name.empty()) name = "CP1252";
  Iconv cv(name.c_str(), "UTF-8");
  std::string out;
  if (!cv.ok()) {
    for (std::size_t i = 0; i < utf8.size(); i += Utf8SeqLength(utf8, i))
      out.push_back(static_cast<unsigned char>(utf8[i]) < 0x80 ? utf8[i] : '?');
    return out;
  }
  std::string copy(utf8);
  char* in = copy.data();
  std::size_t left = copy.size();
  while (!cv.Run(in, left, out)) {
    std::size_t skip = Utf8SeqLength(std::string_view(in, left), 0);
    out.push_back('?');
    in += skip;
    left -= skip;
    cv.Reset();
  }
  return out;
}

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t n;
    char32_t cp;
    if ((c >> 5) == 6) n = 2, cp = c & 0x1F;
    else if ((c >> 4) == 14) n = 3, cp = c & 0x0F;
    else if ((c >> 3) == 30) n = 4, cp = c & 0x07;
    else return false;
    if (i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d >> 6) != 2) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if ((n == 2 && cp < 0x80) || (n == 3 && cp < 0x800) || (n == 4 && cp < 0x10000) ||
        cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += n;
  }
  return true;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string Utf16ToUtf8(const char16_t* d, std::size_t n) {
  std::string out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    char32_t c = d[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && d[i + 1] >= 0xDC00 && d[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (d[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // a lone surrogate
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    std::size_t n = Utf8SeqLength(s, i);
    if (!IsValidUtf8(s.substr(i, n)) || n == 1) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    char32_t cp = n == 2 ? c & 0x1F : n == 3 ? c & 0x0F : c & 0x07;
    for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += n;
  }
  return out;
}

}  // namespace engine::xls
