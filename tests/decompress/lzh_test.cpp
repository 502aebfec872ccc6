#include "decompress/lzh_internal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// The plain-callback entry needs plain functions; they work on this state.
struct Io {
  Bytes input;
  std::size_t next = 0;
  Bytes output;
  unsigned reads = 0;
  bool countsWereOne = true;
  std::size_t failAfter = SIZE_MAX;  // output bytes before the write callback raises
} io;

void ReadProc(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& actual) {
  ++io.reads;
  io.countsWereOne &= count == 1;
  actual = 0;
  if (io.next < io.input.size()) {
    *buffer = io.input[io.next++];
    actual = 1;
  }
}

void WriteProc(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& actual) {
  io.countsWereOne &= count == 1;
  if (io.output.size() == io.failAfter) throw std::runtime_error("disk full");
  io.output.insert(io.output.end(), buffer, buffer + count);
  actual = count;
}

Bytes Decode(const Bytes& coded, std::int32_t size) {
  io = Io{};
  io.input = coded;
  LzhDecode(size, ReadProc, WriteProc);
  EXPECT_TRUE(io.countsWereOne);
  return io.output;
}

Bytes Repeat(std::uint8_t byte, std::size_t n) { return Bytes(n, byte); }

TEST(LzhDecode, KnownStreams) {
  const struct {
    const char* name;
    Bytes coded;
    std::int32_t size;
    Bytes expected;
  } cases[] = {
      {"size 0", {0xF6, 0xFB}, 0, {}},
      {"negative size", {0xF6, 0xFB}, -7, {}},
      {"no input, size 1: the literal t", {}, 1, {0x74}},
      {"no input, size 2: t and a match of 60", {}, 2, Repeat(0x74, 61)},
      {"no input, size 61", {}, 61, Repeat(0x74, 61)},
      {"three literals", {0xF6, 0xFB, 0xBD, 0xE0}, 3, {0x61, 0x62, 0x63}},
      {"match overlapping its own output",
       {0xF6, 0xFB, 0xBD, 0xF1, 0xE0, 0x20},
       9,
       {0x61, 0x62, 0x63, 0x61, 0x62, 0x63, 0x61, 0x62, 0x63}},
      {"match into the initial spaces", {0x04, 0x8C, 0x02, 0x00}, 4, {0x78, 0x20, 0x20, 0x20}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Decode(c.coded, c.size), c.expected);
    if (c.size <= 0) {
      EXPECT_EQ(io.reads, 0u);
    }
  }
}

TEST(LzhDecode, CallbackErrorsPassThroughUnchanged) {
  io = Io{};
  io.failAfter = 30;
  EXPECT_THROW(LzhDecode(61, ReadProc, WriteProc), std::runtime_error);
  EXPECT_EQ(io.output.size(), 30u);
}

TEST(LzhDecode, OffsetTablesFollowThePublishedGroups) {
  const struct {
    unsigned index, upper, length;
  } edges[] = {
      {0x00, 0, 3},  {0x1F, 0, 3},  {0x20, 1, 4},  {0x2F, 1, 4},  {0x30, 2, 4},  {0x4F, 3, 4},
      {0x50, 4, 5},  {0x8F, 11, 5}, {0x90, 12, 6}, {0xBF, 23, 6}, {0xC0, 24, 7}, {0xEF, 47, 7},
      {0xF0, 48, 8}, {0xFF, 63, 8},
  };
  for (const auto& e : edges) {
    SCOPED_TRACE(e.index);
    EXPECT_EQ(lzh::kOffsetTables.upper[e.index], e.upper);
    EXPECT_EQ(lzh::kOffsetTables.length[e.index], e.length);
  }
}

// The shape every tree operation must keep: sorted frequencies, internal
// frequencies the sum of their children, children at an even position, and
// parent links that lead back.
void ExpectConsistent(const lzh::Tree& t) {
  using namespace lzh;
  unsigned leaves = 0;
  for (unsigned n = 0; n < kNodes; ++n) {
    SCOPED_TRACE(n);
    ASSERT_LE(t.Freq[n], t.Freq[n + 1]);
    const unsigned c = t.Child[n];
    if (c >= kNodes) {
      ++leaves;
      ASSERT_EQ(t.Parent[c], n);
      continue;
    }
    ASSERT_EQ(c % 2, 0u);
    ASSERT_LT(c + 1, n);
    ASSERT_EQ(t.Freq[n], t.Freq[c] + t.Freq[c + 1]);
    ASSERT_EQ(t.Parent[c], n);
    ASSERT_EQ(t.Parent[c + 1], n);
  }
  EXPECT_EQ(leaves, kSymbols);
  EXPECT_EQ(t.Freq[kNodes], 0xFFFF);
}

TEST(LzhTree, UpdatesAndRebuildsKeepTheTreeConsistent) {
  lzh::Tree t;
  lzh::InitTree(t);
  ExpectConsistent(t);
  EXPECT_EQ(t.Freq[lzh::kRoot], lzh::kSymbols);

  // A skewed distribution moves leaves far, and 100000 counts pass the
  // rebuild limit of the root several times.
  std::mt19937 rng(7);
  std::geometric_distribution<unsigned> skew(0.05);
  unsigned rebuilds = 0;
  for (int i = 0; i < 100000; ++i) {
    const unsigned before = t.Freq[lzh::kRoot];
    lzh::UpdateTree(t, skew(rng) % lzh::kSymbols);
    if (t.Freq[lzh::kRoot] < before) ++rebuilds;
    ASSERT_LE(t.Freq[lzh::kRoot], lzh::kRebuildLimit);
    if (i % 9973 == 0) ExpectConsistent(t);
  }
  ExpectConsistent(t);
  EXPECT_GE(rebuilds, 3u);
}

unsigned MaxLeafDepth(const lzh::Tree& t) {
  unsigned deepest = 0;
  for (unsigned s = 0; s < lzh::kSymbols; ++s) {
    unsigned depth = 0;
    for (unsigned n = t.Parent[s + lzh::kNodes]; n != lzh::kRoot; n = t.Parent[n]) ++depth;
    deepest = std::max(deepest, depth + 1);
  }
  return deepest;
}

// The decoder's bit buffer holds one code of at most kMaxCodeLength bits.
// Counts in Fibonacci proportion give the deepest trees there are.
TEST(LzhTree, CodesNeverOutgrowTheBitBuffer) {
  lzh::Tree t;
  lzh::InitTree(t);
  unsigned deepest = 0;
  for (int round = 0; round < 3; ++round) {
    unsigned a = 1, b = 1;
    for (unsigned s = 0; s < 24; ++s) {
      for (unsigned k = 0; k < a; ++k) lzh::UpdateTree(t, s);
      deepest = std::max(deepest, MaxLeafDepth(t));
      const unsigned next = a + b;
      a = b;
      b = next;
    }
  }
  EXPECT_LE(deepest, lzh::kMaxCodeLength);
  EXPECT_GE(deepest, lzh::kMaxCodeLength - 4) << "the distribution should come near the bound";
}

TEST(LzhTree, RebuildHalvesLeafCountsRoundingUp) {
  lzh::Tree t;
  lzh::InitTree(t);
  for (int i = 0; i < 6; ++i) lzh::UpdateTree(t, 'a');  // 'a' now counts 7
  lzh::RebuildTree(t);
  ExpectConsistent(t);
  const unsigned leafOfA = t.Parent['a' + lzh::kNodes];
  const unsigned leafOfB = t.Parent['b' + lzh::kNodes];
  EXPECT_EQ(t.Freq[leafOfA], 4u);
  EXPECT_EQ(t.Freq[leafOfB], 1u);
}

}  // namespace

// The word-wide match copy must leave ring and output exactly as the byte
// loop does wherever it takes a match, and take none it cannot copy so:
// every length, near both ends of the ring, at every short and long distance.
TEST(LzhMatchCopy, WordCopyEqualsByteCopy) {
  std::mt19937 rng(7);
  std::vector<std::uint8_t> start(lzh::kRingSize);
  for (auto& b : start) b = static_cast<std::uint8_t>(rng());
  std::vector<unsigned> positions = {0, 1, 7, 8, 2000};
  for (unsigned p = lzh::kRingSize - 70; p < lzh::kRingSize; ++p) positions.push_back(p);
  std::vector<unsigned> distances;
  for (unsigned d = 1; d <= 70; ++d) distances.push_back(d);
  for (unsigned d = lzh::kRingSize - 70; d <= lzh::kRingSize; ++d) distances.push_back(d);
  unsigned taken = 0;
  for (unsigned length = lzh::kMinMatch; length <= lzh::kMaxMatch; ++length) {
    for (const unsigned r : positions) {
      for (const unsigned distance : distances) {
        const unsigned from = (r - distance) & lzh::kRingMask;
        std::vector<std::uint8_t> ring = start;
        std::vector<std::uint8_t> out(length + 16, 0xEE);
        if (!lzh::CopyDisjointMatch(ring.data(), from, r, length, out.data())) {
          ASSERT_EQ(ring, start);
          ASSERT_TRUE(std::all_of(out.begin(), out.end(), [](std::uint8_t b) { return b == 0xEE; }));
          continue;
        }
        ++taken;
        std::vector<std::uint8_t> wantRing = start;
        std::vector<std::uint8_t> wantOut(length + 16, 0xEE);
        for (unsigned k = 0, f = from, w = r; k < length; ++k) {
          wantOut[k] = wantRing[f];
          wantRing[w] = wantRing[f];
          f = (f + 1) & lzh::kRingMask;
          w = (w + 1) & lzh::kRingMask;
        }
        ASSERT_EQ(ring, wantRing) << "length " << length << " r " << r << " distance " << distance;
        ASSERT_EQ(out, wantOut) << "length " << length << " r " << r << " distance " << distance;
      }
    }
  }
  EXPECT_GT(taken, 1000u);
}

// The rebuild's exact shape is part of the format (it decides every later
// code), ties included: it must equal joining neighbours and inserting each
// new node after every node of equal or lower count, done the plain way.
TEST(LzhTree, RebuildPlacesEveryNodeAsPlainInsertionDoes) {
  std::mt19937 rng(11);
  for (int round = 0; round < 40; ++round) {
    lzh::Tree t;
    lzh::InitTree(t);
    // Skewed counts with many ties: a few frequent symbols and a long tail.
    const unsigned spread = 4 + rng() % 300;
    while (t.Freq[lzh::kRoot] < lzh::kRebuildLimit) {
      const unsigned s = (rng() % 4 == 0) ? rng() % lzh::kSymbols : (rng() % spread) % lzh::kSymbols;
      lzh::UpdateTree(t, s);
    }
    lzh::Tree want = t;
    unsigned j = 0;
    for (unsigned i = 0; i < lzh::kNodes; ++i) {
      if (want.Child[i] >= lzh::kNodes) {
        want.Freq[j] = static_cast<std::uint16_t>((want.Freq[i] + 1u) / 2);
        want.Child[j] = want.Child[i];
        ++j;
      }
    }
    for (unsigned i = 0; j < lzh::kNodes; i += 2, ++j) {
      const unsigned f = want.Freq[i] + want.Freq[i + 1];
      unsigned k = j;
      while (f < want.Freq[k - 1]) --k;
      for (unsigned m = j; m > k; --m) {
        want.Freq[m] = want.Freq[m - 1];
        want.Child[m] = want.Child[m - 1];
      }
      want.Freq[k] = static_cast<std::uint16_t>(f);
      want.Child[k] = static_cast<std::uint16_t>(i);
    }
    lzh::RebuildTree(t);
    ExpectConsistent(t);
    for (unsigned n = 0; n < lzh::kNodes; ++n) {
      ASSERT_EQ(t.Freq[n], want.Freq[n]) << "round " << round << " node " << n;
      ASSERT_EQ(t.Child[n], want.Child[n]) << "round " << round << " node " << n;
    }
  }
}
