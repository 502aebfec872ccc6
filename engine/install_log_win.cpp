#include "engine/install_log.h"

#include "engine/ini_file.h"
#include "system/Kv_tools.h"
#include "system/handles.h"
#include "system/setup_list.h"

namespace {

kv::FileHandle OpenForReading(const std::string& path) {
  return kv::FileHandle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  const kv::FileHandle file = OpenForReading(path);
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

// Whether the file ends in tail: its last tail.size() bytes, whatever its
// length.
bool FileEndsIn(const std::string& path, const std::string& tail) {
  const kv::FileHandle file = OpenForReading(path);
  if (!file) return false;
  // Seeking back from the end fails before the file's start, so a shorter
  // file is no match. SetFilePointer: its -Ex form came after Windows 95.
  LARGE_INTEGER back;
  back.QuadPart = -static_cast<LONGLONG>(tail.size());
  LONG backHigh = back.HighPart;
  ::SetLastError(NO_ERROR);  // a low half of all ones is a position too
  if (::SetFilePointer(file.Get(), static_cast<LONG>(back.LowPart), &backHigh, FILE_END) == INVALID_SET_FILE_POINTER &&
      ::GetLastError() != NO_ERROR)
    return false;
  std::string end(tail.size(), '\0');
  DWORD got = 0;
  return ::ReadFile(file.Get(), end.data(), static_cast<DWORD>(end.size()), &got, nullptr) && got == end.size() &&
         end == tail;
}

// Windows 9x keeps profile writes in memory until they are handed to the
// disk; the NT family writes the file at every call.
bool ProfileWritesAreCached() {
  static const bool cached = !IsWindowsNT();
  return cached;
}

// Writes the values and checks that the disk took them: the whole file read
// back, and its tail taken as the one every later entry must leave.
void WriteChecked(const std::string& log, const std::vector<IniValue>& values, std::string& tail) {
  for (const IniValue& v : values) WriteIniString(log, v.section, v.key, v.value);
  if (ProfileWritesAreCached()) FlushIniFile(log);
  std::string text;
  if (!ReadWholeFile(log, text) || !ProfileTextHolds(text, values)) throw EIniFileException(log);
  tail = LogTail(text);
}

}  // namespace

CopyRun StartCopyRun(const std::string& installPath, const std::string& progName, const std::string& groupName,
                     const std::string& startMenuFolder) {
  CopyRun run(installPath, progName, groupName, startMenuFolder);
  std::string text;
  if (ReadWholeFile(InstallLogPath(installPath), text)) run.held = HeldValues(text);
  return run;
}

void WriteInstallLogEntry(CopyRun& run, int number, const std::string& installedPath) {
  const std::string log = InstallLogPath(run.installPath);
  const std::vector<IniValue> writes = EntryWrites(run, number, installedPath);
  run.firstEntryWritten = true;
  if (writes.empty()) return;
  if (writes.size() == 1 && writes.front().section == "InstalledFiles" && !run.tail.empty()) {
    WriteIniString(log, writes.front().section, writes.front().key, writes.front().value);
    if (ProfileWritesAreCached()) FlushIniFile(log);
    if (!FileEndsIn(log, run.tail)) throw EIniFileException(log);
  } else {
    WriteChecked(log, writes, run.tail);
  }
  Hold(run.held, writes);
}

void WriteInstallLogUserAccount(const std::string& installPath, const std::string& userProfileDir) {
  if (userProfileDir.empty()) return;
  std::string tail;
  WriteChecked(InstallLogPath(installPath), {{"BenutzerKonto", "UserName", userProfileDir}}, tail);
}

std::vector<std::string> ReadInstalledFiles(const std::string& logFile) {
  return ReadNumberedList(ProfileOf(logFile), "InstalledFiles", "File");
}
