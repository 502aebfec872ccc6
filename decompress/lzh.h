// Unit lzh: the LZHUF decoder (LZSS with a 4096-byte ring and an adaptive
// Huffman code for literals and match lengths, a fixed prefix code for the
// upper 6 bits of match positions).
//
// The decoder is a codec in the narrow sense: it pulls coded bytes through a
// read callback and pushes output bytes through a write callback, one byte
// per call, and knows nothing of files. `LzhDecode` is the entry with plain
// function pointers; `LzhDecodeWith` is the same decoder as a template, so a
// caller whose callbacks the compiler can see (the `compress` unit) gets them
// inlined into the hot loop instead of two indirect calls per byte.
//
// Coded symbol stream, bits taken from the most significant bit of each byte:
//
//   symbol   adaptive Huffman code, 314 symbols
//              0..255    literal byte
//              256..313  match of length symbol - 253 (3..60), followed by:
//   position 3..8 bit prefix code for the upper 6 bits of the offset,
//            then the lower 6 bits as they stand; the match starts
//            offset + 1 bytes behind the write position.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <string>

class ElzhException : public std::exception {
public:
  explicit ElzhException(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

// Callback shape for both directions: buffer, count of bytes asked for, and
// the number of bytes actually moved.
using TLzhIoProc = void (*)(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& actual);

// Produces at least size bytes (the last match is always copied whole, so up
// to 59 more); a size of 0 or less produces nothing and reads nothing. Read
// results other than one byte count as the byte 0.
void LzhDecode(std::int32_t size, TLzhIoProc readProc, TLzhIoProc writeProc);

namespace lzh {

constexpr unsigned kRingSize = 4096;
constexpr unsigned kRingMask = kRingSize - 1;
constexpr unsigned kMaxMatch = 60;
constexpr unsigned kMinMatch = 3;
constexpr unsigned kSymbols = 256 + kMaxMatch - kMinMatch + 1;  // 314
constexpr unsigned kNodes = 2 * kSymbols - 1;                   // 627
constexpr unsigned kRoot = kNodes - 1;
constexpr unsigned kRebuildLimit = 0x8000;
constexpr unsigned kFirstWritePos = kRingSize - kMaxMatch;  // 4036
constexpr std::uint8_t kRingFill = 0x20;

// The code tree. Nodes stand in non-decreasing order of frequency; Freq[kNodes]
// is a 0xFFFF guard that ends every upward scan. Child[n] is the even position
// of n's two children, or symbol + kNodes for a leaf. Parent[kNodes + s] is the
// node holding symbol s.
struct Tree {
  std::uint16_t Freq[kNodes + 1];
  std::uint16_t Child[kNodes];
  std::uint16_t Parent[kNodes + kSymbols];
};

// Deepest leaf the tree can hold: a leaf at depth d needs a root frequency of
// at least Fibonacci(d + 2), and the root never passes 32768 < Fibonacci(24).
constexpr unsigned kMaxCodeLength = 21;

struct OffsetTables {
  std::array<std::uint8_t, 256> upper;   // upper 6 bits of the offset
  std::array<std::uint8_t, 256> length;  // prefix code length, 3..8
};

constexpr OffsetTables MakeOffsetTables() {
  // Groups of the published table: code length and first index of each.
  constexpr unsigned kGroupStart[] = {0x00, 0x20, 0x50, 0x90, 0xC0, 0xF0, 0x100};
  constexpr unsigned kGroupFirstUpper[] = {0, 1, 4, 12, 24, 48};
  OffsetTables t{};
  for (unsigned g = 0; g < 6; ++g) {
    const unsigned len = g + 3;
    for (unsigned b = kGroupStart[g]; b < kGroupStart[g + 1]; ++b) {
      t.upper[b] = static_cast<std::uint8_t>(kGroupFirstUpper[g] + ((b - kGroupStart[g]) >> (8 - len)));
      t.length[b] = static_cast<std::uint8_t>(len);
    }
  }
  return t;
}
inline constexpr OffsetTables kOffsetTables = MakeOffsetTables();

void InitTree(Tree& t);
void RebuildTree(Tree& t);

// Counts one occurrence of symbol s, keeping the nodes sorted by frequency.
inline void UpdateTree(Tree& t, unsigned s) {
  if (t.Freq[kRoot] == kRebuildLimit) RebuildTree(t);
  unsigned p = t.Parent[s + kNodes];
  do {
    const unsigned k = ++t.Freq[p];
    if (k > t.Freq[p + 1]) {
      unsigned q = p + 1;
      while (k > t.Freq[q + 1]) ++q;
      t.Freq[p] = t.Freq[q];
      t.Freq[q] = static_cast<std::uint16_t>(k);
      const unsigned a = t.Child[p];
      t.Parent[a] = static_cast<std::uint16_t>(q);
      if (a < kNodes) t.Parent[a + 1] = static_cast<std::uint16_t>(q);
      const unsigned b = t.Child[q];
      t.Child[q] = static_cast<std::uint16_t>(a);
      t.Parent[b] = static_cast<std::uint16_t>(p);
      if (b < kNodes) t.Parent[b + 1] = static_cast<std::uint16_t>(p);
      t.Child[p] = static_cast<std::uint16_t>(b);
      p = q;
    }
    p = t.Parent[p];
  } while (p != 0);
}

// Everything one decoding needs, reserved once per call.
struct State {
  Tree tree;
  std::uint8_t ring[kRingSize];
};

// Reserves a fresh state, or raises ElzhException.
std::unique_ptr<State> NewState();

// A word-wide bit buffer, valid bits at the top. It is topped up to more than
// kBits - 8 bits before each symbol, which covers the longest code; so the
// decoder reads ahead of the published one by up to kReadAhead bytes.
using BitWord = std::size_t;
constexpr unsigned kBits = sizeof(BitWord) * 8;
constexpr unsigned kReadAhead = sizeof(BitWord);
static_assert(kBits - 7 >= kMaxCodeLength, "a symbol must fit into one top-up");

// Decodes into writeByte(uint8_t). readByte() returns the next coded byte, or
// a negative value where none arrives (read as 0). Returns true when decoding
// used bits beyond the last byte that did arrive, that is, the coded data was
// shorter than the stream it claims to be.
template <typename ReadByte, typename WriteByte>
bool LzhDecodeWith(std::int32_t size, ReadByte&& readByte, WriteByte&& writeByte) {
  const std::unique_ptr<State> state = NewState();
  if (size <= 0) return false;
  Tree& tree = state->tree;
  std::uint8_t* const ring = state->ring;
  InitTree(tree);
  std::fill(ring, ring + kFirstWritePos, kRingFill);
  std::fill(ring + kFirstWritePos, ring + kRingSize, 0);

  BitWord bits = 0;
  unsigned count = 0;
  std::uint64_t missing = 0;
  auto fill = [&] {
    while (count <= kBits - 8) {
      const int c = readByte();
      if (c < 0) ++missing;
      bits |= static_cast<BitWord>(c < 0 ? 0 : c) << (kBits - 8 - count);
      count += 8;
    }
  };

  unsigned r = kFirstWritePos;
  std::uint32_t produced = 0;
  const auto limit = static_cast<std::uint32_t>(size);
  while (produced < limit) {
    fill();
    unsigned x = tree.Child[kRoot];
    while (x < kNodes) {
      x = tree.Child[x + static_cast<unsigned>(bits >> (kBits - 1))];
      bits <<= 1;
      --count;
    }
    const unsigned s = x - kNodes;
    UpdateTree(tree, s);
    if (s < 256) {
      const auto c = static_cast<std::uint8_t>(s);
      writeByte(c);
      ring[r] = c;
      r = (r + 1) & kRingMask;
      ++produced;
      continue;
    }
    // Position: 8 bits select the upper 6 bits and a code length n, then
    // n - 2 further bits complete the lower 6 bits.
    if (count < 14) fill();
    const auto peek = static_cast<unsigned>(bits >> (kBits - 14));
    const unsigned b = peek >> 6;
    const unsigned n = kOffsetTables.length[b];
    const unsigned offset = (static_cast<unsigned>(kOffsetTables.upper[b]) << 6) | ((peek >> (8 - n)) & 63);
    bits <<= n + 6;
    count -= n + 6;
    unsigned from = (r - offset - 1) & kRingMask;
    const unsigned length = s - 253;
    for (unsigned k = 0; k < length; ++k) {
      const std::uint8_t c = ring[from];
      writeByte(c);
      ring[r] = c;
      r = (r + 1) & kRingMask;
      from = (from + 1) & kRingMask;
    }
    produced += length;
  }
  // The bits still buffered came from the last bytes fetched; missing bytes
  // come last, so decoding used one of them when they outnumber the buffer.
  return missing * 8 > count;
}

}  // namespace lzh
