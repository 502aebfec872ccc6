// The few file operations the expansion driver, the plain install copy and
// the packer need, behind one interface: file_io_win.cpp (CreateFileA and
// friends, what the program uses) and file_io_posix.cpp (the native build's
// twin); file_io.cpp holds what both share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kv {

// An open file, closed when the object goes.
class File {
public:
  struct Impl;

  File() noexcept;
  explicit File(std::unique_ptr<Impl> impl) noexcept;
  File(File&&) noexcept;
  File& operator=(File&&) noexcept;
  ~File();

  bool IsOpen() const noexcept { return impl_ != nullptr; }
  // Bytes moved, or -1 when the call fails or the file is not open. One call
  // is one system call.
  long Read(void* buffer, std::size_t count);
  long Write(const void* buffer, std::size_t count);
  // Hands what was written to the disk; false when that fails or the file
  // is not open.
  bool Flush();
  // False when closing fails or the file was not open; closed after.
  bool Close();

private:
  std::unique_ptr<Impl> impl_;
};

// Opens an existing file for reading, shared with nobody.
File OpenForReading(const std::string& path);
// Creates a new, empty file with a short unused name in the directory of
// target (read-write, shared with nobody, the mode a new file gets) and
// stores its path in tempPath. The name has at most 8 characters, fewer
// where a longer one would pass the platform's path limit, so the path fits
// wherever target's fits.
File CreateTempBeside(const std::string& target, std::string& tempPath);
bool DeleteFilePath(const std::string& path);
// Where a file's new content is written: straight to the target when no
// file stands there, as every installer writes a new file; else to a
// temporary file beside it, flushed before it replaces the earlier file, so
// that a replacement cut off midway (a crash, a power cut) never costs the
// earlier file.
struct Output {
  File file;
  std::string path;       // where the bytes go: the target or the temporary file
  bool replaces = false;  // the target's name was taken: written beside it, flushed
};
// The output for target; its file is not open when neither can be created.
Output OpenOutput(const std::string& target);
// Closes the output, flushed when it replaces; false when either fails.
bool CloseOutput(Output& output);
// Closes the output unflushed and removes what it wrote.
void DiscardOutput(Output& output);
// Puts a closed output in place of target where it replaces; when that
// fails, the output is removed and the earlier file stays as it was.
bool PlaceOutput(const Output& output, const std::string& target);
// Puts the file at from in place of the one at to (which may exist). When
// this fails, a file that stood at to is still there. A read-only file at
// to is refused, as Windows refuses it.
bool ReplaceFilePath(const std::string& from, const std::string& to);
// Puts a complete temporary file in place of target; when that fails, the
// temporary file is deleted and a file at target stays as it was.
bool PutInPlace(const std::string& tempPath, const std::string& target);
// A checksum a medium gives for one of its files: zlib's CRC-32 of the
// file's bytes as they lie on the medium. None where the medium gives none;
// then nothing is compared.
using Checksum = std::optional<std::uint32_t>;
// crc continued over size more bytes (from 0 for the first).
std::uint32_t ContinueCrc32(std::uint32_t crc, const void* data, std::size_t size);
// The CRC-32 of the whole file at path; none when it cannot be read.
Checksum FileCrc32(const std::string& path);

// Copies a file to target through OpenOutput: a failed copy (a full disk)
// leaves an earlier file as it was. The copy is writable whatever the
// source's attributes. With a checksum, a copy whose bytes do not have it is
// a failed copy too: the copy is read back, so a fault of the medium, of the
// drive or of the copy is caught alike.
bool CopyFileOver(const std::string& from, const std::string& to, const Checksum& checksum = std::nullopt);

}  // namespace kv
