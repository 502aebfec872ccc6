#include "engine/install_log.h"

#include "system/ascii_case.h"
#include "system/helpers.h"
#include "system/setup_list.h"

#include <algorithm>
#include <unordered_set>

namespace {

std::string HeldKey(const std::string& section, const std::string& key) {
  return AsciiLowerCase(section + "\\" + key);
}

// Whether the profile functions write the value as it is and read it back
// from its own line: they drop leading white space, and a line break would
// start a line of its own.
bool StandsAsWritten(const std::string& value) {
  return (value.empty() || (value[0] > ' ' && value[0] < '\x7f')) && value.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

std::string InstallLogPath(const std::string& installPath) {
  return AsciiUpperCase(AddBackslash(installPath) + "Install1.log");
}

std::string InstalledFileKey(int number) { return "File" + std::to_string(number); }

std::vector<IniValue> InstallLogEntry(int number, const std::string& installedPath, const std::string& progName,
                                      const std::string& groupName, const std::string& startMenuFolder) {
  std::vector<IniValue> values;
  if (!progName.empty()) values.push_back({"General", "Name", progName});
  values.push_back({"InstalledFiles", InstalledFileKey(number), installedPath});
  values.push_back({"Group", "Name", groupName});
  values.push_back({"StartMenu", "Folder", startMenuFolder});
  return values;
}

LogHeld HeldValues(const std::string& text) {
  const ProfileReader log = ProfileOfText(text);
  LogHeld held;
  // No value the profile functions read holds a line break, so this default
  // tells a missing key from an empty one.
  const std::string missing = "\n";
  const std::pair<const char*, const char*> runValues[] = {{"General", "Name"}, {"Group", "Name"}, {"StartMenu", "Folder"}};
  for (const auto& [section, key] : runValues) {
    const std::string value = ReadListString(log, section, key, missing);
    if (value != missing) held.values[HeldKey(section, key)] = value;
  }
  // Every key line counts, as the first of a name is the one a write
  // replaces; one without a value is held as the missing one.
  for (const auto& [key, value] : SectionKeyLines(text, "InstalledFiles"))
    held.values.emplace(HeldKey("InstalledFiles", key), value.value_or(missing));
  return held;
}

bool OpensWithByteOrderMark(const std::string& text) {
  for (const char* mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
    if (text.rfind(mark, 0) == 0) return true;
  return false;
}

std::vector<std::string> ListedFiles(const std::string& text, const LogHeld& held) {
  // As many as the section has keys with a value, as the uninstaller counts.
  const std::size_t count = ReadListSection(ProfileOfText(text), "InstalledFiles").size();
  std::vector<std::string> files;
  for (std::size_t n = 1; n <= count; ++n) {
    const auto value = held.values.find(HeldKey("InstalledFiles", InstalledFileKey(static_cast<int>(n))));
    files.push_back(value == held.values.end() || value->second == "\n" ? "" : value->second);
  }
  return files;
}

std::vector<KeptEntry> EarlierEntriesToKeep(const std::vector<std::string>& earlier,
                                            const std::vector<std::string>& entered) {
  // The earlier value stays where the run entered nothing.
  const auto after = [&](std::size_t i) {
    return i < entered.size() && !entered[i].empty() ? entered[i] : i < earlier.size() ? earlier[i] : "";
  };
  std::unordered_set<std::string> listed;
  for (std::size_t i = 0; i < std::max(earlier.size(), entered.size()); ++i) listed.insert(after(i));
  std::vector<KeptEntry> kept;
  std::size_t free = 0;
  for (const std::string& path : earlier) {
    if (path.empty() || !listed.insert(path).second) continue;
    while (!after(free).empty()) ++free;
    kept.push_back({static_cast<int>(++free), path});
  }
  return kept;
}

std::vector<IniValue> EntryWrites(const CopyRun& run, int number, const std::string& installedPath) {
  std::vector<IniValue> writes;
  for (IniValue& v : InstallLogEntry(number, installedPath, run.firstEntryWritten ? "" : run.progName, run.groupName,
                                     run.startMenuFolder)) {
    const auto held = run.held.values.find(HeldKey(v.section, v.key));
    if (held == run.held.values.end() || held->second != v.value) writes.push_back(std::move(v));
  }
  return writes;
}

void Hold(LogHeld& held, const std::vector<IniValue>& values) {
  for (const IniValue& v : values) held.values[HeldKey(v.section, v.key)] = v.value;
}

bool ProfileTextHolds(const std::string& text, const std::vector<IniValue>& values) {
  for (const IniValue& v : values) {
    const std::string assigned = "=" + v.value;
    const std::string key = AsciiLowerCase(v.key);
    bool found = false;
    // By the value first: the key may stand in another letter case, and
    // lower-casing a long log for every line written would cost.
    for (std::size_t at = text.find(assigned); !found && at != std::string::npos; at = text.find(assigned, at + 1)) {
      const std::size_t end = at + assigned.size();
      found = at >= key.size() && AsciiLowerCase(text.substr(at - key.size(), key.size())) == key &&
              (at == key.size() || text[at - key.size() - 1] == '\n') &&
              (end == text.size() || text[end] == '\r' || text[end] == '\n');
    }
    if (!found) return false;
  }
  return true;
}

std::optional<std::string> LogTail(const std::string& text) {
  // A line is written in the code page.
  if (OpensWithByteOrderMark(text)) return std::nullopt;
  bool inFiles = false;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (const std::optional<std::string> section = SectionHeaderName(text.substr(start, end - start))) {
      if (inFiles) return text[start - 1] == '\n' ? std::optional(text.substr(start)) : std::nullopt;
      inFiles = AsciiLowerCase(*section) == "installedfiles";
    }
    start = end + 1;
  }
  return inFiles && text.back() == '\n' ? std::optional(std::string()) : std::nullopt;
}

std::optional<std::string> AddedEntryLine(const CopyRun& run, const std::vector<IniValue>& writes) {
  if (writes.size() != 1 || !run.tail) return std::nullopt;
  const IniValue& v = writes.front();
  if (v.section != "InstalledFiles" || run.held.values.count(HeldKey(v.section, v.key)) != 0 ||
      !StandsAsWritten(v.value))
    return std::nullopt;
  return v.key + "=" + v.value + "\r\n";
}
