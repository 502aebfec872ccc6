#include "decompress/compress.h"

#include "decompress/lzh_internal.h"
#include "system/file_io.h"

#include <cstring>
#include <memory>

std::string InFileName;
std::string OutFileName;

namespace {

// 16 bytes more than a block are reserved; reads and writes use the block.
constexpr std::size_t kBufferReserve = kIoBlockSize + 16;

// The compressed file, read once from its first byte to its last, with the
// CRC-32 of what has been read so far.
struct CheckedInput {
  kv::File file;
  std::uint32_t crc = 0;
};

// Out of the hot path, once per block; free functions, so no pointer to the
// BlockIo escapes.
[[gnu::noinline]] std::int32_t ReadBlock(CheckedInput& in, std::uint8_t* buffer) {
  const long got = in.file.Read(buffer, kIoBlockSize);
  if (got < 0) throw ELzrw1Exception("Lesefehler: " + InFileName + " !");
  in.crc = kv::ContinueCrc32(in.crc, buffer, static_cast<std::size_t>(got));
  return static_cast<std::int32_t>(got);
}

[[gnu::noinline]] void WriteBlock(kv::File& out, const std::uint8_t* buffer, unsigned count) {
  if (out.Write(buffer, count) != static_cast<long>(count)) {
    throw ELzrw1Exception("ERROR WRITING TO " + OutFileName + " !");
  }
}

// The decoder's two callbacks over the input and output blocks of one
// expansion. They have the callback shape of unit lzh and are bound to this
// object rather than to unit-level variables: the object lives on Expand's
// stack and its address never escapes, so once the calls are inlined the
// positions stay in registers instead of going through memory per byte.
class BlockIo {
public:
  BlockIo(CheckedInput& in, kv::File& out, std::uint8_t* inBuffer, std::uint8_t* outBuffer)
      : in_(in), out_(out), inBuffer_(inBuffer), outBuffer_(outBuffer) {}

  // Hands out one byte, reading the next block when this one is used up;
  // actual 0 at the end of the file (and every later call reads again).
  void ReadInput(std::uint8_t* buffer, std::uint16_t /*count*/, std::uint16_t& actual) {
    if (inPosition_ > inLength_) {
      inLength_ = ReadBlock(in_, inBuffer_);
      if (inLength_ == 0) {
        actual = 0;
        return;
      }
      inPosition_ = 1;
    }
    *buffer = inBuffer_[inPosition_ - 1];
    ++inPosition_;
    actual = 1;
  }

  // Collects bytes and writes the block when the next ones would not fit; a
  // count of 0 writes what has been collected (possibly nothing).
  void WriteOutput(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& actual) {
    if (count == 0) {
      WriteBlock(out_, outBuffer_, outPosition_ - 1u);
      return;
    }
    if (outPosition_ + count > kIoBlockSize + 1 || outPosition_ > kIoBlockSize) {
      WriteBlock(out_, outBuffer_, outPosition_ - 1u);
      outPosition_ = 1;
    }
    std::memcpy(outBuffer_ + outPosition_ - 1, buffer, count);
    outPosition_ = static_cast<std::uint16_t>(outPosition_ + count);
    actual = count;
  }

  // The next count input bytes where this block still holds them all.
  const std::uint8_t* PeekInput(unsigned count) const {
    return inLength_ - inPosition_ + 1 >= static_cast<std::int32_t>(count) ? inBuffer_ + inPosition_ - 1 : nullptr;
  }
  void SkipInput(unsigned count) { inPosition_ = static_cast<std::uint16_t>(inPosition_ + count); }

  // Whether input is left that was never handed out: the rest of this
  // block, or another block.
  bool InputLeft() {
    if (inPosition_ <= inLength_) return true;
    inLength_ = ReadBlock(in_, inBuffer_);
    inPosition_ = 1;
    return inLength_ > 0;
  }

  // Room for count output bytes where the block has it. Byte by byte, none of
  // them would have found the block full, so no write is moved.
  std::uint8_t* ReserveOutput(unsigned count) {
    if (outPosition_ + count > kIoBlockSize + 1) return nullptr;
    std::uint8_t* const at = outBuffer_ + outPosition_ - 1;
    outPosition_ = static_cast<std::uint16_t>(outPosition_ + count);
    return at;
  }

private:
  CheckedInput& in_;
  kv::File& out_;
  std::uint8_t* const inBuffer_;
  std::uint8_t* const outBuffer_;
  std::int32_t inLength_ = 0;     // valid bytes in the input block
  std::uint16_t inPosition_ = 1;  // 1-based, next byte to hand out
  std::uint16_t outPosition_ = 1; // 1-based, next free byte
};

std::unique_ptr<std::uint8_t[]> ReserveBuffer() {
  try {
    return std::make_unique<std::uint8_t[]>(kBufferReserve);
  } catch (const std::bad_alloc&) {
    throw ELzrw1Exception("Zu wenig Speicher für I/O Buffers !!");
  }
}

std::int32_t ReadSize(CheckedInput& in) {
  std::uint8_t bytes[4];
  if (in.file.Read(bytes, sizeof bytes) != static_cast<long>(sizeof bytes)) {
    throw ELzrw1Exception("ERROR READING FROM " + InFileName + " !");
  }
  in.crc = kv::ContinueCrc32(in.crc, bytes, sizeof bytes);
  const std::uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return static_cast<std::int32_t>(value);
}

// Cold and out of line: it sits in the decoder's read callback.
[[noreturn, gnu::cold, gnu::noinline]] void RaiseTruncated() {
  throw ELzrw1Exception(InFileName + ": Datei ist unvollständig!");
}

// The decoder's view of the blocks: the callbacks one byte at a time, and the
// blocks' spans directly where a run of bytes fits.
struct DecoderIo {
  BlockIo& io;
  lzh::MissedReads missed{};

  int ReadByte() {
    std::uint8_t c;
    std::uint16_t actual = 0;
    io.ReadInput(&c, 1, actual);
    if (actual == 1) return c;
    if (missed.CutShort()) RaiseTruncated();
    return -1;
  }
  void WriteByte(std::uint8_t c) {
    std::uint16_t actual;
    io.WriteOutput(&c, 1, actual);
  }
  const std::uint8_t* PeekInput(unsigned count) const { return io.PeekInput(count); }
  void SkipInput(unsigned count) { io.SkipInput(count); }
  std::uint8_t* ReserveOutput(unsigned count) { return io.ReserveOutput(count); }
};

// The coded data after the header into the open output. Out of line, apart
// from the header's checks and their throws: those would give the function
// that holds the decoding loop a frame pointer on i686 (lzh::RaiseTreeDamaged
// says why), and the loop would lose that register.
[[gnu::noinline]] void DecodeData(std::int32_t size, CheckedInput& in, kv::File& out, std::uint8_t* inBuf,
                                  std::uint8_t* outBuf) {
  BlockIo io(in, out, inBuf, outBuf);
  DecoderIo decoderIo{io};
  const lzh::DecodeEnd end = lzh::LzhDecodeToEnd(size, decoderIo);
  if (end.cutShort) RaiseTruncated();
  // Bytes after the stream (a transfer that added some, two files run
  // together) mean the file is not the one that was packed.
  if (end.unusedBytes > 0 || io.InputLeft()) throw ELzrw1Exception(InFileName + ": Daten nach dem Ende!");
  std::uint16_t none;
  io.WriteOutput(nullptr, 0, none);
}

// Header and coded data into the open output; raises on every failure.
void Decode(CheckedInput& in, kv::File& out, std::uint8_t* inBuf, std::uint8_t* outBuf) {
  if (static_cast<std::uint32_t>(ReadSize(in)) != kHzlMagic) {
    throw ELzrw1Exception(InFileName + ": Keine komprimierte Datei!");
  }
  const std::int32_t size = ReadSize(in);
  // A size of 2 GiB or more reads as negative, which the decoder turns into
  // nothing: expanded, it would replace the installed file with an empty one.
  if (size < 0) throw ELzrw1Exception(InFileName + ": Größenangabe ungültig!");
  DecodeData(size, in, out, inBuf, outBuf);
}

}  // namespace

std::int32_t ExpandOrRaise(const std::optional<std::uint32_t>& checksum) {
  const auto inBuf = ReserveBuffer();
  const auto outBuf = ReserveBuffer();
  CheckedInput in{kv::OpenForReading(InFileName)};
  if (!in.file.IsOpen()) throw ELzrw1Exception(InFileName + " nicht gefunden!");
  kv::Output out = kv::OpenOutput(OutFileName);
  if (!out.file.IsOpen()) throw ELzrw1Exception("Konnte " + OutFileName + " nicht öffnen!");
  try {
    Decode(in, out.file, inBuf.get(), outBuf.get());
    if (checksum && in.crc != *checksum) throw ELzrw1Exception(InFileName + ": Prüfsumme falsch!");
    if (!kv::CloseOutput(out)) throw ELzrw1Exception("ERROR WRITING TO " + OutFileName + " !");
  } catch (...) {
    kv::DiscardOutput(out);
    throw;
  }
  in.file.Close();
  if (!kv::PlaceOutput(out, OutFileName)) throw ELzrw1Exception("Konnte " + OutFileName + " nicht öffnen!");
  return 1;
}

std::int32_t Expand(const std::optional<std::uint32_t>& checksum) {
  try {
    return ExpandOrRaise(checksum);
  } catch (...) {
    return -1;
  }
}
