// What the two file layers share: the names of temporary files. Not for use
// beyond the file layer and its tests.
#pragma once

#include "system/file_io.h"

#include <cstddef>
#include <string>

namespace kv {

// The platform's longest path in characters (without the terminator), and
// the directory part of a path with its separator ("" for a bare name).
extern const std::size_t kMaxPathLength;
std::string DirectoryOf(const std::string& path);

// The attempt-th path (from 0) to try for a temporary file beside target:
// in target's directory, a name of at most 8 characters, and shorter where
// the path would pass kMaxPathLength. "" once the names run out.
std::string TempPathBeside(const std::string& target, unsigned attempt);

// Copies from onto the existing file to, the copy writable and flushed when
// flush says so; false when the copy fails part way.
bool CopyOnto(const std::string& from, const std::string& to, bool flush);

enum class NameUse { Done, Taken, Failed };

// Creates path as a new, empty file (read-write, shared with nobody, the mode
// a new file gets) into file; Taken when the name is in use.
NameUse CreateNew(const std::string& path, File& file);

// Offers use(path) one temporary path beside target after another until it
// answers Done (that path is returned) or Failed (""); "" too when every
// name was taken.
template <typename Use>
std::string UseTempPathBeside(const std::string& target, Use&& use) {
  for (unsigned attempt = 0;; ++attempt) {
    std::string path = TempPathBeside(target, attempt);
    if (path.empty()) return path;
    switch (use(path)) {
      case NameUse::Done: return path;
      case NameUse::Failed: return {};
      case NameUse::Taken: break;
    }
  }
}

}  // namespace kv
