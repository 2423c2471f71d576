#include "control/xls/compound_file.h"

#include <algorithm>

#include "control/engine_error.h"

namespace engine::xls {

namespace {

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kDirEntrySize = 128;

[[noreturn]] void Damaged(const std::string& why) {
  throw EngineError(kErrFile, "The file is damaged: " + why + ".");
}

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

}  // namespace

bool IsCompoundFile(const std::uint8_t* data, std::size_t size) {
  return size >= 8 && std::equal(kSignature, kSignature + 8, data);
}

CompoundFileReader::CompoundFileReader(const std::uint8_t* data, std::size_t size)
    : data_(data), size_(size) {
  if (!IsCompoundFile(data, size)) Damaged("it is not a compound file");
  if (size < kHeaderSize) Damaged("the file ends inside its header");
  unsigned sectorShift = Get16(data + 0x1E);
  unsigned miniShift = Get16(data + 0x20);
  if (sectorShift != 9 && sectorShift != 12) Damaged("unsupported sector size");
  if (miniShift != 6) Damaged("unsupported mini sector size");
  sectorSize_ = std::size_t{1} << sectorShift;
  miniSectorSize_ = std::size_t{1} << miniShift;
  miniCutoff_ = Get32(data + 0x38);
  if (miniCutoff_ != 4096) Damaged("unexpected mini stream cut-off");
  // Sector n starts at (n + 1) * sectorSize; a partial last sector still counts (some writers
  // cut the file short of a whole sector), its missing bytes read as zero.
  std::size_t body = size > sectorSize_ ? size - sectorSize_ : 0;
  sectorCount_ = (body + sectorSize_ - 1) / sectorSize_;
  LoadFat();
  LoadDirectory();
  LoadMiniFat();
}

const std::uint8_t* CompoundFileReader::SectorPtr(std::uint32_t sector,
                                                  std::size_t& available) const {
  if (sector >= sectorCount_) Damaged("a sector lies beyond the end of the file");
  std::size_t offset = (static_cast<std::size_t>(sector) + 1) * sectorSize_;
  available = std::min(sectorSize_, size_ - offset);
  return data_ + offset;
}

void CompoundFileReader::LoadFat() {
  std::uint32_t fatCount = Get32(data_ + 0x2C);
  std::uint32_t difatStart = Get32(data_ + 0x44);
  std::uint32_t difatCount = Get32(data_ + 0x48);
  if (fatCount > sectorCount_) Damaged("the allocation table is larger than the file");
  std::vector<std::uint32_t> fatSectors;
  for (int i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
    fatSectors.push_back(Get32(data_ + 0x4C + 4 * i));
  // The DIFAT chain: each sector lists FAT sectors and ends with the next DIFAT sector.
  std::uint32_t next = difatStart;
  std::size_t perSector = sectorSize_ / 4 - 1;
  std::size_t visited = 0;
  while (fatSectors.size() < fatCount) {
    if (next == kEndOfChain || next == kFree) Damaged("the allocation table list is short");
    if (++visited > difatCount + 1 || visited > sectorCount_)
      Damaged("the allocation table list loops");
    std::size_t avail;
    const std::uint8_t* p = SectorPtr(next, avail);
    if (avail < sectorSize_) Damaged("the allocation table list is cut off");
    for (std::size_t i = 0; i < perSector && fatSectors.size() < fatCount; ++i)
      fatSectors.push_back(Get32(p + 4 * i));
    next = Get32(p + 4 * perSector);
  }
  fat_.reserve(fatSectors.size() * (sectorSize_ / 4));
  for (std::uint32_t s : fatSectors) {
    std::size_t avail;
    const std::uint8_t* p = SectorPtr(s, avail);
    for (std::size_t i = 0; i + 4 <= avail; i += 4) fat_.push_back(Get32(p + i));
    for (std::size_t i = avail; i < sectorSize_; i += 4) fat_.push_back(kFree);
  }
}

std::vector<std::uint32_t> CompoundFileReader::Chain(std::uint32_t start,
                                                     const std::vector<std::uint32_t>& fat,
                                                     std::size_t limit, const char* what) const {
  std::vector<std::uint32_t> chain;
  std::vector<bool> seen(std::min(fat.size(), limit));
  std::uint32_t s = start;
  while (s != kEndOfChain) {
    if (s >= fat.size() || s >= limit)
      Damaged(std::string("the chain of ") + what + " points outside the file");
    if (seen[s]) Damaged(std::string("the chain of ") + what + " loops");
    seen[s] = true;
    chain.push_back(s);
    s = fat[s];
    if (s == kFree || s == kFatSector || s == kDifatSector)
      Damaged(std::string("the chain of ") + what + " is broken");
  }
  return chain;
}

void CompoundFileReader::ReadSectors(const std::vector<std::uint32_t>& chain, std::uint64_t size,
                                     Bytes& out) const {
  if (size > static_cast<std::uint64_t>(chain.size()) * sectorSize_)
    Damaged("a stream is longer than its sectors");
  out.clear();
  out.reserve(static_cast<std::size_t>(size));
  for (std::uint32_t s : chain) {
    if (out.size() >= size) break;
    std::size_t avail;
    const std::uint8_t* p = SectorPtr(s, avail);
    std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(sectorSize_, size - out.size()));
    if (take > avail) Damaged("the file is cut off");
    out.insert(out.end(), p, p + take);
  }
}

void CompoundFileReader::LoadDirectory() {
  std::uint32_t start = Get32(data_ + 0x30);
  auto chain = Chain(start, fat_, sectorCount_, "the directory");
  if (chain.empty()) Damaged("the directory is empty");
  Bytes dir;
  ReadSectors(chain, static_cast<std::uint64_t>(chain.size()) * sectorSize_, dir);
  for (std::size_t off = 0; off + kDirEntrySize <= dir.size(); off += kDirEntrySize) {
    const std::uint8_t* p = dir.data() + off;
    Entry e;
    unsigned nameBytes = Get16(p + 0x40);
    if (nameBytes > 64) nameBytes = 64;
    for (unsigned i = 0; i + 1 < nameBytes; i += 2) {
      char16_t c = static_cast<char16_t>(Get16(p + i));
      if (!c) break;
      e.name.push_back(c);
    }
    e.type = p[0x42];
    e.left = Get32(p + 0x44);
    e.right = Get32(p + 0x48);
    e.child = Get32(p + 0x4C);
    e.start = Get32(p + 0x74);
    e.size = Get32(p + 0x78);
    if (sectorSize_ == 4096) e.size |= static_cast<std::uint64_t>(Get32(p + 0x7C)) << 32;
    entries_.push_back(std::move(e));
  }
  if (entries_.empty() || entries_[0].type != 5) Damaged("the root entry is missing");
}

void CompoundFileReader::LoadMiniFat() {
  std::uint32_t start = Get32(data_ + 0x3C);
  std::uint32_t count = Get32(data_ + 0x40);
  if (count == 0 || start == kEndOfChain) return;
  auto chain = Chain(start, fat_, sectorCount_, "the mini allocation table");
  Bytes raw;
  ReadSectors(chain, static_cast<std::uint64_t>(chain.size()) * sectorSize_, raw);
  miniFat_.resize(raw.size() / 4);
  for (std::size_t i = 0; i < miniFat_.size(); ++i) miniFat_[i] = Get32(raw.data() + 4 * i);
  const Entry& root = entries_[0];
  if (root.size > 0 && root.start != kEndOfChain) {
    auto rootChain = Chain(root.start, fat_, sectorCount_, "the mini stream");
    ReadSectors(rootChain, root.size, miniStream_);
  }
}

const CompoundFileReader::Entry* CompoundFileReader::FindChild(const std::string& name) const {
  std::u16string want;
  for (char c : name) want.push_back(Upper(static_cast<char16_t>(static_cast<unsigned char>(c))));
  // Walk the root's children (a binary tree) with a visit budget, so a looping tree ends.
  std::vector<std::uint32_t> stack{entries_[0].child};
  std::vector<bool> seen(entries_.size());
  while (!stack.empty()) {
    std::uint32_t i = stack.back();
    stack.pop_back();
    if (i == kNoStream) continue;
    if (i >= entries_.size()) Damaged("the directory refers to a missing entry");
    if (seen[i]) Damaged("the directory loops");
    seen[i] = true;
    const Entry& e = entries_[i];
    std::u16string upper;
    for (char16_t c : e.name) upper.push_back(Upper(c));
    if (upper == want && e.type == 2) return &e;
    stack.push_back(e.left);
    stack.push_back(e.right);
  }
  return nullptr;
}

std::vector<std::string> CompoundFileReader::StreamNames() const {
  std::vector<std::string> names;
  for (const Entry& e : entries_) {
    if (e.type != 2) continue;
    std::string n;
    for (char16_t c : e.name) n.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    names.push_back(n);
  }
  return names;
}

std::optional<std::span<const std::uint8_t>> CompoundFileReader::StreamView(const std::string& name,
                                                                            Bytes& storage) const {
  const Entry* e = FindChild(name);
  if (!e) return std::nullopt;
  if (e->size >= miniCutoff_ && e->size <= size_ * 2 + 4096) {
    auto chain = Chain(e->start, fat_, sectorCount_, "a stream");
    if (e->size > static_cast<std::uint64_t>(chain.size()) * sectorSize_)
      Damaged("a stream is longer than its sectors");
    const std::size_t size = static_cast<std::size_t>(e->size);
    const std::size_t used = (size + sectorSize_ - 1) / sectorSize_;
    bool adjoining = used > 0;
    for (std::size_t i = 1; i < used && adjoining; ++i) adjoining = chain[i] == chain[0] + i;
    if (adjoining) {
      std::size_t avail;
      const std::uint8_t* p = SectorPtr(chain[0], avail);
      if (static_cast<std::size_t>(data_ + size_ - p) >= size) return std::span(p, size);
    }
  }
  if (!ReadStream(name, storage)) return std::nullopt;
  return std::span<const std::uint8_t>(storage);
}

bool CompoundFileReader::ReadStream(const std::string& name, Bytes& out) const {
  const Entry* e = FindChild(name);
  if (!e) return false;
  if (e->size > size_ * 2 + 4096) Damaged("a stream claims more bytes than the file holds");
  if (e->size < miniCutoff_) {
    auto chain = Chain(e->start, miniFat_, miniStream_.size() / miniSectorSize_ + 1,
                       "a small stream");
    if (e->size > chain.size() * miniSectorSize_) Damaged("a small stream is cut off");
    out.clear();
    out.reserve(static_cast<std::size_t>(e->size));
    for (std::uint32_t s : chain) {
      if (out.size() >= e->size) break;
      std::size_t off = static_cast<std::size_t>(s) * miniSectorSize_;
      std::size_t take = std::min<std::size_t>(miniSectorSize_, e->size - out.size());
      if (off + take > miniStream_.size()) Damaged("a small stream lies outside the mini stream");
      out.insert(out.end(), miniStream_.begin() + off, miniStream_.begin() + off + take);
    }
    return true;
  }
  auto chain = Chain(e->start, fat_, sectorCount_, "a stream");
  ReadSectors(chain, e->size, out);
  return true;
}

// ---------------------------------------------------------------------------------------------

namespace {

void PutName(Bytes& entry, const std::string& name) {
  std::size_t n = std::min<std::size_t>(name.size(), 31);
  for (std::size_t i = 0; i < n; ++i) Set16(entry, 2 * i, static_cast<unsigned char>(name[i]));
  Set16(entry, 0x40, static_cast<unsigned>(2 * (n + 1)));
}

// Directory order: shorter names first, then by upper-case comparison.
bool DirLess(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (std::size_t i = 0; i < a.size(); ++i) {
    int x = std::toupper(static_cast<unsigned char>(a[i]));
    int y = std::toupper(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  return false;
}

}  // namespace

namespace {

// Lays out the container for streams whose data already sits in `out` at sector 0 onwards
// (each stream padded to a whole number of sectors, in the given order), appending the
// directory and allocation tables and filling in the header.
void CompleteContainer(const std::vector<std::string>& names, const std::vector<std::size_t>& sizes,
                       Bytes& out) {
  constexpr std::size_t kSector = 512;
  constexpr std::size_t kPerFat = kSector / 4;
  std::size_t dataSectors = 0;
  std::vector<std::size_t> streamSectors;
  for (std::size_t size : sizes) {
    std::size_t n = (size + kSector - 1) / kSector;
    streamSectors.push_back(n);
    dataSectors += n;
  }
  std::size_t dirEntries = names.size() + 1;
  std::size_t dirSectors = (dirEntries * kDirEntrySize + kSector - 1) / kSector;
  std::size_t fatSectors = 0, difatSectors = 0;
  for (;;) {
    std::size_t total = dataSectors + dirSectors + fatSectors + difatSectors;
    std::size_t needFat = (total + kPerFat - 1) / kPerFat;
    std::size_t needDifat = needFat > 109 ? (needFat - 109 + kPerFat - 2) / (kPerFat - 1) : 0;
    if (needFat == fatSectors && needDifat == difatSectors) break;
    fatSectors = needFat;
    difatSectors = needDifat;
  }
  std::size_t total = dataSectors + dirSectors + fatSectors + difatSectors;
  std::vector<std::uint32_t> fat(fatSectors * kPerFat, kFree);
  std::size_t next = 0;
  std::vector<std::uint32_t> starts;
  auto chainRun = [&](std::size_t count) {
    std::size_t first = next;
    for (std::size_t i = 0; i < count; ++i, ++next)
      fat[next] = i + 1 < count ? static_cast<std::uint32_t>(next + 1) : kEndOfChain;
    return static_cast<std::uint32_t>(first);
  };
  for (std::size_t n : streamSectors) starts.push_back(chainRun(n));
  std::uint32_t dirStart = chainRun(dirSectors);
  std::size_t fatFirst = next;
  for (std::size_t i = 0; i < fatSectors; ++i) fat[next++] = kFatSector;
  std::size_t difatFirst = next;
  for (std::size_t i = 0; i < difatSectors; ++i) fat[next++] = kDifatSector;

  out.resize(kHeaderSize + total * kSector, 0);
  std::fill(out.begin(), out.begin() + kHeaderSize, 0);
  std::copy(kSignature, kSignature + 8, out.begin());
  Set16(out, 0x18, 0x003E);
  Set16(out, 0x1A, 0x0003);
  Set16(out, 0x1C, 0xFFFE);
  Set16(out, 0x1E, 9);
  Set16(out, 0x20, 6);
  Set32(out, 0x2C, static_cast<std::uint32_t>(fatSectors));
  Set32(out, 0x30, dirStart);
  Set32(out, 0x38, 4096);
  Set32(out, 0x3C, kEndOfChain);
  Set32(out, 0x40, 0);
  Set32(out, 0x44, difatSectors ? static_cast<std::uint32_t>(difatFirst) : kEndOfChain);
  Set32(out, 0x48, static_cast<std::uint32_t>(difatSectors));
  for (std::size_t i = 0; i < 109; ++i)
    Set32(out, 0x4C + 4 * i, i < fatSectors ? static_cast<std::uint32_t>(fatFirst + i) : kFree);
  auto sectorOffset = [&](std::size_t sector) { return kHeaderSize + sector * kSector; };
  // Directory: the root, then the streams as a balanced tree under it.
  Bytes dir(dirSectors * kSector, 0);
  for (std::size_t i = 0; i < dirSectors * kSector / kDirEntrySize; ++i) {
    Set32(dir, i * kDirEntrySize + 0x44, kNoStream);
    Set32(dir, i * kDirEntrySize + 0x48, kNoStream);
    Set32(dir, i * kDirEntrySize + 0x4C, kNoStream);
  }
  {
    Bytes root(kDirEntrySize, 0);
    PutName(root, "Root Entry");
    std::copy(root.begin(), root.begin() + 0x42, dir.begin());
    dir[0x42] = 5;
    dir[0x43] = 1;
    Set32(dir, 0x74, kEndOfChain);
  }
  auto build = [&](auto&& self, std::size_t lo, std::size_t hi) -> std::uint32_t {
    if (lo >= hi) return kNoStream;
    std::size_t mid = (lo + hi) / 2;
    std::size_t at = (mid + 1) * kDirEntrySize;
    Bytes e(kDirEntrySize, 0);
    PutName(e, names[mid]);
    std::copy(e.begin(), e.begin() + 0x42, dir.begin() + static_cast<std::ptrdiff_t>(at));
    dir[at + 0x42] = 2;
    dir[at + 0x43] = 1;  // black
    Set32(dir, at + 0x44, self(self, lo, mid));
    Set32(dir, at + 0x48, self(self, mid + 1, hi));
    Set32(dir, at + 0x74, starts[mid]);
    Set32(dir, at + 0x78, static_cast<std::uint32_t>(sizes[mid]));
    return static_cast<std::uint32_t>(mid + 1);
  };
  Set32(dir, 0x4C, build(build, 0, names.size()));
  std::copy(dir.begin(), dir.end(), out.begin() + static_cast<std::ptrdiff_t>(sectorOffset(dirStart)));
  for (std::size_t i = 0; i < fatSectors; ++i)
    for (std::size_t j = 0; j < kPerFat; ++j)
      Set32(out, sectorOffset(fatFirst + i) + 4 * j, fat[i * kPerFat + j]);
  // DIFAT sectors list the FAT sectors beyond the 109 the header holds.
  std::size_t listed = 109;
  for (std::size_t d = 0; d < difatSectors; ++d) {
    std::size_t off = sectorOffset(difatFirst + d);
    for (std::size_t j = 0; j < kPerFat - 1; ++j, ++listed)
      Set32(out, off + 4 * j,
            listed < fatSectors ? static_cast<std::uint32_t>(fatFirst + listed) : kFree);
    Set32(out, off + 4 * (kPerFat - 1),
          d + 1 < difatSectors ? static_cast<std::uint32_t>(difatFirst + d + 1) : kEndOfChain);
  }
}

}  // namespace

Bytes WriteCompoundFile(std::vector<std::pair<std::string, Bytes>> streams) {
  constexpr std::size_t kSector = 512;
  std::sort(streams.begin(), streams.end(),
            [](const auto& a, const auto& b) { return DirLess(a.first, b.first); });
  std::vector<std::string> names;
  std::vector<std::size_t> sizes;
  std::size_t total = kHeaderSize;
  for (auto& s : streams) {
    if (s.second.size() < 4096) s.second.resize(4096, 0);
    names.push_back(s.first);
    sizes.push_back(s.second.size());
    total += (s.second.size() + kSector - 1) / kSector * kSector;
  }
  Bytes out;
  out.reserve(total + 4 * kSector);
  out.resize(kHeaderSize, 0);
  for (auto& s : streams) {
    out.insert(out.end(), s.second.begin(), s.second.end());
    out.resize((out.size() + kSector - 1) / kSector * kSector, 0);
    Bytes().swap(s.second);  // release each stream as soon as it is placed
  }
  CompleteContainer(names, sizes, out);
  return out;
}

void FinishCompoundFile(const std::string& name, Bytes& buffer) {
  constexpr std::size_t kSector = 512;
  if (buffer.size() < kCompoundHeaderRoom + 4096) buffer.resize(kCompoundHeaderRoom + 4096, 0);
  std::size_t size = buffer.size() - kCompoundHeaderRoom;
  buffer.resize(kCompoundHeaderRoom + (size + kSector - 1) / kSector * kSector, 0);
  CompleteContainer({name}, {size}, buffer);
}

}  // namespace engine::xls
