#include "decompress/lzh.h"

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
  // Collect the leaves in their present order, halving their counts.
  unsigned j = 0;
  for (unsigned i = 0; i < kNodes; ++i) {
    if (t.Child[i] >= kNodes) {
      t.Freq[j] = static_cast<std::uint16_t>((t.Freq[i] + 1u) / 2);
      t.Child[j] = t.Child[i];
      ++j;
    }
  }
  // Join neighbours, inserting each new node after every node of equal or
  // lower frequency so the order stays sorted.
  for (unsigned i = 0; j < kNodes; i += 2, ++j) {
    const unsigned f = t.Freq[i] + t.Freq[i + 1];
    unsigned k = j - 1;
    while (f < t.Freq[k]) --k;
    ++k;
    std::memmove(&t.Freq[k + 1], &t.Freq[k], (j - k) * sizeof t.Freq[0]);
    std::memmove(&t.Child[k + 1], &t.Child[k], (j - k) * sizeof t.Child[0]);
    t.Freq[k] = static_cast<std::uint16_t>(f);
    t.Child[k] = static_cast<std::uint16_t>(i);
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
