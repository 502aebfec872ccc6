#include "system/helpers.h"
#include "system/win.h"

std::string AnsiUpperCase(const std::string& text) {
  std::string result = text;
  if (!result.empty()) ::CharUpperBuffA(&result[0], static_cast<DWORD>(result.size()));
  return result;
}
