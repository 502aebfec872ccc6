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

namespace {

std::wstring Wide(const std::string& text, UINT codePage) {
  const int size = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0)), L'\0');
  if (!wide.empty()) MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], static_cast<int>(wide.size()));
  return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage) {
  const int size = static_cast<int>(wide.size());
  std::string text(
      static_cast<std::size_t>(WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr)),
      '\0');
  if (!text.empty()) {
    WideCharToMultiByte(codePage, 0, wide.data(), size, &text[0], static_cast<int>(text.size()), nullptr, nullptr);
  }
  return text;
}

}  // namespace

std::string ArgumentToUtf8(const std::string& argument) { return Narrow(Wide(argument, CP_ACP), CP_UTF8); }

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

std::string NameAsListed(const std::filesystem::path& name) { return Narrow(name.wstring(), CP_ACP); }

std::string TerminalText(const std::string& cp1252) {
  // A console shows its own code page (the OEM one, 850 in Germany).
  if (!IsTerminal(stdout)) return cp1252;
  return Narrow(Wide(cp1252, CP_ACP), GetConsoleOutputCP());
}

unsigned ForEachOnAllCores(std::size_t count, const std::function<void(std::size_t)>& work) {
  for (std::size_t i = 0; i < count; ++i) work(i);
  return 1;
}

}  // namespace hzpack
