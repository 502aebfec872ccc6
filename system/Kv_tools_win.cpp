// Unit Kv_tools, Win32 part: the program's directory, waits, the INI write
// test and the settings-file location.
#include "system/Kv_tools.h"
#include "system/win.h"

#include <vector>

std::string SettingsFile;
std::string SettingsDir;

std::string GetAppPath() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string GetAppDir() { return ExtractFilePath(GetAppPath()); }

void ProcessMessages() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit request to the message loop that owns it.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void WaitMs(unsigned ms, bool pumpMessages) {
  const DWORD start = ::GetTickCount();
  // Unsigned difference: a wrap of the tick counter neither ends nor prolongs the wait.
  while (::GetTickCount() - start <= ms) {
    if (pumpMessages) ProcessMessages();
  }
}

namespace {

// "IniTest" in the folder, or, when something of that name is there already
// (a user's file or folder), the first of "IniTest1", "IniTest2", ... that is
// not: the probe deletes what it writes, so it must write nothing that was
// there before.
std::string FreshProbePath(const std::string& folder) {
  const std::string base = AddBackslash(folder) + "IniTest";
  std::string path = base;
  for (unsigned n = 1; ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
    path = base + std::to_string(n);
  return path;
}

}  // namespace

bool IniWriteTest() {
  const std::string probe = FreshProbePath(ExtractFilePath(SettingsFile));
  const bool accepted = ::WritePrivateProfileStringA("Optionen", "Writing", "Test", probe.c_str()) != FALSE;
  // Windows 9x caches profile writes and accepts one that can never reach the
  // disk (a read-only medium). The flush writes the cache out but always
  // answers FALSE, so only the file itself, there and holding the value
  // afterwards, shows that the folder is writable.
  ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, probe.c_str());
  char value[16] = {};
  if (accepted) ::GetPrivateProfileStringA("Optionen", "Writing", "", value, sizeof value, probe.c_str());
  const bool written = accepted && FileExists(probe) && std::string(value) == "Test";
  ::DeleteFileA(probe.c_str());
  return written;
}

bool ForceDirectories(const std::string& directory) {
  const std::string dir = RemoveBackslash(directory);
  if (dir.empty()) return false;
  if (DirectoryExists(dir)) return true;
  const std::string parent = RemoveBackslash(ExtractFilePath(dir));
  // Stop at a drive ("C:") or at the top of a relative path.
  if (!parent.empty() && parent != dir && parent.back() != ':') ForceDirectories(parent);
  return ::CreateDirectoryA(dir.c_str(), nullptr) != FALSE || DirectoryExists(dir);
}

void KvToolsStartup() {
  const std::string program = GetAppPath();
  SettingsFile = ChangeFileExt(program, ".INI");
  if (IniWriteTest()) {
    SettingsDir = GetAppDir();
    return;
  }
  // A read-only medium: keep the settings in the account's own profile folder,
  // in a folder named after the program's folder (none for a drive root).
  const std::string programFolder = ExtractFileName(RemoveBackslash(GetAppDir()));
  SettingsFile = AddBackslash(GetProfilesDirectory()) + GetUserLoginName() + "\\" + AddBackslash(programFolder) +
                 ChangeFileExt(ExtractFileName(program), ".INI");
  SettingsDir = ExtractFilePath(SettingsFile);
  ForceDirectories(SettingsDir);
}
