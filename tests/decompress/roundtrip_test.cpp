// Packer then decoder: every packed file expands to its original, through
// Expand and through the plain reference decoder, and no complete stream is
// refused as cut short.
#include "decompress/compress.h"
#include "decompress/lzh_internal.h"

#include "tests/decompress/reference_lzh.h"
#include "tests/support/test_files.h"
#include "tools/hzpack/hzl_pack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using kvtest::Bytes;

Bytes Random(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes b(size);
  for (auto& x : b) x = static_cast<std::uint8_t>(rng());
  return b;
}

// Runs of random bytes and lengths: many short matches, so the symbol count
// passes the tree's rebuild limit of 32768 several times.
Bytes Runs(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes b;
  while (b.size() < size) b.insert(b.end(), 1 + rng() % 70, static_cast<std::uint8_t>(rng() % 7));
  b.resize(size);
  return b;
}

// Words from a small vocabulary: text-like, mostly matches.
Bytes Text(std::size_t size, unsigned seed) {
  static const char* const kWords[] = {"Setup ", "Datei ", "installiert ", "wird ", "der ", "die ", "und ",
                                       "Verzeichnis ", "Programm\r\n", "nicht ", "kopiert. ", "Fehler "};
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < size) s += kWords[rng() % 12];
  s.resize(size);
  return kvtest::ToBytes(s);
}

// Byte values in Fibonacci proportion, shuffled: the longest codes there are.
Bytes DeepCodes(unsigned seed) {
  Bytes b;
  unsigned x = 1, y = 1;
  for (unsigned v = 0; v < 24; ++v) {
    b.insert(b.end(), x, static_cast<std::uint8_t>(v * 11));
    const unsigned next = x + y;
    x = y;
    y = next;
  }
  std::shuffle(b.begin(), b.end(), std::mt19937(seed));
  return b;
}

Bytes AllByteValues() {
  Bytes b(256);
  for (unsigned i = 0; i < 256; ++i) b[i] = static_cast<std::uint8_t>(i);
  return b;
}

struct Case {
  std::string name;
  Bytes data;
};

std::vector<Case> Corpus() {
  std::vector<Case> cases = {
      {"empty", {}},
      {"one byte", {0x42}},
      {"all 256 byte values", AllByteValues()},
      {"all 256 byte values twice", [] { Bytes b = AllByteValues(); b.insert(b.end(), b.begin(), b.end()); return b; }()},
      {"one long run", Bytes(300000, 'a')},
      {"runs past the rebuild limit", Runs(400000, 1)},
      {"random", Random(100000, 2)},
      {"longest codes", DeepCodes(4)},
      {"text", Text(200000, 3)},
      {"spaces like the initial ring", Bytes(5000, ' ')},
  };
  for (const std::size_t size : {32767u, 32768u, 32769u, 65535u, 65536u, 65537u}) {
    cases.push_back({"text of " + std::to_string(size), Text(size, static_cast<unsigned>(size))});
  }
  return cases;
}

TEST(RoundTrip, PackedFilesExpandToTheirOriginals) {
  for (const Case& c : Corpus()) {
    SCOPED_TRACE(c.name);
    const Bytes packed = hzpack::PackBytes(c.data);
    kvtest::TempDir dir;
    InFileName = dir / "DATA.DA_";
    OutFileName = dir / "DATA.DAT";
    kvtest::WriteBytes(InFileName, packed);
    ASSERT_EQ(Expand(), 1);
    EXPECT_TRUE(kvtest::ReadBytes(OutFileName) == c.data);
    // A fault the encoder shares with the optimised decoder shows here.
    reference::Decoded plain = reference::LzhDecode(packed.data() + kHzlHeaderSize, packed.size() - kHzlHeaderSize,
                                                    static_cast<std::int32_t>(c.data.size()));
    EXPECT_FALSE(plain.usedMissingBits);
    plain.output.resize(c.data.size());
    EXPECT_TRUE(plain.output == c.data);
  }
}

// The decoder never needs more bits than the encoder wrote, and every byte
// the encoder wrote holds at least one needed bit: so a whole stream is
// accepted and a stream missing its last byte is refused.
TEST(RoundTrip, OnlyCompleteStreamsAreAccepted) {
  for (const Case& c : Corpus()) {
    SCOPED_TRACE(c.name);
    const Bytes packed = hzpack::PackBytes(c.data);
    const Bytes coded(packed.begin() + kHzlHeaderSize, packed.end());
    const auto size = static_cast<std::int32_t>(c.data.size());
    for (std::size_t length : {coded.size(), coded.size() - 1}) {
      if (length > coded.size()) continue;  // an empty stream has nothing to cut
      std::size_t next = 0;
      Bytes out;
      const bool overran = lzh::LzhDecodeWith(
          size, [&]() -> int { return next < length ? coded[next++] : -1; },
          [&](std::uint8_t b) { out.push_back(b); });
      EXPECT_EQ(overran, length < coded.size()) << "coded length " << length << " of " << coded.size();
      if (length == coded.size()) {
        EXPECT_TRUE(out == c.data);
      }
    }
  }
}

TEST(PackedName, FollowsTheMappingAndWarnsWhereItDoesNot) {
  const struct {
    const char* in;
    const char* packed;
    bool warns;
  } cases[] = {
      {"DEMO.EXE", "DEMO.EX_", false},
      {"demo.exe", "demo.ex_", false},
      {"x.doc", "x.do_", true},  // installs as x.DOT
      {"kvx-ww8.doc", "kvx-ww8.do_", false},
      {"x.dot", "x.do_", false},
      {"Readme.txt", "Readme.tx_", false},
      {"DATA.XYZ", "DATA.XY_", true},  // no rule: installs as DATA.XY_
      {"dir.d/README", "dir.d/README._", true},
      {"NAME.W", "NAME._", true},
      {"NAME.", "NAME._", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(hzpack::PackedName(c.in), c.packed);
    EXPECT_EQ(!hzpack::NameWarning(c.in, c.packed).empty(), c.warns);
  }
}

}  // namespace
