// libFuzzer target for damaged medium files: the input is taken as a whole
// compressed file and goes through the decoder in memory, through the plain
// reference decoder (tests/decompress/reference_lzh, written apart: bit by
// bit, no table shared) and through Expand between real files. Nothing may
// crash or touch memory outside the tables and the ring (the sanitizers
// watch that); both decoders produce the same bytes and agree on whether
// the data was cut short; Expand writes exactly those bytes or, for a
// stream cut short, fails and leaves no file.
#include "decompress/compress.h"
#include "decompress/lzh_internal.h"
#include "tests/decompress/reference_lzh.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Stored sizes are capped so that one run stays short: decoding in memory
// does not stop at the end of the data, and Expand, which does, would still
// produce up to 60 bytes per coded bit first. Huge sizes are the replay
// test's business.
constexpr std::int32_t kSizeCap = 1 << 16;

std::string scratch;

std::vector<std::string> EntriesIn(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (const dirent* e = ::readdir(d)) {
      if (e->d_name[0] != '.') names.push_back(e->d_name);
    }
    ::closedir(d);
  }
  return names;
}

void RemoveScratch() {
  for (const std::string& name : EntriesIn(scratch)) ::unlink((scratch + name).c_str());
  ::rmdir(scratch.c_str());
}

// A private folder on tmpfs, removed when the fuzzer ends. run-fuzz.sh puts
// it inside a folder of its own (KV_FUZZ_SCRATCH), which it removes even
// after a crash.
const std::string& ScratchDir() {
  if (scratch.empty()) {
    const char* base = std::getenv("KV_FUZZ_SCRATCH");
    std::string pattern = std::string(base ? base : "/dev/shm") + "/kvfuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    scratch = pattern + "/";
    std::atexit(RemoveScratch);
  }
  return scratch;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "violated: %s\n", what);
    std::abort();
  }
}

Bytes ReadFile(const std::string& path) {
  Bytes data;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::uint8_t block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) data.insert(data.end(), block, block + n);
    std::fclose(f);
  }
  return data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes file(data, data + size);
  const bool whole = size >= kHzlHeaderSize;
  const bool compressed = whole && file[0] == 0x21 && file[1] == 0x48 && file[2] == 0x5A && file[3] == 0x4C;
  reference::Decoded want;
  if (whole) {
    const std::int32_t stored =
        std::min(kSizeCap, static_cast<std::int32_t>(data[4] | data[5] << 8 | data[6] << 16 |
                                                     static_cast<std::uint32_t>(data[7]) << 24));
    for (unsigned i = 0; i < 4; ++i) file[4 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(stored) >> (8 * i));
    want = reference::LzhDecode(data + kHzlHeaderSize, size - kHzlHeaderSize, stored);
    Check(want.output.size() >= static_cast<std::size_t>(std::max(stored, 0)) &&
              want.output.size() <= static_cast<std::size_t>(std::max(stored, 0)) + 59,
          "output size");

    std::size_t next = kHzlHeaderSize;
    Bytes got;
    const bool cutShort = lzh::LzhDecodeWith(
        stored, [&]() -> int { return next < size ? data[next++] : -1; }, [&](std::uint8_t c) { got.push_back(c); });
    Check(got == want.output, "the decoder produces what the reference decoder produces");
    Check(cutShort == want.usedMissingBits, "both decoders find the same data cut short");
  }

  InFileName = ScratchDir() + "IN.EX_";
  OutFileName = ScratchDir() + "OUT.EXE";
  if (FILE* f = std::fopen(InFileName.c_str(), "wb")) {
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  }
  const bool expanded = Expand() == 1;
  Check(expanded == (compressed && !want.usedMissingBits), "Expand fails exactly for damaged headers and cut data");
  if (expanded) {
    Check(ReadFile(OutFileName) == want.output, "Expand writes what the reference decoder produces");
    std::remove(OutFileName.c_str());
  }
  Check(EntriesIn(ScratchDir()) == std::vector<std::string>{"IN.EX_"}, "no output or temporary file is left");
  std::remove(InFileName.c_str());
  return 0;
}
