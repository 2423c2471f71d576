// Expat driven chunk by chunk from the zip reader.
#include "control/xlsx/xml_stream.h"

#include <expat.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <system_error>
#include <exception>
#include <memory>
#include <vector>

#include "control/engine_error.h"
#include "control/xlsx/zip_package.h"

namespace engine::xlsx {

namespace {
constexpr int kMaxDepth = 256;
}  // namespace

struct XmlParseState {
  XmlHandler* handler;
  XML_Parser parser;
  int depth = 0;
  std::string failure;            // our own reason to stop
  std::exception_ptr thrown;      // a handler's exception, rethrown after expat returns
  XmlRawEvents raw;               // where the inside of a diverted element goes
  int divertedAt = 0;             // depth of that element; 0 when none
  bool inStart = false;           // in the handler's Start, the one place a diversion begins
  int stopDepth = -1;             // an end tag leaving this depth ends the parse
  bool stopped = false;
  long long stopOffset = 0;       // where that end tag starts

  static void Attach(XmlHandler& handler, XmlParseState* state) { handler.parse_ = state; }
  static XmlParseState* Of(XmlHandler& handler) { return handler.parse_; }
};

namespace {

using ParseState = XmlParseState;

void Stop(ParseState& s, std::string why) {
  if (s.failure.empty()) s.failure = std::move(why);
  XML_StopParser(s.parser, XML_FALSE);
}

void Caught(ParseState& s) {
  s.thrown = std::current_exception();
  XML_StopParser(s.parser, XML_FALSE);
}

void XMLCALL OnRawStart(void* data, const XML_Char* name, const XML_Char** attrs);
void XMLCALL OnRawEnd(void* data, const XML_Char* name);
void XMLCALL OnRawText(void* data, const XML_Char* text, int len);

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attrs) {
  auto& s = *static_cast<ParseState*>(data);
  if (s.thrown || !s.failure.empty()) return;
  if (++s.depth > kMaxDepth) return Stop(s, "elements nest too deeply");
  s.inStart = true;
  try {
    s.handler->Start(LocalName(name), XmlAttrs(attrs));
  } catch (...) {
    s.inStart = false;
    return Caught(s);
  }
  s.inStart = false;
  if (s.divertedAt == s.depth) {  // the handler asked for the raw events from here on
    XML_SetElementHandler(s.parser, OnRawStart, OnRawEnd);
    XML_SetCharacterDataHandler(s.parser, s.raw.text ? OnRawText : nullptr);
  }
}

void XMLCALL OnEnd(void* data, const XML_Char* name) {
  auto& s = *static_cast<ParseState*>(data);
  if (s.thrown || !s.failure.empty()) return;
  --s.depth;
  try {
    s.handler->End(LocalName(name));
  } catch (...) {
    return Caught(s);
  }
  if (s.depth == s.stopDepth) {
    s.stopped = true;
    s.stopOffset = XML_GetCurrentByteIndex(s.parser);
    XML_StopParser(s.parser, XML_FALSE);
  }
}

void XMLCALL OnText(void* data, const XML_Char* text, int len) {
  auto& s = *static_cast<ParseState*>(data);
  if (s.thrown || !s.failure.empty()) return;
  try {
    s.handler->Text(std::string_view(text, static_cast<std::size_t>(len)));
  } catch (...) {
    Caught(s);
  }
}

void XMLCALL OnRawStart(void* data, const XML_Char* name, const XML_Char** attrs) {
  auto& s = *static_cast<ParseState*>(data);
  if (s.thrown || !s.failure.empty()) return;
  if (++s.depth > kMaxDepth) return Stop(s, "elements nest too deeply");
  if (!s.raw.start) return;
  try {
    s.raw.start(s.raw.data, name, attrs);
  } catch (...) {
    Caught(s);
  }
}

void XMLCALL OnRawEnd(void* data, const XML_Char* name) {
  auto& s = *static_cast<ParseState*>(data);
  if (s.thrown || !s.failure.empty()) return;
  if (s.depth == s.divertedAt) {  // the diverted element itself ends: back to the handler
    s.divertedAt = 0;
    s.raw = {};
    XML_SetElementHandler(s.parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(s.parser, OnText);
    return OnEnd(data, name);
  }
  --s.depth;
  if (!s.raw.end) return;
  try {
    s.raw.end(s.raw.data, name);
  } catch (...) {
    Caught(s);
  }
}

void XMLCALL OnRawText(void* data, const XML_Char* text, int len) {
  auto& s = *static_cast<ParseState*>(data);
  if (s.thrown || !s.failure.empty()) return;
  try {
    s.raw.text(s.raw.data, text, len);
  } catch (...) {
    Caught(s);
  }
}

void XMLCALL OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  Stop(*static_cast<ParseState*>(data), "it declares a document type, which no part may");
}

}  // namespace

struct XmlFeed::Impl {
  Impl(std::string_view part, XmlHandler& handler) : part(part) {
    parser = XML_ParserCreate("UTF-8");
    if (!parser) throw EngineError(kErrFile, "Not enough memory to read the .xlsx package.");
    state.handler = &handler;
    state.parser = parser;
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    XML_SetStartDoctypeDeclHandler(parser, OnDoctype);
    XmlParseState::Attach(handler, &state);
  }
  ~Impl() {
    XmlParseState::Attach(*state.handler, nullptr);
    XML_ParserFree(parser);
  }

  [[noreturn]] void Raise() {
    if (state.thrown) std::rethrow_exception(state.thrown);
    std::string why = state.failure;
    if (why.empty()) {
      unsigned long line = XML_GetCurrentLineNumber(parser);
      for (std::string_view s : skipped)
        line += static_cast<unsigned long>(std::count(s.begin(), s.end(), '\n'));
      why = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " + std::to_string(line);
    }
    throw EngineError(kErrFile,
                      "The .xlsx package is damaged: its part " + part + " is not valid XML (" +
                          why + ").");
  }

  std::string part;
  XML_Parser parser;
  ParseState state;
  bool done = false;
  std::vector<std::string_view> skipped;  // counted for an error's line only
};

namespace {
int HexDigit(char c) {
  return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}
}  // namespace

bool IsEscapeAt(std::string_view text, std::size_t at) {
  if (at + 7 > text.size() || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_') return false;
  for (std::size_t k = at + 2; k < at + 6; ++k)
    if (HexDigit(text[k]) < 0) return false;
  return true;
}

std::string DecodeEscapes(std::string text) {
  if (text.find("_x") == std::string::npos) return text;
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (!IsEscapeAt(text, i)) {
      out += text[i++];
      continue;
    }
    unsigned cp = 0;
    for (std::size_t k = i + 2; k < i + 6; ++k) cp = cp << 4 | static_cast<unsigned>(HexDigit(text[k]));
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    i += 7;
  }
  return out;
}

std::string_view LocalName(std::string_view name) {
  std::size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view XmlAttrs::Get(std::string_view name, std::string_view fallback) const {
  for (const char** a = raw_; a && a[0]; a += 2)
    if (LocalName(a[0]) == name) return a[1];
  return fallback;
}

bool XmlAttrs::Has(std::string_view name) const {
  for (const char** a = raw_; a && a[0]; a += 2)
    if (LocalName(a[0]) == name) return true;
  return false;
}

int XmlAttrs::Int(std::string_view name, int fallback) const { return ToInt(Get(name), fallback); }

int XmlAttrs::ToInt(std::string_view v, int fallback) {
  int out = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
  return ec == std::errc() && p == v.data() + v.size() && !v.empty() ? out : fallback;
}

double XmlAttrs::Number(std::string_view name, double fallback) const {
  std::string_view v = Get(name);
  double out = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
  return ec == std::errc() && p == v.data() + v.size() && !v.empty() ? out : fallback;
}

bool XmlAttrs::Bool(std::string_view name, bool fallback) const {
  std::string_view v = Get(name);
  if (v == "1" || v == "true") return true;
  if (v == "0" || v == "false") return false;
  return fallback;
}

void XmlHandler::DivertInside(const XmlRawEvents& events) {
  XmlParseState* s = XmlParseState::Of(*this);
  if (!s || !s->inStart || s->divertedAt) return;  // only from Start, and only once at a time
  s->raw = events;
  s->divertedAt = s->depth;
}

XmlFeed::XmlFeed(std::string_view part, XmlHandler& handler)
    : impl_(std::make_unique<Impl>(part, handler)) {}

XmlFeed::~XmlFeed() = default;

void XmlFeed::Feed(const char* data, std::size_t size, bool last) {
  Impl& f = *impl_;
  if (f.done) return;
  while (size > 0 || last) {
    int chunk = static_cast<int>(size > (1u << 30) ? (1u << 30) : size);
    bool final = last && static_cast<std::size_t>(chunk) == size;
    if (XML_Parse(f.parser, data, chunk, final ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
      f.done = true;
      if (f.state.stopped && !f.state.thrown && f.state.failure.empty()) return;
      f.Raise();
    }
    data += chunk;
    size -= static_cast<std::size_t>(chunk);
    if (final) break;
  }
}

void XmlFeed::StopAtDepth(int depth) { impl_->state.stopDepth = depth; }
bool XmlFeed::Stopped() const { return impl_->state.stopped; }
std::size_t XmlFeed::StopOffset() const { return static_cast<std::size_t>(impl_->state.stopOffset); }
void XmlFeed::Skip(std::string_view skipped) { impl_->skipped.push_back(skipped); }

void ParseXmlPart(const ZipReader& zip, std::string_view part, XmlHandler& handler) {
  XmlFeed parser(part, handler);
  zip.StreamAhead(part, [&](const char* d, std::size_t n) { parser.Feed(d, n, false); });
  parser.Feed("", 0, true);
}

void ParseXmlText(std::string_view document, std::string_view part, XmlHandler& handler) {
  XmlFeed parser(part, handler);
  parser.Feed(document.data(), document.size(), true);
}

}  // namespace engine::xlsx
