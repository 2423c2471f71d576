// The two threads of a sheet read in halves. The second thread never waits for the first, so
// however the first one ends it can stop the second (a flag checked between pieces) and join
// it; the first waits only for bytes, for the cut, and at the join.
#include "control/xlsx/rows_in_halves.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <system_error>
#include <thread>

#include "control/model/mapped_memory.h"
#include "control/xlsx/row_cut.h"
#include "control/xlsx/xml_stream.h"
#include "control/xlsx/zip_package.h"

namespace engine::xlsx {

namespace {

constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();
constexpr std::size_t kStep = std::size_t{256} << 10;   // the first parser takes this at a time
constexpr std::size_t kSlice = std::size_t{1} << 20;    // the second checks for a stop this often
// The first parser's share of what is left when the cut is made: half, as the second thread
// first walks the part up to the cut and the first stores its cells as it goes.
constexpr double kFirstShare = 0.5;

struct Cancelled {};

// What the threads share, under `mutex`. The buffer is written only past `filled` and read
// only before it, so its bytes themselves need no lock.
struct Shared {
  std::mutex mutex;
  std::condition_variable changed;
  MappedBuffer bytes;          // the declared size, inflated into in place
  std::size_t filled = 0;       // inflated so far
  std::string extra;            // what inflates beyond the declared size: then no cut
  bool inflated = false;        // inflating is over, well or not
  std::exception_ptr inflateError;
  std::size_t claimed = 0;      // the first parser has taken [0, claimed)
  std::size_t cap = kNoLimit;   // and takes nothing past this until the cut is decided
  bool decided = false;
  std::size_t cut = kNoLimit;   // once decided: where the first parser stops, if anywhere
  std::atomic<bool> stop{false};
  // Written by the second thread before it ends, read after the join.
  bool laterWhole = false;
  std::size_t dataEnd = 0;      // where sheetData's end tag starts
};

void Publish(Shared& s, const std::function<void()>& change) {
  {
    std::lock_guard lock(s.mutex);
    change();
  }
  s.changed.notify_all();
}

// Only this thread moves `filled` on, so it may read it without the lock.
void Inflate(const ZipReader& zip, std::string_view part, Shared& s) {
  char* const bytes = s.bytes.chars();
  zip.StreamInto(
      part,
      [&] {
        const std::size_t at = s.filled;
        return s.extra.empty() ? std::span<char>(bytes + at, s.bytes.size() - at)
                               : std::span<char>();
      },
      [&](const char* d, std::size_t n) {
        if (s.stop.load(std::memory_order_relaxed)) throw Cancelled{};
        if (d == bytes + s.filled) return Publish(s, [&] { s.filled += n; });
        std::lock_guard lock(s.mutex);  // beyond the declared size: kept aside, and no cut
        s.extra.append(d, n);
      });
}

// Parses the rows from the cut to sheetData's end; false when they do not read whole.
bool ParseLater(std::string_view part, std::string_view text, const RowCut& cut, Shared& s,
                XmlHandler& handler) {
  try {
    XmlFeed feed(part, handler);
    feed.StopAtDepth(1);  // sheetData's end
    feed.Feed(cut.opening.data(), cut.opening.size(), false);
    for (std::size_t at = cut.at; at < text.size() && !feed.Stopped();) {
      if (s.stop.load(std::memory_order_relaxed)) return false;
      std::size_t n = std::min(kSlice, text.size() - at);
      feed.Feed(text.data() + at, n, at + n == text.size());
      at += n;
    }
    if (!feed.Stopped() || feed.StopOffset() < cut.opening.size()) return false;
    s.dataEnd = cut.at + (feed.StopOffset() - cut.opening.size());
    return true;
  } catch (...) {
    return false;  // the first parser reads these rows itself and says what is wrong
  }
}

void SecondThread(const ZipReader& zip, std::string_view part, Shared& s, XmlHandler& later,
                  double cutAt) {
  try {
    Inflate(zip, part, s);
  } catch (const Cancelled&) {
    return Publish(s, [&] { s.inflated = s.decided = true; });
  } catch (...) {
    return Publish(s, [&] {
      s.inflated = s.decided = true;
      s.inflateError = std::current_exception();
    });
  }
  std::size_t target = 0;
  bool cutting = false;
  Publish(s, [&] {
    s.inflated = true;
    cutting = s.extra.empty() && !s.stop.load();
    if (!cutting) {
      s.decided = true;
      return;
    }
    target = cutAt >= 0 ? std::min(s.cap, s.filled)
                        : s.claimed + static_cast<std::size_t>(
                                          static_cast<double>(s.filled - s.claimed) * kFirstShare);
    s.cap = target = std::max(target, s.claimed);
  });
  if (!cutting) return;
  // Nothing writes the buffer any more.
  std::string_view text(s.bytes.chars(), s.filled);
  std::optional<RowCut> cut = FindRowCut(text, target);
  Publish(s, [&] {
    s.decided = true;
    if (cut) s.cut = cut->at;
    s.cap = cut ? cut->at : kNoLimit;
  });
  if (cut) s.laterWhole = ParseLater(part, text, *cut, s, later);
}

}  // namespace

HalvesOutcome ParseRowsInHalves(const ZipReader& zip, std::string_view part, XmlHandler& first,
                                LaterRows& later, const HalvesOptions& options) {
  const std::size_t declared = zip.DeclaredSize(part);
  Shared s;
  if (declared >= options.from && declared <= options.upTo && declared > 0) {
    try {
      s.bytes = MappedBuffer(declared);
      s.bytes.SetSize(declared);
    } catch (const std::bad_alloc&) {
      // no room for the whole part: one parser streams it
    }
  }
  if (s.bytes.empty()) {
    ParseXmlPart(zip, part, first);
    return HalvesOutcome::OneParser;
  }
  if (options.cutAt >= 0)
    s.cap = static_cast<std::size_t>(std::min(options.cutAt, 1.0) * static_cast<double>(declared));
  std::thread second;
  try {
    second = std::thread(SecondThread, std::cref(zip), part, std::ref(s),
                         std::ref(later.handler), options.cutAt);
  } catch (const std::system_error&) {
    ParseXmlPart(zip, part, first);  // no thread to be had
    return HalvesOutcome::OneParser;
  }
  struct Join {  // however the first parser ends, the second thread is joined
    std::thread& thread;
    void operator()() {
      if (thread.joinable()) thread.join();
    }
  } join{second};
  struct Stop {  // and if the first parser fails, stopped first
    Shared& s;
    Join& join;
    ~Stop() {
      s.stop = true;
      join();
    }
  } stop{s, join};

  XmlFeed feed(part, first);
  std::size_t fed = 0, cut = kNoLimit;
  std::exception_ptr inflateError;
  for (;;) {
    std::unique_lock lock(s.mutex);
    s.changed.wait(lock, [&] { return std::min(s.filled, s.cap) > fed || (s.inflated && s.decided); });
    std::size_t limit = std::min(s.filled, s.cap);
    if (limit <= fed) {  // all taken that there is to take
      cut = s.cut;
      inflateError = s.inflateError;
      break;
    }
    std::size_t take = std::min(limit, fed + kStep);
    s.claimed = take;
    lock.unlock();
    feed.Feed(s.bytes.chars() + fed, take - fed, false);
    fed = take;
  }
  if (inflateError) std::rethrow_exception(inflateError);  // after all that inflated before it
  if (cut == kNoLimit) {
    join();
    feed.Feed(s.extra.data(), s.extra.size(), true);
    return HalvesOutcome::OneParser;
  }
  join();
  const char* bytes = s.bytes.chars();
  if (s.laterWhole) {
    later.merge();
    feed.Skip(std::string_view(bytes + cut, s.dataEnd - cut));
    feed.Feed(bytes + s.dataEnd, s.filled - s.dataEnd, true);
    return HalvesOutcome::Halves;
  }
  later.discard();
  feed.Feed(bytes + cut, s.filled - cut, true);
  return HalvesOutcome::LaterRedone;
}

}  // namespace engine::xlsx
