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

bool IsWorkbookStreamName(const std::u16string& name) {
  std::u16string upper;
  for (char16_t c : name) upper.push_back(Upper(c));
  return upper == u"WORKBOOK" || upper == u"BOOK";
}

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
    for (unsigned i = 0; i + 1 < nameBytes && e.name.size() < 31; i += 2) {
      char16_t c = static_cast<char16_t>(Get16(p + i));
      if (!c) break;
      e.name.push_back(c);
    }
    e.type = p[0x42];
    e.left = Get32(p + 0x44);
    e.right = Get32(p + 0x48);
    e.child = Get32(p + 0x4C);
    std::copy(p + 0x50, p + 0x60, e.clsid.begin());
    e.stateBits = Get32(p + 0x60);
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
  ReadEntry(*e, out);
  return true;
}

void CompoundFileReader::ReadEntry(const Entry& e, Bytes& out) const {
  if (e.size > size_ * 2 + 4096) Damaged("a stream claims more bytes than the file holds");
  out.clear();
  if (e.size == 0) return;
  if (e.size < miniCutoff_) {
    auto chain = Chain(e.start, miniFat_, miniStream_.size() / miniSectorSize_ + 1,
                       "a small stream");
    if (e.size > chain.size() * miniSectorSize_) Damaged("a small stream is cut off");
    out.reserve(static_cast<std::size_t>(e.size));
    for (std::uint32_t s : chain) {
      if (out.size() >= e.size) break;
      std::size_t off = static_cast<std::size_t>(s) * miniSectorSize_;
      std::size_t take = std::min<std::size_t>(miniSectorSize_, e.size - out.size());
      if (off + take > miniStream_.size()) Damaged("a small stream lies outside the mini stream");
      out.insert(out.end(), miniStream_.begin() + off, miniStream_.begin() + off + take);
    }
    return;
  }
  auto chain = Chain(e.start, fat_, sectorCount_, "a stream");
  ReadSectors(chain, e.size, out);
}

std::vector<CarriedStorageEntry> CompoundFileReader::OtherEntries() const {
  std::vector<CarriedStorageEntry> out;
  std::vector<bool> seen(entries_.size());
  seen[0] = true;
  // What the streams may add up to: a file's streams share no sectors, so more than the file
  // holds means chains that overlap (a crafted file would otherwise make us copy it many times).
  std::size_t budget = size_ + 65536;
  CollectChildren(entries_[0].child, 0, seen, budget, out);
  return out;
}

// The entries of one storage: its children form a binary tree through their left and right
// links. Every entry is visited once in the whole walk, so a tree that loops fails.
void CompoundFileReader::CollectChildren(std::uint32_t first, int depth, std::vector<bool>& seen,
                                         std::size_t& budget,
                                         std::vector<CarriedStorageEntry>& out) const {
  constexpr int kMaxDepth = 32;
  if (depth > kMaxDepth) Damaged("the storages nest too deep");
  // In order (left, the entry, right): the names come out sorted as the tree keeps them.
  std::vector<std::uint32_t> stack;
  std::uint32_t cur = first;
  while (cur != kNoStream || !stack.empty()) {
    while (cur != kNoStream) {
      if (cur >= entries_.size()) Damaged("the directory refers to a missing entry");
      if (seen[cur]) Damaged("the directory loops");
      seen[cur] = true;
      stack.push_back(cur);
      cur = entries_[cur].left;
    }
    const Entry& e = entries_[stack.back()];
    stack.pop_back();
    cur = e.right;
    if (e.type != 1 && e.type != 2) continue;  // unused slots and the like
    // A save writes the workbook stream anew, under either name: it is not read here, which
    // for a large workbook would be a copy of nearly the whole file.
    if (depth == 0 && e.type == 2 && IsWorkbookStreamName(e.name)) continue;
    CarriedStorageEntry c;
    c.name = e.name;
    c.storage = e.type == 1;
    c.clsid = e.clsid;
    c.stateBits = e.stateBits;
    if (c.storage) {
      CollectChildren(e.child, depth + 1, seen, budget, c.children);
    } else {
      if (e.size > budget) Damaged("the streams claim more bytes than the file holds");
      ReadEntry(e, c.data);
      budget -= c.data.size();
    }
    out.push_back(std::move(c));
  }
}

// ---------------------------------------------------------------------------------------------
// Writing. The streams' data goes first, from sector 0: the workbook stream, the carried streams
// of 4,096 bytes or more, then the mini stream holding the shorter ones in 64-byte sectors.
// After them come the mini allocation table, the directory and the allocation tables. Every
// chain is one run of adjoining sectors.

namespace {

constexpr std::size_t kSector = 512;
constexpr std::size_t kMiniSector = 64;
constexpr std::size_t kMiniCutoff = 4096;

struct DirNode {
  std::u16string name;
  std::uint8_t type = 2;  // 1 storage, 2 stream, 5 root
  std::array<std::uint8_t, 16> clsid{};
  std::uint32_t stateBits = 0;
  std::uint32_t start = kEndOfChain;
  std::uint64_t size = 0;
  std::vector<std::uint32_t> children;
  std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
  bool red = false;
};

char16_t UpperLatin(char16_t c) {
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 32);
  return Upper(c);
}

// Directory order: shorter names first, then by upper-case comparison.
bool DirLess(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (std::size_t i = 0; i < a.size(); ++i) {
    char16_t x = UpperLatin(a[i]), y = UpperLatin(b[i]);
    if (x != y) return x < y;
  }
  return false;
}

std::u16string Wide(const std::string& s) {
  std::u16string w;
  for (char c : s) w.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return w;
}

// Links each storage's children into a balanced tree sorted by name. Every level but the
// deepest is full, so colouring the deepest level red keeps the red-black rules.
void LinkChildren(std::vector<DirNode>& nodes) {
  for (DirNode& parent : nodes) {
    std::vector<std::uint32_t> kids = parent.children;
    std::stable_sort(kids.begin(), kids.end(), [&](std::uint32_t a, std::uint32_t b) {
      return DirLess(nodes[a].name, nodes[b].name);
    });
    int deepest = 0;
    for (std::size_t n = kids.size(); n > 1; n /= 2) ++deepest;
    const bool full = ((kids.size() + 1) & kids.size()) == 0;
    auto build = [&](auto&& self, std::size_t lo, std::size_t hi, int depth) -> std::uint32_t {
      if (lo >= hi) return kNoStream;
      std::size_t mid = (lo + hi) / 2;
      DirNode& n = nodes[kids[mid]];
      n.red = !full && depth == deepest;
      std::uint32_t l = self(self, lo, mid, depth + 1);
      std::uint32_t r = self(self, mid + 1, hi, depth + 1);
      nodes[kids[mid]].left = l;
      nodes[kids[mid]].right = r;
      return kids[mid];
    };
    parent.child = build(build, 0, kids.size(), 0);
  }
}

// Appends a carried entry (and a storage's entries) to the directory and places a stream's
// bytes: in ordinary sectors after `out`'s, or in the mini stream.
std::uint32_t AddEntry(const CarriedStorageEntry& e, std::vector<DirNode>& nodes, Bytes& out,
                       Bytes& mini) {
  const std::uint32_t at = static_cast<std::uint32_t>(nodes.size());
  nodes.emplace_back();
  {
    DirNode& n = nodes.back();
    n.name = e.name.substr(0, 31);
    n.type = e.storage ? 1 : 2;
    n.clsid = e.clsid;
    n.stateBits = e.stateBits;
  }
  if (e.storage) {
    nodes[at].start = 0;
    for (const CarriedStorageEntry& c : e.children) {
      std::uint32_t child = AddEntry(c, nodes, out, mini);
      nodes[at].children.push_back(child);
    }
    return at;
  }
  DirNode& n = nodes[at];
  n.size = e.data.size();
  if (e.data.empty()) return at;
  if (e.data.size() >= kMiniCutoff) {
    n.start = static_cast<std::uint32_t>((out.size() - kHeaderSize) / kSector);
    out.insert(out.end(), e.data.begin(), e.data.end());
    out.resize((out.size() + kSector - 1) / kSector * kSector, 0);
  } else {
    n.start = static_cast<std::uint32_t>(mini.size() / kMiniSector);
    mini.insert(mini.end(), e.data.begin(), e.data.end());
    mini.resize((mini.size() + kMiniSector - 1) / kMiniSector * kMiniSector, 0);
  }
  return at;
}

// Completes the container around the data already in `out` (sector 0 onwards, whole sectors):
// `runs` gives the sector count of each chain there in order. Appends the mini allocation
// table, the directory and the allocation tables, and fills in the header.
void CompleteContainer(std::vector<DirNode>& nodes, const std::vector<std::size_t>& runs,
                       std::size_t miniSectors, Bytes& out) {
  constexpr std::size_t kPerFat = kSector / 4;
  std::size_t dataSectors = 0;
  for (std::size_t n : runs) dataSectors += n;
  const std::size_t miniFatSectors = (miniSectors * 4 + kSector - 1) / kSector;
  const std::size_t dirSectors = (nodes.size() * kDirEntrySize + kSector - 1) / kSector;
  std::size_t fatSectors = 0, difatSectors = 0;
  for (;;) {
    std::size_t total = dataSectors + miniFatSectors + dirSectors + fatSectors + difatSectors;
    std::size_t needFat = (total + kPerFat - 1) / kPerFat;
    std::size_t needDifat = needFat > 109 ? (needFat - 109 + kPerFat - 2) / (kPerFat - 1) : 0;
    if (needFat == fatSectors && needDifat == difatSectors) break;
    fatSectors = needFat;
    difatSectors = needDifat;
  }
  const std::size_t total = dataSectors + miniFatSectors + dirSectors + fatSectors + difatSectors;
  std::vector<std::uint32_t> fat(fatSectors * kPerFat, kFree);
  std::size_t next = 0;
  auto chainRun = [&](std::size_t count) {
    std::size_t first = next;
    for (std::size_t i = 0; i < count; ++i, ++next)
      fat[next] = i + 1 < count ? static_cast<std::uint32_t>(next + 1) : kEndOfChain;
    return static_cast<std::uint32_t>(first);
  };
  for (std::size_t n : runs) chainRun(n);
  const std::uint32_t miniFatStart = miniFatSectors ? chainRun(miniFatSectors) : kEndOfChain;
  const std::uint32_t dirStart = chainRun(dirSectors);
  const std::size_t fatFirst = next;
  for (std::size_t i = 0; i < fatSectors; ++i) fat[next++] = kFatSector;
  const std::size_t difatFirst = next;
  for (std::size_t i = 0; i < difatSectors; ++i) fat[next++] = kDifatSector;

  const std::size_t miniFatAt = out.size();
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
  Set32(out, 0x38, static_cast<std::uint32_t>(kMiniCutoff));
  Set32(out, 0x3C, miniFatStart);
  Set32(out, 0x40, static_cast<std::uint32_t>(miniFatSectors));
  Set32(out, 0x44, difatSectors ? static_cast<std::uint32_t>(difatFirst) : kEndOfChain);
  Set32(out, 0x48, static_cast<std::uint32_t>(difatSectors));
  for (std::size_t i = 0; i < 109; ++i)
    Set32(out, 0x4C + 4 * i, i < fatSectors ? static_cast<std::uint32_t>(fatFirst + i) : kFree);
  auto sectorOffset = [&](std::size_t sector) { return kHeaderSize + sector * kSector; };
  // The mini allocation table: the short streams lie one after another in the mini stream.
  {
    std::size_t k = 0;
    for (const DirNode& n : nodes) {
      if (n.type != 2 || n.size == 0 || n.size >= kMiniCutoff) continue;
      std::size_t count = (static_cast<std::size_t>(n.size) + kMiniSector - 1) / kMiniSector;
      for (std::size_t i = 0; i < count; ++i, ++k)
        Set32(out, miniFatAt + 4 * k,
              i + 1 < count ? static_cast<std::uint32_t>(k + 1) : kEndOfChain);
    }
    for (std::size_t end = miniFatSectors * kPerFat; k < end; ++k)
      Set32(out, miniFatAt + 4 * k, kFree);
  }
  LinkChildren(nodes);
  const std::size_t dirAt = sectorOffset(dirStart);
  for (std::size_t i = 0; i < dirSectors * kSector / kDirEntrySize; ++i) {
    const std::size_t at = dirAt + i * kDirEntrySize;
    Set32(out, at + 0x44, kNoStream);
    Set32(out, at + 0x48, kNoStream);
    Set32(out, at + 0x4C, kNoStream);
    if (i >= nodes.size()) continue;
    const DirNode& n = nodes[i];
    for (std::size_t c = 0; c < n.name.size(); ++c) Set16(out, at + 2 * c, n.name[c]);
    Set16(out, at + 0x40, static_cast<unsigned>(2 * (n.name.size() + 1)));
    out[at + 0x42] = n.type;
    out[at + 0x43] = n.red ? 0 : 1;
    Set32(out, at + 0x44, n.left);
    Set32(out, at + 0x48, n.right);
    Set32(out, at + 0x4C, n.child);
    std::copy(n.clsid.begin(), n.clsid.end(), out.begin() + static_cast<std::ptrdiff_t>(at + 0x50));
    Set32(out, at + 0x60, n.stateBits);
    Set32(out, at + 0x74, n.start);
    Set32(out, at + 0x78, static_cast<std::uint32_t>(n.size));
  }
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

std::size_t SectorsOf(std::size_t bytes) { return (bytes + kSector - 1) / kSector; }

}  // namespace

Bytes WriteCompoundFile(std::vector<std::pair<std::string, Bytes>> streams) {
  std::vector<DirNode> nodes(1);
  nodes[0].name = u"Root Entry";
  nodes[0].type = 5;
  std::size_t total = kHeaderSize;
  for (auto& s : streams) {
    if (s.second.size() < kMiniCutoff) s.second.resize(kMiniCutoff, 0);
    total += SectorsOf(s.second.size()) * kSector;
  }
  Bytes out;
  out.reserve(total + 4 * kSector);
  out.resize(kHeaderSize, 0);
  std::vector<std::size_t> runs;
  for (auto& s : streams) {
    DirNode n;
    n.name = Wide(s.first.substr(0, 31));
    n.start = static_cast<std::uint32_t>((out.size() - kHeaderSize) / kSector);
    n.size = s.second.size();
    nodes[0].children.push_back(static_cast<std::uint32_t>(nodes.size()));
    nodes.push_back(std::move(n));
    runs.push_back(SectorsOf(s.second.size()));
    out.insert(out.end(), s.second.begin(), s.second.end());
    out.resize(kHeaderSize + SectorsOf(out.size() - kHeaderSize) * kSector, 0);
    Bytes().swap(s.second);  // release each stream as soon as it is placed
  }
  CompleteContainer(nodes, runs, 0, out);
  return out;
}

void FinishCompoundFile(const std::string& name, Bytes& buffer,
                        const std::vector<CarriedStorageEntry>& others,
                        const std::array<std::uint8_t, 16>& rootClsid) {
  if (buffer.size() < kCompoundHeaderRoom + kMiniCutoff)
    buffer.resize(kCompoundHeaderRoom + kMiniCutoff, 0);
  const std::size_t size = buffer.size() - kCompoundHeaderRoom;
  buffer.resize(kCompoundHeaderRoom + SectorsOf(size) * kSector, 0);
  std::vector<DirNode> nodes(2);
  nodes[0].name = u"Root Entry";
  nodes[0].type = 5;
  nodes[0].clsid = rootClsid;
  nodes[0].children.push_back(1);
  nodes[1].name = Wide(name);
  nodes[1].start = 0;
  nodes[1].size = size;
  std::vector<std::size_t> runs{SectorsOf(size)};
  Bytes mini;
  for (const CarriedStorageEntry& e : others) {
    const std::uint32_t child = AddEntry(e, nodes, buffer, mini);  // may move `nodes`
    nodes[0].children.push_back(child);
  }
  // Each long stream is a run of its own, in the order the directory lists them.
  for (std::size_t i = 2; i < nodes.size(); ++i)
    if (nodes[i].type == 2 && nodes[i].size >= kMiniCutoff)
      runs.push_back(SectorsOf(static_cast<std::size_t>(nodes[i].size)));
  if (!mini.empty()) {
    nodes[0].start = static_cast<std::uint32_t>((buffer.size() - kHeaderSize) / kSector);
    nodes[0].size = mini.size();
    buffer.insert(buffer.end(), mini.begin(), mini.end());
    buffer.resize(kHeaderSize + SectorsOf(buffer.size() - kHeaderSize) * kSector, 0);
    runs.push_back(SectorsOf(mini.size()));
  }
  CompleteContainer(nodes, runs, mini.size() / kMiniSector, buffer);
}

}  // namespace engine::xls
