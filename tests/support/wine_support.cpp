#include "tests/support/wine_support.h"

#include "system/Data.h"
#include "system/Kv_tools.h"
#include "system/handles.h"

#include <stdexcept>
#include <vector>

namespace wine_test {
namespace {

HKEY Root(void* root) { return static_cast<HKEY>(root); }

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what + " failed, error " + std::to_string(::GetLastError()));
}

bool KeyExists(HKEY root, const std::string& key) {
  kv::RegKey k;
  return ::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, k.Receive()) == ERROR_SUCCESS;
}

// Removes everything, unlike the program's DeleteDirTree, which leaves
// folders whose names begin with a dot (a test makes one on purpose).
void RemoveTree(const std::string& directory) {
  WIN32_FIND_DATAA entry;
  {
    kv::FindHandle find(::FindFirstFileA((AddBackslash(directory) + "*").c_str(), &entry));
    if (find) {
      do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = AddBackslash(directory) + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveTree(path);
        else
          DeleteFileForced(path);
      } while (::FindNextFileA(find.Get(), &entry));
    }
  }
  ::RemoveDirectoryA(RemoveBackslash(directory).c_str());
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

TempDir::TempDir(const std::string& name) {
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(MAX_PATH, temp);
  // Wine reuses process ids from run to run: clear what an earlier run left.
  path_ = AddBackslash(temp) + name + "." + std::to_string(::GetCurrentProcessId()) + "\\";
  RemoveTree(path_);
  Check(ForceDirectories(path_), "create " + path_);
}

TempDir::~TempDir() { RemoveTree(path_); }

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  kv::FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
  Check(static_cast<bool>(file), "create " + path);
  DWORD written = 0;
  Check(::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size(),
        "write " + path);
}


}  // namespace wine_test
