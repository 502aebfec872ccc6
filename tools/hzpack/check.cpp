#include "tools/hzpack/check.h"
#include "tools/hzpack/host.h"
#include "tools/hzpack/list_rules.h"
#include "tools/hzpack/medium_maker.h"

#include "decompress/compress.h"
#include "decompress/lzh_internal.h"
#include "system/ascii_case.h"
#include "engine/compressed_name.h"
#include "engine/install_log.h"
#include "engine/install_plan.h"
#include "engine/program_group.h"
#include "system/helpers.h"
#include "system/code_page.h"
#include "system/file_io.h"
#include "system/setup_list.h"
#include "wizard/install_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace hzpack {
namespace {

namespace fs = std::filesystem;

// Where the plan puts [Windows] entries; the real one is the machine's.
constexpr char kWindowsDir[] = "C:\\WINDOWS";
// More than any list value a vendor writes: enough to see a value whole.
constexpr std::size_t kWholeValueBuffer = 1 << 16;
// The profile folder a user's fallback install goes to, at its longest on
// the Windows versions the program runs on (German XP, a user name of the
// 20 characters Windows allows).
const std::string kLongestProfileFolder = "C:\\Dokumente und Einstellungen\\" + std::string(20, 'W');

// The sections the setup program reads, and the keys of those whose keys
// are names rather than numbers or files.
const std::vector<std::string> kSections = {"General", "StartMenu", "Group",  "programfiles",
                                            "Windows", "SystemDepended", "Items", kChecksumSection};
const std::map<std::string, std::vector<std::string>> kSectionKeys = {
    {"general", {"Name", "defaultPath", "MobileOption", "OnlyMobile", "Version", "Publisher"}},
    {"startmenu", {"Folder"}},
    {"group", {"Name", "Old"}},
};
const char* const kBooleans[] = {"MobileOption", "OnlyMobile"};

// The decoder's I/O over a file in memory; the output is only counted.
// Like the expansion, it stops where the coded data is known cut short.
struct CutShort {};
struct CountingIo {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t position = 0;
  std::uint64_t produced = 0;
  std::uint8_t scratch[lzh::kMaxMatch + 8] = {};
  lzh::MissedReads missed{};

  int ReadByte() {
    if (position < size) return data[position++];
    if (missed.CutShort()) throw CutShort{};
    return -1;
  }
  void WriteByte(std::uint8_t) { ++produced; }
  const std::uint8_t* PeekInput(unsigned count) const { return size - position >= count ? data + position : nullptr; }
  void SkipInput(unsigned count) { position += count; }
  std::uint8_t* ReserveOutput(unsigned count) {
    produced += count;
    return scratch;
  }
};

struct Decoded {
  bool cutShort;
  std::uint64_t produced;
  std::uint64_t leftOver;  // bytes after the stream
};
Decoded DecodeCounting(const std::uint8_t* coded, std::size_t size, std::int32_t expanded) {
  CountingIo io{coded, size};
  try {
    const lzh::DecodeEnd end = lzh::LzhDecodeToEnd(expanded, io);
    return {end.cutShort, io.produced, size - io.position + end.unusedBytes};
  } catch (const CutShort&) {
    return {true, io.produced, 0};
  }
}

std::uint32_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

bool SameName(const std::string& a, const std::string& b) { return AsciiLowerCase(a) == AsciiLowerCase(b); }

using Encoding = TextEncoding;

// The folders and the file of a listed name: Windows takes "\\" or "/"
// between them.
std::vector<std::string> NameParts(const std::string& name) {
  std::vector<std::string> parts;
  for (std::string::size_type start = 0;;) {
    const std::string::size_type end = name.find_first_of("\\/", start);
    parts.push_back(name.substr(start, end == std::string::npos ? end : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

bool ReadBytes(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// The medium's files as Windows finds them: letter case aside, "\" or "/"
// between folders.
class MediumFiles {
public:
  explicit MediumFiles(std::string dir) : dir_(std::move(dir)) {}
  fs::path Root() const { return dir_; }

  // The file's path, or "" when the medium has no such file.
  std::string Find(const std::string& name) {
    if (!StaysInsideFolder(name)) return {};
    fs::path at(dir_);
    for (const std::string& part : NameParts(name)) {
      at = Entry(at, part);
      if (at.empty()) return {};
    }
    std::error_code error;
    return fs::is_regular_file(at, error) ? at.string() : std::string();
  }

private:
  fs::path Entry(const fs::path& folder, const std::string& part) {
    auto listed = listings_.find(folder.string());
    if (listed == listings_.end()) {
      std::vector<fs::path> names;
      std::error_code error;
      for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename());
      listed = listings_.emplace(folder.string(), std::move(names)).first;
    }
    // The listed name is code page 1252, whatever the list's author meant;
    // as under Wine, a name of the same letter case comes first.
    const std::vector<fs::path>& names = listed->second;
    const auto named = [&names, &folder](const std::function<bool(const std::string&)>& same) {
      const auto n =
          std::find_if(names.begin(), names.end(), [&same](const fs::path& p) { return same(NameAsListed(p)); });
      return n == names.end() ? fs::path() : folder / *n;
    };
    const fs::path exact = named([&part](const std::string& n) { return n == part; });
    if (!exact.empty()) return exact;
    return named([&part](const std::string& n) { return AnsiUpperCase(n) == AnsiUpperCase(part); });
  }

  std::string dir_;
  std::map<std::string, std::vector<fs::path>> listings_;
};

class Checker {
public:
  explicit Checker(const std::string& medium) : files_(medium) {}

  // The findings and the plan, in code page 1252 like every text of the
  // setup program.
  std::string Output() const { return out_.str(); }

  int Run(bool printPlan) {
    CheckCaseTwins(files_.Root(), "");
    const std::string listPath = files_.Find("Setup.lst");
    std::vector<std::uint8_t> raw;
    if (listPath.empty() || !ReadBytes(listPath, raw)) {
      Error("Setup.lst", "missing: the setup program ends at once without its list");
      return 1;
    }
    CheckEncoding(raw);
    listBytes_ = raw;
    list_ = ProfileOfFile(listPath, raw);
    CheckSections(std::string(raw.begin(), raw.end()));
    CheckKeys();
    CheckGeneral();
    CheckBooleans();
    CheckGroupName();
    CheckOldGroups();
    const InstallList files = ReadInstallList(list_);
    CheckMainProgram(files);
    CheckNumbering("programfiles");
    CheckNumbering("Windows");
    CheckWindowsFolders(files);
    PlanEveryVersion(files);
    CheckFiles();
    CheckChecksums();
    CheckItems();
    if (files_.Find("Vertrag.Txt").empty())
      Error("Vertrag.Txt", "missing: the agreement page stops even an automatic install with an error box");
    CheckTextCodePage("Vertrag.Txt", "agreement page");
    CheckTextCodePage("Liesmich.txt", "read-me page");
    if (files_.Find("Setup.exe").empty())
      Error("SETUP.EXE", "missing: the setup program itself is copied into the install directory as Uninstal.exe");
    ShowProductFacts();
    if (printPlan) PrintPlan();
    return errors_ == 0 ? 0 : 1;
  }

private:
  // One plan per Windows version whose files differ: each version named in
  // [SystemDepended], and every other version.
  struct VersionPlan {
    std::string version;  // "" for every version not named
    InstallPlan plan;
  };

  void Error(const std::string& where, const std::string& what) {
    out_ << "error: " << where << ": " << what << '\n';
    ++errors_;
  }
  void Warning(const std::string& where, const std::string& what) { out_ << "warning: " << where << ": " << what << '\n'; }

  static ProfileReader ProfileOfFile(const std::string& path, const std::vector<std::uint8_t>& raw) {
#ifdef _WIN32
    static_cast<void>(raw);
    return ProfileOf(path);
#else
    static_cast<void>(path);
    return ProfileOfText(std::string(raw.begin(), raw.end()));
#endif
  }

  bool HasKey(const std::string& section, const std::string& key) const {
    return ReadListString(list_, section, key, "0") != "0" || ReadListString(list_, section, key, "1") != "1";
  }

  void CheckEncoding(const std::vector<std::uint8_t>& raw) {
    const Encoding encoding = EncodingOf(raw);
    if (encoding == Encoding::Utf8Mark || encoding == Encoding::Utf16Mark)
      Warning("Setup.lst", "begins with a byte-order mark: the setup program expects code page 1252 without one");
    if (encoding == Encoding::Utf8)
      Warning("Setup.lst", "saved as UTF-8: the setup program reads code page 1252, so \"\xFC\" shows as two "
                           "characters");
  }

  // The wizard shows the agreement and the read-me byte for byte in code
  // page 1252.
  void CheckTextCodePage(const char* name, const std::string& page) {
    const std::string path = files_.Find(name);
    std::vector<std::uint8_t> raw;
    if (path.empty() || !ReadBytes(path, raw)) return;
    const Encoding encoding = EncodingOf(raw);
    if (encoding != Encoding::Utf16Mark) {
      const TextFault fault = TextPageFault(std::string(raw.begin(), raw.end()));
      if (fault.cutShort) Error(name, fault.what + " (the " + page + ")");
      if (!fault.cutShort && !fault.what.empty()) Warning(name, fault.what + " (the " + page + ")");
    }
    switch (encoding) {
      case Encoding::Cp1252: break;
      case Encoding::Utf8:
        Warning(name, "saved as UTF-8: the " + page + " shows code page 1252, so \"\xFC\" shows as two characters");
        break;
      case Encoding::Utf8Mark:
        Warning(name, "saved as UTF-8 with a byte-order mark: the " + page +
                          " shows code page 1252, so the text begins with \"\xEF\xBB\xBF\" and \"\xFC\" shows as "
                          "two characters");
        break;
      case Encoding::Utf16Mark:
        Warning(name, "saved as UTF-16: the " + page + " shows code page 1252 and stops at the first zero byte");
        break;
    }
  }

  // The group folder is made one level deep, in the Programs folder.
  void CheckGroupName() {
    const std::string group = ReadListString(list_, "Group", "Name", "Gruppex");
    const std::string::size_type last = group.find_last_of("\\/");
    if (last == std::string::npos) return;
    Warning("[Group] Name", "a sub-path: where the Start menu's Programs folder has no folder \"" +
                                group.substr(0, last) +
                                "\", no program group is made and no shortcut in it; the uninstall entry is still "
                                "called \"" + group + " deinstalieren\"");
  }

  // The end of an install clears each old group that belongs to it; the
  // current one among them is emptied of the shortcuts just made.
  void CheckOldGroups() {
    const std::string group = ReadGroupName(list_);
    for (const std::string& old : SplitFileList(ReadListString(list_, "Group", "Old", ""))) {
      if (!old.empty() && AnsiUpperCase(old) == AnsiUpperCase(group))
        Error("[Group] Old", "names the program group \"" + group +
                                 "\" itself: the end of the install empties the group it has just made");
    }
  }

  // A boolean the program cannot read as a number takes its default.
  void CheckBooleans() {
    for (const char* key : kBooleans) {
      if (!HasKey("General", key)) continue;
      const std::string value = ReadListString(list_, "General", key, "");
      long long number = 0;
      if (!ParseListInteger(value, number))
        Error(std::string("[General] ") + key, "\"" + value + "\" is not a number (1 or 0): the setup program reads it "
                                               "as its default, 0");
    }
  }

  // Whole sections the program never reads: a near miss loses everything
  // in it.
  void CheckSections(const std::string& text) {
    std::set<std::string> seen;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      const std::optional<std::string> section = SectionHeaderName(line);
      if (!section || !seen.insert(AsciiLowerCase(*section)).second) continue;
      const bool known = std::any_of(kSections.begin(), kSections.end(),
                                     [&section](const std::string& s) { return SameName(s, *section); });
      if (known) continue;
      unread_.push_back(*section);
      const std::string meant = NearMiss(*section, kSections);
      if (meant.empty()) {
        Warning("[" + *section + "]", "a section the setup program never reads");
      } else {
        Error("[" + *section + "]", "a section the setup program never reads; [" + meant +
                                        "] was meant? Its lines are lost");
      }
    }
    if (ReadListSection(list_, "programfiles").empty())
      Error("[programfiles]", "empty or missing: the install places no file of the product, only the uninstaller");
  }

  // A [Windows] entry in a folder makes that folder in the Windows
  // directory, which the uninstall never removes.
  void CheckWindowsFolders(const InstallList& files) {
    for (const std::string& name : files.windowsFiles) {
      if (name.find_first_of("\\/") != std::string::npos && !LeavesDestination(name))
        Error(name, "a [Windows] entry in a sub-folder: the install makes the folder in the Windows directory and "
                    "the uninstall leaves it there");
    }
  }

  // With [CRC32] the setup program places no file that lacks its checksum.
  void CheckChecksums() {
    // The list's own line, read from its bytes: a change that makes the
    // profile functions lose the section shows too.
    const std::string text(listBytes_.begin(), listBytes_.end());
    const ChecksumLine own = FindChecksumLine(text, kListName);
    if (own.digits != std::string::npos && SealedList(text) != text)
      Error(kListName, "damaged: its CRC-32 is not the one its own line in [" + std::string(kChecksumSection) +
                           "] gives; a changed value would install differently");
    if (own.sectionEnd != std::string::npos && own.digits == std::string::npos)
      Warning(kListName, "no line of its own in [" + std::string(kChecksumSection) + "]: a change to the list goes "
                         "unnoticed");
    const auto lines = ReadListSection(list_, kChecksumSection);
    if (lines.empty()) return;
    for (const auto& [key, value] : lines) {
      const std::optional<MediumChecksum> line = ParseChecksumValue(value);
      if (!line) {
        Warning("[" + std::string(kChecksumSection) + "] " + key, "not eight hexadecimal digits, a blank and a name: "
                                                                 "never read");
        continue;
      }
      if (SameMediumName(line->name, kListName)) continue;
      const std::string path = files_.Find(line->name);
      if (path.empty()) {
        Warning(line->name, "has a line in [" + std::string(kChecksumSection) + "], but the medium lacks it");
        continue;
      }
      const kv::Checksum crc = kv::FileCrc32(path);
      if (crc && *crc != line->crc)
        Error(line->name, "damaged: its CRC-32 is " + ChecksumValue({"", *crc}).substr(0, 8) + ", the list gives " +
                              ChecksumValue(*line).substr(0, 8) +
                              "; the setup program refuses it (a retry question, then it gives the file up)");
    }
    for (const VersionPlan& version : plans_) {
      for (const PlannedFile& file : version.plan.files) {
        if (file.step != PlannedFile::Step::Place || file.checksum || file.sourceName.empty()) continue;
        if (warnedUnchecked_.insert(AnsiUpperCase(file.sourceName)).second)
          Warning(file.sourceName, "no line in [" + std::string(kChecksumSection) + "]: installed unchecked");
      }
    }
  }

  // Two names in one folder that differ only in letter case are one file to
  // Windows: a copy of the medium keeps one of them.
  void CheckCaseTwins(const fs::path& folder, const std::string& prefix) {
    std::map<std::string, std::vector<std::string>> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      const std::string listed = NameAsListed(it->path().filename());
      if (listed.empty()) continue;
      names[AnsiUpperCase(listed)].push_back(listed);
      std::error_code kind;
      if (it->is_directory(kind)) CheckCaseTwins(it->path(), prefix + listed + "\\");
    }
    for (auto& [upper, spellings] : names) {
      if (spellings.size() < 2) continue;
      std::sort(spellings.begin(), spellings.end());
      std::string all;
      for (const std::string& s : spellings) all += (all.empty() ? "" : ", ") + prefix + s;
      Error(prefix + spellings.front(), "the medium holds " + all +
                                            ", one name to Windows: a copy of the medium keeps only one of them");
    }
  }

  // Entry 1 is the program the install offers to start, and the file a
  // mobile install writes its settings beside.
  void CheckMainProgram(const InstallList& files) {
    if (files.programFiles.empty() || files.programFiles.front().empty()) return;
    const std::string installed = MapCompressedName(files.programFiles.front());
    if (AsciiUpperCase(ExtractFileExt(installed)) != ".EXE")
      Warning(files.programFiles.front(), "entry 1, the main program, installs as " + installed +
                                              ", which is not a program (.EXE): the install offers to start it and a "
                                              "mobile install writes its settings beside it");
  }

  // Every part of a listed name must be one Windows takes: the copy of a
  // name it refuses stops the install at a retry question.
  bool CheckWindowsName(const std::string& where, const std::string& name) {
    for (const std::string& part : NameParts(name)) {
      const std::string fault = NameFault(part);
      if (!fault.empty()) {
        Error(where, fault + ": Windows refuses the name, and the install stops at a retry question");
        return false;
      }
    }
    return true;
  }

  // Keys that nothing reads, and values longer than a read hands out. A
  // near miss of a key loses its value: the program takes the default.
  void CheckKeys() {
    for (const std::string& section : kSections) {
      const auto known = kSectionKeys.find(AsciiLowerCase(section));
      for (const auto& [key, value] : ReadListSection(list_, section)) {
        const std::string where = "[" + section + "] " + key;
        const bool read = known == kSectionKeys.end() ||
                          std::any_of(known->second.begin(), known->second.end(),
                                      [&key = key](const std::string& k) { return SameName(k, key); });
        const std::string meant = read ? std::string() : NearMiss(key, known->second);
        if (!read && meant.empty()) Warning(where, "never read by the setup program");
        if (!meant.empty()) Error(where, "never read by the setup program; " + meant + " was meant? Its value is lost");
        if (AsciiLowerCase(section) == "systemdepended" && !NamesWindowsVersion(key))
          Warning(where, "no Windows version is called so; these files are never installed");
        std::vector<char> whole(kWholeValueBuffer);
        const std::size_t length = list_(section.c_str(), key.c_str(), "", whole.data(), whole.size());
        if (ReadListString(list_, section, key, "") != std::string(whole.data(), length))
          Warning(where, "longer than 2047 characters: the setup program reads only the first 2047");
      }
    }
  }

  void CheckGeneral() {
    const auto quoted = [](const std::string& value) { return "\"" + value + "\""; };
    if (!HasKey("General", "Name"))
      Warning("[General] Name", "missing: the program is called " + quoted(ReadProgramName(list_)));
    if (!HasKey("Group", "Name"))
      Warning("[Group] Name", "missing: the program group is called " + quoted(ReadGroupName(list_)));
    const std::string folder = ReadStartMenuFolder(list_);
    if (!HasKey("StartMenu", "Folder")) {
      Warning("[StartMenu] Folder", "missing: the uninstall entry is called " + quoted(folder));
    } else if (folder.empty()) {
      Warning("[StartMenu] Folder", "empty: no uninstall entry is written");
    } else if (!IsUninstallEntryName(folder)) {
      Warning("[StartMenu] Folder", "a leading, trailing or doubled backslash: no uninstall entry is written");
    }
    installPath_ = ReadDefaultPath(list_);
    if (!HasKey("General", "defaultPath"))
      Warning("[General] defaultPath", "missing: the proposed install directory is " + quoted(installPath_));
    if (IsRootLikeInstallPath(installPath_)) {
      Warning("[General] defaultPath", "the programs folder itself: the directory page does not accept it");
    } else if (!IsAbsolutePath(installPath_)) {
      Warning("[General] defaultPath", "not an absolute path (a drive letter with \"\\\", or a UNC name)");
    }
  }

  // Keys of a numbered list beyond its count are never read.
  void CheckNumbering(const char* section) {
    const std::vector<std::string> read = NumberedKeys(list_, section);
    for (const auto& [key, value] : ReadListSection(list_, section)) {
      if (std::find(read.begin(), read.end(), key) == read.end())
        Warning(std::string("[") + section + "] " + key,
                "never read: entries are read by the numbers 1 to " + std::to_string(read.size()) +
                    ", the count of the section's entries");
    }
  }

  void PlanEveryVersion(const InstallList& files) {
    std::vector<std::string> versions;
    for (const auto& pair : files.systemDepended) {
      const bool seen = std::any_of(versions.begin(), versions.end(),
                                    [&pair](const std::string& v) { return SameName(v, pair.first); });
      if (!seen) versions.push_back(pair.first);
    }
    versions.push_back("");
    for (const std::string& version : versions)
      plans_.push_back({version, PlanInstall(files, installPath_, kWindowsDir, version)});
  }

  // Every file each plan places: there, sound, and placed as meant.
  void CheckFiles() {
    std::set<std::string> checked;
    for (const VersionPlan& version : plans_) {
      std::map<std::string, std::string> targets;
      for (const PlannedFile& file : version.plan.files) {
        if (file.sourceName == "Setup.exe") continue;  // the setup program itself, checked apart
        const std::string where = file.sourceName.empty() ? "entry " + std::to_string(file.logNumber) : file.sourceName;
        const bool first = checked.insert(AsciiLowerCase(file.sourceName)).second;
        if (file.step == PlannedFile::Step::Refuse) {
          if (first)
            Error(where, "its name leads out of its directory or has an empty part; the setup program never places it");
          continue;
        }
        if (file.step == PlannedFile::Step::TooLong) {
          if (first)
            Error(where, "installed as " + file.InstalledPath() + ": " + PathLimitFault(file.InstalledPath()) +
                             "; the setup program gives the file up");
          continue;
        }
        const auto [other, added] = targets.emplace(AnsiUpperCase(file.InstalledPath()), file.sourceName);
        if (!added && SameMediumName(other->second, file.sourceName)) {
          if (!listedTwice_.insert(AnsiUpperCase(file.InstalledPath())).second) continue;
          Error(where, "listed twice (letter case aside): the log names it twice, and a [Windows] file's use count "
                       "is released twice at the uninstall");
        } else if (!added && first) {
          Error(where, "installed to the same place as " + other->second + ", which it replaces");
        }
        if (!first) continue;
        CheckFallbackLength(where, file);
        CheckOneFile(where, file);
      }
    }
  }

  // An automatic install that cannot write the proposed directory installs
  // into the profile folder instead.
  void CheckFallbackLength(const std::string& where, const PlannedFile& file) {
    if (file.shared) return;
    const std::string installDir = AddBackslash(installPath_);
    const std::string fallback =
        AddBackslash(FallbackFolderIn(kLongestProfileFolder, installPath_)) + file.InstalledPath().substr(installDir.size());
    const std::string fault = PathLimitFault(fallback);
    if (!fault.empty())
      Warning(where, "in the profile fallback folder (C:\\Dokumente und Einstellungen\\ and a user name of 20 "
                     "characters) " + fault + "; the setup program gives the file up");
  }

  void CheckOneFile(const std::string& where, const PlannedFile& file) {
    if (file.sourceName.empty()) {
      Error(where, "empty: the setup program tries to copy a file without a name and asks the user");
      return;
    }
    if (!CheckWindowsName(where, file.sourceName)) return;
    const std::string path = files_.Find(file.sourceName);
    if (path.empty()) {
      Error(where, "missing on the medium");
      return;
    }
    if (!IsCompressedSource(file.sourceName)) return;
    if (MapCompressedName(file.targetName) == file.targetName)
      Warning(where, "no installed name is known for its extension: installed as " + file.installedName +
                         ", with its \"_\"");
    std::vector<std::uint8_t> bytes;
    if (!ReadBytes(path, bytes)) {
      Error(where, "cannot be read");
      return;
    }
    const std::string fault = CompressedFileFault(bytes);
    if (!fault.empty()) Error(where, fault);
  }

  void CheckItems() {
    const std::vector<ShortcutItem> items = ReadShortcutItems(list_);
    const std::string name = ReadProgramName(list_);
    if (!items.empty() && items.front().caption != name)
      Warning("[Items] " + items.front().file, "its caption \"" + items.front().caption + "\" is not [General] Name \"" +
                                                  name + "\": the uninstaller leaves the desktop and Start-menu "
                                                         "shortcuts behind");
    const std::string installDir = AsciiLowerCase(AddBackslash(installPath_));
    for (const ShortcutItem& item : items) {
      const std::string target = AsciiLowerCase(installDir + item.file);
      const bool installed = std::any_of(plans_.begin(), plans_.end(), [&target](const VersionPlan& v) {
        return std::any_of(v.plan.files.begin(), v.plan.files.end(), [&target](const PlannedFile& f) {
          return f.step == PlannedFile::Step::Place && AsciiLowerCase(f.InstalledPath()) == target;
        });
      });
      if (!installed) Warning("[Items] " + item.file, "nothing installs this file; the shortcut leads nowhere");
    }
  }

  // What the software list will show besides the name, so that a vendor sees
  // the version a medium carries before it ships.
  void ShowProductFacts() {
    const std::string version = ReadProductVersion(list_);
    const std::string publisher = ReadPublisher(list_);
    if (version.empty() && publisher.empty()) return;
    out_ << "product: " << ReadProgramName(list_) << ", version " << (version.empty() ? "(none)" : version)
         << ", publisher " << (publisher.empty() ? "(none)" : publisher) << '\n';
  }

  void PrintPlan() {
    const std::string group = ReadGroupName(list_);
    const std::string folder = ReadStartMenuFolder(list_);
    const std::string name = ReadProgramName(list_);
    out_ << "plan: install directory " << installPath_ << ", Windows directory " << kWindowsDir << '\n';
    for (const std::string& section : unread_) out_ << "never read: [" << section << "] and its lines\n";
    out_ << "options:";
    for (const char* key : kBooleans) out_ << ' ' << key << '=' << ReadListBool(list_, "General", key, false);
    out_ << '\n';
    for (const VersionPlan& version : plans_) {
      if (plans_.size() > 1) out_ << "files on " << (version.version.empty() ? "any other Windows" : version.version) << ":\n";
      for (const PlannedFile& f : version.plan.files) {
        out_ << "  File" << f.logNumber << "  " << f.sourceName << " -> " << AsciiLowerCase(f.InstalledPath());
        if (f.step == PlannedFile::Step::Refuse) out_ << "  (refused, not logged)";
        if (f.step == PlannedFile::Step::TooLong) out_ << "  (path too long: given up, not logged)";
        if (f.shared && f.installedName.find_first_of("\\/") != std::string::npos)
          out_ << "  (its folder stays in the Windows directory)";
        if (f.checksum) out_ << "  (CRC-32 " << ChecksumValue({"", *f.checksum}).substr(0, 8) << ")";
        if (f.step == PlannedFile::Step::Place && IsCompressedSource(f.sourceName)) out_ << "  (expanded)";
        if (f.mainProgram) out_ << "  (main program)";
        out_ << '\n';
      }
    }
    if (group.empty()) {
      out_ << "shortcuts: none ([Group] Name is empty); no uninstall entry\n";
    } else {
      const std::vector<ShortcutItem> items = ReadShortcutItems(list_);
      out_ << "shortcuts: program group \"" << group << "\":";
      for (const ShortcutItem& item : items) out_ << " \"" << item.caption << ".LNK\" -> " << item.file << ';';
      out_ << '\n';
      if (!items.empty())
        out_ << "shortcuts: desktop and Start menu (when chosen): \"" << items.front().caption << ".LNK\"\n";
      UninstallEntryFacts facts;
      facts.groupName = group;
      facts.installPath = installPath_;
      facts.mainProgFile = plans_.back().plan.mainProgFile;
      facts.version = ReadProductVersion(list_);
      facts.publisher = ReadPublisher(list_);
      out_ << "registry: HKEY_LOCAL_MACHINE" << UninstallKeyPath(folder) << ":\n";
      for (const EntryValue& value : UninstallEntryValues(facts)) {
        out_ << "  " << value.name << " = ";
        if (value.name == "EstimatedSize") {
          out_ << "(DWORD) the KiB of the files the install places\n";
        } else if (value.number) {
          out_ << "(DWORD) " << value.dword << '\n';
        } else {
          out_ << value.text << '\n';
        }
      }
    }
    for (const std::string& old : SplitFileList(ReadListString(list_, "Group", "Old", ""))) {
      if (old.empty()) continue;
      out_ << "old group cleared at the end: \"" << old << '"';
      if (AnsiUpperCase(old) == AnsiUpperCase(group)) out_ << " (the new group itself: its shortcuts go)";
      out_ << '\n';
    }
    out_ << "log: " << InstallLogPath(installPath_) << ": [General] Name=" << name
         << ", [InstalledFiles] File1 to File" << plans_.back().plan.files.size() << ", [Group] Name=" << group
         << ", [StartMenu] Folder=" << folder << ", [BenutzerKonto] UserName (with shortcuts)\n";
  }

  MediumFiles files_;
  std::ostringstream out_;
  ProfileReader list_;
  std::string installPath_;
  std::vector<VersionPlan> plans_;
  std::set<std::string> warnedUnchecked_;
  std::set<std::string> listedTwice_;
  std::vector<std::string> unread_;  // sections the program never reads
  std::vector<std::uint8_t> listBytes_;
  int errors_ = 0;
};

}  // namespace

std::string CompressedFileFault(const std::vector<std::uint8_t>& file) {
  static const std::uint8_t kMagic[] = {0x21, 0x48, 0x5A, 0x4C};
  if (!std::equal(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(file.size(), 4)),
                  std::begin(kMagic)))
    return "not a compressed file (no \"!HZL\"), but its name ends in \"_\"";
  if (file.size() < kHzlHeaderSize) return "cut short: the file ends inside its 8-byte header";
  const auto expanded = static_cast<std::int32_t>(Word(file, 4));
  if (expanded < 0) return "its header gives a size of 2 GiB or more";
  const std::uint8_t* coded = file.data() + kHzlHeaderSize;
  const std::size_t codedSize = file.size() - kHzlHeaderSize;
  const Decoded whole = DecodeCounting(coded, codedSize, expanded);
  if (whole.cutShort) return "cut short: the coded data ends before " + std::to_string(expanded) + " bytes are decoded";
  if (whole.produced != static_cast<std::uint64_t>(expanded))
    return "decodes to " + std::to_string(whole.produced) + " bytes, but its header says " + std::to_string(expanded);
  if (whole.leftOver > 0) return "data left over after the coded stream";
  return {};
}

int CheckMedium(const std::string& medium, std::ostream& out, bool plan) {
  Checker checker(medium);
  const int status = checker.Run(plan);
  out << TerminalText(checker.Output());
  return status;
}

}  // namespace hzpack
