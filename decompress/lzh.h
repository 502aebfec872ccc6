// Unit lzh: the LZHUF decoder (LZSS with a 4096-byte ring and an adaptive
// Huffman code for literals and match lengths, a fixed prefix code for the
// upper 6 bits of match positions).
//
// The decoder is a codec in the narrow sense: it pulls coded bytes through a
// read callback and pushes output bytes through a write callback, one byte
// per call, and knows nothing of files. This is its entry with plain
// function pointers; lzh_internal.h has the decoder itself, for the
// compress unit (which hands it inlined callbacks), the packer's encoder,
// the tests and the benchmark.
//
// Coded symbol stream, bits taken from the most significant bit of each byte:
//
//   symbol   adaptive Huffman code, 314 symbols
//              0..255    literal byte
//              256..313  match of length symbol - 253 (3..60), followed by:
//   position 3..8 bit prefix code for the upper 6 bits of the offset,
//            then the lower 6 bits as they stand; the match starts
//            offset + 1 bytes behind the write position.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

class ElzhException : public std::exception {
public:
  explicit ElzhException(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

private:
  std::string message_;
};

// Callback shape for both directions: buffer, count of bytes asked for, and
// the number of bytes actually moved.
using TLzhIoProc = void (*)(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& actual);

// Produces at least size bytes (the last match is always copied whole, so up
// to 59 more); a size of 0 or less produces nothing and reads nothing. Read
// results other than one byte count as the byte 0.
void LzhDecode(std::int32_t size, TLzhIoProc readProc, TLzhIoProc writeProc);
