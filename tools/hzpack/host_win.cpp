#include "tools/hzpack/host.h"

#include "system/win.h"

#include <io.h>
#include <vector>

namespace hzpack {

std::filesystem::path OwnDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), length)).parent_path();
    buffer.resize(buffer.size() * 2);
  }
}

std::string ArgumentToUtf8(const std::string& argument) {
  const int ansiSize = static_cast<int>(argument.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, argument.data(), ansiSize, nullptr, 0)),
                    L'\0');
  if (!wide.empty()) {
    MultiByteToWideChar(CP_ACP, 0, argument.data(), ansiSize, &wide[0], static_cast<int>(wide.size()));
  }
  const int size = static_cast<int>(wide.size());
  std::string utf8(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0,
                                                                nullptr, nullptr)),
                   '\0');
  if (!utf8.empty()) {
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
  }
  return utf8;
}

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

unsigned ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work) {
  for (std::size_t i = 0; i < count; ++i) work(i);
  return 1;
}

}  // namespace hzpack
