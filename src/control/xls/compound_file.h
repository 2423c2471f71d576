#pragma once
// The compound-file container (OLE2 structured storage) that holds a workbook stream: reading
// validates every sector chain and size, writing lays out one or more streams under the root.

#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "control/io/byte_io.h"
#include "control/model/workbook.h"

namespace engine::xls {

// True when the bytes start with the compound-file signature.
bool IsCompoundFile(const std::uint8_t* data, std::size_t size);

class CompoundFileReader {
 public:
  // Parses the header, the allocation tables and the directory. Throws EngineError (kErrFile)
  // with a readable text when the container is damaged.
  CompoundFileReader(const std::uint8_t* data, std::size_t size);

  // The contents of a stream directly under the root, by name (case-insensitive ASCII);
  // false when there is none. Throws when the stream's chain is damaged.
  bool ReadStream(const std::string& name, Bytes& out) const;
  // The same contents as a view: of the container's own bytes when the stream's sectors follow
  // one another there (no copy), otherwise of `storage`, which receives a copy. The view lives
  // as long as the container's bytes and `storage` do. nullopt when there is no such stream.
  std::optional<std::span<const std::uint8_t>> StreamView(const std::string& name,
                                                          Bytes& storage) const;
  std::vector<std::string> StreamNames() const;
  // Every stream and storage of the file but the workbook stream ("Workbook" or "Book" under
  // the root), as a tree with their contents. Throws when the directory or a chain is damaged.
  std::vector<CarriedStorageEntry> OtherEntries() const;
  std::array<std::uint8_t, 16> RootClsid() const { return entries_[0].clsid; }

 private:
  struct Entry {
    std::u16string name;
    std::uint8_t type = 0;
    std::uint32_t left = 0, right = 0, child = 0;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
    std::array<std::uint8_t, 16> clsid{};
    std::uint32_t stateBits = 0;
  };
  void ReadEntry(const Entry& e, Bytes& out) const;
  void CollectChildren(std::uint32_t first, int depth, std::vector<bool>& seen,
                       std::size_t& budget, std::vector<CarriedStorageEntry>& out) const;
  void LoadFat();
  void LoadDirectory();
  void LoadMiniFat();
  std::vector<std::uint32_t> Chain(std::uint32_t start, const std::vector<std::uint32_t>& fat,
                                   std::size_t limit, const char* what) const;
  void ReadSectors(const std::vector<std::uint32_t>& chain, std::uint64_t size, Bytes& out) const;
  const std::uint8_t* SectorPtr(std::uint32_t sector, std::size_t& available) const;
  const Entry* FindChild(const std::string& name) const;

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t sectorSize_ = 512;
  std::size_t miniSectorSize_ = 64;
  std::uint32_t miniCutoff_ = 4096;
  std::size_t sectorCount_ = 0;  // sectors the file holds, counting a partial last one
  std::vector<std::uint32_t> fat_;
  std::vector<std::uint32_t> miniFat_;
  std::vector<Entry> entries_;
  Bytes miniStream_;
};

// Writes a compound file with the given streams under the root. Streams shorter than the
// mini-stream cut-off (4,096 bytes) are padded with zero bytes to it, so every stream lives
// in ordinary sectors and the container needs no mini stream.
Bytes WriteCompoundFile(std::vector<std::pair<std::string, Bytes>> streams);

// The same for one stream, built in place: `buffer` holds kCompoundHeaderRoom bytes of room
// followed by the stream; the container is completed around it without copying the stream.
// The stream is padded as above. `others` go beside it at their exact sizes (the short ones
// in the mini stream), storages with their classes and state bits; the root takes `rootClsid`.
inline constexpr std::size_t kCompoundHeaderRoom = 512;
void FinishCompoundFile(const std::string& name, Bytes& buffer,
                        const std::vector<CarriedStorageEntry>& others = {},
                        const std::array<std::uint8_t, 16>& rootClsid = {});

}  // namespace engine::xls
