#include "engine/install_log.h"

#include "engine/ini_file.h"
#include "system/Data.h"
#include "system/handles.h"
#include "system/setup_list.h"

namespace {

bool ReadWholeFile(const std::string& path, std::string& text) {
  const kv::FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  char block[65536];
  DWORD got = 0;
  text.clear();
  while (::ReadFile(file.Get(), block, sizeof block, &got, nullptr)) {
    if (got == 0) return true;
    text.append(block, got);
  }
  return false;
}

// Writes the values, hands them to the disk and reads the file back.
void WriteLogValues(const std::string& log, const std::vector<IniValue>& values) {
  for (const IniValue& v : values) WriteIniString(log, v.section, v.key, v.value);
  FlushIniFile(log);
  std::string text;
  if (!ReadWholeFile(log, text) || !ProfileTextHolds(text, values)) throw EIniFileException(log);
}

}  // namespace

void WriteInstallLogEntry(const std::string& installPath, int number, const std::string& installedPath) {
  WriteLogValues(InstallLogPath(installPath),
                 InstallLogEntry(number, installedPath, ProgName, GroupName, StartMenuFolder));
  ProgName.clear();
}

void WriteInstallLogUserAccount(const std::string& installPath) {
  if (UserProfileDir.empty()) return;
  WriteLogValues(InstallLogPath(installPath), {{"BenutzerKonto", "UserName", UserProfileDir}});
}

std::vector<std::string> ReadInstalledFiles(const std::string& logFile) {
  return ReadNumberedList(ProfileOf(logFile), "InstalledFiles", "File");
}
