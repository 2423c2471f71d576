// The compound-file container: what we write reads back byte for byte, the streams and storages
// beside the workbook stream (a macro project, embedded objects, the document's properties)
// come back as a tree at their exact sizes, and damaged containers (chains or a directory that
// loop, point outside the file or nest without end) are refused with a readable error instead
// of being read out of bounds or forever.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "control/engine_error.h"
#include "control/xls/compound_file.h"

namespace {

using engine::CarriedStorageEntry;
using engine::xls::Bytes;
using engine::xls::CompoundFileReader;
using engine::xls::FinishCompoundFile;
using engine::xls::Get32;
using engine::xls::Set32;
using engine::xls::WriteCompoundFile;

Bytes Pattern(std::size_t n, unsigned seed) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>((i * 31 + seed) ^ (i >> 9));
  return b;
}

std::string ErrorOf(const Bytes& file) {
  try {
    CompoundFileReader r(file.data(), file.size());
    Bytes out;
    for (const auto& n : r.StreamNames()) r.ReadStream(n, out);
    r.ReadStream("NoSuchStream", out);  // walks the whole directory tree
    r.OtherEntries();                   // and every storage's, reading every stream
  } catch (const engine::EngineError& e) {
    return e.Description();
  }
  return "";
}

TEST(CompoundFile, StreamsOfEverySizeReadBackUnchanged) {
  // 8 MB needs more allocation-table sectors than the header lists, so the DIFAT chain is used.
  for (std::size_t size : {std::size_t{5000}, std::size_t{4096}, std::size_t{200000},
                           std::size_t{8u << 20}}) {
    SCOPED_TRACE(size);
    Bytes data = Pattern(size, 7);
    Bytes file = WriteCompoundFile({{"Workbook", data}, {"Other", Pattern(10000, 3)}});
    CompoundFileReader r(file.data(), file.size());
    Bytes out;
    ASSERT_TRUE(r.ReadStream("workbook", out));  // names compare without case
    EXPECT_EQ(out, data);
    ASSERT_TRUE(r.ReadStream("Other", out));
    EXPECT_EQ(out, Pattern(10000, 3));
    EXPECT_FALSE(r.ReadStream("Book", out));
  }
}

TEST(CompoundFile, ShortStreamsArePaddedToTheCutOff) {
  Bytes data = Pattern(100, 1);
  Bytes file = WriteCompoundFile({{"Book", data}});
  CompoundFileReader r(file.data(), file.size());
  Bytes out;
  ASSERT_TRUE(r.ReadStream("Book", out));
  ASSERT_EQ(out.size(), 4096u);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), out.begin()));
}

TEST(CompoundFile, DamagedContainersAreRefusedWithAReason) {
  Bytes good = WriteCompoundFile({{"Workbook", Pattern(20000, 5)}});
  ASSERT_EQ(ErrorOf(good), "");
  // The stream's chain starts at sector 0: point sector 3 back at sector 1 (a loop).
  Bytes loop = good;
  std::size_t fatSector = Get32(loop.data() + 0x4C);
  Set32(loop, 512 + fatSector * 512 + 3 * 4, 1);
  EXPECT_NE(ErrorOf(loop).find("loops"), std::string::npos) << ErrorOf(loop);
  // A chain that points past the end of the file.
  Bytes outside = good;
  Set32(outside, 512 + fatSector * 512 + 2 * 4, 100000);
  EXPECT_NE(ErrorOf(outside).find("outside"), std::string::npos) << ErrorOf(outside);
  // Cut off in the middle of the stream's sectors.
  Bytes cut(good.begin(), good.begin() + 512 * 10);
  EXPECT_NE(ErrorOf(cut), "");
  // Not a compound file, or only its signature.
  Bytes sig(good.begin(), good.begin() + 8);
  EXPECT_NE(ErrorOf(sig), "");
  Bytes junk(4096, 0xAB);
  EXPECT_NE(ErrorOf(junk), "");
  // A stream claiming far more bytes than the file holds.
  Bytes huge = good;
  std::size_t dir = Get32(huge.data() + 0x30);
  Set32(huge, 512 + dir * 512 + 128 + 0x78, 0x7FFFFFFF);
  EXPECT_NE(ErrorOf(huge), "");
  // A directory tree whose entry points at itself.
  Bytes selfRef = good;
  Set32(selfRef, 512 + dir * 512 + 128 + 0x44, 1);
  EXPECT_NE(ErrorOf(selfRef).find("loops"), std::string::npos) << ErrorOf(selfRef);
}

CarriedStorageEntry Stream(std::u16string name, std::size_t size, unsigned seed) {
  CarriedStorageEntry e;
  e.name = std::move(name);
  e.data = Pattern(size, seed);
  return e;
}

CarriedStorageEntry Storage(std::u16string name, std::vector<CarriedStorageEntry> children) {
  CarriedStorageEntry e;
  e.name = std::move(name);
  e.storage = true;
  e.children = std::move(children);
  return e;
}

// A macro workbook's tree: the project's storage with its class and state bits, short and long
// module streams, an empty one, many short siblings (more than one sector of the mini stream's
// table) and the property streams at the root.
std::vector<CarriedStorageEntry> MacroTree() {
  CarriedStorageEntry vba = Storage(u"VBA", {Stream(u"dir", 300, 1), Stream(u"Module1", 5000, 2),
                                             Stream(u"_VBA_PROJECT", 7, 3), Stream(u"Empty", 0, 0),
                                             Stream(u"ThisWorkbook", 4095, 4)});
  for (unsigned k = 0; k < 40; ++k)
    vba.children.push_back(Stream(u"__SRP_" + std::u16string(1, u'a' + static_cast<char16_t>(k % 26)) +
                                      std::u16string(1, u'0' + static_cast<char16_t>(k / 26)),
                                  200 + k * 37, 10 + k));
  CarriedStorageEntry project = Storage(u"_VBA_PROJECT_CUR", {std::move(vba),
                                                              Stream(u"PROJECT", 500, 5)});
  project.clsid[0] = 0x42;
  project.clsid[15] = 0x99;
  project.stateBits = 0x1234;
  return {Stream(u"\x05SummaryInformation", 232, 6), std::move(project),
          Stream(u"MBD00A1B2C3", 0, 0), Stream(u"\x01" u"CompObj", 4096, 7)};
}

// Path -> contents, so that trees compare without regard to sibling order.
void Flatten(const std::vector<CarriedStorageEntry>& entries, const std::u16string& at,
             std::map<std::u16string, const CarriedStorageEntry*>& out) {
  for (const CarriedStorageEntry& e : entries) {
    out[at + u"/" + e.name] = &e;
    Flatten(e.children, at + u"/" + e.name, out);
  }
}

void ExpectSameTree(const std::vector<CarriedStorageEntry>& a,
                    const std::vector<CarriedStorageEntry>& b) {
  std::map<std::u16string, const CarriedStorageEntry*> fa, fb;
  Flatten(a, u"", fa);
  Flatten(b, u"", fb);
  ASSERT_EQ(fa.size(), fb.size());
  for (const auto& [path, e] : fa) {
    ASSERT_TRUE(fb.count(path)) << std::string(path.begin(), path.end());
    const CarriedStorageEntry& o = *fb.at(path);
    EXPECT_EQ(e->storage, o.storage);
    EXPECT_EQ(e->clsid, o.clsid);
    EXPECT_EQ(e->stateBits, o.stateBits);
    EXPECT_EQ(e->data, o.data) << std::string(path.begin(), path.end());
  }
}

Bytes Written(const Bytes& workbook, const std::vector<CarriedStorageEntry>& others) {
  Bytes file(engine::xls::kCompoundHeaderRoom + workbook.size());
  std::copy(workbook.begin(), workbook.end(),
            file.begin() + static_cast<std::ptrdiff_t>(engine::xls::kCompoundHeaderRoom));
  std::array<std::uint8_t, 16> root{};
  root[0] = 0x20;
  root[1] = 0x08;
  FinishCompoundFile("Workbook", file, others, root);
  return file;
}

TEST(CompoundFile, OtherStreamsAndStoragesComeBackAtTheirExactSizes) {
  for (std::size_t size : {std::size_t{100}, std::size_t{70000}}) {
    SCOPED_TRACE(size);
    const Bytes workbook = Pattern(size, 9);
    const std::vector<CarriedStorageEntry> tree = MacroTree();
    const Bytes file = Written(workbook, tree);
    CompoundFileReader r(file.data(), file.size());
    Bytes out;
    ASSERT_TRUE(r.ReadStream("Workbook", out));
    EXPECT_TRUE(std::equal(workbook.begin(), workbook.end(), out.begin()));
    EXPECT_EQ(r.RootClsid()[0], 0x20);
    const std::vector<CarriedStorageEntry> back = r.OtherEntries();
    ExpectSameTree(tree, back);
    // The workbook stream is never among them: a save writes it anew.
    for (const CarriedStorageEntry& e : back) EXPECT_NE(e.name, u"Workbook");
    // Read back from a second round, the same tree in the same order: each storage's entries
    // come in the order of their names.
    const Bytes again = Written(workbook, back);
    EXPECT_TRUE(CompoundFileReader(again.data(), again.size()).OtherEntries() == back);
  }
}

// The directory entry of the given name in a file we wrote, as an offset into the file.
std::size_t EntryAt(const Bytes& file, const std::u16string& name) {
  const std::size_t dir = 512 + Get32(file.data() + 0x30) * 512;
  for (std::size_t at = dir; at + 128 <= file.size(); at += 128) {
    std::u16string n;
    for (std::size_t i = 0; i + 1 < 64; i += 2) {
      char16_t c = static_cast<char16_t>(file[at + i] | (file[at + i + 1] << 8));
      if (!c) break;
      n.push_back(c);
    }
    if (n == name) return at;
  }
  ADD_FAILURE() << "no such entry";
  return dir;
}

TEST(CompoundFile, ADamagedDirectoryIsRefusedWithAReason) {
  const Bytes good = Written(Pattern(5000, 1), MacroTree());
  ASSERT_EQ(ErrorOf(good), "");
  // A storage whose entries lead back to the storage holding it, and one that is its own sibling.
  const std::size_t root = EntryAt(good, u"Root Entry");
  const std::size_t vba = EntryAt(good, u"VBA");
  const std::size_t project = EntryAt(good, u"_VBA_PROJECT_CUR");
  auto idOf = [&](std::size_t at) { return static_cast<std::uint32_t>((at - root) / 128); };
  Bytes cycle = good;
  Set32(cycle, vba + 0x4C, idOf(project));
  EXPECT_NE(ErrorOf(cycle).find("loops"), std::string::npos) << ErrorOf(cycle);
  cycle = good;
  Set32(cycle, vba + 0x44, idOf(vba));
  EXPECT_NE(ErrorOf(cycle).find("loops"), std::string::npos) << ErrorOf(cycle);
  // A child and a sibling that are not entries of the directory.
  Bytes outside = good;
  Set32(outside, project + 0x4C, 5000);
  EXPECT_NE(ErrorOf(outside).find("missing entry"), std::string::npos) << ErrorOf(outside);
  outside = good;
  Set32(outside, EntryAt(outside, u"PROJECT") + 0x48, 0x7FFFFFF0);
  EXPECT_NE(ErrorOf(outside).find("missing entry"), std::string::npos) << ErrorOf(outside);
  // A long stream inside a storage whose chain loops.
  Bytes loop = good;
  const std::uint32_t start = Get32(loop.data() + EntryAt(loop, u"Module1") + 0x74);
  const std::size_t loopFat = 512 + Get32(loop.data() + 0x4C) * 512;
  Set32(loop, loopFat + (start + 2) * 4, start);
  EXPECT_NE(ErrorOf(loop).find("loops"), std::string::npos) << ErrorOf(loop);
  // A short stream whose mini chain loops.
  Bytes miniLoop = good;
  const std::uint32_t miniStart = Get32(miniLoop.data() + EntryAt(miniLoop, u"dir") + 0x74);
  const std::size_t miniFat = 512 + Get32(miniLoop.data() + 0x3C) * 512;
  Set32(miniLoop, miniFat + (miniStart + 1) * 4, miniStart);
  EXPECT_NE(ErrorOf(miniLoop).find("loops"), std::string::npos) << ErrorOf(miniLoop);
  // Storages nested inside one another without end.
  CarriedStorageEntry deep = Stream(u"leaf", 10, 1);
  for (int k = 0; k < 40; ++k) deep = Storage(u"s" + std::u16string(1, u'a' + k % 26), {deep});
  EXPECT_NE(ErrorOf(Written(Pattern(5000, 1), {deep})).find("nest"), std::string::npos);
  // Streams whose chains overlap so that they add up to far more than the file: refused
  // rather than copied many times over.
  std::vector<CarriedStorageEntry> many;
  for (char16_t c = u'a'; c < u'a' + 20; ++c) many.push_back(Stream(std::u16string(1, c), 8192, c));
  Bytes overlap = Written(Pattern(5000, 1), many);
  const std::uint32_t first = Get32(overlap.data() + EntryAt(overlap, u"a") + 0x74);
  const std::size_t fat = 512 + Get32(overlap.data() + 0x4C) * 512;
  for (std::uint32_t s = first; s + 1 < first + 20 * 16; ++s) Set32(overlap, fat + s * 4, s + 1);
  for (char16_t c = u'a'; c < u'a' + 20; ++c) {
    const std::size_t e = EntryAt(overlap, std::u16string(1, c));
    Set32(overlap, e + 0x74, first);
    Set32(overlap, e + 0x78, 20 * 8192);
  }
  EXPECT_NE(ErrorOf(overlap).find("more bytes"), std::string::npos) << ErrorOf(overlap);
}

}  // namespace

TEST(CompoundFile, AStreamInOnePieceIsReadInPlaceAndAScatteredOneIsCopied) {
  const Bytes data = Pattern(20000, 9);
  const Bytes file = WriteCompoundFile({{"Workbook", data}, {"Small", Pattern(300, 2)}});
  std::uint32_t first = 0;  // the stream's first sector
  {
    CompoundFileReader r(file.data(), file.size());
    Bytes storage;
    const auto view = r.StreamView("workbook", storage);
    ASSERT_TRUE(view);
    EXPECT_TRUE(storage.empty());  // no copy: the view lies in the file
    EXPECT_TRUE(view->data() >= file.data() &&
                view->data() + view->size() <= file.data() + file.size());
    EXPECT_EQ(Bytes(view->begin(), view->end()), data);
    first = static_cast<std::uint32_t>((view->data() - file.data()) / 512 - 1);
    // A short stream lives in the mini stream: always copied, padded as ReadStream pads it.
    const auto small = r.StreamView("Small", storage);
    ASSERT_TRUE(small);
    Bytes expected;
    ASSERT_TRUE(r.ReadStream("Small", expected));
    EXPECT_EQ(Bytes(small->begin(), small->end()), expected);
    EXPECT_FALSE(r.StreamView("Book", storage));
  }
  // The same stream with its second and third sectors swapped in the file and the chain
  // following them: the contents are the same, read by copying.
  Bytes scattered = file;
  const std::size_t fat = 512 + Get32(scattered.data() + 0x4C) * 512;
  auto entry = [&](std::uint32_t sector) { return fat + sector * 4; };
  ASSERT_EQ(Get32(scattered.data() + entry(first)), first + 1);
  ASSERT_EQ(Get32(scattered.data() + entry(first + 1)), first + 2);
  const std::uint32_t afterThird = Get32(scattered.data() + entry(first + 2));
  Set32(scattered, entry(first), first + 2);
  Set32(scattered, entry(first + 2), first + 1);
  Set32(scattered, entry(first + 1), afterThird);
  const auto at = [&](std::uint32_t sector) { return scattered.begin() + (sector + 1) * 512; };
  std::swap_ranges(at(first + 1), at(first + 2), at(first + 2));
  CompoundFileReader r(scattered.data(), scattered.size());
  Bytes storage;
  const auto view = r.StreamView("Workbook", storage);
  ASSERT_TRUE(view);
  EXPECT_FALSE(storage.empty());
  EXPECT_EQ(Bytes(view->begin(), view->end()), data);
  // A file cut off inside a stream in one piece is refused as the copying read refuses it.
  const Bytes cut(file.begin(), file.begin() + 512 * 20);
  EXPECT_THROW(
      {
        CompoundFileReader c(cut.data(), cut.size());
        Bytes s;
        c.StreamView("Workbook", s);
      },
      engine::EngineError);
}
