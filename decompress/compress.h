// Unit compress: the compressed file format of the distribution medium and
// its expansion driver.
//
// Compressed file layout, all values little-endian:
//
//   offset  size  field
//   0       4     magic "!HZL" (0x21 0x48 0x5A 0x4C), compared as 0x4C5A4821
//   4       4     expanded size, signed 32-bit; a negative one is refused
//   8       ...   coded data: the LZHUF bit stream of unit lzh
//
// Nothing else: no name, date, checksum or end marker. Bytes 4 onward are a
// published LZHUF file. The stream ends in the file's last byte; bytes after
// it are damage. A medium may give the whole file's CRC-32 apart (in its
// list); the expansion then compares it before the file is put in place.
//
// Expand works on InFileName and OutFileName, reads and writes in blocks of
// 32768 bytes, and decodes into a temporary file beside OutFileName that
// replaces it only when the whole file has been produced: a file that stood
// at OutFileName survives every failure unchanged, and no partial output is
// left behind. The decoder reaches the blocks through the callbacks
// ReadInput and WriteOutput (one byte per call, the callback shape of unit
// lzh), which belong to the running expansion and exist only inside it.
#pragma once

#include "decompress/lzh.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

class ELzrw1Exception : public std::exception {
public:
  explicit ELzrw1Exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

constexpr std::uint32_t kHzlMagic = 0x4C5A4821;  // "!HZL"
constexpr unsigned kHzlHeaderSize = 8;
constexpr unsigned kIoBlockSize = 32768;

// Set by the caller before each Expand; they stay set afterwards.
extern std::string InFileName;
extern std::string OutFileName;

// 1 when OutFileName has been produced completely (and InFileName has the
// CRC-32 checksum, where one is given), -1 on any failure. Never raises. Not
// re-entrant.
std::int32_t Expand(const std::optional<std::uint32_t>& checksum = std::nullopt);

// The steps of Expand without its catch-all: raises ELzrw1Exception (or the
// decoder's ElzhException) with the failure's text. For tools that report it.
std::int32_t ExpandOrRaise(const std::optional<std::uint32_t>& checksum = std::nullopt);
