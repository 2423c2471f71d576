#pragma once
// Zip packages (the container of .xlsx workbooks) read from and written to memory. Reading is
// guarded against hostile packages: entry sizes are counted as they are inflated, never taken
// from the headers on trust, and a package that inflates beyond its limits is refused.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "control/io/byte_io.h"

typedef struct zip zip_t;

namespace engine::xlsx {

using Bytes = engine::xls::Bytes;

class ZipReader {
 public:
  // Throws EngineError when the bytes are not a zip package we read. The bytes must outlive
  // the reader.
  ZipReader(const std::uint8_t* data, std::size_t size);
  ~ZipReader();
  ZipReader(const ZipReader&) = delete;
  ZipReader& operator=(const ZipReader&) = delete;

  bool Has(std::string_view name) const;
  std::vector<std::string> Names() const;
  // The size an entry's header declares: a guess to size buffers by, never a limit. 0 when
  // the entry is missing or says nothing.
  std::size_t DeclaredSize(std::string_view name) const;
  // The whole entry; refused when it inflates to more than `limit` bytes.
  std::string Read(std::string_view name, std::size_t limit) const;
  // Inflates an entry chunk by chunk into `sink`, so a large sheet is never held whole.
  void Stream(std::string_view name,
              const std::function<void(const char* data, std::size_t size)>& sink) const;
  // As Stream, but a large entry inflates on a second thread a few chunks ahead of `sink`,
  // which runs on the calling thread: parsing and inflating overlap. The limits are counted
  // exactly as by Stream; an error of either side stops both and is thrown here.
  void StreamAhead(std::string_view name,
                   const std::function<void(const char* data, std::size_t size)>& sink) const;
  // As Stream, but each piece inflates straight into memory the caller lends, which saves
  // copying a part that is held whole: `room()` says where the next piece may go (an empty
  // span: into the reader's own buffer), then `sink` is told where it went and how long it is.
  void StreamInto(std::string_view name, const std::function<std::span<char>()>& room,
                  const std::function<void(const char* data, std::size_t size)>& sink) const;

 private:
  long long Index(std::string_view name) const;
  void Inflate(long long index, std::size_t limit,
               const std::function<void(const char*, std::size_t)>& sink,
               const std::function<std::span<char>()>& room = {}) const;

  zip_t* zip_ = nullptr;
  std::size_t packageSize_;
  mutable std::size_t inflatedTotal_ = 0;
  // libzip's archive is not safe to use from two threads: every call into it (and the count
  // above) holds this lock, so a part may be read while another streams ahead.
  mutable std::mutex mutex_;
};

// Builds a package in memory; entries are deflated in the order added.
class ZipWriter {
 public:
  void Add(std::string name, std::string data);
  Bytes Finish();  // throws EngineError when the package cannot be built

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

// Resolves a relationship target against the folder of the part that refers to it ("xl/"
// for "xl/workbook.xml"); an absolute target starts at the package root. Returns an empty
// string for a target that climbs out of the package.
std::string ResolvePartName(std::string_view baseFolder, std::string_view target);

}  // namespace engine::xlsx
