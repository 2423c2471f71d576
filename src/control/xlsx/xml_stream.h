#pragma once
// Streaming XML for package parts, over expat: a part is read element by element and never
// held as a tree. Documents with a DOCTYPE (entity tricks) or nesting deeper than any real part
// are refused. Element and attribute names arrive without their namespace prefix.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace engine::xlsx {

class ZipReader;

// Local name of a possibly prefixed XML name ("x:row" -> "row").
std::string_view LocalName(std::string_view name);

class XmlAttrs {
 public:
  explicit XmlAttrs(const char** raw) : raw_(raw) {}
  // The value of the attribute with this local name, or `fallback`.
  std::string_view Get(std::string_view name, std::string_view fallback = {}) const;
  bool Has(std::string_view name) const;
  int Int(std::string_view name, int fallback) const;
  double Number(std::string_view name, double fallback) const;
  bool Bool(std::string_view name, bool fallback) const;  // "1"/"true" and "0"/"false"
  // Calls f(localName, value) for every attribute, in one pass.
  template <typename F>
  void ForEach(F&& f) const {
    for (const char** a = raw_; a && a[0]; a += 2) f(LocalName(a[0]), std::string_view(a[1]));
  }
  static int ToInt(std::string_view text, int fallback);
  // Expat's array: name, value, name, value, ..., nullptr.
  const char** Raw() const { return raw_; }

 private:
  const char** raw_;
};

// Plain functions for the busy inside of one element, a sheet's table of cells above all:
// names arrive as expat gives them (any prefix included, NUL-terminated), attributes as
// expat's array, text as pointer and length, with no virtual call and no string made on the
// way. The parser's depth limit and error handling apply as to any handler; a function may
// throw EngineError to stop.
struct XmlRawEvents {
  void* data = nullptr;
  void (*start)(void* data, const char* name, const char** attrs) = nullptr;
  void (*end)(void* data, const char* name) = nullptr;
  void (*text)(void* data, const char* text, int length) = nullptr;
};

struct XmlParseState;

class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void Start(std::string_view name, const XmlAttrs& attrs) = 0;
  virtual void End(std::string_view /*name*/) {}
  // Character data, possibly in several pieces.
  virtual void Text(std::string_view /*text*/) {}

 protected:
  // Called from Start(): every event inside the element just started goes to `events` until
  // that element ends; its own end comes to End() as usual, and so does all that follows.
  void DivertInside(const XmlRawEvents& events);

 private:
  friend struct XmlParseState;
  XmlParseState* parse_ = nullptr;  // the parse feeding this handler, while it runs
};

// One part fed to expat piece by piece, by a caller that holds the bytes itself. Feed throws
// EngineError naming the part when it is not well-formed (or a handler's own EngineError).
class XmlFeed {
 public:
  XmlFeed(std::string_view part, XmlHandler& handler);
  ~XmlFeed();
  XmlFeed(const XmlFeed&) = delete;
  XmlFeed& operator=(const XmlFeed&) = delete;

  void Feed(const char* data, std::size_t size, bool last);
  // The end of an element that leaves `depth` elements open (0: the root's end) ends the
  // parse: what follows is never read, and StopOffset() says where that end tag starts in all
  // that was fed.
  void StopAtDepth(int depth);
  bool Stopped() const;
  std::size_t StopOffset() const;
  // Text of the part that is left out between what was fed and what comes next: errors name
  // lines of the part, counting these.
  void Skip(std::string_view skipped);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Parses a part of the package into `handler`; throws EngineError naming the part when it is
// not well-formed. A handler may throw EngineError itself to stop.
void ParseXmlPart(const ZipReader& zip, std::string_view part, XmlHandler& handler);
void ParseXmlText(std::string_view document, std::string_view part, XmlHandler& handler);

// The package's escapes of characters XML cannot carry: "_x000D_" stands for U+000D.
bool IsEscapeAt(std::string_view text, std::size_t at);
std::string DecodeEscapes(std::string text);


}  // namespace engine::xlsx
