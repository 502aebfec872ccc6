// Known answers: streams made by an LZHUF encoder that shares no code with
// this program (jLHA's -lh1- method, checked with lhasa; see
// known/make-streams.sh), with the SHA-256 of the data they were made from.
// The packer's round trips cannot show a fault that encoder and decoder
// share, such as the rebuild limit or the order of equal counts; these can.
// Each stream passes several rebuilds of the tree and several output blocks,
// and is decoded three ways: Expand between files (block spans), the
// decoder byte by byte through callbacks, and the plain reference decoder.
#include "decompress/compress.h"
#include "decompress/lzh_internal.h"

#include "tests/decompress/reference_lzh.h"
#include "tests/support/test_files.h"
#include "tests/support/sha256.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using kvtest::Bytes;

struct Known {
  std::string sha256;
  std::size_t size;
  std::string name;
};

std::vector<Known> ReadSums() {
  std::ifstream sums(std::string(KV_KNOWN_DIR) + "/SHA256SUMS");
  std::vector<Known> known;
  Known k;
  while (sums >> k.sha256 >> k.size >> k.name) known.push_back(k);
  return known;
}

std::string Digest(Bytes output, std::size_t size) {
  output.resize(std::min(output.size(), size));  // the last match may run past the size
  return kvtest::Sha256(output);
}

TEST(KnownStreams, DecodeToWhatTheIndependentEncoderWasGiven) {
  const std::vector<Known> known = ReadSums();
  ASSERT_EQ(known.size(), 2u);
  for (const Known& k : known) {
    SCOPED_TRACE(k.name);
    const std::string path = std::string(KV_KNOWN_DIR) + "/" + k.name;
    const Bytes file = kvtest::ReadBytes(path);
    ASSERT_GT(file.size(), kHzlHeaderSize);
    const Bytes coded(file.begin() + kHzlHeaderSize, file.end());
    const auto size = static_cast<std::int32_t>(k.size);

    kvtest::TempDir dir;
    InFileName = path;
    OutFileName = dir / "OUT";
    ASSERT_EQ(Expand(), 1);
    const Bytes expanded = kvtest::ReadBytes(OutFileName);
    EXPECT_EQ(expanded.size(), k.size);
    EXPECT_EQ(kvtest::Sha256(expanded), k.sha256) << "Expand";

    std::size_t next = 0;
    Bytes bytewise;
    const bool cutShort = lzh::LzhDecodeWith(
        size, [&]() -> int { return next < coded.size() ? coded[next++] : -1; },
        [&](std::uint8_t c) { bytewise.push_back(c); });
    EXPECT_FALSE(cutShort);
    EXPECT_EQ(Digest(bytewise, k.size), k.sha256) << "byte by byte";

    const reference::Decoded plain = reference::LzhDecode(coded.data(), coded.size(), size);
    EXPECT_FALSE(plain.usedMissingBits);
    EXPECT_EQ(Digest(plain.output, k.size), k.sha256) << "reference decoder";
    EXPECT_GE(plain.rebuilds, 2u) << "the stream should pass several rebuilds of the tree";
    EXPECT_GT(k.size, 2 * kIoBlockSize) << "the output should pass several blocks";
  }
}

}  // namespace
