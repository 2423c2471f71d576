// Autofilter criteria: the record is the column (2 bytes), flags (2: how the conditions join in
// the low two bits, simple equalities, top-N with its count in the high nine bits), two
// conditions of 10 bytes (value type, comparison, the value) and then the texts of the text
// conditions.
#include "control/xlsx/xlsx_autofilter.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "control/io/byte_io.h"
#include "control/xlsx/xml_write.h"

namespace engine::xlsx {

namespace {

using xls::Bytes;

constexpr unsigned kJoinOr = 0x0001, kSimple1 = 0x0004, kSimple2 = 0x0008, kTopN = 0x0010,
                   kTop = 0x0020, kPercent = 0x0040;
constexpr std::uint8_t kNone = 0x00, kNumber = 0x04, kText = 0x06, kBlanks = 0x0C,
                       kNonBlanks = 0x0E;
constexpr std::array<const char*, 6> kOps = {"lessThan",    "equal",    "lessThanOrEqual",
                                             "greaterThan", "notEqual", "greaterThanOrEqual"};

unsigned OpCode(const std::string& op) {
  for (std::size_t i = 0; i < kOps.size(); ++i)
    if (op == kOps[i]) return static_cast<unsigned>(i) + 1;
  return op.empty() ? 2 : 0;  // a custom filter without an operator compares for equality
}

bool NumberOf(const std::string& s, double& out) {
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return !s.empty() && ec == std::errc() && p == s.data() + s.size() && std::isfinite(out);
}

// UTF-8 to code points; false on a malformed sequence.
bool CodePoints(const std::string& s, std::vector<std::uint32_t>& out) {
  for (std::size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (n < 0 || i + static_cast<std::size_t>(n) > s.size() - 1) return false;
    std::uint32_t cp = n == 0 ? c : c & (0x3Fu >> n);
    for (int k = 1; k <= n; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((d >> 6) != 2) return false;
      cp = cp << 6 | (d & 0x3F);
    }
    out.push_back(cp);
    i += static_cast<std::size_t>(n) + 1;
  }
  return true;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

struct Cond {
  std::uint8_t type = kNone, sign = 2;
  double number = 0;
  std::string text;
};

// One condition's 10 bytes; its text, when it has one, goes into `texts`.
bool PutCondition(Bytes& b, const Cond& c, Bytes& texts) {
  xls::Put8(b, c.type);
  xls::Put8(b, c.sign);
  if (c.type == kNumber) {
    xls::PutDouble(b, c.number);
  } else if (c.type == kText) {
    std::vector<std::uint32_t> cps;
    if (!CodePoints(c.text, cps) || cps.empty() || cps.size() > 255) return false;
    bool wide = false;
    for (std::uint32_t cp : cps) wide = wide || cp > 0xFF;
    if (wide)
      for (std::uint32_t cp : cps)
        if (cp > 0xFFFF) return false;
    xls::Put32(b, 0);
    xls::Put8(b, static_cast<unsigned>(cps.size()));
    xls::Put8(b, 0);
    xls::Put16(b, 0);
    xls::Put8(texts, wide ? 1 : 0);
    for (std::uint32_t cp : cps) wide ? xls::Put16(texts, cp) : xls::Put8(texts, cp);
  } else {
    xls::Put32(b, 0);
    xls::Put32(b, 0);
  }
  return true;
}

Cond ConditionOf(const std::string& op, const std::string& value, bool& ok) {
  Cond c;
  unsigned sign = OpCode(op);
  if (!sign) ok = false;
  c.sign = static_cast<std::uint8_t>(sign);
  double d = 0;
  if (NumberOf(value, d)) {
    c.type = kNumber;
    c.number = d;
  } else if (value.empty()) {
    c.type = sign == 5 ? kNonBlanks : kBlanks;
  } else {
    c.type = kText;
    c.text = value;
  }
  return c;
}

}  // namespace

bool FilterToRecord(const FilterColumn& f, RecordBytes& out) {
  if (f.column < 0 || f.column > 255) return false;
  Cond c1, c2;
  unsigned flags = 0;
  bool ok = true;
  if (f.topN) {
    double n = std::round(f.topValue);
    if (!(n >= 1 && n <= 500)) return false;
    flags =
        kTopN | (f.top ? kTop : 0) | (f.percent ? kPercent : 0) | (static_cast<unsigned>(n) << 7);
    c1.type = kNumber;
    c1.sign = f.top ? 6 : 3;
    c1.number = 0;
  } else if (f.isList) {
    std::size_t n = f.values.size() + (f.blank ? 1 : 0);
    if (n == 0 || n > 2) return false;
    std::vector<Cond> conds;
    for (const std::string& v : f.values) {
      conds.push_back(ConditionOf("equal", v, ok));
    }
    if (f.blank) conds.push_back(ConditionOf("equal", "", ok));
    c1 = conds[0];
    if (conds.size() > 1) c2 = conds[1];
    flags = kJoinOr | kSimple1 | (conds.size() > 1 ? kSimple2 : 0);
  } else {
    if (f.conditions.empty() || f.conditions.size() > 2) return false;
    c1 = ConditionOf(f.conditions[0].op, f.conditions[0].value, ok);
    if (f.conditions.size() > 1) c2 = ConditionOf(f.conditions[1].op, f.conditions[1].value, ok);
    flags = f.joinAnd ? 0 : kJoinOr;
  }
  if (!ok) return false;
  Bytes b, texts;
  xls::Put16(b, static_cast<unsigned>(f.column));
  xls::Put16(b, flags);
  if (!PutCondition(b, c1, texts) || !PutCondition(b, c2, texts)) return false;
  b.insert(b.end(), texts.begin(), texts.end());
  out.assign(b.begin(), b.end());
  return true;
}

std::string RecordToFilterXml(const RecordBytes& r) {
  if (r.size() < 24) return {};
  unsigned column = xls::Get16(&r[0]), flags = xls::Get16(&r[2]);
  std::size_t at = 24;
  std::string xml = "<filterColumn colId=\"" + std::to_string(column) + "\">";
  if (flags & kTopN) {
    unsigned n = flags >> 7;
    if (n == 0) return {};
    xml += std::string("<top10") + ((flags & kTop) ? "" : " top=\"0\"") +
           ((flags & kPercent) ? " percent=\"1\"" : "") + " val=\"" + std::to_string(n) + "\"/>";
    return xml + "</filterColumn>";
  }
  struct Read {
    std::uint8_t type, sign;
    std::string value;
  };
  std::vector<Read> conds;
  for (int i = 0; i < 2; ++i) {
    const std::uint8_t* d = &r[4 + 10 * static_cast<std::size_t>(i)];
    Read c{d[0], d[1], {}};
    if (c.type == kNone) continue;
    if (c.sign < 1 || c.sign > 6) return {};
    if (c.type == kNumber) {
      c.value = NumberText(xls::GetDouble(d + 2));
    } else if (c.type == 0x02) {  // an RK number
      std::uint32_t rk = xls::Get32(d + 2);
      double v;
      if (rk & 2) {
        v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
      } else {
        std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, sizeof v);
      }
      if (rk & 1) v /= 100;
      c.value = NumberText(v);
    } else if (c.type == kText) {
      std::size_t n = d[6];
      if (at + 1 > r.size()) return {};
      bool wide = r[at++] & 1;
      if (at + n * (wide ? 2 : 1) > r.size()) return {};
      for (std::size_t k = 0; k < n; ++k) {
        std::uint32_t cp = wide ? xls::Get16(&r[at + 2 * k]) : r[at + k];
        AppendUtf8(c.value, cp);
      }
      at += n * (wide ? 2 : 1);
    } else if (c.type == kBlanks || c.type == kNonBlanks) {
      c.sign = c.type == kBlanks ? 2 : 5;
    } else {
      return {};  // a logical or error value
    }
    conds.push_back(std::move(c));
  }
  if (conds.empty()) return {};
  bool orJoin = flags & kJoinOr;
  bool allEqual = true;
  for (const Read& c : conds) allEqual = allEqual && c.sign == 2;
  if (allEqual && (orJoin || conds.size() == 1)) {
    xml += "<filters";
    bool blank = false;
    std::string values;
    for (const Read& c : conds) {
      if (c.type == kBlanks)
        blank = true;
      else
        values += "<filter val=\"" + Escaped(c.value) + "\"/>";
    }
    xml += (blank ? " blank=\"1\">" : ">") + values + "</filters>";
  } else {
    xml += orJoin ? "<customFilters>" : "<customFilters and=\"1\">";
    for (const Read& c : conds)
      xml += std::string("<customFilter operator=\"") + kOps[c.sign - 1] + "\" val=\"" +
             Escaped(c.value) + "\"/>";
    xml += "</customFilters>";
  }
  return xml + "</filterColumn>";
}

}  // namespace engine::xlsx
