#include "system/os_error.h"
#include "system/win.h"

std::string SysErrorMessage(unsigned long code) {
  char buffer[512] = {};
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        buffer, sizeof buffer, nullptr);
  std::string text(buffer, length);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.')) text.pop_back();
  if (text.empty()) text = "Systemfehler " + std::to_string(code);
  return text;
}

EOSError::EOSError(unsigned long code) : std::runtime_error(SysErrorMessage(code)), code_(code) {}

void RaiseLastOSError() { throw EOSError(::GetLastError()); }
