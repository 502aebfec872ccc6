#include "system/run_log.h"

#include "system/handles.h"
#include "system/win.h"

#include <cstdio>

namespace {

kv::FileHandle g_runLog;

std::string TimeNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
  return text;
}

}  // namespace

bool OpenRunLog(const std::string& path) {
  // Shared for reading: an administrator may watch the account grow.
  g_runLog.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!g_runLog) return false;
  SYSTEMTIME now;
  GetLocalTime(&now);
  char date[16];
  std::snprintf(date, sizeof date, "%02u.%02u.%04u", now.wDay, now.wMonth, now.wYear);
  LogRun(std::string("Start am ") + date + ": " + GetCommandLineA());
  return true;
}

void LogRun(const std::string& text) {
  if (!g_runLog) return;
  const std::string entry = RunLogEntry(TimeNow(), text);
  DWORD written = 0;
  WriteFile(g_runLog.Get(), entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
}
