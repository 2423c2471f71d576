#pragma once
// A large, long-lived byte buffer taken straight from the system, asking for huge pages: on a
// machine that gives them only on request, a buffer of tens of megabytes then faults in a few
// dozen times instead of thousands. Where they are not to be had the buffer is plain memory.

#include <cstddef>

namespace engine::io {

class LargeBuffer {
 public:
  LargeBuffer() = default;
  // `size` bytes, zero-filled as the system gives them; Data() is null when there is no such
  // memory to be had (the caller's fallback then decides).
  explicit LargeBuffer(std::size_t size);
  ~LargeBuffer();
  LargeBuffer(LargeBuffer&& other) noexcept;
  LargeBuffer& operator=(LargeBuffer&& other) noexcept;
  LargeBuffer(const LargeBuffer&) = delete;
  LargeBuffer& operator=(const LargeBuffer&) = delete;

  char* Data() const { return data_; }
  std::size_t Size() const { return size_; }

 private:
  void Release();
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t mapped_ = 0;  // what the mapping spans (the size rounded up)
};

// Asks for huge pages over the whole huge pages inside [data, data + size) of memory the
// caller already holds (a large vector's storage). Only advice: nothing happens where the
// system declines, and nothing is ever asked of memory outside the range.
void AdviseHugePages(void* data, std::size_t size);

}  // namespace engine::io
