// Stands in for an installed program: records that it was started, and from
// which directory, in "started.txt" beside itself, then ends.
#include "system/win.h"

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char exe[MAX_PATH] = {};
  char current[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  GetCurrentDirectoryA(sizeof current, current);
  std::string record = exe;
  record = record.substr(0, record.rfind('\\') + 1) + "started.txt";
  const HANDLE file = CreateFileA(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, current, static_cast<DWORD>(std::string(current).size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
