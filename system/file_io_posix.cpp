#include "system/file_io_internal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

namespace kv {

struct File::Impl {
  explicit Impl(int descriptor) : fd(descriptor) {}
  ~Impl() {
    if (fd >= 0) ::close(fd);
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;
  int fd;
};

File::File() noexcept = default;
File::File(std::unique_ptr<Impl> impl) noexcept : impl_(std::move(impl)) {}
File::File(File&&) noexcept = default;
File& File::operator=(File&&) noexcept = default;
File::~File() = default;

long File::Read(void* buffer, std::size_t count) {
  return impl_ ? static_cast<long>(::read(impl_->fd, buffer, count)) : -1;
}

long File::Write(const void* buffer, std::size_t count) {
  return impl_ ? static_cast<long>(::write(impl_->fd, buffer, count)) : -1;
}

bool File::Flush() { return impl_ && ::fsync(impl_->fd) == 0; }

bool File::Close() {
  if (!impl_) return false;
  const bool closed = ::close(impl_->fd) == 0;
  impl_->fd = -1;
  impl_.reset();
  return closed;
}

const std::size_t kMaxPathLength = PATH_MAX - 1;

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

namespace {
File FromDescriptor(int fd) {
  return fd < 0 ? File() : File(std::make_unique<File::Impl>(fd));
}

// New files get 0666 less the umask, as any program's output does.
constexpr mode_t kNewFileMode = 0666;
}  // namespace

File OpenForReading(const std::string& path) {
  return FromDescriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

NameUse CreateNew(const std::string& path, File& file) {
  file = FromDescriptor(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
  if (file.IsOpen()) return NameUse::Done;
  return errno == EEXIST ? NameUse::Taken : NameUse::Failed;
}

bool DeleteFilePath(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool ReplaceFilePath(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyOnto(const std::string& from, const std::string& to, bool flush) {
  File in = OpenForReading(from);
  if (!in.IsOpen()) return false;
  File out = FromDescriptor(::open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (!out.IsOpen()) return false;
  std::vector<char> block(65536);
  for (;;) {
    const long got = in.Read(block.data(), block.size());
    if (got < 0) return false;
    if (got == 0) break;
    if (out.Write(block.data(), static_cast<std::size_t>(got)) != got) return false;
  }
  return (!flush || out.Flush()) && out.Close();
}

}  // namespace kv
