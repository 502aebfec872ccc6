// Replays the files of the regression corpus (damaged and odd compressed
// files, many found by the fuzzer) through the whole expansion: whatever a
// file holds, Expand ends, writes exactly what the plain reference decoder
// produces or, where the data was cut short or the size is negative, fails
// and leaves nothing behind; and the decoder alone agrees with the reference
// decoder. What they decode to, odd data the fuzzer found, packs and decodes
// back again.
#include "decompress/compress.h"
#include "decompress/lzh_internal.h"

#include "tests/decompress/reference_lzh.h"
#include "tests/support/test_files.h"
#include "tools/hzpack/hzl_pack.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using kvtest::Bytes;

// Larger stored sizes are only decoded this far, in memory.
constexpr std::int64_t kReplayLimit = 1 << 20;

std::int32_t StoredSize(const Bytes& file) {
  return static_cast<std::int32_t>(file[4] | file[5] << 8 | file[6] << 16 | static_cast<std::uint32_t>(file[7]) << 24);
}

TEST(Corpus, DamagedFilesExpandAsTheReferenceDecoderSays) {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(KV_CORPUS_DIR)) files.push_back(e.path());
  ASSERT_GE(files.size(), 10u);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    const Bytes file = kvtest::ReadBytes(path.string());
    const bool compressed = file.size() >= kHzlHeaderSize && file[0] == '!' && file[1] == 'H' && file[2] == 'Z' &&
                            file[3] == 'L';
    const std::int64_t stored = compressed ? StoredSize(file) : 0;
    const bool replayed = compressed && stored <= kReplayLimit;

    reference::Decoded want;
    // Bytes after the stream: without its last byte it still decodes whole.
    bool leftOver = false;
    if (replayed) {
      const std::size_t coded = file.size() - kHzlHeaderSize;
      leftOver = coded > 0 && !reference::LzhDecode(file.data() + kHzlHeaderSize, coded - 1,
                                                   static_cast<std::int32_t>(stored)).usedMissingBits;
      want = reference::LzhDecode(file.data() + kHzlHeaderSize, file.size() - kHzlHeaderSize,
                                  static_cast<std::int32_t>(stored));
      std::size_t next = kHzlHeaderSize;
      Bytes got;
      const bool cutShort = lzh::LzhDecodeWith(
          static_cast<std::int32_t>(stored), [&]() -> int { return next < file.size() ? file[next++] : -1; },
          [&](std::uint8_t c) { got.push_back(c); });
      EXPECT_EQ(got, want.output);
      EXPECT_EQ(cutShort, want.usedMissingBits);

      const Bytes original(want.output.begin(), want.output.begin() + std::max<std::ptrdiff_t>(stored, 0));
      const Bytes packed = hzpack::PackBytes(original);
      reference::Decoded again = reference::LzhDecode(packed.data() + kHzlHeaderSize, packed.size() - kHzlHeaderSize,
                                                      static_cast<std::int32_t>(original.size()));
      EXPECT_FALSE(again.usedMissingBits);
      again.output.resize(original.size());
      EXPECT_EQ(again.output, original);
    }

    kvtest::TempDir dir;
    InFileName = path.string();
    OutFileName = dir / "OUT.EXE";
    const bool expanded = Expand() == 1;
    if (compressed && stored < 0) {
      EXPECT_FALSE(expanded);  // decodes to nothing, but is never expanded
    } else if (replayed) {
      EXPECT_EQ(expanded, !want.usedMissingBits && !leftOver);
    } else if (!compressed) {
      EXPECT_FALSE(expanded);
    }
    if (expanded && replayed) {
      EXPECT_EQ(kvtest::ReadBytes(OutFileName), want.output);
    } else if (expanded) {
      const auto written = static_cast<std::int64_t>(std::filesystem::file_size(OutFileName));
      EXPECT_GE(written, std::max<std::int64_t>(stored, 0));
      EXPECT_LE(written, std::max<std::int64_t>(stored, 0) + 59);
    } else {
      EXPECT_TRUE(dir.Entries().empty());
    }
  }
}

}  // namespace
