// The inside of unit lzh: the code tree and its maintenance, the position
// tables, and the decoder as a template over its I/O, so that a caller whose
// callbacks the compiler can see (the compress unit) gets them inlined into
// the hot loop instead of two indirect calls per byte. The packer's encoder
// codes with the same tree functions. Program code outside the
// decompression uses lzh.h.
#pragma once

#include "decompress/lzh.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

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

// The code tree. Nodes stand in non-decreasing order of frequency; the four
// entries from Freq[kNodes] are 0xFFFF guards that end every upward scan (it
// looks up to four nodes ahead). Child[n] is the even position
// of n's two children, or symbol + kNodes for a leaf. Parent[kNodes + s] is the
// node holding symbol s.
struct Tree {
  std::uint16_t Freq[kNodes + 4];
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

// One step of UpdateTree: counts node p and, where it now outweighs its
// upper neighbours, exchanges it with the last of them. Returns the position
// the counted node ends at.
inline unsigned CountNode(Tree& t, unsigned p) {
  const unsigned k = ++t.Freq[p];
  if (k <= t.Freq[p + 1]) return p;
  // Nodes of equal frequency stand together, so the comparisons below come
  // out true up to the last of them and false after it: their sum is the
  // distance, found four nodes at a time without a branch per node.
  unsigned q = p;
  for (;;) {
    const unsigned ahead = (k > t.Freq[q + 2]) + (k > t.Freq[q + 3]) + (k > t.Freq[q + 4]);
    q += 1 + ahead;
    if (ahead < 3 || k <= t.Freq[q + 1]) break;
  }
  t.Freq[p] = t.Freq[q];
  t.Freq[q] = static_cast<std::uint16_t>(k);
  // The second child's parent is set only for an internal node; for a leaf
  // the store repeats the first one, which spares an unpredictable branch.
  const unsigned a = t.Child[p];
  t.Parent[a] = static_cast<std::uint16_t>(q);
  t.Parent[a + (a < kNodes)] = static_cast<std::uint16_t>(q);
  const unsigned b = t.Child[q];
  t.Child[q] = static_cast<std::uint16_t>(a);
  t.Parent[b] = static_cast<std::uint16_t>(p);
  t.Parent[b + (b < kNodes)] = static_cast<std::uint16_t>(p);
  t.Child[p] = static_cast<std::uint16_t>(b);
  return q;
}

// Counts one occurrence of symbol s, from its leaf up to the root (whose
// parent entry is 0), keeping the nodes sorted by frequency. exchanged(p, q)
// hears of every exchange of the subtrees at p and q.
template <typename Exchanged>
inline void UpdateTree(Tree& t, unsigned s, Exchanged&& exchanged) {
  if (t.Freq[kRoot] == kRebuildLimit) RebuildTree(t);
  unsigned p = t.Parent[s + kNodes];
  do {
    const unsigned moved = CountNode(t, p);
    if (moved != p) exchanged(p, moved);
    p = t.Parent[moved];
  } while (p != 0);
}

inline void UpdateTree(Tree& t, unsigned s) {
  UpdateTree(t, s, [](unsigned, unsigned) {});
}

// UpdateTree for the symbol just decoded, given the nodes the decoder passed
// (path[0] below the root, path[depth - 1] the leaf). Same result; but while
// no node moves, which is the usual case, the counts along the path need no
// chain of Parent lookups and proceed side by side. They are unrolled and
// entered by depth rather than looped: the walk has just branched on the
// same depth, so the entry is predicted where a loop's end would not be.
template <typename Exchanged>
inline void UpdateTreeAlongPath(Tree& t, unsigned s, const std::uint16_t* path, unsigned depth,
                                Exchanged&& exchanged) {
  static_assert(kMaxCodeLength == 21, "one case per depth");
  if (t.Freq[kRoot] == kRebuildLimit) {
    UpdateTree(t, s, exchanged);
    return;
  }
  unsigned p = 0;
  unsigned moved = 0;
  const auto counted = [&](unsigned i) {
    p = path[i];
    moved = CountNode(t, p);
    return moved == p;
  };
  switch (depth) {
    default:
    case 21: if (!counted(20)) break; [[fallthrough]];
    case 20: if (!counted(19)) break; [[fallthrough]];
    case 19: if (!counted(18)) break; [[fallthrough]];
    case 18: if (!counted(17)) break; [[fallthrough]];
    case 17: if (!counted(16)) break; [[fallthrough]];
    case 16: if (!counted(15)) break; [[fallthrough]];
    case 15: if (!counted(14)) break; [[fallthrough]];
    case 14: if (!counted(13)) break; [[fallthrough]];
    case 13: if (!counted(12)) break; [[fallthrough]];
    case 12: if (!counted(11)) break; [[fallthrough]];
    case 11: if (!counted(10)) break; [[fallthrough]];
    case 10: if (!counted(9)) break; [[fallthrough]];
    case 9: if (!counted(8)) break; [[fallthrough]];
    case 8: if (!counted(7)) break; [[fallthrough]];
    case 7: if (!counted(6)) break; [[fallthrough]];
    case 6: if (!counted(5)) break; [[fallthrough]];
    case 5: if (!counted(4)) break; [[fallthrough]];
    case 4: if (!counted(3)) break; [[fallthrough]];
    case 3: if (!counted(2)) break; [[fallthrough]];
    case 2: if (!counted(1)) break; [[fallthrough]];
    case 1:
      if (!counted(0)) break;
      ++t.Freq[kRoot];  // the guard above the root keeps it in place
      return;
  }
  // A node moved: from its new place on up, as UpdateTree does.
  exchanged(p, moved);
  for (unsigned n = t.Parent[moved]; n != 0;) {
    const unsigned m = CountNode(t, n);
    if (m != n) exchanged(n, m);
    n = t.Parent[m];
  }
}

// Everything one decoding needs, reserved once per call.
struct State {
  Tree tree;
  // The walk down the tree is a chain of dependent loads, one per bit. This
  // table halves it: Grand[2m + b] is Child[Child[m] + b], the children of
  // the node reached from node m by bit b; where m is a leaf, both entries
  // hold Child[m] marked with kOneBit. So the walk takes two bits per load.
  std::uint16_t Grand[2 * kNodes];
  std::uint8_t ring[kRingSize];
};

constexpr std::uint16_t kOneBit = 0x8000;

inline void RefreshGrand(State& st, unsigned m) {
  // Selects rather than branches: whether m is a leaf is hard to predict.
  const Tree& t = st.tree;
  const unsigned c = t.Child[m];
  const bool leaf = c >= kNodes;
  const unsigned at = leaf ? 0 : c;
  const auto marked = static_cast<std::uint16_t>(c | kOneBit);
  st.Grand[2 * m] = leaf ? marked : t.Child[at];
  st.Grand[2 * m + 1] = leaf ? marked : t.Child[at + 1];
}

inline void RefreshAllGrand(State& st) {
  for (unsigned m = 0; m < kNodes; ++m) RefreshGrand(st, m);
}

// The subtrees at p and q have just been exchanged. Their own entries trade
// places (the children below them kept their Child entries: neither node is
// in the other's subtree), and each parent's entry that leads through p or q
// is the new Child there. Exchanges keep the parent of each position.
inline void GrandExchanged(State& st, unsigned p, unsigned q) {
  std::swap(st.Grand[2 * p], st.Grand[2 * q]);
  std::swap(st.Grand[2 * p + 1], st.Grand[2 * q + 1]);
  st.Grand[2 * st.tree.Parent[p] + (p & 1)] = st.tree.Child[p];
  st.Grand[2 * st.tree.Parent[q] + (q & 1)] = st.tree.Child[q];
}

// Copies a match in words where its source and its destination in the ring
// neither overlap nor wrap, which is then the same as byte by byte; the last
// word ends exactly at the match's end, so no byte past it is touched.
// Returns false, having copied nothing, where the bytes must go one by one.
inline bool CopyDisjointMatch(std::uint8_t* ring, unsigned from, unsigned r, unsigned length, std::uint8_t* out) {
  const unsigned distance = (r - from) & kRingMask;
  if (length < 4 || distance < length || distance > kRingSize - length || from + length > kRingSize ||
      r + length > kRingSize) {
    return false;
  }
  const std::uint8_t* const src = ring + from;
  std::uint8_t* const dst = ring + r;
  const auto move = [&](unsigned at, auto word) {
    std::memcpy(&word, src + at, sizeof word);
    std::memcpy(dst + at, &word, sizeof word);
    std::memcpy(out + at, &word, sizeof word);
  };
  if (length < 8) {
    move(0, std::uint32_t{});
    move(length - 4, std::uint32_t{});
    return true;
  }
  for (unsigned k = 0; k + 8 < length; k += 8) move(k, std::uint64_t{});
  move(length - 8, std::uint64_t{});
  return true;
}

// Reserves a fresh state, or raises ElzhException.
std::unique_ptr<State> NewState();

// Raises ElzhException "LZH : code tree damaged". Out of line: GCC gives a
// function that throws an exception whose construction can throw in turn (it
// builds a string) a frame pointer on i686, and the decoder's loop would lose
// that register.
[[noreturn, gnu::cold, gnu::noinline]] void RaiseTreeDamaged();

// A word-wide bit buffer, valid bits at the top. It is topped up to more than
// kBits - 8 bits before each symbol, which covers the longest code; so the
// decoder reads ahead of the published one by up to kReadAhead bytes.
using BitWord = std::size_t;
constexpr unsigned kBits = sizeof(BitWord) * 8;
constexpr unsigned kReadAhead = sizeof(BitWord);
static_assert(kBits - 7 >= kMaxCodeLength + 1, "a symbol, and the walk may take one bit past it, must fit into one top-up");

// Reads past the end of the coded data, for an I/O object that stops there
// rather than decode zero bits up to a stored size that may be huge. The
// decoder fetches up to kReadAhead bytes it may never use; a read beyond
// those means it has decoded bits that are not there: the data was cut short.
class MissedReads {
public:
  bool CutShort() { return ++count_ > kReadAhead; }

private:
  unsigned count_ = 0;
};

// Byte-at-a-time I/O over two callbacks, for LzhDecodeWith. It offers no
// spans, so the decoder moves every byte through the callbacks.
template <typename ReadFn, typename WriteFn>
struct CallbackIo {
  ReadFn& read;
  WriteFn& write;
  int ReadByte() { return read(); }
  void WriteByte(std::uint8_t c) { write(c); }
  const std::uint8_t* PeekInput(unsigned /*count*/) { return nullptr; }
  void SkipInput(unsigned /*count*/) {}
  std::uint8_t* ReserveOutput(unsigned /*count*/) { return nullptr; }
};

template <typename Io>
bool LzhDecodeIo(std::int32_t size, Io& io);

// Decodes into writeByte(uint8_t). readByte() returns the next coded byte, or
// a negative value where none arrives (read as 0). Returns true when decoding
// used bits beyond the last byte that did arrive, that is, the coded data was
// shorter than the stream it claims to be.
template <typename ReadByte, typename WriteByte>
bool LzhDecodeWith(std::int32_t size, ReadByte&& readByte, WriteByte&& writeByte) {
  CallbackIo<ReadByte, WriteByte> io{readByte, writeByte};
  return LzhDecodeIo(size, io);
}

// The coded input of one decoding: a word-wide bit buffer, valid bits at
// the top, over the I/O object. Bytes past the end of the coded data read
// as 0 and are counted.
template <typename Io>
struct BitInput {
  Io& io;
  BitWord bits = 0;
  unsigned count = 0;
  std::uint64_t missing = 0;

  // Tops the buffer up to more than kBits - 8 bits where it holds no more
  // than least. With a wide word a symbol usually finds its bits there, and
  // the top-up waits.
  [[gnu::always_inline]] void Ensure(unsigned least) {
    if (count > least) return;
    if (const std::uint8_t* p = io.PeekInput(kReadAhead)) {
      // A whole word at once. Bits past the bytes taken are the next bytes'
      // own, so a later top-up that ORs those bytes in again changes nothing.
      BitWord word = 0;
      for (unsigned k = 0; k < kReadAhead; ++k) word = (word << 8) | p[k];
      bits |= word >> count;
      const unsigned taken = (kBits - count) / 8;
      io.SkipInput(taken);
      count += 8 * taken;
      return;
    }
    while (count <= kBits - 8) {
      const int c = io.ReadByte();
      if (c < 0) ++missing;
      bits |= static_cast<BitWord>(c < 0 ? 0 : c) << (kBits - 8 - count);
      count += 8;
    }
  }

  // Whether decoding used a byte that did not arrive: the bits still
  // buffered came from the last bytes fetched, and missing bytes come last.
  bool UsedMissing() const { return missing * 8 > count; }
  // Whole bytes fetched ahead and never used.
  std::uint64_t UnusedBytes() const { return UsedMissing() ? 0 : (count - missing * 8) / 8; }
};

// The next symbol: down the code tree from the root two bits per load (only
// the last step can end at a leaf after one bit, which is then given back),
// then counted along the path it took.
template <typename Io>
[[gnu::always_inline]] inline unsigned DecodeSymbol(State& st, BitInput<Io>& in) {
  Tree& tree = st.tree;
  in.Ensure(kMaxCodeLength + 1);
  std::uint16_t path[kMaxCodeLength + 1];
  unsigned depth = 0;
  unsigned g;
  for (unsigned e = tree.Child[kRoot];; e = g) {
    const auto two = static_cast<unsigned>(in.bits >> (kBits - 2));
    in.bits <<= 2;
    const unsigned m = e + (two >> 1);
    path[depth] = static_cast<std::uint16_t>(m);
    path[depth + 1] = static_cast<std::uint16_t>(tree.Child[m] + (two & 1));
    depth += 2;
    g = st.Grand[2 * e + two];
    if (g >= kNodes) {
      if (g & kOneBit) {
        in.bits = (in.bits >> 1) | (static_cast<BitWord>(two & 1) << (kBits - 1));
        g &= ~kOneBit;
        --depth;
      }
      break;
    }
    // Only a damaged tree, that is a fault of this code, leads deeper.
    if (depth > kMaxCodeLength) RaiseTreeDamaged();
  }
  in.count -= depth;
  const unsigned s = g - kNodes;
  const bool rebuilding = tree.Freq[kRoot] == kRebuildLimit;
  UpdateTreeAlongPath(tree, s, path, depth, [&st](unsigned p, unsigned q) { GrandExchanged(st, p, q); });
  if (rebuilding) RefreshAllGrand(st);
  return s;
}

// A match's position: 8 bits select the upper 6 bits and a code length n,
// then n - 2 further bits complete the lower 6 bits.
template <typename Io>
[[gnu::always_inline]] inline unsigned DecodeOffset(BitInput<Io>& in) {
  in.Ensure(13);
  const auto peek = static_cast<unsigned>(in.bits >> (kBits - 14));
  const unsigned b = peek >> 6;
  const unsigned n = kOffsetTables.length[b];
  in.bits <<= n + 6;
  in.count -= n + 6;
  return (static_cast<unsigned>(kOffsetTables.upper[b]) << 6) | ((peek >> (8 - n)) & 63);
}

// Copies a match from ring position from to the write position r, and to the
// output: into the room the I/O object reserves, or else through a spare
// buffer and WriteByte. Each byte is stored before the next is taken, so a
// match that starts fewer than length bytes behind r repeats what it has
// just produced. Returns the new write position.
template <typename Io>
[[gnu::always_inline]] inline unsigned CopyMatch(std::uint8_t* ring, unsigned from, unsigned r, unsigned length,
                                                 Io& io) {
  std::uint8_t spare[kMaxMatch];
  std::uint8_t* const reserved = io.ReserveOutput(length);
  std::uint8_t* const out = reserved ? reserved : spare;
  if (!CopyDisjointMatch(ring, from, r, length, out)) {
    for (unsigned k = 0; k < length; ++k) {
      const std::uint8_t c = ring[(from + k) & kRingMask];
      out[k] = c;
      ring[(r + k) & kRingMask] = c;
    }
  }
  if (!reserved) {
    for (unsigned k = 0; k < length; ++k) io.WriteByte(spare[k]);
  }
  return (r + length) & kRingMask;
}

// The decoder over an I/O object with ReadByte() and WriteByte(c) as in
// LzhDecodeWith, and two shortcuts that may decline (nullptr):
//   PeekInput(n)     the next n coded bytes where they lie in one piece;
//                    SkipInput(k) then takes k <= n of them
//   ReserveOutput(n) room for n output bytes that is exactly what n
//                    WriteByte calls would have filled
// The shortcuts spare a check per byte; the bytes moved are the same.
// How a decode ended. A sound stream ends in its last byte: the encoder
// pads only that byte's last bits. Bytes fetched but never used, like bytes
// the decoder never fetched, are data left over after the stream.
struct DecodeEnd {
  bool cutShort = false;          // decoded bits of bytes that never arrived
  std::uint64_t unusedBytes = 0;  // fetched ahead, not part of the stream
};

template <typename Io>
DecodeEnd LzhDecodeToEnd(std::int32_t size, Io& io) {
  const std::unique_ptr<State> state = NewState();
  if (size <= 0) return {};
  InitTree(state->tree);
  RefreshAllGrand(*state);
  std::uint8_t* const ring = state->ring;
  std::fill(ring, ring + kFirstWritePos, kRingFill);
  std::fill(ring + kFirstWritePos, ring + kRingSize, 0);

  BitInput<Io> in{io};
  unsigned r = kFirstWritePos;
  const auto limit = static_cast<std::uint32_t>(size);
  for (std::uint32_t produced = 0; produced < limit;) {
    const unsigned s = DecodeSymbol(*state, in);
    if (s < 256) {
      const auto c = static_cast<std::uint8_t>(s);
      io.WriteByte(c);
      ring[r] = c;
      r = (r + 1) & kRingMask;
      ++produced;
    } else {
      const unsigned from = (r - DecodeOffset(in) - 1) & kRingMask;
      r = CopyMatch(ring, from, r, s - 253, io);
      produced += s - 253;
    }
  }
  return {in.UsedMissing(), in.UnusedBytes()};
}

template <typename Io>
bool LzhDecodeIo(std::int32_t size, Io& io) {
  return LzhDecodeToEnd(size, io).cutShort;
}

}  // namespace lzh
