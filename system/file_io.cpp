#include "system/file_io_internal.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kv {
namespace {
constexpr std::size_t kTempNameLength = 8;
// Enough for a folder full of leftovers, few enough to give up quickly.
constexpr std::uint32_t kTempNameAttempts = 1000;
// Big enough that reading back costs little beside the copy itself.
constexpr std::size_t kChecksumBlock = 65536;
constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr std::uint32_t kBase = sizeof kDigits - 1;
}  // namespace

std::string TempPathBeside(const std::string& target, unsigned attempt) {
  const std::string directory = DirectoryOf(target);
  if (directory.size() >= kMaxPathLength) return {};
  const std::size_t length = std::min(kTempNameLength, kMaxPathLength - directory.size());
  // From two characters on, the name starts with "~", which no device name
  // (CON, NUL, COM1 ...) does; a single character is none either.
  const std::size_t digits = length == 1 ? 1 : length - 1;
  std::uint32_t names = 1;
  for (std::size_t i = 0; i < digits && names < kTempNameAttempts; ++i) names *= kBase;
  if (attempt >= std::min(names, kTempNameAttempts)) return {};

  std::string name(length, '0');
  if (length > 1) name[0] = '~';
  for (std::size_t i = length; attempt > 0; attempt /= kBase) name[--i] = kDigits[attempt % kBase];
  return directory + name;
}

bool PutInPlace(const std::string& tempPath, const std::string& target) {
  if (ReplaceFilePath(tempPath, target)) return true;
  DeleteFilePath(tempPath);
  return false;
}

std::uint32_t ContinueCrc32(std::uint32_t crc, const void* data, std::size_t size) {
  // zlib takes at most a uInt at a time.
  const auto* bytes = static_cast<const Bytef*>(data);
  for (std::size_t done = 0; done < size;) {
    const uInt part = static_cast<uInt>(std::min<std::size_t>(size - done, 1u << 30));
    crc = static_cast<std::uint32_t>(::crc32(crc, bytes + done, part));
    done += part;
  }
  return crc;
}

Checksum FileCrc32(const std::string& path) {
  File in = OpenForReading(path);
  if (!in.IsOpen()) return std::nullopt;
  std::vector<unsigned char> block(kChecksumBlock);
  std::uint32_t crc = 0;
  for (;;) {
    const long got = in.Read(block.data(), block.size());
    if (got < 0) return std::nullopt;
    if (got == 0) return crc;
    crc = ContinueCrc32(crc, block.data(), static_cast<std::size_t>(got));
  }
}

bool CopyFileOver(const std::string& from, const std::string& to, const Checksum& checksum) {
  std::string tempPath;
  if (!CreateTempBeside(to, tempPath).IsOpen()) return false;  // the name is kept; the handle closes
  if (!CopyOnto(from, tempPath) || (checksum && FileCrc32(tempPath) != checksum)) {
    DeleteFilePath(tempPath);
    return false;
  }
  return PutInPlace(tempPath, to);
}

}  // namespace kv
