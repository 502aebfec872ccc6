#include "engine/install_log.h"

#include "engine/ini_file.h"
#include "system/Data.h"
#include "system/setup_list.h"

void WriteInstallLogEntry(int number, const std::string& installedPath) {
  const std::string log = InstallLogPath(InstallPath);
  for (const IniValue& v : InstallLogEntry(number, installedPath, ProgName, GroupName, StartMenuFolder))
    WriteIniString(log, v.section, v.key, v.value);
  ProgName.clear();
  FlushIniFile(log);
}

void WriteInstallLogUserAccount() {
  if (UserProfileDir.empty()) return;
  const std::string log = InstallLogPath(InstallPath);
  WriteIniString(log, "BenutzerKonto", "UserName", UserProfileDir);
  FlushIniFile(log);
}

std::vector<std::string> ReadInstalledFiles(const std::string& logFile) {
  return ReadNumberedList(ProfileOf(logFile), "InstalledFiles", "File");
}
