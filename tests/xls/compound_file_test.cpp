// The compound-file container: what we write reads back byte for byte, and damaged containers
// are refused with a readable error instead of being read out of bounds or forever.
#include <gtest/gtest.h>

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
