#include "fuzz/fuzz_support.h"

#include "system/ascii_case.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace fuzz {
namespace {

std::string scratch;

void RemoveScratch() {
  for (const std::string& name : EntriesIn(scratch)) ::unlink((scratch + name).c_str());
  ::rmdir(scratch.c_str());
}

}  // namespace

void Check(bool ok, const char* what, const std::string& against) {
  if (!ok) {
    std::fprintf(stderr, "violated: %s%s%s\n", what, against.empty() ? "" : ": ", against.c_str());
    std::abort();
  }
}

const std::string& ScratchDir() {
  if (scratch.empty()) {
    const char* base = std::getenv("KV_FUZZ_SCRATCH");
    std::string pattern = std::string(base ? base : "/dev/shm") + "/kvfuzz-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    scratch = pattern + "/";
    std::atexit(RemoveScratch);
  }
  return scratch;
}

std::vector<std::string> EntriesIn(const std::string& dir) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(dir.c_str())) {
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
  }
  return names;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::vector<std::uint8_t> data;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    std::uint8_t block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) data.insert(data.end(), block, block + n);
    std::fclose(f);
  }
  return data;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  Check(f != nullptr, "the scratch folder takes a file");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::vector<std::string> ResolvedPath(const std::string& path) {
  const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' &&
                     (path[2] == '\\' || path[2] == '/');
  if (!drive) return {};
  std::vector<std::string> parts{std::string{AsciiLower(path[0]), ':'}};
  std::string part;
  for (std::size_t i = 3; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '\\' && path[i] != '/') {
      part += AsciiLower(path[i]);
      continue;
    }
    const std::string named = part.substr(0, part.find(':'));
    const std::string::size_type last = named.find_last_not_of(". ");
    if (last != std::string::npos) {
      parts.push_back(named.substr(0, last + 1));
    } else if (part != "" && part != "." && parts.size() > 1) {
      parts.pop_back();
    }
    part.clear();
  }
  return parts;
}

bool ResolvesBelow(const std::string& path, const std::string& folder) {
  const std::vector<std::string> p = ResolvedPath(path);
  const std::vector<std::string> f = ResolvedPath(folder);
  return !f.empty() && p.size() > f.size() && std::equal(f.begin(), f.end(), p.begin());
}

bool ResolvesDirectlyIn(const std::string& path, const std::string& folder) {
  return ResolvesBelow(path, folder) && ResolvedPath(path).size() == ResolvedPath(folder).size() + 1;
}

}  // namespace fuzz
