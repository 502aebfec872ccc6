#include "tools/hzpack/medium_maker.h"

#include "engine/ascii_case.h"
#include "engine/compressed_name.h"
#include "system/Kv_tools.h"
#include "system/code_page.h"
#include "tools/hzpack/hzl_pack.h"
#include "tools/hzpack/host.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <utility>

namespace fs = std::filesystem;

namespace hzpack {
namespace {

// The profile functions read a value through a 2048-byte buffer.
constexpr std::size_t kMaxListValue = 2047;

std::string Upper(const std::string& cp1252) { return AnsiUpperCase(cp1252); }

// The list's value for a name: code page 1252, each part a name Windows
// takes, "\" between them.
std::string ListedForm(const std::string& utf8Name) {
  std::string cp1252;
  if (!Utf8ToCp1252(utf8Name, cp1252)) throw MakeError(utf8Name + ": code page 1252 cannot write this name");
  std::string listed;
  std::string::size_type start = 0;
  for (;;) {
    const std::string::size_type end = cp1252.find('/', start);
    const std::string part = cp1252.substr(start, end == std::string::npos ? end : end - start);
    const std::string fault = NameFault(part);
    if (!fault.empty()) throw MakeError(utf8Name + ": " + fault);
    listed += part;
    if (end == std::string::npos) break;
    listed += '\\';
    start = end + 1;
  }
  // The profile functions drop the blanks around a value.
  if (listed.front() == ' ') throw MakeError(utf8Name + ": a name beginning with a blank");
  if (listed.size() > kMaxListValue) throw MakeError(utf8Name + ": longer than a list value can be");
  return listed;
}

bool SameName(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw MakeError("cannot open " + path.u8string());
  std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw MakeError("cannot read " + path.u8string());
  return data;
}

void WriteBytes(const fs::path& path, const void* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  if (!out) throw MakeError("cannot write " + path.u8string());
}

void CopyBytes(const fs::path& from, const fs::path& to) {
  const std::vector<std::uint8_t> data = ReadBytes(from);
  WriteBytes(to, data.data(), data.size());
}

fs::path Below(const fs::path& folder, const std::string& utf8Name) { return folder / fs::u8path(utf8Name); }

void RequireFile(const std::string& path, const char* what) {
  std::error_code error;
  if (!fs::is_regular_file(fs::u8path(path), error)) throw MakeError(std::string(what) + " " + path + " is not a file");
}

// The medium folder, made ready: absent or empty, and outside the product.
void PrepareMedium(const fs::path& medium, const fs::path& source) {
  std::error_code error;
  if (fs::exists(medium, error)) {
    if (!fs::is_directory(medium, error) || !fs::is_empty(medium, error)) {
      throw MakeError(medium.u8string() + " is not an empty folder");
    }
  }
  const fs::path inside = fs::weakly_canonical(medium).lexically_relative(fs::weakly_canonical(source));
  if (!inside.empty() && *inside.begin() != "..") {
    throw MakeError(medium.u8string() + " lies inside the product folder");
  }
  fs::create_directories(medium, error);
  if (error) throw MakeError("cannot create " + medium.u8string() + ": " + error.message());
}

std::vector<MediumEntry> ProductFiles(const fs::path& source) {
  std::error_code error;
  if (!fs::is_directory(source, error)) throw MakeError(source.u8string() + " is not a folder");
  std::vector<MediumEntry> entries;
  for (fs::recursive_directory_iterator it(source, error), end; !error && it != end; it.increment(error)) {
    if (it->is_directory()) continue;
    const std::string name = it->path().lexically_relative(source).generic_u8string();
    if (!it->is_regular_file()) throw MakeError(name + ": neither a file nor a folder");
    entries.push_back(ShipAs(name));
  }
  if (error) throw MakeError("cannot list " + source.u8string() + ": " + error.message());
  if (entries.empty()) throw MakeError(source.u8string() + " holds no files");
  return entries;
}

}  // namespace

std::string NameFault(const std::string& part) {
  if (part.empty()) return "an empty name";
  if (part.find_first_of("\\/:*?\"<>|") != std::string::npos ||
      std::any_of(part.begin(), part.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
    return "a character Windows does not allow in a name";
  }
  if (part.back() == '.' || part.back() == ' ') return "a name ending in a dot or a blank";
  const std::string device = AsciiUpperCase(part.substr(0, part.find('.')));
  static const std::set<std::string> kDevices = {"CON",  "PRN",  "AUX",  "NUL",  "COM1", "COM2", "COM3", "COM4",
                                                 "COM5", "COM6", "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3",
                                                 "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};
  if (kDevices.count(device)) return "a device name";
  return {};
}

MediumEntry ShipAs(const std::string& productName) {
  const std::string listed = ListedForm(productName);
  const std::string packed = PackedName(listed);
  if (SameName(MapCompressedName(packed), listed)) {
    return {productName, PackedName(productName), packed, true};
  }
  if (!IsCompressedSource(listed) && SameName(MapCompressedName(listed), listed)) {
    return {productName, productName, listed, false};
  }
  throw MakeError(productName + ": the setup program would install it as " + MapCompressedName(listed));
}

std::vector<MediumEntry> OrderEntries(std::vector<MediumEntry> entries, const std::string& mainName) {
  std::string wanted = mainName;
  std::replace(wanted.begin(), wanted.end(), '\\', '/');
  auto isMain = [&wanted](const MediumEntry& e) {
    if (!wanted.empty()) return e.productName == wanted;
    return e.productName.find('/') == std::string::npos && AsciiUpperCase(ExtractFileExt(e.productName)) == ".EXE";
  };
  const auto mains = std::count_if(entries.begin(), entries.end(), isMain);
  if (!wanted.empty() && mains == 0) {
    throw MakeError("the main program " + mainName + " is not in the product folder");
  }
  if (wanted.empty() && mains != 1) {
    throw MakeError("the product folder has " + std::to_string(mains) +
                    " programs at its top level: name the main program with --main");
  }
  // The main program's name is the key of the list's first shortcut line.
  const std::string mainInstalled =
      MapCompressedName(std::find_if(entries.begin(), entries.end(), isMain)->listedName);
  if (mainInstalled.find('=') != std::string::npos || mainInstalled.find_first_of(";[") == 0) {
    throw MakeError("the main program " + mainInstalled +
                    " cannot be a key of the list (\"=\" in it, or \";\" or \"[\" first)");
  }
  const auto key = [](const MediumEntry& e) { return std::make_pair(Upper(e.listedName), e.listedName); };
  std::sort(entries.begin(), entries.end(), [&](const MediumEntry& a, const MediumEntry& b) {
    if (isMain(a) != isMain(b)) return isMain(a);
    return key(a) < key(b);
  });

  // Windows takes names apart from their letter case; the medium and the
  // install directory have names of their own.
  std::set<std::string> mediumNames = {"SETUP.EXE", "SETUP.LST", "VERTRAG.TXT", "LIESMICH.TXT"};
  std::set<std::string> installedNames = {"UNINSTAL.EXE", "INSTALL1.LOG"};
  std::set<std::string> folders;
  for (const MediumEntry& e : entries) {
    const std::string installed = MapCompressedName(e.listedName);
    if (!mediumNames.insert(Upper(e.listedName)).second || !installedNames.insert(Upper(installed)).second) {
      throw MakeError(e.productName + ": another file, or the medium itself, has this name (letter case aside)");
    }
    for (const std::string& folder : {e.listedName, installed}) {
      for (auto sep = folder.find('\\'); sep != std::string::npos; sep = folder.find('\\', sep + 1)) {
        folders.insert(Upper(folder.substr(0, sep)));
      }
    }
  }
  for (const std::string& folder : folders) {
    if (mediumNames.count(folder) || installedNames.count(folder)) {
      throw MakeError(folder + ": a file and a folder have this name (letter case aside)");
    }
  }
  return entries;
}

std::string SetupListText(const std::string& name, const std::string& installPath,
                          const std::vector<MediumEntry>& entries) {
  const std::string crlf = "\r\n";
  std::string text = "[General]" + crlf + "Name=" + name + crlf + "defaultPath=" + installPath + crlf + crlf +
                     "[StartMenu]" + crlf + "Folder=" + name + crlf + crlf + "[Group]" + crlf + "Name=" + name +
                     crlf + crlf + "[programfiles]" + crlf;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    text += std::to_string(i + 1) + "=" + entries[i].listedName + crlf;
  }
  text += crlf + "[Items]" + crlf + MapCompressedName(entries.front().listedName) + "=" + name + crlf +
          "Uninstal.exe=Programm entfernen" + crlf;
  return text;
}

MakeReport MakeMedium(const MakeRequest& request, const FileProgress& progress) {
  std::string name;
  if (!Utf8ToCp1252(request.name, name)) throw MakeError("--name: code page 1252 cannot write " + request.name);
  // The name is the program group's folder, the shortcuts' file names and
  // the uninstall entry's key.
  std::string nameFault = NameFault(name);
  if (nameFault.empty() && name.front() == ' ') nameFault = "a name beginning with a blank";
  if (!nameFault.empty()) throw MakeError("--name " + request.name + ": " + nameFault);
  std::string installPath = "C:\\Programme\\" + name;
  if (!request.path.empty() && !Utf8ToCp1252(request.path, installPath)) {
    throw MakeError("--path: code page 1252 cannot write " + request.path);
  }
  RequireFile(request.agreement, "the agreement");
  if (!request.readme.empty()) RequireFile(request.readme, "the read-me text");
  RequireFile(request.setup, "the setup program");

  const fs::path source = fs::u8path(request.source);
  const fs::path medium = fs::u8path(request.medium);
  const std::vector<MediumEntry> entries = OrderEntries(ProductFiles(source), request.mainFile);
  PrepareMedium(medium, source);
  for (const MediumEntry& e : entries) fs::create_directories(Below(medium, e.mediumName).parent_path());

  MakeReport report;
  report.files = entries.size();
  report.packed = static_cast<std::size_t>(
      std::count_if(entries.begin(), entries.end(), [](const MediumEntry& e) { return e.packed; }));
  std::atomic<unsigned long long> bytesIn{0};
  std::atomic<unsigned long long> bytesOut{0};
  std::atomic<std::size_t> done{0};
  report.cores = ForEachOnAllCores(entries.size(), [&](std::size_t i) {
    const MediumEntry& e = entries[i];
    const std::vector<std::uint8_t> data = ReadBytes(Below(source, e.productName));
    const std::vector<std::uint8_t> stored = e.packed ? PackBytes(data) : data;
    WriteBytes(Below(medium, e.mediumName), stored.data(), stored.size());
    bytesIn += data.size();
    bytesOut += stored.size();
    const std::size_t finished = ++done;
    if (progress) progress(finished, entries.size());
  });
  report.bytesIn = bytesIn;
  report.bytesOut = bytesOut;

  const std::string list = SetupListText(name, installPath, entries);
  WriteBytes(medium / "Setup.lst", list.data(), list.size());
  CopyBytes(fs::u8path(request.agreement), medium / "Vertrag.Txt");
  if (!request.readme.empty()) CopyBytes(fs::u8path(request.readme), medium / "Liesmich.txt");
  CopyBytes(fs::u8path(request.setup), medium / "SETUP.EXE");
  return report;
}

}  // namespace hzpack
