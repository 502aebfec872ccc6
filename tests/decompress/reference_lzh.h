// A second LZHUF decoder, for checking the program's own: written the plain
// way from the published algorithm, one bit at a time through a 16-bit
// buffer, the tree updated with a linear scan and rebuilt by insertion, the
// position code worked out from its groups. It shares no code and no table
// with decompress/lzh, and nothing here is tuned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace reference {

struct Decoded {
  std::vector<std::uint8_t> output;  // size bytes, plus the rest of the last match
  bool usedMissingBits = false;      // bits past the end of the coded data were decoded
  unsigned rebuilds = 0;             // times the tree was rebuilt
};

// Decodes coded (missing bytes read as 0) until size bytes are produced; a
// size of 0 or less produces nothing.
Decoded LzhDecode(const std::uint8_t* coded, std::size_t length, std::int32_t size);

}  // namespace reference
