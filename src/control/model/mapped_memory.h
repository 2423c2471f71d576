#pragma once
// Memory for large buffers, taken straight from the kernel. On the machines this runs on, the
// first touch of every 4 KiB page costs a trip into the kernel that outweighs the work done on
// the page; a buffer of 2 MiB or more is therefore aligned to 2 MiB and offered to the kernel as
// huge pages, so that it is touched in 2 MiB steps. Where the kernel does not take the offer the
// memory works as any other.

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace engine {

inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// At least `bytes` of zero-filled memory, 2 MiB-aligned (its whole huge pages offered as such)
// when `bytes` is at least that. Throws std::bad_alloc. Give it back with UnmapLarge and the
// same size.
void* MapLarge(std::size_t bytes);
void UnmapLarge(void* p, std::size_t bytes) noexcept;

// A growable run of bytes in mapped memory, for a buffer read in at once (a whole file): not
// cleared before it is filled (the kernel hands it out zeroed already).
class MappedBuffer {
 public:
  MappedBuffer() = default;
  explicit MappedBuffer(std::size_t capacity);
  ~MappedBuffer() { Release(); }
  MappedBuffer(MappedBuffer&& other) noexcept { *this = std::move(other); }
  MappedBuffer& operator=(MappedBuffer&& other) noexcept;
  MappedBuffer(const MappedBuffer&) = delete;
  MappedBuffer& operator=(const MappedBuffer&) = delete;

  std::uint8_t* data() { return data_; }
  const std::uint8_t* data() const { return data_; }
  char* chars() { return reinterpret_cast<char*>(data_); }  // for text parsers
  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  // The first `size` bytes are the contents; size <= capacity.
  void SetSize(std::size_t size) { size_ = size < capacity_ ? size : capacity_; }
  // Room for at least `capacity` bytes, keeping the contents. Throws std::bad_alloc.
  void Grow(std::size_t capacity);
  void Release() noexcept;

 private:
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// A standard allocator that takes requests of 2 MiB or more from MapLarge: for containers
// that a reader sizes once for a whole sheet (a text pool of a million cells).
template <typename T>
struct MappedAllocator {
  using value_type = T;
  MappedAllocator() = default;
  template <typename U>
  MappedAllocator(const MappedAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= kHugePageBytes) return static_cast<T*>(MapLarge(bytes));
    return static_cast<T*>(::operator new(bytes));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= kHugePageBytes) UnmapLarge(p, bytes);
    else ::operator delete(p);
  }
  template <typename U>
  bool operator==(const MappedAllocator<U>&) const noexcept { return true; }
};

}  // namespace engine
