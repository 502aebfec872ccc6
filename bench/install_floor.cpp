// Two parts of an install run on their own, for the install benchmark's
// floor (Win32, run under Wine beside SETUP.EXE):
//
//   install_floor decode LIST
//     expands every packed file named in LIST (one path a line) with the
//     program's own decoder into memory: the expansion without its files.
//   install_floor log INSTALLDIR LIST
//     makes the install log's profile writes an install run into INSTALLDIR
//     makes for the medium's file names in LIST ([programfiles] in its
//     order), the uninstaller and the user account included: the log alone.
//
// Exit status 0, or 1 with a line on standard error.
#include "decompress/lzh_internal.h"
#include "system/ascii_case.h"
#include "engine/compressed_name.h"
#include "engine/install_log.h"
#include "system/helpers.h"
#include "system/win.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ReadLines(const char* path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// Coded bytes from memory; the output goes round a block-sized buffer, as
// Expand's blocks would before they are written.
class MemoryIo {
public:
  MemoryIo(const std::uint8_t* in, std::size_t length) : in_(in), length_(length) {}
  int ReadByte() { return position_ < length_ ? in_[position_++] : -1; }
  void WriteByte(std::uint8_t c) {
    if (used_ == sizeof out_) used_ = 0;
    out_[used_++] = c;
  }
  const std::uint8_t* PeekInput(unsigned count) const { return length_ - position_ >= count ? in_ + position_ : nullptr; }
  void SkipInput(unsigned count) { position_ += count; }
  std::uint8_t* ReserveOutput(unsigned count) {
    if (used_ + count > sizeof out_) used_ = 0;
    std::uint8_t* const at = out_ + used_;
    used_ += count;
    return at;
  }

private:
  const std::uint8_t* in_;
  std::size_t length_;
  std::size_t position_ = 8;  // after the magic and the size
  std::uint8_t out_[32768];
  std::size_t used_ = 0;
};

int Decode(const char* listPath) {
  for (const std::string& path : ReadLines(listPath)) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (data.size() < 8) {
      std::fprintf(stderr, "%s: no packed file\n", path.c_str());
      return 1;
    }
    const std::int32_t size = static_cast<std::int32_t>(data[4] | data[5] << 8 | data[6] << 16 |
                                                        static_cast<std::uint32_t>(data[7]) << 24);
    MemoryIo io(data.data(), data.size());
    if (lzh::LzhDecodeIo(size, io)) {
      std::fprintf(stderr, "%s: cut short\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

// The values the benchmark's Setup.lst gives the run.
int Log(const char* installDir, const char* listPath) {
  char profile[MAX_PATH] = "";
  ::GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
  ::CreateDirectoryA(installDir, nullptr);
  CopyRun run = StartCopyRun(installDir, "Bench", "Bench", "KvBench");
  const std::string dir = AddBackslash(installDir);
  int number = 0;
  for (const std::string& name : ReadLines(listPath))
    WriteInstallLogEntry(run, ++number, AsciiLowerCase(dir + MapCompressedName(name)));
  WriteInstallLogEntry(run, ++number, AsciiLowerCase(dir + "Uninstal.exe"));
  WriteInstallLogUserAccount(installDir, profile);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 3 && std::string(argv[1]) == "decode") return Decode(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "log") return Log(argv[2], argv[3]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: install_floor decode LIST | log INSTALLDIR LIST\n");
  return 2;
}
