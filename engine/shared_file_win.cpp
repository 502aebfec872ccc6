#include "engine/shared_file.h"

#include "engine/program_group.h"
#include "system/ascii_case.h"
#include "system/helpers.h"
#include "system/registry.h"
#include "system/run_log.h"

namespace {

// Value names may be 16,383 characters long.
constexpr DWORD kValueNameBuffer = 16384;

SharedCount ReadCount(HKEY key, const std::string& path) {
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  const LONG result =
      ::RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  if (result == ERROR_FILE_NOT_FOUND) return {SharedCount::State::Missing, 0};
  // A longer value answers ERROR_MORE_DATA; a shorter one reads as a number
  // only by accident.
  if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return {SharedCount::State::Unreadable, 0};
  return {SharedCount::State::Number, value};
}

bool WriteCount(HKEY key, const std::string& path, unsigned long count) {
  const DWORD value = count;
  return ::RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
}

bool HasValue(HKEY key, const std::string& name) {
  return ::RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Puts the count back as it was before the install wrote it.
void RestoreCount(HKEY key, const std::string& path, SharedCount before) {
  if (before.state == SharedCount::State::Number)
    WriteCount(key, path, before.value);
  else
    ::RegDeleteValueA(key, path.c_str());
}

// A key with no subkeys and no values but, where given, that one.
bool HoldsNothingBut(HKEY key, const char* value) {
  DWORD subkeys = 0;
  DWORD values = 0;
  if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subkeys == 0 && values == (value && HasValue(key, value) ? 1u : 0u);
}

// Key paths are written absolute ("\Software\..."); the API wants them relative.
bool DeleteMachineKey(const std::string& path) { return ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str() + 1) == ERROR_SUCCESS; }

}  // namespace

void CountSharedFile(const std::string& path, bool existedBefore, const std::string& entryName,
                     const std::string& uninstallerPath) {
  if (!IsUninstallEntryName(entryName)) return;
  const kv::RegKey counts = OpenMachineKey(kSharedDllsKey, true);
  const kv::RegKey records = OpenMachineKey(SharedFileRecordsKey(entryName), true);
  if (!counts || !records) {
    LogRun("Gemeinsame Datei ohne Zähler (keine Rechte): " + path);
    return;
  }
  // A re-install elsewhere moves the entry to its own uninstaller, so the
  // records follow it, counted before or not.
  if (!WriteRegString(records.Get(), kRecordsUninstallerValue, uninstallerPath)) return;
  const SharedCount before = ReadCount(counts.Get(), path);
  const std::optional<unsigned long> after = CountAfterInstall(before, existedBefore, HasValue(records.Get(), path));
  if (!after) LogRun("Gemeinsame Datei, Zähler unverändert: " + path);
  if (!after || !WriteCount(counts.Get(), path, *after)) return;
  LogRun("Gemeinsame Datei: " + path + ", Zähler " + std::to_string(*after));
  const DWORD one = 1;
  if (::RegSetValueExA(records.Get(), path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one) !=
      ERROR_SUCCESS)
    RestoreCount(counts.Get(), path, before);
}

SharedFileRecords ReadSharedFileRecords(const std::string& entryName) {
  SharedFileRecords found;
  if (!IsUninstallEntryName(entryName)) return found;
  const kv::RegKey records = OpenMachineKeyToRead(SharedFileRecordsKey(entryName));
  if (!records) return found;
  found.uninstaller = ReadRegString(records.Get(), kRecordsUninstallerValue);
  std::string name(kValueNameBuffer, '\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = kValueNameBuffer;
    if (::RegEnumValueA(records.Get(), index, &name[0], &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    const std::string value = name.substr(0, length);
    if (!SameIgnoringAsciiCase(value, kRecordsUninstallerValue)) found.files.push_back(value);
  }
  return found;
}

bool ReleaseSharedFile(const std::string& entryName, const std::string& path) {
  const kv::RegKey records = OpenMachineKey(SharedFileRecordsKey(entryName), false);
  const kv::RegKey counts = OpenMachineKey(kSharedDllsKey, false);
  // Without the right to forget the record the count stays taken.
  if (!records) return false;
  const SharedFileRelease release =
      ReleaseOf(counts ? ReadCount(counts.Get(), path) : SharedCount{SharedCount::State::Missing, 0});
  switch (release.step) {
    case SharedFileRelease::Step::LeaveAlone:
      break;
    case SharedFileRelease::Step::CountDown:
      if (!WriteCount(counts.Get(), path, release.count)) return false;
      break;
    case SharedFileRelease::Step::Remove:
      // The file first: one in use stays counted, so nothing takes it for
      // unused and its record lets a later run finish.
      if (!::DeleteFileA(path.c_str()) && FileExists(path)) return false;
      ::RegDeleteValueA(counts.Get(), path.c_str());
      break;
  }
  ::RegDeleteValueA(records.Get(), path.c_str());
  return true;
}

void ForgetSharedFileRecords(const std::string& entryName) {
  if (!IsUninstallEntryName(entryName)) return;
  {
    const kv::RegKey records = OpenMachineKey(SharedFileRecordsKey(entryName), false);
    if (!records || !HoldsNothingBut(records.Get(), kRecordsUninstallerValue)) return;
  }
  if (!DeleteMachineKey(SharedFileRecordsKey(entryName))) return;
  bool emptyEntry = false;
  {
    const kv::RegKey entry = OpenMachineKey(UninstallKeyPath(entryName), false);
    emptyEntry = entry && HoldsNothingBut(entry.Get(), nullptr);
  }
  if (emptyEntry) DeleteMachineKey(UninstallKeyPath(entryName));
}
