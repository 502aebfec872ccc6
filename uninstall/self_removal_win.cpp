#include "uninstall/self_removal.h"

#include "system/helpers.h"
#include "system/handles.h"
#include "system/os_error.h"
#include "uninstall/program_dir.h"

namespace {

constexpr DWORD kTempPathBuffer = 260;
// GetTempFileNameA appends up to 14 characters to the folder.
constexpr DWORD kTempNameRoom = 14;

// The text in the OEM code page; false when a character has no OEM form, that
// is when the conversion back does not give the same characters (the system
// silently maps such a character to a look-alike or to "?").
bool ToOem(const std::string& ansi, std::string& oem) {
  oem.clear();
  if (ansi.empty()) return true;
  const int size = static_cast<int>(ansi.size());
  std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0)), L'\0');
  if (wide.empty()) return false;
  ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, &wide[0], static_cast<int>(wide.size()));
  BOOL usedDefault = FALSE;
  const int wideSize = static_cast<int>(wide.size());
  oem.resize(static_cast<std::size_t>(
      ::WideCharToMultiByte(CP_OEMCP, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr)));
  if (oem.empty()) return false;
  ::WideCharToMultiByte(CP_OEMCP, 0, wide.data(), wideSize, &oem[0], static_cast<int>(oem.size()), nullptr,
                        &usedDefault);
  std::wstring back(wide.size() + 1, L'\0');
  back.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_OEMCP, 0, oem.data(), static_cast<int>(oem.size()),
                                                             &back[0], static_cast<int>(back.size()))));
  return !usedDefault && back == wide;
}

[[noreturn]] void Raise(DWORD code) { throw EOSError(code); }

}  // namespace

std::string MakeTempName() {
  char dir[kTempPathBuffer] = {};
  const DWORD length = ::GetTempPathA(kTempPathBuffer, dir);
  if (length == 0) RaiseLastOSError();
  // Windows refuses a folder with no room for the name; Wine writes a garbled
  // name or crashes instead, so refuse it here.
  if (length >= kTempPathBuffer || length > MAX_PATH - kTempNameRoom) Raise(ERROR_FILENAME_EXCED_RANGE);
  char name[MAX_PATH] = {};
  if (!::GetTempFileNameA(dir, "$", 0, name)) RaiseLastOSError();
  return name;
}

std::string BatchFilePath(const std::string& path) {
  std::string oem;
  if (ToOem(path, oem)) return oem;
  std::string shortOem;
  const std::string shortPath = ShortPathName(path);
  if (!shortPath.empty() && ToOem(shortPath, shortOem)) return shortOem;
  return oem;  // the nearest the interpreter can read
}

std::string StartSelfRemoval(const std::string& programPath) {
  const std::string tempName = MakeTempName();
  const std::string scriptPath = SelfRemovalScriptPath(tempName);
  // A read-only program file would stay for ever.
  ::SetFileAttributesA(programPath.c_str(), FILE_ATTRIBUTE_NORMAL);

  kv::FileHandle file(::CreateFileA(scriptPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) RaiseLastOSError();
  std::string text;
  for (const std::string& line :
       SelfRemovalLines(BatchFilePath(programPath), BatchFilePath(RemoveBackslash(ExtractFilePath(programPath))),
                        BatchFilePath(scriptPath)))
    text += line + "\r\n";
  DWORD written = 0;
  const bool ok = ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != FALSE;
  if (!ok || written != text.size()) {
    const DWORD error = ok ? ERROR_DISK_FULL : ::GetLastError();
    file.Reset();
    ::DeleteFileA(scriptPath.c_str());  // half a script must not run
    Raise(error);
  }
  file.Reset();  // closed before the interpreter opens it

  // The interpreter expands a defined "%NAME%" on its command line, and
  // splits it at a blank or acts on "&" and "^": a temporary folder named so
  // would start another file. So the command names no folder: the script is
  // started from its own folder, which also frees the program directory.
  // ".\" keeps the system from looking in the program's directory first.
  const auto fail = [&](DWORD error) {
    ::DeleteFileA(scriptPath.c_str());  // a script that never runs is litter
    Raise(error);
  };
  if (!::SetCurrentDirectoryA(ExtractFilePath(scriptPath).c_str())) fail(::GetLastError());
  const UINT started = ::WinExec(("\".\\" + ExtractFileName(scriptPath) + "\"").c_str(), SW_HIDE);
  // Above 31 it started; below, the system's reason (0: out of resources).
  if (started <= 31) fail(started == 0 ? ERROR_NOT_ENOUGH_MEMORY : started);
  return scriptPath;
}
