#include "tools/hzpack/hzl_pack.h"

#include "decompress/compress.h"
#include "engine/compressed_name.h"
#include "system/ascii_case.h"

#include <fstream>
#include <limits>
#include <stdexcept>

namespace hzpack {
namespace {

std::size_t NameStart(const std::string& path) {
  const auto slash = path.find_last_of("/\\:");
  return slash == std::string::npos ? 0 : slash + 1;
}

}  // namespace

std::string PackedName(const std::string& path) {
  const std::size_t start = NameStart(path);
  const std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < start) return path + "._";
  if (dot + 1 == path.size()) return path + "_";
  std::string packed = path;
  packed.back() = '_';
  return packed;
}

std::string NameWarning(const std::string& original, const std::string& packedPath) {
  const std::string name = original.substr(NameStart(original));
  const std::string packed = packedPath.substr(NameStart(packedPath));
  if (!IsCompressedSource(packed)) return "warning: " + packed + " does not end in \"_\" and would be copied unexpanded";
  const std::string installed = MapCompressedName(packed);
  if (SameIgnoringAsciiCase(installed, name)) return {};
  return "warning: " + packed + " installs as " + installed + ", not as " + name;
}

std::vector<std::uint8_t> PackBytes(const std::vector<std::uint8_t>& data, const Progress& progress) {
  if (data.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    throw std::length_error("file too large for the format (2 GiB - 1 bytes at most)");
  }
  const auto size = static_cast<std::uint32_t>(data.size());
  std::vector<std::uint8_t> file = {0x21, 0x48, 0x5A, 0x4C};
  for (unsigned shift = 0; shift < 32; shift += 8) file.push_back(static_cast<std::uint8_t>(size >> shift));
  const std::vector<std::uint8_t> coded = LzhEncode(data.data(), data.size(), progress);
  file.insert(file.end(), coded.begin(), coded.end());
  return file;
}

HzlHeader ReadHeader(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::uint8_t b[kHzlHeaderSize];
  in.read(reinterpret_cast<char*>(b), sizeof b);
  HzlHeader h{in.gcount() == static_cast<std::streamsize>(sizeof b), false, 0, 0};
  if (!h.complete) return h;
  auto word = [&b](std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
  };
  h.magicOk = word(0) == kHzlMagic;
  h.expandedSize = static_cast<std::int32_t>(word(4));
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) throw std::runtime_error("cannot read " + path);
  h.codedBytes = static_cast<std::uint64_t>(size) - kHzlHeaderSize;
  return h;
}

}  // namespace hzpack
