// libFuzzer target for damaged medium files: the input is taken as a whole
// compressed file and goes through the decoder in memory and through Expand
// between real files. Nothing may crash or touch memory outside the tables
// and the ring (the sanitizers watch that); the decoder produces the stored
// size plus at most one last match; and a failed Expand leaves no file.
#include "decompress/compress.h"
#include "decompress/lzh.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Stored sizes are capped so that one run stays short: decoding in memory
// does not stop at the end of the data, and Expand, which does, would still
// produce up to 60 bytes per coded bit first. Huge sizes are the replay
// test's business.
constexpr std::int32_t kSizeCap = 1 << 16;

const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::string d = "/dev/shm/kvfuzz-" + std::to_string(::getpid());
    ::mkdir(d.c_str(), 0700);
    return d + "/";
  }();
  return dir;
}

unsigned EntriesIn(const std::string& dir) {
  unsigned n = 0;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (const dirent* e = ::readdir(d)) n += e->d_name[0] != '.';
    ::closedir(d);
  }
  return n;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "violated: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> file(data, data + size);
  std::int32_t stored = 0;
  if (size >= kHzlHeaderSize) {
    stored = std::min(kSizeCap, static_cast<std::int32_t>(data[4] | data[5] << 8 | data[6] << 16 |
                                                        static_cast<std::uint32_t>(data[7]) << 24));
    for (unsigned i = 0; i < 4; ++i) file[4 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(stored) >> (8 * i));
    std::size_t next = kHzlHeaderSize;
    std::int64_t produced = 0;
    lzh::LzhDecodeWith(
        stored, [&]() -> int { return next < size ? data[next++] : -1; }, [&](std::uint8_t) { ++produced; });
    Check(produced >= std::max(stored, 0) && produced <= std::max(stored, 0) + 59, "decoder output size");
  }

  InFileName = ScratchDir() + "IN.EX_";
  OutFileName = ScratchDir() + "OUT.EXE";
  if (FILE* f = std::fopen(InFileName.c_str(), "wb")) {
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
  }
  if (Expand() == 1) {
    struct stat st {};
    Check(::stat(OutFileName.c_str(), &st) == 0, "output exists");
    Check(st.st_size >= std::max(stored, 0) && st.st_size <= std::int64_t{std::max(stored, 0)} + 59,
          "expanded size");
    std::remove(OutFileName.c_str());
  } else {
    Check(EntriesIn(ScratchDir()) == 1, "no output or temporary file after a failure");
  }
  return 0;
}
