// Whole-file reads: every byte arrives whatever the file's size says, when the size is only a
// guess (a pipe, a file that grows), across the growth of the buffer past the huge-page size,
// and an empty file reads as empty.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "control/engine_error.h"
#include "control/io/file_io.h"
#include "support/scratch.h"

namespace {

namespace fs = std::filesystem;
using engine::MappedBuffer;
using engine::xls::ReadWholeFile;

std::string Pattern(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131) ^ (i >> 11));
  return s;
}

bool Same(const MappedBuffer& got, const std::string& want) {
  return got.size() == want.size() &&
         std::equal(want.begin(), want.end(), reinterpret_cast<const char*>(got.data()));
}

TEST(WholeFileRead, FilesOfEverySizeArriveWhole) {
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{4096},
                           engine::kHugePageBytes - 1, engine::kHugePageBytes,
                           engine::kHugePageBytes * 2 + 12345}) {
    SCOPED_TRACE(size);
    const fs::path path = ScratchFile("whole_file_read", "f" + std::to_string(size));
    const std::string bytes = Pattern(size);
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    EXPECT_TRUE(Same(ReadWholeFile(path.string()), bytes));
  }
}

// A pipe has no size: the buffer starts at one byte and grows, through mapped memory of more
// than a huge page, to hold everything the writer sends.
TEST(WholeFileRead, APipeIsReadToItsEnd) {
  const fs::path path = ScratchFile("whole_file_read", "pipe");
  fs::remove(path);
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  const std::string bytes = Pattern(5 * 1024 * 1024 + 77);
  std::thread writer([&] {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    for (std::size_t at = 0; at < bytes.size(); at += 100000)
      std::fwrite(bytes.data() + at, 1, std::min<std::size_t>(100000, bytes.size() - at), f);
    std::fclose(f);
  });
  MappedBuffer got = ReadWholeFile(path.string());
  writer.join();
  EXPECT_TRUE(Same(got, bytes));
  fs::remove(path);
}

TEST(WholeFileRead, AFolderOrAMissingFileIsAClearError) {
  const fs::path dir = ScratchFile("whole_file_read", "folder");
  fs::create_directories(dir);
  EXPECT_THROW(ReadWholeFile(dir.string()), engine::EngineError);
  EXPECT_THROW(ReadWholeFile((dir / "missing").string()), engine::EngineError);
}

}  // namespace
