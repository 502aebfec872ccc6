#include "tools/hzpack/check.h"
#include "tools/hzpack/host.h"
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
};
Decoded DecodeCounting(const std::uint8_t* coded, std::size_t size, std::int32_t expanded) {
  CountingIo io{coded, size};
  try {
    const bool overran = lzh::LzhDecodeIo(expanded, io);
    return {overran, io.produced};
  } catch (const CutShort&) {
    return {true, io.produced};
  }
}

std::uint32_t Word(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

bool SameName(const std::string& a, const std::string& b) { return AsciiLowerCase(a) == AsciiLowerCase(b); }

// What a text file was most likely saved as.
enum class Encoding { Cp1252, Utf8, Utf8Mark, Utf16Mark };
Encoding EncodingOf(const std::vector<std::uint8_t>& raw) {
  const auto starts = [&raw](std::initializer_list<std::uint8_t> mark) {
    return raw.size() >= mark.size() && std::equal(mark.begin(), mark.end(), raw.begin());
  };
  if (starts({0xEF, 0xBB, 0xBF})) return Encoding::Utf8Mark;
  if (starts({0xFF, 0xFE}) || starts({0xFE, 0xFF})) return Encoding::Utf16Mark;
  // Text in code page 1252 is seldom also valid UTF-8 once it has a byte
  // above 127; a text that is most likely was saved as UTF-8.
  const bool nonAscii = std::any_of(raw.begin(), raw.end(), [](std::uint8_t c) { return c >= 0x80; });
  return nonAscii && IsUtf8(std::string(raw.begin(), raw.end())) ? Encoding::Utf8 : Encoding::Cp1252;
}

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
    const std::string listPath = files_.Find("Setup.lst");
    std::vector<std::uint8_t> raw;
    if (listPath.empty() || !ReadBytes(listPath, raw)) {
      Error("Setup.lst", "missing: the setup program ends at once without its list");
      return 1;
    }
    CheckEncoding(raw);
    list_ = ProfileOfFile(listPath, raw);
    CheckKeys();
    CheckGeneral();
    CheckGroupName();
    const InstallList files = ReadInstallList(list_);
    CheckMainProgram(files);
    CheckNumbering("programfiles");
    CheckNumbering("Windows");
    PlanEveryVersion(files);
    CheckFiles();
    CheckItems();
    if (files_.Find("Vertrag.Txt").empty())
      Error("Vertrag.Txt", "missing: the agreement page stops even an automatic install with an error box");
    CheckTextCodePage("Vertrag.Txt", "agreement page");
    CheckTextCodePage("Liesmich.txt", "read-me page");
    if (files_.Find("Setup.exe").empty())
      Error("SETUP.EXE", "missing: the setup program itself is copied into the install directory as Uninstal.exe");
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
    switch (EncodingOf(raw)) {
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

  // Keys that nothing reads, and values longer than a read hands out.
  void CheckKeys() {
    static const std::map<std::string, std::set<std::string>> kKnown = {
        {"general", {"name", "defaultpath", "mobileoption", "onlymobile"}},
        {"startmenu", {"folder"}},
        {"group", {"name", "old"}},
    };
    for (const char* section : {"General", "StartMenu", "Group", "programfiles", "Windows", "SystemDepended", "Items"}) {
      const auto known = kKnown.find(AsciiLowerCase(section));
      for (const auto& [key, value] : ReadListSection(list_, section)) {
        const std::string where = std::string("[") + section + "] " + key;
        if (known != kKnown.end() && known->second.count(AsciiLowerCase(key)) == 0)
          Warning(where, "never read by the setup program");
        if (AsciiLowerCase(section) == "systemdepended" && !NamesWindowsVersion(key))
          Warning(where, "no Windows version is called so; these files are never installed");
        std::vector<char> whole(kWholeValueBuffer);
        const std::size_t length = list_(section, key.c_str(), "", whole.data(), whole.size());
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
        const auto [other, added] = targets.emplace(AsciiLowerCase(file.InstalledPath()), file.sourceName);
        if (!added && first) Warning(where, "installed to the same place as " + other->second + ", which it replaces");
        if (!first) continue;
        CheckOneFile(where, file);
      }
    }
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

  void PrintPlan() {
    const std::string group = ReadGroupName(list_);
    const std::string folder = ReadStartMenuFolder(list_);
    const std::string name = ReadProgramName(list_);
    out_ << "plan: install directory " << installPath_ << ", Windows directory " << kWindowsDir << '\n';
    for (const VersionPlan& version : plans_) {
      if (plans_.size() > 1) out_ << "files on " << (version.version.empty() ? "any other Windows" : version.version) << ":\n";
      for (const PlannedFile& f : version.plan.files) {
        out_ << "  File" << f.logNumber << "  " << f.sourceName << " -> " << AsciiLowerCase(f.InstalledPath());
        if (f.step == PlannedFile::Step::Refuse) out_ << "  (refused, not logged)";
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
    out_ << "log: " << InstallLogPath(installPath_) << ": [General] Name=" << name
         << ", [InstalledFiles] File1 to File" << plans_.back().plan.files.size() << ", [Group] Name=" << group
         << ", [StartMenu] Folder=" << folder << ", [BenutzerKonto] UserName (with shortcuts)\n";
  }

  MediumFiles files_;
  std::ostringstream out_;
  ProfileReader list_;
  std::string installPath_;
  std::vector<VersionPlan> plans_;
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
  // Without its last byte the stream must come up short, or that byte was
  // never part of it.
  if (codedSize > 0 && !DecodeCounting(coded, codedSize - 1, expanded).cutShort)
    return "data left over after the coded stream";
  return {};
}

int CheckMedium(const std::string& medium, std::ostream& out, bool plan) {
  Checker checker(medium);
  const int status = checker.Run(plan);
  out << TerminalText(checker.Output());
  return status;
}

}  // namespace hzpack
