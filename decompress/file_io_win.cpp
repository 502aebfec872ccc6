#include "decompress/file_io.h"

#include "system/handles.h"
#include "system/win.h"

namespace kv {

struct File::Impl {
  explicit Impl(FileHandle h) : handle(std::move(h)) {}
  FileHandle handle;
};

File::File() noexcept = default;
File::File(std::unique_ptr<Impl> impl) noexcept : impl_(std::move(impl)) {}
File::File(File&&) noexcept = default;
File& File::operator=(File&&) noexcept = default;
File::~File() = default;

long File::Read(void* buffer, std::size_t count) {
  DWORD got = 0;
  if (!::ReadFile(impl_->handle.Get(), buffer, static_cast<DWORD>(count), &got, nullptr)) return -1;
  return static_cast<long>(got);
}

long File::Write(const void* buffer, std::size_t count) {
  DWORD written = 0;
  if (!::WriteFile(impl_->handle.Get(), buffer, static_cast<DWORD>(count), &written, nullptr)) return -1;
  return static_cast<long>(written);
}

bool File::Close() {
  // A read-only handle cannot be flushed; only the close result counts there.
  const bool flushed = ::FlushFileBuffers(impl_->handle.Get()) || ::GetLastError() == ERROR_ACCESS_DENIED;
  const bool closed = ::CloseHandle(impl_->handle.Release()) != 0;
  impl_.reset();
  return flushed && closed;
}

namespace {
File Open(const std::string& path, DWORD access, DWORD disposition) {
  FileHandle h(::CreateFileA(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  return h ? File(std::make_unique<File::Impl>(std::move(h))) : File();
}

std::string DirectoryOf(const std::string& path) {
  const auto end = path.find_last_of("\\/:");
  return end == std::string::npos ? std::string(".") : path.substr(0, end + 1);
}
}  // namespace

File OpenForReading(const std::string& path) { return Open(path, GENERIC_READ, OPEN_EXISTING); }

File CreateTempBeside(const std::string& target, std::string& tempPath) {
  char name[MAX_PATH];
  if (!::GetTempFileNameA(DirectoryOf(target).c_str(), "kvx", 0, name)) return File();
  // GetTempFileNameA has created the file to reserve the name; reopen it
  // without sharing, as the expansion wants its output.
  File file = Open(name, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  if (!file.IsOpen()) {
    ::DeleteFileA(name);
    return file;
  }
  tempPath = name;
  return file;
}

bool DeleteFilePath(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool ReplaceFilePath(const std::string& from, const std::string& to) {
  if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  // Windows 9x has no MoveFileExA: remove the old file, then rename.
  if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  if (::GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES && !::DeleteFileA(to.c_str())) return false;
  return ::MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool CopyFileOver(const std::string& from, const std::string& to) {
  return ::CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

}  // namespace kv
