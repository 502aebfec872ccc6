// hzpack: makes and inspects the compressed files of a distribution medium.
//   hzpack pack IN [OUT]    OUT defaults to IN's packed name (DEMO.EXE -> DEMO.EX_);
//                           a medium's list beside OUT gets OUT's new checksum
//   hzpack expand IN OUT    expands with the program's own Expand
//   hzpack info IN          prints the header
//   hzpack make SOURCE MEDIUM --name NAME --agreement FILE [--item FILE=CAPTION ...]
//                           [--windows FILE ...] [--exclude PATTERN ...] [--keep-all]
//                           builds a medium from a product folder
//   hzpack check MEDIUM [--plan]
//                           checks a medium against what the setup program
//                           will make of it (exit 1 when it found an error)
//   hzpack --help | -h      prints the usage; hzpack --version the version
// Exit status 0 on success, 1 on failure with one line on standard error,
// 2 on a command line it does not understand.
#include "decompress/compress.h"
#include "system/file_io.h"
#include "tools/hzpack/check.h"
#include "tools/hzpack/host.h"
#include "tools/hzpack/hzl_pack.h"
#include "tools/hzpack/medium_maker.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: hzpack pack IN [OUT]     pack IN into OUT (default: IN with \"_\" for the\n"
    "                                last character of its extension); a Setup.lst\n"
    "                                with checksums in OUT's folder or above it gets\n"
    "                                OUT's new one\n"
    "       hzpack expand IN OUT     expand IN into OUT as the setup program does\n"
    "       hzpack info IN           show the header of IN\n"
    "       hzpack make SOURCE MEDIUM --name NAME --agreement FILE [--readme FILE]\n"
    "                   [--main FILE] [--path DIR] [--setup FILE] [--item FILE=CAPTION]...\n"
    "                   [--windows FILE]... [--exclude PATTERN]... [--keep-all]\n"
    "                   [--product-version TEXT] [--publisher TEXT]\n"
    "                                build a medium from the product folder SOURCE\n"
    "                                (SETUP.EXE: --setup, or the one beside hzpack;\n"
    "                                --item: one more shortcut, FILE below SOURCE;\n"
    "                                --windows: FILE at the top of SOURCE goes into\n"
    "                                the Windows directory; --exclude: leave out\n"
    "                                files and folders so named (* and ?); --keep-all:\n"
    "                                ship backups and version control folders too;\n"
    "                                --product-version, --publisher: for the software list)\n"
    "       hzpack check MEDIUM [--plan]\n"
    "                                check MEDIUM as the setup program will read and\n"
    "                                install it; --plan also shows the install\n"
    "       hzpack --help | --version\n";

// Files below this size pack too fast for a progress display to help.
constexpr std::size_t kProgressFrom = 4u << 20;
constexpr std::size_t kWriteChunk = 1u << 20;

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read " + path);
  return data;
}

// Writes path through kv::OpenOutput: a failed write (a full disk) leaves an
// earlier file as it was.
void WriteReplacing(const std::string& path, const std::vector<std::uint8_t>& data) {
  kv::Output out = kv::OpenOutput(path);
  if (!out.file.IsOpen()) throw std::runtime_error("cannot create " + path);
  bool written = true;
  for (std::size_t done = 0; written && done < data.size();) {
    const long n = out.file.Write(data.data() + done, std::min(kWriteChunk, data.size() - done));
    written = n > 0;
    done += written ? static_cast<std::size_t>(n) : 0;
  }
  if (!written || !kv::CloseOutput(out)) {
    kv::DiscardOutput(out);
    throw std::runtime_error("cannot write " + path);
  }
  if (!kv::PlaceOutput(out, path)) throw std::runtime_error("cannot replace " + path);
}

// A file packed anew for a medium keeps the medium sound: its list's
// checksum follows. The list is the first Setup.lst in the file's folder or
// a folder above it, and names the file from there; a list above gets no new
// line, since a file far below it may be no file of its medium.
void UpdateListAbove(const std::string& packedPath, std::uint32_t crc) {
  namespace fs = std::filesystem;
  const fs::path file = fs::absolute(fs::u8path(packedPath));
  std::string name = hzpack::NameAsListed(file.filename());
  for (fs::path folder = file.parent_path();; folder = folder.parent_path()) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      std::string entry = hzpack::NameAsListed(it->path().filename());
      std::transform(entry.begin(), entry.end(), entry.begin(), [](unsigned char c) { return std::tolower(c); });
      if (entry != "setup.lst") continue;
      const std::vector<std::uint8_t> raw = ReadWholeFile(it->path().u8string());
      const std::string before(raw.begin(), raw.end());
      const std::string after = hzpack::ListWithChecksum(before, name, crc, folder == file.parent_path());
      if (after == before) return;
      WriteReplacing(it->path().u8string(), std::vector<std::uint8_t>(after.begin(), after.end()));
      std::printf("%s: the checksum of %s set\n", it->path().u8string().c_str(), name.c_str());
      return;
    }
    if (folder == folder.root_path() || folder.parent_path() == folder) return;
    name = hzpack::NameAsListed(folder.filename()) + "\\" + name;
  }
}

int Pack(const std::string& in, const std::string& outArg) {
  const std::string out = outArg.empty() ? hzpack::PackedName(in) : outArg;
  const std::string warning = hzpack::NameWarning(in, out);
  if (!warning.empty()) std::fprintf(stderr, "%s\n", warning.c_str());
  const std::vector<std::uint8_t> data = ReadWholeFile(in);
  hzpack::Progress progress;
  if (data.size() >= kProgressFrom) {
    progress = [&data](std::size_t done) {
      std::fprintf(stderr, "\rpacking: %3u %%", static_cast<unsigned>(done * 100 / data.size()));
    };
  }
  const std::vector<std::uint8_t> packed = hzpack::PackBytes(data, progress);
  if (progress) std::fprintf(stderr, "\rpacking: 100 %%\n");
  WriteReplacing(out, packed);
  std::printf("%s: %lu -> %lu bytes\n", out.c_str(), static_cast<unsigned long>(data.size()),
              static_cast<unsigned long>(packed.size()));
  UpdateListAbove(out, kv::ContinueCrc32(0, packed.data(), packed.size()));
  return 0;
}

int ExpandFile(const std::string& in, const std::string& out) {
  InFileName = in;
  OutFileName = out;
  ExpandOrRaise();
  return 0;
}

int Info(const std::string& in) {
  const hzpack::HzlHeader h = hzpack::ReadHeader(in);
  if (!h.complete) throw std::runtime_error(in + ": shorter than the 8-byte header");
  if (!h.magicOk) throw std::runtime_error(in + ": not a compressed file (no \"!HZL\")");
  std::printf("magic          !HZL\nexpanded size  %ld\ncoded bytes    %llu\n", static_cast<long>(h.expandedSize),
              static_cast<unsigned long long>(h.codedBytes));
  if (h.expandedSize > 0) {
    std::printf("ratio          %.1f %%\n", 100.0 * static_cast<double>(h.codedBytes + kHzlHeaderSize) / h.expandedSize);
  }
  return 0;
}

// make's command line: SOURCE and MEDIUM, then options, each with a value.
bool ParseMake(const std::vector<std::string>& args, hzpack::MakeRequest& request) {
  std::map<std::string, std::string*> options = {
      {"--name", &request.name}, {"--agreement", &request.agreement}, {"--readme", &request.readme},
      {"--main", &request.mainFile}, {"--path", &request.path}, {"--setup", &request.setup},
      {"--product-version", &request.version}, {"--publisher", &request.publisher}};
  std::vector<std::string> positional;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const auto option = options.find(args[i]);
    // As often as wanted:
    std::vector<std::string>* repeated = args[i] == "--item"      ? &request.items
                                         : args[i] == "--windows" ? &request.windowsFiles
                                         : args[i] == "--exclude" ? &request.excludes
                                                                  : nullptr;
    if (repeated && i + 1 < args.size()) {
      repeated->push_back(hzpack::ArgumentToUtf8(args[++i]));
    } else if (args[i] == "--keep-all" && !request.keepAll) {
      request.keepAll = true;
    } else if (option == options.end()) {
      if (args[i].size() > 1 && args[i][0] == '-') return false;
      positional.push_back(hzpack::ArgumentToUtf8(args[i]));
    } else if (i + 1 < args.size()) {
      *option->second = hzpack::ArgumentToUtf8(args[++i]);
      options.erase(option);  // each option once
    } else {
      return false;
    }
  }
  if (positional.size() != 2 || request.name.empty() || request.agreement.empty()) return false;
  request.source = positional[0];
  request.medium = positional[1];
  return true;
}

int Make(hzpack::MakeRequest request) {
  if (request.setup.empty()) {
    const std::filesystem::path beside = hzpack::OwnDirectory() / "SETUP.EXE";
    if (!std::filesystem::exists(beside)) {
      throw std::runtime_error("no SETUP.EXE beside hzpack (" + beside.u8string() + "): name one with --setup");
    }
    request.setup = beside.u8string();
  }
  hzpack::FileProgress progress;
  if (hzpack::IsTerminal(stderr)) {
    progress = [](std::size_t done, std::size_t total) {
      std::fprintf(stderr, "\rpacking: %lu of %lu files", static_cast<unsigned long>(done),
                   static_cast<unsigned long>(total));
    };
  }
  const hzpack::MakeReport report = hzpack::MakeMedium(request, progress);
  if (progress) std::fputc('\n', stderr);
  for (const std::string& line : report.leftOut) std::printf("left out: %s\n", line.c_str());
  std::printf("%s: %lu files (%lu packed), %llu -> %llu bytes, %u cores\n", request.medium.c_str(),
              static_cast<unsigned long>(report.files), static_cast<unsigned long>(report.packed), report.bytesIn,
              report.bytesOut, report.cores);
  std::fflush(stdout);
  // The medium is checked as a vendor would check it: an error fails the make.
  return hzpack::CheckMedium(request.medium, std::cout, false) == 0 ? 0 : 1;
}

int Run(const std::vector<std::string>& args) {
  const std::string command = args.empty() ? "" : args[0];
  if (args.size() == 1 && (command == "--help" || command == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.size() == 1 && command == "--version") {
    std::printf("hzpack %s\n", HZPACK_VERSION);
    return 0;
  }
  hzpack::MakeRequest request;
  if (command == "make" && ParseMake(args, request)) return Make(request);
  if (command == "check" && (args.size() == 2 || (args.size() == 3 && args[2] == "--plan")) && args[1].rfind("-", 0) != 0)
    return hzpack::CheckMedium(args[1], std::cout, args.size() == 3);
  const bool anOption = std::any_of(args.begin(), args.end(), [](const std::string& a) { return a.size() > 1 && a[0] == '-'; });
  if (!anOption) {
    if (command == "pack" && (args.size() == 2 || args.size() == 3)) return Pack(args[1], args.size() == 3 ? args[2] : "");
    if (command == "expand" && args.size() == 3) return ExpandFile(args[1], args[2]);
    if (command == "info" && args.size() == 2) return Info(args[1]);
  }
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "hzpack: %s\n", e.what());
    return 1;
  }
}
