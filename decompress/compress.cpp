#include "decompress/compress.h"

#include "decompress/file_io.h"

#include <cstring>
#include <memory>

std::string InFileName;
std::string OutFileName;

namespace {

// 16 bytes more than a block, as the medium's tools have always reserved.
constexpr std::size_t kBufferReserve = kIoBlockSize + 16;

// Unit state of the running expansion; the callbacks reach it from here.
kv::File* inFile = nullptr;
kv::File* outFile = nullptr;
std::uint8_t* inBuffer = nullptr;
std::uint8_t* outBuffer = nullptr;
std::int32_t inLength = 0;
std::uint16_t inPosition = 1;   // 1-based, next byte to hand out
std::uint16_t outPosition = 1;  // 1-based, next free byte

// Publishes one expansion's files and buffers to the callbacks for its scope.
class ActiveExpansion {
public:
  ActiveExpansion(kv::File& in, kv::File& out, std::uint8_t* inBuf, std::uint8_t* outBuf) {
    inFile = &in;
    outFile = &out;
    inBuffer = inBuf;
    outBuffer = outBuf;
    inLength = 0;
    inPosition = 1;
    outPosition = 1;
  }
  ~ActiveExpansion() {
    inFile = outFile = nullptr;
    inBuffer = outBuffer = nullptr;
  }
  ActiveExpansion(const ActiveExpansion&) = delete;
  ActiveExpansion& operator=(const ActiveExpansion&) = delete;
};

std::unique_ptr<std::uint8_t[]> ReserveBuffer() {
  try {
    return std::make_unique<std::uint8_t[]>(kBufferReserve);
  } catch (const std::bad_alloc&) {
    throw ELzrw1Exception("Zu wenig Speicher für I/O Buffers !!");
  }
}

void WriteCollected() {
  const long count = outPosition - 1;
  if (outFile->Write(outBuffer, static_cast<std::size_t>(count)) != count) {
    throw ELzrw1Exception("ERROR WRITING TO " + OutFileName + " !");
  }
}

// Out of the hot path: once per 32768 input bytes.
[[gnu::noinline]] bool RefillInput() {
  const long got = inFile->Read(inBuffer, kIoBlockSize);
  if (got < 0) throw ELzrw1Exception("Lesefehler: " + InFileName + " !");
  inLength = static_cast<std::int32_t>(got);
  if (got == 0) return false;
  inPosition = 1;
  return true;
}

std::int32_t ReadSize(kv::File& in) {
  std::uint8_t bytes[4];
  if (in.Read(bytes, sizeof bytes) != static_cast<long>(sizeof bytes)) {
    throw ELzrw1Exception("ERROR READING FROM " + InFileName + " !");
  }
  const std::uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return static_cast<std::int32_t>(value);
}

ELzrw1Exception Truncated() { return ELzrw1Exception(InFileName + ": Datei ist unvollständig!"); }

// Header and coded data into the open output; raises on every failure.
void Decode(kv::File& in, kv::File& out, std::uint8_t* inBuf, std::uint8_t* outBuf) {
  if (static_cast<std::uint32_t>(ReadSize(in)) != kHzlMagic) {
    throw ELzrw1Exception(InFileName + ": Keine komprimierte Datei!");
  }
  const std::int32_t size = ReadSize(in);

  ActiveExpansion active(in, out, inBuf, outBuf);
  // A read past the end means the data was cut short once the decoder has
  // asked for more bytes than it can hold unused; stop there rather than
  // decode a possibly huge stored size from zero bits.
  unsigned misses = 0;
  const bool overran = lzh::LzhDecodeWith(
      size,
      [&misses]() -> int {
        std::uint8_t c;
        std::uint16_t actual = 0;
        ReadInput(&c, 1, actual);
        if (actual == 1) return c;
        if (++misses > lzh::kReadAhead) throw Truncated();
        return -1;
      },
      [](std::uint8_t c) {
        std::uint16_t actual;
        WriteOutput(&c, 1, actual);
      });
  if (overran) throw Truncated();
  std::uint16_t none;
  WriteOutput(nullptr, 0, none);
}

}  // namespace

void ReadInput(std::uint8_t* buffer, std::uint16_t /*count*/, std::uint16_t& actual) {
  if (inPosition > inLength && !RefillInput()) {
    actual = 0;
    return;
  }
  *buffer = inBuffer[inPosition - 1];
  ++inPosition;
  actual = 1;
}

void WriteOutput(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& actual) {
  if (count == 0) {
    WriteCollected();
    return;
  }
  if (outPosition + count > kIoBlockSize + 1 || outPosition > kIoBlockSize) {
    WriteCollected();
    outPosition = 1;
  }
  std::memcpy(outBuffer + outPosition - 1, buffer, count);
  outPosition = static_cast<std::uint16_t>(outPosition + count);
  actual = count;
}

std::int32_t ExpandOrRaise() {
  const auto inBuf = ReserveBuffer();
  const auto outBuf = ReserveBuffer();
  kv::File in = kv::OpenForReading(InFileName);
  if (!in.IsOpen()) throw ELzrw1Exception(InFileName + " nicht gefunden!");
  std::string tempPath;
  kv::File out = kv::CreateTempBeside(OutFileName, tempPath);
  if (!out.IsOpen()) throw ELzrw1Exception("Konnte " + OutFileName + " nicht öffnen!");
  try {
    Decode(in, out, inBuf.get(), outBuf.get());
    if (!out.Close()) throw ELzrw1Exception("ERROR WRITING TO " + OutFileName + " !");
  } catch (...) {
    out = kv::File();  // closed unflushed, then removed
    kv::DeleteFilePath(tempPath);
    throw;
  }
  in.Close();
  if (!kv::ReplaceFilePath(tempPath, OutFileName)) {
    kv::DeleteFilePath(tempPath);
    throw ELzrw1Exception("Konnte " + OutFileName + " nicht öffnen!");
  }
  return 1;
}

std::int32_t Expand() {
  try {
    return ExpandOrRaise();
  } catch (...) {
    return -1;
  }
}
