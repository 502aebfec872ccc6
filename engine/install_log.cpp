#include "engine/install_log.h"

#include "engine/ascii_case.h"
#include "system/Kv_tools.h"

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
