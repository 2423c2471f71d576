// Zip packages over libzip, read from and written to memory buffers.
#include "control/xlsx/zip_package.h"

#include <zip.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>

#include "control/engine_error.h"

namespace engine::xlsx {

namespace {

// No part of a workbook we can hold needs more; a package that inflates past these is a bomb.
constexpr std::size_t kMaxEntryBytes = std::size_t{1} << 30;
constexpr std::size_t kMaxTotalBytes = std::size_t{3} << 30;
// Above this size an entry must not inflate more than kMaxRatio times its stored size.
constexpr std::size_t kRatioCheckFrom = std::size_t{16} << 20;
constexpr std::size_t kMaxRatio = 400;
// Entries are inflated in chunks of this size; entries declared larger than kAheadFrom inflate
// on a thread of their own while the caller parses.
constexpr std::size_t kChunkBytes = std::size_t{256} << 10;
constexpr std::size_t kAheadFrom = std::size_t{4} << 20;

[[noreturn]] void Fail(const std::string& why) {
  throw EngineError(kErrFile, "The .xlsx package is damaged: " + why + ".");
}

}  // namespace

ZipReader::ZipReader(const std::uint8_t* data, std::size_t size) : packageSize_(size) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(data, size, 0, &error);
  if (!source) {
    zip_error_fini(&error);
    Fail("it cannot be read");
  }
  zip_ = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
  if (!zip_) {
    zip_source_free(source);
    std::string why = zip_error_strerror(&error);
    zip_error_fini(&error);
    Fail("not a zip archive (" + why + ")");
  }
  zip_error_fini(&error);
}

ZipReader::~ZipReader() {
  if (zip_) zip_discard(zip_);
}

long long ZipReader::Index(std::string_view name) const {
  std::string n(name);
  std::lock_guard lock(mutex_);
  return zip_name_locate(zip_, n.c_str(), 0);
}

bool ZipReader::Has(std::string_view name) const { return Index(name) >= 0; }

std::vector<std::string> ZipReader::Names() const {
  std::vector<std::string> names;
  std::lock_guard lock(mutex_);
  zip_int64_t count = zip_get_num_entries(zip_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* n = zip_get_name(zip_, static_cast<zip_uint64_t>(i), 0);
    if (n) names.emplace_back(n);
  }
  return names;
}

void ZipReader::Inflate(long long index, std::size_t limit,
                        const std::function<void(const char*, std::size_t)>& sink,
                        const std::function<std::span<char>()>& room) const {
  struct Entry {  // closed under the lock, however the loop ends (declared before the lock)
    zip_file_t* file = nullptr;
    std::mutex& mutex;
    ~Entry() {
      std::lock_guard guard(mutex);
      if (file) zip_fclose(file);
    }
  } entry{nullptr, mutex_};
  std::unique_lock lock(mutex_);
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &st) != 0) Fail("an entry is unreadable");
  std::size_t stored = (st.valid & ZIP_STAT_COMP_SIZE) ? static_cast<std::size_t>(st.comp_size) : packageSize_;
  // The declared size only chooses the buffer; what counts is what inflates.
  std::size_t chunk =
      (st.valid & ZIP_STAT_SIZE) ? static_cast<std::size_t>(st.size) + 1 : kChunkBytes;
  chunk = std::clamp(chunk, std::size_t{4096}, kChunkBytes);
  entry.file = zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0);
  if (!entry.file) Fail("an entry cannot be opened (encrypted or unknown compression)");
  lock.unlock();
  std::vector<char> buffer(chunk);
  std::size_t total = 0;
  for (;;) {
    std::span<char> to = room ? room() : std::span<char>();
    if (to.empty()) to = buffer;
    to = to.first(std::min(to.size(), buffer.size()));
    lock.lock();
    zip_int64_t got = zip_fread(entry.file, to.data(), to.size());
    if (got < 0) Fail("an entry does not inflate");
    if (got == 0) break;
    total += static_cast<std::size_t>(got);
    inflatedTotal_ += static_cast<std::size_t>(got);
    if (total > limit || total > kMaxEntryBytes || inflatedTotal_ > kMaxTotalBytes)
      Fail("an entry inflates beyond any workbook's size");
    if (total > kRatioCheckFrom && total / (stored ? stored : 1) > kMaxRatio)
      Fail("an entry inflates far beyond its stored size");
    lock.unlock();
    sink(to.data(), static_cast<std::size_t>(got));
  }
}

std::size_t ZipReader::DeclaredSize(std::string_view name) const {
  long long index = Index(name);
  if (index < 0) return 0;
  std::lock_guard lock(mutex_);
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
    return 0;
  return static_cast<std::size_t>(std::min<zip_uint64_t>(st.size, SIZE_MAX));
}

std::string ZipReader::Read(std::string_view name, std::size_t limit) const {
  long long index = Index(name);
  if (index < 0) Fail("the part " + std::string(name) + " is missing");
  std::string out;
  Inflate(index, limit, [&](const char* d, std::size_t n) { out.append(d, n); });
  return out;
}

void ZipReader::Stream(std::string_view name,
                       const std::function<void(const char*, std::size_t)>& sink) const {
  long long index = Index(name);
  if (index < 0) Fail("the part " + std::string(name) + " is missing");
  Inflate(index, kMaxEntryBytes, sink);
}

void ZipReader::StreamInto(std::string_view name, const std::function<std::span<char>()>& room,
                           const std::function<void(const char*, std::size_t)>& sink) const {
  long long index = Index(name);
  if (index < 0) Fail("the part " + std::string(name) + " is missing");
  Inflate(index, kMaxEntryBytes, sink, room);
}

namespace {

// Inflated chunks handed from the inflating thread to the parsing one. Bounded, so the
// inflater runs at most a few chunks ahead and memory stays small whatever the entry's size.
class ChunkQueue {
 public:
  struct Cancelled {};  // unwinds the inflater when the reader has stopped

  void Push(const char* data, std::size_t size) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return cancelled_ || ready_.size() < kMaxAhead; });
    if (cancelled_) throw Cancelled{};
    std::string chunk;
    if (!spare_.empty()) {
      chunk = std::move(spare_.back());
      spare_.pop_back();
    }
    chunk.assign(data, size);
    ready_.push_back(std::move(chunk));
    changed_.notify_all();
  }
  void Finish(std::exception_ptr error) {
    std::lock_guard lock(mutex_);
    finished_ = true;
    error_ = error;
    changed_.notify_all();
  }
  void Cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
  }
  // The next chunk into `chunk` (whose buffer goes back for reuse); false at the end of the
  // entry. Throws the inflater's error once the chunks before it are consumed.
  bool Pop(std::string& chunk) {
    std::unique_lock lock(mutex_);
    if (chunk.capacity()) spare_.push_back(std::move(chunk));
    changed_.wait(lock, [&] { return !ready_.empty() || finished_; });
    if (ready_.empty()) {
      if (error_) std::rethrow_exception(error_);
      return false;
    }
    chunk = std::move(ready_.front());
    ready_.pop_front();
    changed_.notify_all();
    return true;
  }

 private:
  static constexpr std::size_t kMaxAhead = 4;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> ready_;
  std::vector<std::string> spare_;
  bool finished_ = false, cancelled_ = false;
  std::exception_ptr error_;
};

}  // namespace

void ZipReader::StreamAhead(std::string_view name,
                            const std::function<void(const char*, std::size_t)>& sink) const {
  long long index = Index(name);
  if (index < 0) Fail("the part " + std::string(name) + " is missing");
  if (DeclaredSize(name) < kAheadFrom) return Inflate(index, kMaxEntryBytes, sink);  // not worth a thread

  ChunkQueue queue;
  std::thread inflater;
  try {
    inflater = std::thread([&] {
      try {
        Inflate(index, kMaxEntryBytes, [&](const char* d, std::size_t n) { queue.Push(d, n); });
        queue.Finish(nullptr);
      } catch (...) {
        queue.Finish(std::current_exception());
      }
    });
  } catch (const std::system_error&) {
    return Inflate(index, kMaxEntryBytes, sink);  // no thread to be had: inflate in turn
  }
  struct Join {  // however the parse ends, the inflater stops and is joined
    ChunkQueue& queue;
    std::thread& thread;
    ~Join() {
      queue.Cancel();
      thread.join();
    }
  } join{queue, inflater};
  std::string chunk;
  while (queue.Pop(chunk)) sink(chunk.data(), chunk.size());
}

void ZipWriter::Add(std::string name, std::string data) {
  entries_.emplace_back(std::move(name), std::move(data));
}

Bytes ZipWriter::Finish() {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
  if (!target) Fail("no memory for the package");
  zip_source_keep(target);
  std::unique_ptr<zip_source_t, void (*)(zip_source_t*)> hold(target, zip_source_free);
  zip_t* zip = zip_open_from_source(target, ZIP_TRUNCATE, &error);
  zip_error_fini(&error);
  if (!zip) throw EngineError(kErrFile, "The .xlsx package could not be built.");
  for (const auto& [name, data] : entries_) {
    zip_source_t* s = zip_source_buffer(zip, data.data(), data.size(), 0);
    zip_int64_t i = s ? zip_file_add(zip, name.c_str(), s, ZIP_FL_ENC_UTF_8) : -1;
    if (i < 0) {
      if (s) zip_source_free(s);
      zip_discard(zip);
      throw EngineError(kErrFile, "The .xlsx package could not be built.");
    }
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(i), ZIP_CM_DEFLATE, 6);
    zip_file_set_mtime(zip, static_cast<zip_uint64_t>(i), 315532800 + 86400, 0);  // fixed: 1980-01-02
  }
  if (zip_close(zip) != 0) {
    zip_discard(zip);
    throw EngineError(kErrFile, "The .xlsx package could not be built.");
  }
  Bytes out;
  if (zip_source_open(target) != 0) throw EngineError(kErrFile, "The .xlsx package could not be built.");
  zip_source_seek(target, 0, SEEK_END);
  zip_int64_t size = zip_source_tell(target);
  zip_source_seek(target, 0, SEEK_SET);
  if (size > 0) {
    out.resize(static_cast<std::size_t>(size));
    zip_int64_t got = zip_source_read(target, out.data(), static_cast<zip_uint64_t>(size));
    if (got != size) out.clear();
  }
  zip_source_close(target);
  if (out.empty()) throw EngineError(kErrFile, "The .xlsx package could not be built.");
  entries_.clear();
  return out;
}

std::string ResolvePartName(std::string_view baseFolder, std::string_view target) {
  std::string path = !target.empty() && target[0] == '/' ? std::string(target.substr(1))
                                                          : std::string(baseFolder) + std::string(target);
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    std::string part = path.substr(start, slash - start);
    if (part == "..") {
      if (parts.empty()) return {};
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = slash + 1;
  }
  std::string out;
  for (const auto& p : parts) out += (out.empty() ? "" : "/") + p;
  return out;
}

}  // namespace engine::xlsx
