#include "system/registry.h"
#include "system/seam.h"

#include <vector>

namespace {

// Key paths are written absolute ("\Software\..."); the API wants them relative.
std::string Relative(const std::string& subkey) {
  return !subkey.empty() && subkey.front() == '\\' ? subkey.substr(1) : subkey;
}

// The registry functions report their error as the result, not through
// GetLastError.
kv::RegKey Opened(kv::RegKey key, LONG result) {
  if (result != ERROR_SUCCESS) ::SetLastError(static_cast<DWORD>(result));
  return key;
}

}  // namespace

kv::RegKey OpenMachineKey(const std::string& subkey, bool create) {
  if (seam::RestrictedAccountSimulated()) {
    // What Windows answers an account without administrative rights.
    ::SetLastError(ERROR_ACCESS_DENIED);
    return {};
  }
  const std::string relative = Relative(subkey);
  kv::RegKey key;
  const LONG result =
      create ? ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, relative.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr)
             : ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, relative.c_str(), 0, KEY_ALL_ACCESS, key.Receive());
  return Opened(std::move(key), result);
}

kv::RegKey OpenMachineKeyToRead(const std::string& subkey) {
  return OpenKey(HKEY_LOCAL_MACHINE, Relative(subkey), KEY_READ);
}

kv::RegKey OpenKey(HKEY parent, const std::string& subkey, REGSAM access) {
  kv::RegKey key;
  const LONG result = ::RegOpenKeyExA(parent, subkey.c_str(), 0, access, key.Receive());
  return Opened(std::move(key), result);
}

std::string ReadRegString(HKEY key, const std::string& name) {
  DWORD type = 0;
  DWORD size = 0;
  if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) return {};
  std::vector<char> buffer(size + 1, '\0');
  if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
      ERROR_SUCCESS)
    return {};
  return std::string(buffer.data());  // stored strings may or may not carry their terminating zero
}

bool WriteRegString(HKEY key, const std::string& name, const std::string& value) {
  return ::RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool WriteRegDword(HKEY key, const std::string& name, unsigned long value) {
  const DWORD data = value;
  return ::RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) ==
         ERROR_SUCCESS;
}
