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
