// The few file operations the expansion driver and the plain install copy
// need, behind one interface: file_io_win.cpp (CreateFileA and friends, what
// the program uses) and file_io_posix.cpp (the native build's twin).
#pragma once

#include <cstddef>
#include <memory>
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
  // Bytes moved, or -1 when the call fails. One call is one system call.
  long Read(void* buffer, std::size_t count);
  long Write(const void* buffer, std::size_t count);
  // Flushes and closes; false when either fails. The object is closed after.
  bool Close();

private:
  std::unique_ptr<Impl> impl_;
};

// Opens an existing file for reading, shared with nobody.
File OpenForReading(const std::string& path);
// Creates a new, empty file with a unique name in the directory of target
// (read-write, shared with nobody) and stores its path in tempPath.
File CreateTempBeside(const std::string& target, std::string& tempPath);
bool DeleteFilePath(const std::string& path);
// Puts the file at from in place of the one at to (which may exist).
bool ReplaceFilePath(const std::string& from, const std::string& to);
// Copies a file, overwriting an existing target.
bool CopyFileOver(const std::string& from, const std::string& to);

}  // namespace kv
