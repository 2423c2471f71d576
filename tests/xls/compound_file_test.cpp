// The compound-file container: what we write reads back byte for byte, and damaged containers
// are refused with a readable error instead of being read out of bounds or forever.
#include <gtest/gtest.h>

#include <algorithm>

#include "control/engine_error.h"
#include "control/xls/compound_file.h"

namespace {

using engine::xls::Bytes;
using engine::xls::CompoundFileReader;
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
