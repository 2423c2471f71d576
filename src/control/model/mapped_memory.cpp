#include "control/model/mapped_memory.h"

#include <sys/mman.h>

#include <cstring>

namespace engine {

namespace {

std::size_t PageRound(std::size_t bytes, std::size_t page) {
  if (bytes > static_cast<std::size_t>(-1) - page) throw std::bad_alloc();
  return (bytes + page - 1) & ~(page - 1);
}

std::size_t MappedLength(std::size_t bytes) { return PageRound(bytes == 0 ? 1 : bytes, 4096); }

}  // namespace

void* MapLarge(std::size_t bytes) {
  const std::size_t length = MappedLength(bytes);
  if (length < kHugePageBytes) {
    void* p = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return p;
  }
  // Map nearly a huge page more than needed and cut the mapping down to an aligned run.
  if (length > static_cast<std::size_t>(-1) - kHugePageBytes) throw std::bad_alloc();
  const std::size_t over = length + kHugePageBytes - 4096;
  void* raw = mmap(nullptr, over, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::size_t tail = start + over - (aligned + length);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + length), tail);
  void* p = reinterpret_cast<void*>(aligned);
  // Only the whole huge pages are offered: a last one that the buffer fills only in part would
  // cost its full 2 MiB at the first touch. And it is only advice: a kernel without huge pages
  // refuses it and the memory stays as it is.
  madvise(p, length & ~(kHugePageBytes - 1), MADV_HUGEPAGE);
  return p;
}

void UnmapLarge(void* p, std::size_t bytes) noexcept {
  if (p) munmap(p, MappedLength(bytes));
}

MappedBuffer::MappedBuffer(std::size_t capacity)
    : data_(static_cast<std::uint8_t*>(MapLarge(capacity))), capacity_(capacity) {}

MappedBuffer& MappedBuffer::operator=(MappedBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
  }
  return *this;
}

void MappedBuffer::Grow(std::size_t capacity) {
  if (capacity <= capacity_) return;
  MappedBuffer bigger(capacity);
  if (size_ > 0) std::memcpy(bigger.data_, data_, size_);
  bigger.size_ = size_;
  *this = std::move(bigger);
}

void MappedBuffer::Release() noexcept {
  UnmapLarge(data_, capacity_);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

}  // namespace engine
