// hzpack: makes and inspects the compressed files of a distribution medium.
//   hzpack pack IN [OUT]    OUT defaults to IN's packed name (DEMO.EXE -> DEMO.EX_)
//   hzpack expand IN OUT    expands with the program's own Expand
//   hzpack info IN          prints the header
// Exit status 0 on success, 1 on failure with one line on standard error.
#include "decompress/compress.h"
#include "tools/hzpack/hzl_pack.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Files below this size pack too fast for a progress display to help.
constexpr std::size_t kProgressFrom = 4u << 20;

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read " + path);
  return data;
}

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
}

int Pack(const std::string& in, const std::string& outArg) {
  const std::string out = outArg.empty() ? hzpack::PackedName(in) : outArg;
  const std::string warning = hzpack::NameWarning(in, out);
  if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
  const std::vector<std::uint8_t> data = ReadWholeFile(in);
  hzpack::Progress progress;
  if (data.size() >= kProgressFrom) {
    progress = [&data](std::size_t done) {
      std::fprintf(stderr, "\rpacking: %3u %%", static_cast<unsigned>(done * 100 / data.size()));
    };
  }
  const std::vector<std::uint8_t> packed = hzpack::PackBytes(data, progress);
  if (progress) std::fprintf(stderr, "\rpacking: 100 %%\n");
  WriteWholeFile(out, packed);
  std::printf("%s: %lu -> %lu bytes\n", out.c_str(), static_cast<unsigned long>(data.size()),
              static_cast<unsigned long>(packed.size()));
  return 0;
}

int ExpandFile(const std::string& in, const std::string& out) {
  InFileName = in;
  OutFileName = out;
  ExpandOrRaise();
  return 0;
}

int Info(const std::string& in) {
  const hzpack::HzlHeader h = hzpack::ParseHeader(ReadWholeFile(in));
  if (!h.complete) throw std::runtime_error(in + ": shorter than the 8-byte header");
  if (!h.magicOk) throw std::runtime_error(in + ": not a compressed file (no \"!HZL\")");
  std::printf("magic          !HZL\nexpanded size  %ld\ncoded bytes    %lu\n", static_cast<long>(h.expandedSize),
              static_cast<unsigned long>(h.codedBytes));
  if (h.expandedSize > 0) {
    std::printf("ratio          %.1f %%\n", 100.0 * static_cast<double>(h.codedBytes + kHzlHeaderSize) / h.expandedSize);
  }
  return 0;
}

int Usage() {
  std::fprintf(stderr, "usage: hzpack pack IN [OUT] | hzpack expand IN OUT | hzpack info IN\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (args.size() >= 2 && args.size() <= 3 && args[0] == "pack") return Pack(args[1], args.size() == 3 ? args[2] : "");
    if (args.size() == 3 && args[0] == "expand") return ExpandFile(args[1], args[2]);
    if (args.size() == 2 && args[0] == "info") return Info(args[1]);
    return Usage();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "hzpack: %s\n", e.what());
    return 1;
  }
}
