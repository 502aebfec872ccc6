// The helpers that ask the system: the program's directory, waits, files and
// folders, the INI write test and the settings-file location.
#include "system/helpers.h"
#include "system/handles.h"
#include "system/win.h"

#include <algorithm>
#include <optional>
#include <vector>

std::string SettingsFile;
std::string SettingsDir;

namespace {

// Fills a growing buffer through a call that answers the length it wrote (0
// on failure) and, when the buffer is too small, a length at or above its size.
template <typename Char, typename Call>
std::basic_string<Char> GrowingBuffer(Call call) {
  std::vector<Char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::basic_string<Char>(buffer.data(), length);
    buffer.resize(std::max<std::size_t>(buffer.size() * 2, length + 1));
  }
}

// The text in the ANSI code page, when the code page can write it exactly.
// Otherwise the conversion gives a best fit ("Łódź" as "Lódz") or "?", which
// names nothing on the disk; converting back shows the difference.
std::optional<std::string> ExactAnsi(const std::wstring& text) {
  if (text.empty()) return std::nullopt;
  const int wideLength = static_cast<int>(text.size());
  const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::nullopt;
  std::string ansi(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, &ansi[0], length, nullptr, nullptr);
  std::wstring back(text.size(), L'\0');
  if (::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, &back[0], wideLength) != wideLength || back != text)
    return std::nullopt;
  return ansi;
}

}  // namespace

std::string AnsiPathFor(const std::wstring& longPath, const std::wstring& shortPath) {
  if (std::optional<std::string> path = ExactAnsi(longPath)) return *path;
  if (std::optional<std::string> path = ExactAnsi(shortPath)) return *path;
  return {};
}

std::string GetAppPath() {
  const std::wstring wide = GrowingBuffer<wchar_t>(
      [](wchar_t* buffer, DWORD size) { return ::GetModuleFileNameW(nullptr, buffer, size); });
  // Windows 9x has only a stub of the wide call, and no names beyond its
  // ANSI code page: there the ANSI name is the name.
  if (wide.empty()) {
    return GrowingBuffer<char>([](char* buffer, DWORD size) { return ::GetModuleFileNameA(nullptr, buffer, size); });
  }
  return AnsiPathFor(wide, GrowingBuffer<wchar_t>([&wide](wchar_t* buffer, DWORD size) {
                       return ::GetShortPathNameW(wide.c_str(), buffer, size);
                     }));
}

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

unsigned long long FileSizeOf(const std::string& path) {
  const kv::FileHandle file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  DWORD high = 0;
  const DWORD low = ::GetFileSize(file.Get(), &high);
  return low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR ? 0 : (static_cast<unsigned long long>(high) << 32) | low;
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string GetAppDir() { return ExtractFilePath(GetAppPath()); }

std::string FreshProbePath(const std::string& folder, const std::string& stem, const std::string& extension) {
  const std::string base = AddBackslash(folder) + stem;
  std::string path = base + extension;
  for (unsigned n = 1; ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
    path = base + std::to_string(n) + extension;
  return path;
}

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

bool IniWriteTest() {
  const std::string probe = FreshProbePath(ExtractFilePath(SettingsFile), "IniTest", "");
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

void DelayMs(unsigned ms) { WaitMs(ms, true); }

void ClearReadOnly(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    ::SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

bool DeleteFileForced(const std::string& path) {
  ClearReadOnly(path);
  return ::DeleteFileA(path.c_str()) != FALSE;
}

std::vector<DirEntry> FindEntries(const std::string& mask) {
  std::vector<DirEntry> entries;
  const std::string directory = ExtractFilePath(mask);
  WIN32_FIND_DATAA found;
  const kv::FindHandle find(::FindFirstFileA(mask.c_str(), &found));
  if (!find) return entries;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    entries.push_back({AddBackslash(directory) + name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (::FindNextFileA(find.Get(), &found));
  return entries;
}

void DeleteDirTree(const std::string& directory) {
  // Files first, then the folders depth-first, then the directory itself.
  const std::vector<DirEntry> entries = FindEntries(AddBackslash(directory) + "*.*");
  for (const DirEntry& entry : entries) {
    if (!entry.directory) DeleteFileForced(entry.path);
  }
  for (const DirEntry& entry : entries) {
    if (!entry.directory) continue;
    if (entry.link)
      ::RemoveDirectoryA(entry.path.c_str());
    else
      DeleteDirTree(entry.path);
  }
  ::RemoveDirectoryA(RemoveBackslash(directory).c_str());
}

void LocateSettingsFile() {
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
