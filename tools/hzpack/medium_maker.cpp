#include "tools/hzpack/medium_maker.h"

#include "system/ascii_case.h"
#include "engine/compressed_name.h"
#include "engine/program_group.h"
#include "system/helpers.h"
#include "system/code_page.h"
#include "system/setup_list.h"
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

std::string Upper(const std::string& cp1252) { return AnsiUpperCase(cp1252); }

// A value the list is to carry must come back from it as it is written.
void RequireListValue(const std::string& value, const std::string& what) {
  if (ListValueAsRead(value) != value)
    throw MakeError(what + ": the list cannot carry it as it is (blanks or quotes at its ends, or longer than 2047 "
                           "characters)");
}

// A shortcut's caption: the link's file name, and cut to its first 255
// characters.
void RequireCaption(const std::string& caption, const std::string& what) {
  std::string fault = NameFault(caption);
  if (fault.empty() && caption.size() > kCaptionChars) fault = "longer than the 255 characters of a caption";
  if (!fault.empty()) throw MakeError(what + ": " + fault);
  RequireListValue(caption, what);
}

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
  RequireListValue(listed, utf8Name);
  return listed;
}

// A key of [Items]: the profile functions end a key at its first "=", and
// take a line beginning with ";" for a comment and with "[" for a section.
void RequireKey(const std::string& key, const std::string& what) {
  if (key.find('=') != std::string::npos || key.find_first_of(";[") == 0)
    throw MakeError(what + " " + key + " cannot be a key of the list (\"=\" in it, or \";\" or \"[\" first)");
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

// Every file below folder, named from the product folder on (prefix). A
// folder link is followed like a folder; one that leads back into a folder
// it lies in (chain: the real folders from the product folder down) would
// never end and is an error. Whatever is neither file nor folder (a broken
// link) is one too, so that no file is left out without a word.
void CollectFiles(const fs::path& folder, const std::string& prefix, std::vector<fs::path>& chain,
                  std::vector<MediumEntry>& entries) {
  std::error_code error;
  chain.push_back(fs::canonical(folder, error));
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = prefix + it->path().filename().u8string();
    std::error_code kind;
    if (it->is_directory(kind)) {
      if (std::find(chain.begin(), chain.end(), fs::canonical(it->path(), kind)) != chain.end())
        throw MakeError(name + ": a folder link that leads back into a folder it lies in");
      CollectFiles(it->path(), name + "/", chain, entries);
    } else if (it->is_regular_file(kind)) {
      entries.push_back(ShipAs(name));
    } else {
      throw MakeError(name + ": neither a file nor a folder (a link to nothing?)");
    }
  }
  if (error) throw MakeError("cannot list " + folder.u8string() + ": " + error.message());
  chain.pop_back();
}

std::vector<MediumEntry> ProductFiles(const fs::path& source) {
  std::error_code error;
  if (!fs::is_directory(source, error)) throw MakeError(source.u8string() + " is not a folder");
  std::vector<MediumEntry> entries;
  std::vector<fs::path> chain;
  CollectFiles(source, "", chain, entries);
  if (entries.empty()) throw MakeError(source.u8string() + " holds no files");
  return entries;
}

// The same file stored as it is; ShipAs allows it where plain is true.
MediumEntry StoredPlain(const MediumEntry& e) {
  return {e.productName, e.productName, ListedForm(e.productName), false, true};
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
  const bool plain = !IsCompressedSource(listed) && SameName(MapCompressedName(listed), listed);
  if (SameName(MapCompressedName(packed), listed)) {
    return {productName, PackedName(productName), packed, true, plain};
  }
  if (plain) {
    return {productName, productName, listed, false, true};
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
  RequireKey(MapCompressedName(std::find_if(entries.begin(), entries.end(), isMain)->listedName), "the main program");
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

std::vector<ExtraItem> ResolveItems(const std::vector<std::string>& items, const std::vector<MediumEntry>& entries,
                                    const std::string& name) {
  std::vector<ExtraItem> resolved;
  // Keys and link names in upper case: two lines of one target give one
  // shortcut, two of one caption one link file.
  std::set<std::string> keys = {Upper(MapCompressedName(entries.front().listedName)), "UNINSTAL.EXE"};
  std::set<std::string> captions = {Upper(name), "PROGRAMM ENTFERNEN"};
  for (const std::string& item : items) {
    const std::string::size_type equals = item.find('=');
    if (equals == std::string::npos) throw MakeError("--item " + item + ": not FILE=CAPTION");
    std::string file = item.substr(0, equals);
    std::replace(file.begin(), file.end(), '\\', '/');
    const auto entry =
        std::find_if(entries.begin(), entries.end(), [&file](const MediumEntry& e) { return e.productName == file; });
    if (entry == entries.end()) throw MakeError("--item " + item + ": " + file + " is not in the product folder");
    std::string caption;
    if (!Utf8ToCp1252(item.substr(equals + 1), caption))
      throw MakeError("--item " + item + ": code page 1252 cannot write the caption");
    RequireCaption(caption, "--item " + item);
    const std::string key = MapCompressedName(entry->listedName);
    RequireKey(key, "--item " + item + ":");
    if (!keys.insert(Upper(key)).second) throw MakeError("--item " + item + ": " + file + " has a shortcut already");
    if (!captions.insert(Upper(caption)).second)
      throw MakeError("--item " + item + ": another shortcut has this caption");
    resolved.push_back({static_cast<std::size_t>(entry - entries.begin()), caption});
  }
  return resolved;
}

std::string SetupListText(const std::string& name, const std::string& installPath, const std::string& version,
                          const std::string& publisher, const std::vector<MediumEntry>& entries,
                          const std::vector<ExtraItem>& items) {
  const std::string crlf = "\r\n";
  std::string general = "Name=" + name + crlf + "defaultPath=" + installPath + crlf;
  if (!version.empty()) general += "Version=" + version + crlf;
  if (!publisher.empty()) general += "Publisher=" + publisher + crlf;
  std::string text = "[General]" + crlf + general + crlf +
                     "[StartMenu]" + crlf + "Folder=" + name + crlf + crlf + "[Group]" + crlf + "Name=" + name +
                     crlf + crlf + "[programfiles]" + crlf;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    text += std::to_string(i + 1) + "=" + entries[i].listedName + crlf;
  }
  text += crlf + "[Items]" + crlf + MapCompressedName(entries.front().listedName) + "=" + name + crlf;
  for (const ExtraItem& item : items)
    text += MapCompressedName(entries[item.entry].listedName) + "=" + item.caption + crlf;
  text += "Uninstal.exe=Programm entfernen" + crlf;
  return text;
}

namespace {

// A value for a list line: code page 1252, on one line.
std::string ListValue(const std::string& utf8, const std::string& option) {
  std::string value;
  if (!Utf8ToCp1252(utf8, value) || value.find_first_of("\r\n") != std::string::npos)
    throw MakeError(option + ": not one line code page 1252 can write: " + utf8);
  return value;
}

}  // namespace

MakeReport MakeMedium(const MakeRequest& request, const FileProgress& progress) {
  std::string name;
  if (!Utf8ToCp1252(request.name, name)) throw MakeError("--name: code page 1252 cannot write " + request.name);
  // The name is the program group's folder, the shortcuts' file names and
  // the uninstall entry's key.
  RequireCaption(name, "--name " + request.name);
  std::string installPath = "C:\\Programme\\" + name;
  if (!request.path.empty() && !Utf8ToCp1252(request.path, installPath)) {
    throw MakeError("--path: code page 1252 cannot write " + request.path);
  }
  RequireFile(request.agreement, "the agreement");
  if (!request.readme.empty()) RequireFile(request.readme, "the read-me text");
  RequireFile(request.setup, "the setup program");

  const fs::path source = fs::u8path(request.source);
  const fs::path medium = fs::u8path(request.medium);
  std::vector<MediumEntry> entries = OrderEntries(ProductFiles(source), request.mainFile);
  const std::vector<ExtraItem> items = ResolveItems(request.items, entries, name);
  PrepareMedium(medium, source);
  for (const MediumEntry& e : entries) fs::create_directories(Below(medium, e.mediumName).parent_path());

  MakeReport report;
  report.files = entries.size();
  std::atomic<unsigned long long> bytesIn{0};
  std::atomic<unsigned long long> bytesOut{0};
  std::atomic<std::size_t> done{0};
  report.cores = ForEachOnAllCores(entries.size(), [&](std::size_t i) {
    MediumEntry& e = entries[i];
    const std::vector<std::uint8_t> data = ReadBytes(Below(source, e.productName));
    std::vector<std::uint8_t> stored = e.packed ? PackBytes(data) : data;
    // Data packed already (images, archives) grows by packing: stored plain
    // it installs the same. Each call changes its own entry only.
    if (e.packed && e.plain && stored.size() >= data.size()) {
      e = StoredPlain(e);
      stored = data;
    }
    WriteBytes(Below(medium, e.mediumName), stored.data(), stored.size());
    bytesIn += data.size();
    bytesOut += stored.size();
    const std::size_t finished = ++done;
    if (progress) progress(finished, entries.size());
  });
  report.packed = static_cast<std::size_t>(
      std::count_if(entries.begin(), entries.end(), [](const MediumEntry& e) { return e.packed; }));
  report.bytesIn = bytesIn;
  report.bytesOut = bytesOut;

  const std::string list = SetupListText(name, installPath, ListValue(request.version, "--product-version"),
                                         ListValue(request.publisher, "--publisher"), entries, items);
  WriteBytes(medium / "Setup.lst", list.data(), list.size());
  CopyBytes(fs::u8path(request.agreement), medium / "Vertrag.Txt");
  if (!request.readme.empty()) CopyBytes(fs::u8path(request.readme), medium / "Liesmich.txt");
  CopyBytes(fs::u8path(request.setup), medium / "SETUP.EXE");
  return report;
}

}  // namespace hzpack
