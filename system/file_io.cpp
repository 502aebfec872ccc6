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

File CreateTempBeside(const std::string& target, std::string& tempPath) {
  File file;
  tempPath = UseTempPathBeside(target, [&file](const std::string& path) { return CreateNew(path, file); });
  return file;
}

Output OpenOutput(const std::string& target) {
  Output output;
  // Wine creates a file past the longest path, which Windows refuses: such a
  // target takes the temporary file's route, which refuses it on both.
  if (target.size() <= kMaxPathLength && CreateNew(target, output.file) == NameUse::Done) {
    output.path = target;
    return output;
  }
  // Taken, or refused for a reason the temporary file's route meets as well
  // (a missing folder, no right to write): that route decides, as it always did.
  output.replaces = true;
  output.file = CreateTempBeside(target, output.path);
  return output;
}

bool CloseOutput(Output& output) {
  const bool flushed = !output.replaces || output.file.Flush();
  return output.file.Close() && flushed;
}

void DiscardOutput(Output& output) {
  output.file = File();
  DeleteFilePath(output.path);
}

bool PlaceOutput(const Output& output, const std::string& target) {
  return !output.replaces || PutInPlace(output.path, target);
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
  Output output = OpenOutput(to);
  if (!output.file.IsOpen()) return false;
  output.file = File();  // the copy writes by name; the name stays taken
  if (!CopyOnto(from, output.path, output.replaces) || (checksum && FileCrc32(output.path) != checksum)) {
    DeleteFilePath(output.path);
    return false;
  }
  return PlaceOutput(output, to);
}

}  // namespace kv
