// The media packer's file-level pieces: the "!HZL" container around the coded
// stream, the name a packed file gets, and the header of a packed file.
#pragma once

#include "tools/hzpack/lzh_encoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hzpack {

// The packed file's name: the last character of the extension becomes "_"
// (DEMO.EXE -> DEMO.EX_); a name with an extension of one character or none
// gets "._" or "_" appended so that it still ends in "_". Directories ("/" or
// "\") are kept as they are.
std::string PackedName(const std::string& path);

// Empty when the program would expand packedPath and install it under
// original's name (letter case aside); otherwise a one-line warning.
std::string NameWarning(const std::string& original, const std::string& packedPath);

// The whole compressed file for data. Raises std::length_error beyond the
// format's 2 GiB - 1 bytes.
std::vector<std::uint8_t> PackBytes(const std::vector<std::uint8_t>& data, const Progress& progress = {});

struct HzlHeader {
  bool complete;  // at least 8 bytes
  bool magicOk;
  std::int32_t expandedSize;
  std::uint64_t codedBytes;
};
// Reads the header of the file at path, and nothing more of it. Raises
// std::runtime_error where the file cannot be opened.
HzlHeader ReadHeader(const std::string& path);

}  // namespace hzpack
