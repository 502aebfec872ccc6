// Folders and files for tests, natively and under Wine: a fresh folder that
// goes with everything in it, and whole-file writes and reads that put
// exactly the test's bytes on disk.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace kvtest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A fresh, empty folder under the temporary folder, named after the running
// test, removed with everything in it (read-only files and dot folders too)
// when the object goes.
class TempDir {
public:
  TempDir() {
    namespace fs = std::filesystem;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "test";
    for (char& c : name) {
      if (c == '/' || c == '\\') c = '_';
    }
    // A random part keeps test programs that run side by side apart.
    std::mt19937 random(std::random_device{}());
    do {
      folder_ = fs::temp_directory_path() / ("kv-" + name + "-" + std::to_string(random() % 1000000));
    } while (!fs::create_directory(folder_));
    path_ = folder_.string() + static_cast<char>(fs::path::preferred_separator);
  }
  ~TempDir() { Remove(); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // With a trailing separator.
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }
  // Names of what the folder holds, to catch leftovers.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder_)) names.push_back(e.path().filename().string());
    return names;
  }

private:
  void Remove() const {
    namespace fs = std::filesystem;
    std::error_code ignored;
    // Windows refuses to delete a read-only file.
    for (fs::recursive_directory_iterator it(folder_, ignored), end; !ignored && it != end; it.increment(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    }
    fs::remove_all(folder_, ignored);
  }

  std::filesystem::path folder_;
  std::string path_;
};

// Writes exactly these bytes to path, replacing any file there.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  ASSERT_TRUE(out.good()) << "cannot write " << path;
}
inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  WriteBytes(path, std::string(bytes.begin(), bytes.end()));
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The file's bytes as text; "" when it cannot be read.
inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace kvtest
