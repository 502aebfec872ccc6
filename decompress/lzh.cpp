#include "decompress/lzh_internal.h"

#include <cstring>

namespace lzh {

void InitTree(Tree& t) {
  for (unsigned s = 0; s < kSymbols; ++s) {
    t.Freq[s] = 1;
    t.Child[s] = static_cast<std::uint16_t>(s + kNodes);
    t.Parent[s + kNodes] = static_cast<std::uint16_t>(s);
  }
  for (unsigned i = 0, j = kSymbols; j < kNodes; i += 2, ++j) {
    t.Freq[j] = static_cast<std::uint16_t>(t.Freq[i] + t.Freq[i + 1]);
    t.Child[j] = static_cast<std::uint16_t>(i);
    t.Parent[i] = t.Parent[i + 1] = static_cast<std::uint16_t>(j);
  }
  std::fill(t.Freq + kNodes, t.Freq + kNodes + 4, 0xFFFF);
  t.Parent[kRoot] = 0;
}

void RebuildTree(Tree& t) {
  // Collect the leaves in their present order, halving their counts; halving
  // keeps them sorted. Every node is written and only a leaf kept, which
  // spares a branch that leaves and joined nodes make unpredictable.
  std::uint16_t leafFreq[kSymbols + 1];
  std::uint16_t leafChild[kSymbols + 1];
  unsigned leaves = 0;
  for (unsigned i = 0; i < kNodes; ++i) {
    leafFreq[leaves] = static_cast<std::uint16_t>((t.Freq[i] + 1u) / 2);
    leafChild[leaves] = t.Child[i];
    leaves += t.Child[i] >= kNodes;
  }
  // Join neighbours: node n joins positions 2n and 2n + 1 and stands after
  // every node of equal or lower frequency. The joined counts never fall, and
  // a joined node never stands before the two it joins, so the order is a
  // merge of the leaves with the joined nodes in the order they are made,
  // a leaf first where the counts are equal; each node is made as soon as
  // its second child has its place.
  std::uint16_t joinedFreq[kSymbols - 1];
  unsigned made = 0;
  unsigned placedJoined = 0;
  unsigned placedLeaves = 0;
  for (unsigned n = 0; n < kNodes; ++n) {
    const bool leaf = placedLeaves < leaves &&
                      (placedJoined == made || leafFreq[placedLeaves] <= joinedFreq[placedJoined]);
    if (leaf) {
      t.Freq[n] = leafFreq[placedLeaves];
      t.Child[n] = leafChild[placedLeaves];
      ++placedLeaves;
    } else {
      t.Freq[n] = joinedFreq[placedJoined];
      t.Child[n] = static_cast<std::uint16_t>(2 * placedJoined);
      ++placedJoined;
    }
    if (n % 2 == 1 && made < kSymbols - 1) {
      joinedFreq[made] = static_cast<std::uint16_t>(t.Freq[n - 1] + t.Freq[n]);
      ++made;
    }
  }
  for (unsigned i = 0; i < kNodes; ++i) {
    const unsigned k = t.Child[i];
    t.Parent[k] = static_cast<std::uint16_t>(i);
    if (k < kNodes) t.Parent[k + 1] = static_cast<std::uint16_t>(i);
  }
}

std::unique_ptr<State> NewState() {
  try {
    return std::make_unique<State>();
  } catch (const std::bad_alloc&) {
    throw ElzhException("LZH : Cannot get memory for dictionary tables");
  }
}

void RaiseTreeDamaged() {
  throw ElzhException("LZH : code tree damaged");
}

}  // namespace lzh

// The tables are owned by a unique_ptr inside LzhDecodeWith, released on
// every path; releasing cannot fail, so the decoder never raises
// "LZH : Error freeing memory for dictionary tables".
void LzhDecode(std::int32_t size, TLzhIoProc readProc, TLzhIoProc writeProc) {
  lzh::LzhDecodeWith(
      size,
      [readProc]() -> int {
        std::uint8_t c = 0;
        std::uint16_t actual = 0;
        readProc(&c, 1, actual);
        return actual == 1 ? c : -1;
      },
      [writeProc](std::uint8_t c) {
        std::uint16_t actual = 0;
        writeProc(&c, 1, actual);
      });
}
