#include "system/file_io_win.h"

#include "system/helpers.h"
#include "system/file_io_internal.h"
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
  if (!impl_ || !::ReadFile(impl_->handle.Get(), buffer, static_cast<DWORD>(count), &got, nullptr)) return -1;
  return static_cast<long>(got);
}

long File::Write(const void* buffer, std::size_t count) {
  DWORD written = 0;
  if (!impl_ || !::WriteFile(impl_->handle.Get(), buffer, static_cast<DWORD>(count), &written, nullptr)) return -1;
  return static_cast<long>(written);
}

bool File::Flush() { return impl_ && ::FlushFileBuffers(impl_->handle.Get()); }

bool File::Close() {
  if (!impl_) return false;
  const bool closed = ::CloseHandle(impl_->handle.Release()) != 0;
  impl_.reset();
  return closed;
}

const std::size_t kMaxPathLength = MAX_PATH - 1;

std::string DirectoryOf(const std::string& path) {
  const auto end = path.find_last_of("\\/:");
  return end == std::string::npos ? std::string() : path.substr(0, end + 1);
}

namespace {
File Open(const std::string& path, DWORD access, DWORD disposition) {
  FileHandle h(::CreateFileA(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  return h ? File(std::make_unique<File::Impl>(std::move(h))) : File();
}

NameUse Outcome(bool done) {
  if (done) return NameUse::Done;
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NameUse::Taken : NameUse::Failed;
}
}  // namespace

File OpenForReading(const std::string& path) { return Open(path, GENERIC_READ, OPEN_EXISTING); }

// Temporary files get names of their own rather than GetTempFileNameA's:
// that call refuses folders of more than 246 characters (Wine garbles or
// crashes on them), where an install directory may be longer.
NameUse CreateNew(const std::string& path, File& file) {
  file = Open(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
  return Outcome(file.IsOpen());
}

bool DeleteFilePath(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool ReplaceFilePath(const std::string& from, const std::string& to) {
  // Windows refuses to replace a read-only file, Wine replaces it: refused
  // here on both, so such a file goes only once the user has freed it.
  const DWORD attributes = ::GetFileAttributesA(to.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  return ReplaceByRenaming(from, to);
}

bool ReplaceByRenaming(const std::string& from, const std::string& to) {
  const DWORD attributes = ::GetFileAttributesA(to.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return ::MoveFileA(from.c_str(), to.c_str()) != 0;
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) return false;
  const std::string aside = UseTempPathBeside(to, [&to](const std::string& path) {
    return Outcome(::MoveFileA(to.c_str(), path.c_str()) != 0);
  });
  if (aside.empty()) return false;
  if (!::MoveFileA(from.c_str(), to.c_str())) {
    ::MoveFileA(aside.c_str(), to.c_str());
    return false;
  }
  ::DeleteFileA(aside.c_str());
  return true;
}

bool CopyOnto(const std::string& from, const std::string& to, bool flush) {
  const bool copied = ::CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
  // The copy takes the source's attributes, and media are often read-only;
  // a read-only copy could neither replace its target nor be deleted.
  ClearReadOnly(to);
  if (!copied || !flush) return copied;
  // CopyFileA leaves the bytes to the cache; the flush needs a handle of its own.
  File copy = Open(to, GENERIC_WRITE, OPEN_EXISTING);
  return copy.Flush() && copy.Close();
}

}  // namespace kv
