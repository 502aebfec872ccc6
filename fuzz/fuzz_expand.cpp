// libFuzzer target for damaged medium files: the input is taken as a whole
// compressed file and goes through the decoder in memory, through the plain
// reference decoder (tests/decompress/reference_lzh, written apart: bit by
// bit, no table shared) and through Expand between real files. Nothing may
// crash or touch memory outside the tables and the ring (the sanitizers
// watch that); both decoders produce the same bytes and agree on whether
// the data was cut short; Expand writes exactly those bytes or, for a
// stream cut short, bytes after the stream or a negative size, fails and
// leaves no file.
#include "decompress/compress.h"
#include "decompress/lzh_internal.h"
#include "fuzz/fuzz_support.h"
#include "tests/decompress/reference_lzh.h"

#include <algorithm>
#include <cstdio>

namespace {

using Bytes = std::vector<std::uint8_t>;
using fuzz::Check;

// Stored sizes are capped so that one run stays short: a complete stream of
// 2 KiB can claim far more. Huge sizes are the replay test's business.
constexpr std::int32_t kSizeCap = 1 << 16;

struct CutShort {};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes file(data, data + size);
  const bool whole = size >= kHzlHeaderSize;
  const bool compressed = whole && file[0] == 0x21 && file[1] == 0x48 && file[2] == 0x5A && file[3] == 0x4C;
  bool cutShort = false;
  bool leftOver = false;  // the stream decodes whole without the file's last byte
  std::int32_t stored = 0;
  Bytes want;
  if (whole) {
    stored = std::min(kSizeCap, static_cast<std::int32_t>(data[4] | data[5] << 8 | data[6] << 16 |
                                                          static_cast<std::uint32_t>(data[7]) << 24));
    for (unsigned i = 0; i < 4; ++i) file[4 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(stored) >> (8 * i));

    // The decoder stops where Expand stops: at the first read known to be
    // past the end of the coded data.
    std::size_t next = kHzlHeaderSize;
    lzh::MissedReads missed;
    Bytes got;
    bool stopped = false;
    try {
      cutShort = lzh::LzhDecodeWith(
          stored,
          [&]() -> int {
            if (next < size) return data[next++];
            if (missed.CutShort()) throw CutShort{};
            return -1;
          },
          [&](std::uint8_t c) { got.push_back(c); });
    } catch (const CutShort&) {
      stopped = cutShort = true;
      // Every symbol before the stop is whole, and the symbol after them
      // used bits that are not there.
      const reference::Decoded further =
          reference::LzhDecode(data + kHzlHeaderSize, size - kHzlHeaderSize, static_cast<std::int32_t>(got.size() + 1));
      Check(further.usedMissingBits, "the decoder stops only where the data was cut short");
      Check(std::equal(got.begin(), got.end(), further.output.begin()) && further.output.size() > got.size(),
            "the decoder, where it stops, has produced what the reference decoder produces");
    }
    if (!stopped) {
      const reference::Decoded ref = reference::LzhDecode(data + kHzlHeaderSize, size - kHzlHeaderSize, stored);
      Check(ref.output.size() >= static_cast<std::size_t>(std::max(stored, 0)) &&
                ref.output.size() <= static_cast<std::size_t>(std::max(stored, 0)) + 59,
            "output size");
      Check(got == ref.output, "the decoder produces what the reference decoder produces");
      Check(cutShort == ref.usedMissingBits, "both decoders find the same data cut short");
      want = ref.output;
      leftOver = size > kHzlHeaderSize &&
                 !reference::LzhDecode(data + kHzlHeaderSize, size - kHzlHeaderSize - 1, stored).usedMissingBits;
    }
  }

  const std::string& dir = fuzz::ScratchDir();
  InFileName = dir + "IN.EX_";
  OutFileName = dir + "OUT.EXE";
  fuzz::WriteFile(InFileName, file);
  const bool expanded = Expand() == 1;
  Check(expanded == (compressed && stored >= 0 && !cutShort && !leftOver),
        "Expand fails exactly for damaged headers, negative sizes, cut data and data after the stream");
  if (expanded) {
    Check(fuzz::ReadFile(OutFileName) == want, "Expand writes what the reference decoder produces");
    std::remove(OutFileName.c_str());
  }
  Check(fuzz::EntriesIn(dir) == std::vector<std::string>{"IN.EX_"}, "no output or temporary file is left");
  std::remove(InFileName.c_str());
  return 0;
}
