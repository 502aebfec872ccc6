#include "tools/hzpack/medium_maker.h"

#include "system/ascii_case.h"
#include "engine/compressed_name.h"
#include "engine/install_plan.h"
#include "engine/program_group.h"
#include "system/helpers.h"
#include "system/code_page.h"
#include "system/setup_list.h"
#include "tools/hzpack/hzl_pack.h"
#include "tools/hzpack/host.h"
#include "tools/hzpack/list_rules.h"
#include "system/file_io.h"
#include "wizard/install_dir.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
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

// The list's section of checksums, to follow the rest.
std::string ChecksumSectionText(const std::vector<MediumChecksum>& checksums) {
  std::string text = "\r\n[" + std::string(kChecksumSection) + "]\r\n";
  for (std::size_t i = 0; i < checksums.size(); ++i)
    text += std::to_string(i + 1) + "=" + ChecksumValue(checksums[i]) + "\r\n";
  return text;
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

// Why the request leaves a file or folder out, or "" when it ships it.
std::string WhyLeftOut(const std::string& name, const MakeRequest& request) {
  for (const std::string& pattern : request.excludes) {
    if (MatchesPattern(name, pattern)) return "--exclude " + pattern;
  }
  if (request.keepAll) return {};
  const std::string why = LeftOutByDefault(name);
  return why.empty() ? why : why + " (--keep-all ships it)";
}

// Every file below folder, named from the product folder on (prefix). A
// folder link is followed like a folder; one that leads back into a folder
// it lies in (chain: the real folders from the product folder down) would
// never end and is an error. Whatever is neither file nor folder (a broken
// link) is one too, so that no file is left out without a word.
void CollectFiles(const fs::path& folder, const std::string& prefix, const MakeRequest& request,
                  std::vector<fs::path>& chain, std::vector<MediumEntry>& entries, std::vector<std::string>& leftOut) {
  std::error_code error;
  chain.push_back(fs::canonical(folder, error));
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = prefix + it->path().filename().u8string();
    std::error_code kind;
    const bool isFolder = it->is_directory(kind);
    const std::string why = WhyLeftOut(it->path().filename().u8string(), request);
    if (!why.empty()) {
      leftOut.push_back(name + (isFolder ? "/" : "") + ": " + why);
    } else if (isFolder) {
      if (std::find(chain.begin(), chain.end(), fs::canonical(it->path(), kind)) != chain.end())
        throw MakeError(name + ": a folder link that leads back into a folder it lies in");
      CollectFiles(it->path(), name + "/", request, chain, entries, leftOut);
    } else if (it->is_regular_file(kind)) {
      entries.push_back(ShipAs(name));
    } else {
      throw MakeError(name + ": neither a file nor a folder (a link to nothing?)");
    }
  }
  if (error) throw MakeError("cannot list " + folder.u8string() + ": " + error.message());
  chain.pop_back();
}

std::vector<MediumEntry> ProductFiles(const MakeRequest& request, std::vector<std::string>& leftOut) {
  const fs::path source = fs::u8path(request.source);
  std::error_code error;
  if (!fs::is_directory(source, error)) throw MakeError(source.u8string() + " is not a folder");
  std::vector<MediumEntry> entries;
  std::vector<fs::path> chain;
  CollectFiles(source, "", request, chain, entries, leftOut);
  std::sort(leftOut.begin(), leftOut.end());
  if (entries.empty()) throw MakeError(source.u8string() + " holds no files");
  for (const std::string& wanted : request.windowsFiles) {
    std::string file = wanted;
    std::replace(file.begin(), file.end(), '\\', '/');
    const auto entry =
        std::find_if(entries.begin(), entries.end(), [&file](const MediumEntry& e) { return e.productName == file; });
    if (entry == entries.end()) throw MakeError("--windows " + wanted + ": not a file of the product folder");
    // [Windows] would make the folder in the Windows directory, and the
    // uninstall would leave it there.
    if (file.find('/') != std::string::npos)
      throw MakeError("--windows " + wanted + ": not at the top of the product folder; the Windows directory takes "
                      "files, not folders");
    entry->windows = true;
  }
  return entries;
}

// The character of utf8 that starts at offset, whole.
std::string CharacterAt(const std::string& utf8, std::size_t offset) {
  std::size_t end = offset + 1;
  while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
  return utf8.substr(offset, end - offset);
}

// The same file stored as it is; ShipAs allows it where plain is true.
MediumEntry StoredPlain(MediumEntry e) {
  e.mediumName = e.productName;
  e.listedName = ListedForm(e.productName);
  e.packed = false;
  return e;
}

}  // namespace

std::string LeftOutByDefault(const std::string& name) {
  static const struct {
    const char* pattern;
    const char* why;
  } kRules[] = {
      {".svn", "a version control folder"}, {".git", "a version control folder"},
      {"Thumbs.db", "the Explorer's thumbnails"}, {"desktop.ini", "the Explorer's folder settings"},
      {"*~", "an editor's backup"}, {"*.bak", "an editor's backup"},
  };
  for (const auto& rule : kRules) {
    if (MatchesPattern(name, rule.pattern)) return rule.why;
  }
  return {};
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  // Backtracking to the last "*": linear in practice for file names.
  const std::string n = AsciiLowerCase(name);
  const std::string p = AsciiLowerCase(pattern);
  std::size_t i = 0, j = 0, star = std::string::npos, mark = 0;
  while (i < n.size()) {
    if (j < p.size() && (p[j] == '?' || p[j] == n[i])) {
      ++i;
      ++j;
    } else if (j < p.size() && p[j] == '*') {
      star = j++;
      mark = i;
    } else if (star != std::string::npos) {
      j = star + 1;
      i = ++mark;
    } else {
      return false;
    }
  }
  while (j < p.size() && p[j] == '*') ++j;
  return j == p.size();
}

TextEncoding EncodingOf(const std::vector<std::uint8_t>& raw) {
  const auto starts = [&raw](std::initializer_list<std::uint8_t> mark) {
    return raw.size() >= mark.size() && std::equal(mark.begin(), mark.end(), raw.begin());
  };
  if (starts({0xEF, 0xBB, 0xBF})) return TextEncoding::Utf8Mark;
  if (starts({0xFF, 0xFE}) || starts({0xFE, 0xFF})) return TextEncoding::Utf16Mark;
  // Text in code page 1252 is seldom also valid UTF-8 once it has a byte
  // above 127; a text that is most likely was saved as UTF-8.
  const bool nonAscii = std::any_of(raw.begin(), raw.end(), [](std::uint8_t c) { return c >= 0x80; });
  return nonAscii && IsUtf8(std::string(raw.begin(), raw.end())) ? TextEncoding::Utf8 : TextEncoding::Cp1252;
}

std::vector<std::uint8_t> TextForMedium(const std::vector<std::uint8_t>& raw, const std::string& what) {
  const TextEncoding encoding = EncodingOf(raw);
  if (encoding == TextEncoding::Utf16Mark)
    throw MakeError(what + ": saved as UTF-16; the wizard shows code page 1252: save it as UTF-8 or code page 1252");
  if (encoding == TextEncoding::Cp1252) return raw;
  const std::string utf8(raw.begin() + (encoding == TextEncoding::Utf8Mark ? 3 : 0), raw.end());
  std::string cp1252;
  if (Utf8ToCp1252(utf8, cp1252)) return std::vector<std::uint8_t>(cp1252.begin(), cp1252.end());
  for (std::size_t at = 0; at < utf8.size(); at += CharacterAt(utf8, at).size()) {
    std::string one;
    if (!Utf8ToCp1252(CharacterAt(utf8, at), one))
      throw MakeError(what + ": line " + std::to_string(LineOf(utf8, at)) + ": \"" + CharacterAt(utf8, at) +
                      "\" has no place in code page 1252, which the wizard shows");
  }
  throw MakeError(what + ": not UTF-8 after all");
}

ChecksumLine FindChecksumLine(const std::string& text, const std::string& name) {
  ChecksumLine at;
  bool inSection = false;
  for (std::string::size_type start = 0; start < text.size();) {
    // A line ends at CR, LF or both, as the profile functions read it.
    std::string::size_type end = text.find_first_of("\r\n", start);
    end = end == std::string::npos ? text.size() : end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    const std::string line = text.substr(start, end - start);
    const auto section = SectionHeaderName(line);
    // The first section of the name counts, as the profile functions read it.
    if (section) inSection = at.sectionEnd == std::string::npos && SameName(*section, kChecksumSection);
    const std::string::size_type equals = line.find('=');
    if (inSection && !section && equals != std::string::npos) {
      at.lastNumber = std::max<std::size_t>(at.lastNumber, std::strtoul(line.c_str(), nullptr, 10));
      const std::string::size_type value = line.find_first_not_of(" \t", equals + 1);
      const std::string::size_type valueEnd = line.find_last_not_of("\r\n \t") + 1;
      const auto given =
          value < valueEnd ? ParseChecksumValue(line.substr(value, valueEnd - value)) : std::nullopt;
      if (given && at.digits == std::string::npos && SameMediumName(given->name, name)) at.digits = start + value;
    }
    if (inSection && (section || equals != std::string::npos)) at.sectionEnd = end;
    start = end;
  }
  return at;
}

std::string SealedList(std::string text) {
  const ChecksumLine at = FindChecksumLine(text, kListName);
  if (at.digits == std::string::npos) return text;
  text.replace(at.digits, 8, "00000000");
  return text.replace(at.digits, 8, ChecksumValue({"", kv::ContinueCrc32(0, text.data(), text.size())}), 0, 8);
}

std::string ListWithChecksum(const std::string& listText, const std::string& name, std::uint32_t crc, bool add) {
  const ChecksumLine at = FindChecksumLine(listText, name);
  const std::string value = ChecksumValue({name, crc});
  std::string text = listText;
  if (at.digits != std::string::npos) {
    text.replace(at.digits, 8, value, 0, 8);
  } else if (at.sectionEnd != std::string::npos && add) {
    std::string added = std::to_string(at.lastNumber + 1) + "=" + value + "\r\n";
    if (text[at.sectionEnd - 1] != '\n' && text[at.sectionEnd - 1] != '\r') added = "\r\n" + added;
    text.insert(at.sectionEnd, added);
  }
  return SealedList(text);
}

void RequirePathLimit(const std::vector<MediumEntry>& entries, const std::string& installPath) {
  for (const MediumEntry& e : entries) {
    if (e.windows) continue;
    const std::string installed = AddBackslash(installPath) + MapCompressedName(e.listedName);
    const std::string fault = PathLimitFault(installed);
    if (!fault.empty()) throw MakeError(e.productName + ": installed as " + installed + ": " + fault);
  }
}

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
    return !e.windows && e.productName.find('/') == std::string::npos &&
           AsciiUpperCase(ExtractFileExt(e.productName)) == ".EXE";
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
  const std::set<std::string> ownNames = {"SETUP.EXE", "SETUP.LST", "VERTRAG.TXT", "LIESMICH.TXT"};
  std::set<std::string> mediumNames = ownNames;
  std::set<std::string> installedNames = {"UNINSTAL.EXE", "INSTALL1.LOG"};
  std::set<std::string> windowsNames;
  std::set<std::string> folders;
  for (MediumEntry& e : entries) {
    const std::string installed = MapCompressedName(e.listedName);
    // Stored plain, a product's Liesmich.txt would be the medium's read-me.
    if (e.packed && ownNames.count(Upper(installed))) e.plain = false;
    std::set<std::string>& placeNames = e.windows ? windowsNames : installedNames;
    if (!mediumNames.insert(Upper(e.listedName)).second || !placeNames.insert(Upper(installed)).second) {
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
    if (entry->windows)
      throw MakeError("--item " + item + ": " + file + " goes into the Windows directory; a shortcut leads into the "
                      "install directory");
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
  std::string windows;
  std::size_t programNumber = 0;
  std::size_t windowsNumber = 0;
  for (const MediumEntry& e : entries) {
    if (e.windows) {
      windows += std::to_string(++windowsNumber) + "=" + e.listedName + crlf;
    } else {
      text += std::to_string(++programNumber) + "=" + e.listedName + crlf;
    }
  }
  if (!windows.empty()) text += crlf + "[Windows]" + crlf + windows;
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
  // The wizard installs into the canonical form whatever the list spells:
  // the list proposes what will be installed to.
  installPath = CanonicalInstallPath(installPath);
  RequireFile(request.agreement, "the agreement");
  if (!request.readme.empty()) RequireFile(request.readme, "the read-me text");
  RequireFile(request.setup, "the setup program");

  const fs::path source = fs::u8path(request.source);
  const fs::path medium = fs::u8path(request.medium);
  MakeReport report;
  std::vector<MediumEntry> entries = OrderEntries(ProductFiles(request, report.leftOut), request.mainFile);
  const std::vector<ExtraItem> items = ResolveItems(request.items, entries, name);
  RequirePathLimit(entries, installPath);
  const std::vector<std::uint8_t> agreement = TextForMedium(ReadBytes(fs::u8path(request.agreement)), "--agreement " + request.agreement);
  const std::vector<std::uint8_t> readme =
      request.readme.empty() ? std::vector<std::uint8_t>()
                             : TextForMedium(ReadBytes(fs::u8path(request.readme)), "--readme " + request.readme);
  PrepareMedium(medium, source);
  for (const MediumEntry& e : entries) fs::create_directories(Below(medium, e.mediumName).parent_path());

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
    e.crc = kv::ContinueCrc32(0, stored.data(), stored.size());
    bytesIn += data.size();
    bytesOut += stored.size();
    const std::size_t finished = ++done;
    if (progress) progress(finished, entries.size());
  });
  report.packed = static_cast<std::size_t>(
      std::count_if(entries.begin(), entries.end(), [](const MediumEntry& e) { return e.packed; }));
  report.bytesIn = bytesIn;
  report.bytesOut = bytesOut;

  // Every file of the medium has its checksum in the list, the texts and
  // the setup program too.
  std::vector<MediumChecksum> checksums;
  for (const MediumEntry& e : entries) checksums.push_back({e.listedName, e.crc});
  const auto ship = [&medium, &checksums](const char* fileName, const std::vector<std::uint8_t>& bytes) {
    WriteBytes(medium / fileName, bytes.data(), bytes.size());
    checksums.push_back({fileName, kv::ContinueCrc32(0, bytes.data(), bytes.size())});
  };
  ship("Vertrag.Txt", agreement);
  if (!request.readme.empty()) ship("Liesmich.txt", readme);
  ship("SETUP.EXE", ReadBytes(fs::u8path(request.setup)));
  // The list's own line: its CRC-32 with the line's digits read as zeros.
  checksums.push_back({kListName, 0});
  const std::string list = SealedList(SetupListText(name, installPath, ListValue(request.version, "--product-version"),
                                                      ListValue(request.publisher, "--publisher"), entries, items) + ChecksumSectionText(checksums));
  WriteBytes(medium / "Setup.lst", list.data(), list.size());
  return report;
}

}  // namespace hzpack
