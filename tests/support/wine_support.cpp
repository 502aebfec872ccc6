#include "tests/support/wine_support.h"

#include "system/handles.h"

#include <stdexcept>
#include <vector>

namespace wine_test {
namespace {

HKEY Root(void* root) { return static_cast<HKEY>(root); }

const char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what + " failed, error " + std::to_string(::GetLastError()));
}

bool KeyExists(HKEY root, const std::string& key) {
  kv::RegKey k;
  return ::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, k.Receive()) == ERROR_SUCCESS;
}

}  // namespace

void SetRegString(void* root, const std::string& key, const std::string& name, const std::string& value) {
  kv::RegKey k;
  Check(::RegCreateKeyExA(Root(root), key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.Receive(), nullptr) ==
            ERROR_SUCCESS,
        "RegCreateKeyEx " + key);
  Check(::RegSetValueExA(k.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS,
        "RegSetValueEx " + name);
}

bool ReadRegString(void* root, const std::string& key, const std::string& name, std::string& value) {
  kv::RegKey k;
  if (::RegOpenKeyExA(Root(root), key.c_str(), 0, KEY_READ, k.Receive()) != ERROR_SUCCESS) {
    k.Release();
    return false;
  }
  char buffer[4096] = {};
  DWORD size = sizeof buffer - 1;
  DWORD type = 0;
  if (::RegQueryValueExA(k.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
      ERROR_SUCCESS)
    return false;
  value = buffer;
  return true;
}

void DeleteRegValue(void* root, const std::string& key, const std::string& name) {
  kv::RegKey k;
  if (::RegOpenKeyExA(Root(root), key.c_str(), 0, KEY_ALL_ACCESS, k.Receive()) == ERROR_SUCCESS)
    ::RegDeleteValueA(k.Get(), name.c_str());
  else
    k.Release();
}

std::optional<unsigned long> SharedCount(const std::string& path) {
  kv::RegKey k;
  DWORD value = 0, size = sizeof value, type = 0;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_READ, k.Receive()) != ERROR_SUCCESS ||
      ::RegQueryValueExA(k.Get(), path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

void SetSharedCount(const std::string& path, std::optional<unsigned long> count) {
  if (!count) return DeleteRegValue(HKEY_LOCAL_MACHINE, kSharedDlls, path);
  kv::RegKey k;
  const DWORD value = *count;
  Check(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, k.Receive(),
                          nullptr) == ERROR_SUCCESS &&
            ::RegSetValueExA(k.Get(), path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                             sizeof value) == ERROR_SUCCESS,
        "SetSharedCount " + path);
}

ScopedRegString::ScopedRegString(void* root, std::string key, std::string name, const char* value)
    : root_(root), key_(std::move(key)), name_(std::move(name)) {
  keyExisted_ = KeyExists(Root(root_), key_);
  existed_ = ReadRegString(root_, key_, name_, old_);
  if (value)
    SetRegString(root_, key_, name_, value);
  else
    DeleteRegValue(root_, key_, name_);
}

ScopedRegString::~ScopedRegString() {
  if (existed_)
    SetRegString(root_, key_, name_, old_);
  else if (keyExisted_)
    DeleteRegValue(root_, key_, name_);
  else
    ::RegDeleteKeyA(Root(root_), key_.c_str());
}

void SetReportedVersion(const std::string& exeName, const std::string& version) {
  const std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
  if (version.empty())
    DeleteRegValue(HKEY_CURRENT_USER, key, "Version");
  else
    SetRegString(HKEY_CURRENT_USER, key, "Version", version);
}

RunResult Run(const std::string& commandLine, const std::string& workDir, unsigned timeoutMs) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  kv::KernelHandle readEnd, writeEnd;
  Check(::CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0) != FALSE, "CreatePipe");
  ::SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd.Get();
  startup.hStdError = writeEnd.Get();
  PROCESS_INFORMATION process = {};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  Check(::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         workDir.empty() ? nullptr : workDir.c_str(), &startup, &process) != FALSE,
        "CreateProcess " + commandLine);
  kv::KernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
  writeEnd.Reset();  // the child holds the only write end now, so reading ends with it

  RunResult result;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(readEnd.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) result.output.append(buffer, got);
  if (::WaitForSingleObject(processHandle.Get(), timeoutMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(processHandle.Get(), 99);
    throw std::runtime_error("timed out: " + commandLine);
  }
  DWORD code = 0;
  ::GetExitCodeProcess(processHandle.Get(), &code);
  result.exitCode = static_cast<int>(code);
  return result;
}

kv::FileHandle HoldOpen(const std::string& path) {
  return kv::FileHandle(
      ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace wine_test
