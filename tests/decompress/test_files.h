// Scratch files for the decompression and engine tests: a private directory
// that goes with its contents, and whole-file reads and writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace kvtest {

using Bytes = std::vector<std::uint8_t>;

class TempDir {
public:
  TempDir() {
    std::mt19937 rng(std::random_device{}());
    do {
      path_ = std::filesystem::temp_directory_path() / ("kvdec-" + std::to_string(rng()));
    } while (!std::filesystem::create_directory(path_));
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory itself, without a trailing separator.
  std::string Path() const { return path_.string(); }
  // A path in the directory, in the platform's own spelling.
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // Names of the files in the directory, to catch leftovers.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
    return names;
  }

private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const Bytes& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

inline Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

}  // namespace kvtest
