#include "engine/install_log.h"

#include "engine/ini_file.h"
#include "system/helpers.h"
#include "system/handles.h"
#include "system/setup_list.h"

#include <algorithm>

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

bool AtOffset(const kv::FileHandle& file, DWORD offset) {
  return ::SetFilePointer(file.Get(), static_cast<LONG>(offset), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

bool ReadAt(const kv::FileHandle& file, DWORD offset, std::string& bytes) {
  DWORD got = 0;
  return AtOffset(file, offset) &&
         ::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size();
}

bool WriteAt(const kv::FileHandle& file, DWORD offset, const std::string& bytes) {
  DWORD put = 0;
  return AtOffset(file, offset) &&
         ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
}

// Puts line into the log in front of tail, which the file must end in after
// a line break: false, with the file untouched, when it does not. The bytes
// past the file's end are written first, so a disk without room for them
// leaves the log as it was; raises EIniFileException then.
bool InsertBeforeTail(const std::string& log, const std::string& line, const std::string& tail) {
  const kv::FileHandle file(::CreateFileA(log.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  // A log of 4 GB or more is no log the run wrote.
  DWORD sizeHigh = 0;
  const DWORD size = ::GetFileSize(file.Get(), &sizeHigh);
  if (size == INVALID_FILE_SIZE || sizeHigh != 0 || size <= tail.size()) return false;
  const DWORD at = size - static_cast<DWORD>(tail.size());
  std::string end(tail.size() + 1, '\0');
  if (!ReadAt(file, at - 1, end) || end[0] != '\n' || end.compare(1, std::string::npos, tail) != 0) return false;
  const std::string moved = line + tail;
  if (!WriteAt(file, size, moved.substr(tail.size()))) {
    if (AtOffset(file, size)) ::SetEndOfFile(file.Get());
    throw EIniFileException(log);
  }
  if (!WriteAt(file, at, moved.substr(0, tail.size()))) throw EIniFileException(log);
  return true;
}

// Windows 9x keeps a profile file in memory between the calls, and writes
// it to the disk only when it is flushed.
bool ProfileWritesAreCached() {
  static const bool cached = !IsWindowsNT();
  return cached;
}

// Whether the profile functions read each value back as they read what is
// written as "key=value". A file they keep in Unicode (one an administrator
// saved so) they read from the disk again once flushed, so a file the disk
// did not take is found out here as well.
bool ProfileFunctionsRead(const std::string& log, const std::vector<IniValue>& values) {
  const ProfileReader read = ProfileOf(log);
  // No value read holds a line break: the default tells a missing key.
  return std::all_of(values.begin(), values.end(), [&](const IniValue& v) {
    return ReadListString(read, v.section, v.key, "\n") == ListValueAsRead(v.value);
  });
}

// Writes the values through the profile functions and checks that the disk
// took them: the whole file read back, and its tail taken for the lines
// entered after it. The flush hands the file to the disk on Windows 9x, and
// has the profile functions forget what they hold of it in memory, so that
// their next write starts from the file with the lines entered since: some
// Wine versions keep a file they have read and never read it again.
void WriteChecked(const std::string& log, const std::vector<IniValue>& values, std::optional<std::string>& tail) {
  for (const IniValue& v : values) WriteIniString(log, v.section, v.key, v.value);
  FlushIniFile(log);
  std::string text;
  if (!ReadWholeFile(log, text) ||
      !(OpensWithByteOrderMark(text) ? ProfileFunctionsRead(log, values) : ProfileTextHolds(text, values)))
    throw EIniFileException(log);
  tail = LogTail(text);
}

}  // namespace

CopyRun StartCopyRun(const std::string& installPath, const std::string& progName, const std::string& groupName,
                     const std::string& startMenuFolder) {
  CopyRun run(installPath, progName, groupName, startMenuFolder);
  const std::string log = InstallLogPath(installPath);
  std::string text;
  if (!ReadWholeFile(log, text)) return run;
  run.held = HeldValues(text);
  // A Unicode log only the profile functions read; a log in the code page
  // is read from its text, at one look-up per file.
  run.earlierFiles = OpensWithByteOrderMark(text) ? ReadInstalledFiles(log) : ListedFiles(text, run.held);
  return run;
}

void WriteInstallLogEntry(CopyRun& run, int number, const std::string& installedPath) {
  const std::string log = InstallLogPath(run.installPath);
  const std::vector<IniValue> writes = EntryWrites(run, number, installedPath);
  run.firstEntryWritten = true;
  if (run.entered.size() < static_cast<std::size_t>(number)) run.entered.resize(static_cast<std::size_t>(number));
  run.entered[static_cast<std::size_t>(number) - 1] = installedPath;
  if (writes.empty()) return;
  // Windows 9x could write its copy of the file in memory over a line
  // entered beside it.
  const std::optional<std::string> line = AddedEntryLine(run, writes);
  if (!line || ProfileWritesAreCached() || !InsertBeforeTail(log, *line, *run.tail))
    WriteChecked(log, writes, run.tail);
  Hold(run.held, writes);
}

void KeepEarlierLogEntries(CopyRun& run) {
  for (const KeptEntry& kept : EarlierEntriesToKeep(run.earlierFiles, run.entered))
    WriteInstallLogEntry(run, kept.number, kept.path);
}

void WriteInstallLogUserAccount(const std::string& installPath, const std::string& userProfileDir) {
  if (userProfileDir.empty()) return;
  std::optional<std::string> tail;
  WriteChecked(InstallLogPath(installPath), {{"BenutzerKonto", "UserName", userProfileDir}}, tail);
}

std::vector<std::string> ReadInstalledFiles(const std::string& logFile) {
  // Read once: the profile functions open and read the file for every value.
  // A log they keep in Unicode only they read.
  std::string text;
  if (!ReadWholeFile(logFile, text)) return {};
  return ReadNumberedList(OpensWithByteOrderMark(text) ? ProfileOf(logFile) : ProfileOfText(text), "InstalledFiles",
                          "File");
}
