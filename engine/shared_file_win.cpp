#include "engine/shared_file.h"

#include "system/registry.h"
#include "system/run_log.h"

namespace {

std::optional<unsigned long> ReadCount(HKEY key, const std::string& path) {
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return std::nullopt;
  return value;
}

bool WriteCount(HKEY key, const std::string& path, unsigned long count) {
  const DWORD value = count;
  return ::RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
}

}  // namespace

void CountSharedFile(const std::string& path, bool existedBefore, bool listedBefore) {
  const kv::RegKey key = OpenMachineKey(kSharedDllsKey, true);
  if (!key) {
    LogRun("Gemeinsame Datei ohne Zähler (keine Rechte): " + path);
    return;
  }
  const std::optional<unsigned long> count = CountAfterInstall(ReadCount(key.Get(), path), existedBefore, listedBefore);
  if (count) WriteCount(key.Get(), path, *count);
  LogRun("Gemeinsame Datei: " + path + (count ? ", Zähler " + std::to_string(*count) : ", Zähler unverändert"));
}

bool ReleaseSharedFile(const std::string& path) {
  const kv::RegKey key = OpenMachineKey(kSharedDllsKey, false);
  if (!key) return false;
  const SharedFileRelease release = ReleaseOf(ReadCount(key.Get(), path));
  switch (release.step) {
    case SharedFileRelease::Step::Keep:
      return false;
    case SharedFileRelease::Step::CountDown:
      WriteCount(key.Get(), path, release.count);
      return false;
    case SharedFileRelease::Step::Remove:
      // Without the value gone the file stays: it would be counted and missing.
      return ::RegDeleteValueA(key.Get(), path.c_str()) == ERROR_SUCCESS && ::DeleteFileA(path.c_str());
  }
  return false;
}
