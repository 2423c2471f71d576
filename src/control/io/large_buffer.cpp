// Anonymous mappings aligned to the huge page size, so that every whole 2 MB of the buffer
// can be one page.
#include "control/io/large_buffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <utility>

namespace engine::io {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

}  // namespace

LargeBuffer::LargeBuffer(std::size_t size) {
  if (size == 0 || size > SIZE_MAX - 2 * kHugePage) return;
  const std::size_t span = RoundUp(size, kHugePage);
  // Mapped one huge page longer, so that an aligned start can be kept and the rest given back.
  void* raw = mmap(nullptr, span + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                   -1, 0);
  if (raw == MAP_FAILED) return;
  const auto at = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = RoundUp(at, kHugePage);
  if (aligned > at) munmap(raw, aligned - at);
  const std::size_t tail = kHugePage - (aligned - at);
  if (tail) munmap(reinterpret_cast<void*>(aligned + span), tail);
  data_ = reinterpret_cast<char*>(aligned);
  size_ = size;
  mapped_ = span;
#ifdef MADV_HUGEPAGE
  madvise(data_, mapped_, MADV_HUGEPAGE);  // advice: refused, the pages are simply small
#endif
}

LargeBuffer::~LargeBuffer() { Release(); }

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
  }
  return *this;
}

void LargeBuffer::Release() {
  if (data_) munmap(data_, mapped_);
  data_ = nullptr;
  size_ = mapped_ = 0;
}

void AdviseHugePages(void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  const auto at = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = RoundUp(at, kHugePage);
  const std::uintptr_t end = (at + size) / kHugePage * kHugePage;
  if (data && size >= kHugePage && end > first)
    madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

}  // namespace engine::io
