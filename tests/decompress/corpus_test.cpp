// Replays the files of the regression corpus (damaged and odd compressed
// files, many found by the fuzzer) through the whole expansion: whatever a
// file holds, Expand ends, writes no more than the stored size plus one last
// match, and on failure leaves nothing behind.
#include "decompress/compress.h"
#include "decompress/lzh.h"

#include "tests/decompress/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using kvtest::Bytes;

// Larger stored sizes are decoded only as far as this, in memory.
constexpr std::int64_t kReplayLimit = 1 << 20;

std::int32_t StoredSize(const Bytes& file) {
  return static_cast<std::int32_t>(file[4] | file[5] << 8 | file[6] << 16 | static_cast<std::uint32_t>(file[7]) << 24);
}

TEST(Corpus, DamagedFilesExpandSafely) {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(KV_CORPUS_DIR)) files.push_back(e.path());
  ASSERT_GE(files.size(), 10u);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    const Bytes file = kvtest::ReadBytes(path.string());
    const bool hasHeader = file.size() >= kHzlHeaderSize && file[0] == '!' && file[1] == 'H';
    const std::int64_t stored = hasHeader ? StoredSize(file) : 0;

    // The decoder alone, on the coded data as it stands.
    if (hasHeader && stored <= kReplayLimit) {
      std::size_t next = kHzlHeaderSize;
      std::int64_t produced = 0;
      lzh::LzhDecodeWith(
          static_cast<std::int32_t>(stored), [&]() -> int { return next < file.size() ? file[next++] : -1; },
          [&](std::uint8_t) { ++produced; });
      EXPECT_LE(produced, std::max<std::int64_t>(stored, 0) + 59);
      EXPECT_GE(produced, std::max<std::int64_t>(stored, 0));
    }

    // The whole driver over files.
    kvtest::TempDir dir;
    InFileName = path.string();
    OutFileName = dir / "OUT.EXE";
    if (Expand() == 1) {
      const std::int64_t written = static_cast<std::int64_t>(std::filesystem::file_size(OutFileName));
      EXPECT_GE(written, std::max<std::int64_t>(stored, 0));
      EXPECT_LE(written, std::max<std::int64_t>(stored, 0) + 59);
    } else {
      EXPECT_TRUE(dir.Entries().empty());
    }
  }
}

}  // namespace
