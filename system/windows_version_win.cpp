// Facts about the running Windows: version, administrator
// rights, and the profile and special folders.
#include "system/helpers.h"
#include "system/administrator.h"
#include "system/handles.h"
#include "system/registry.h"
#include "system/seam.h"

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kVersionInfoSize = 148;  // OSVERSIONINFOA, the structure Windows 95 knows
static_assert(sizeof(OSVERSIONINFOA) == kVersionInfoSize, "version structure size");
constexpr DWORD kWindowsDirBuffer = 144;
constexpr DWORD kLoginNameBuffer = 256;
constexpr DWORD kSpecialFolderBuffer = 261;
constexpr char kProfilesFallback[] = "C:\\Dokumente und Einstellungen";

bool QueryWindowsVersion(OSVERSIONINFOA& info) {
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = kVersionInfoSize;
  if (const SimulatedWindowsVersion* simulated = seam::SimulatedVersion()) {
    info.dwPlatformId = simulated->platformId;
    info.dwMajorVersion = simulated->major;
    info.dwMinorVersion = simulated->minor;
    std::strncpy(info.szCSDVersion, simulated->csdVersion.c_str(), sizeof info.szCSDVersion - 1);
    return true;
  }
  return ::GetVersionExA(&info) != FALSE;
}

bool TokenListsAdministrators(HANDLE token) {
  DWORD needed = 0;
  if (::GetTokenInformation(token, TokenGroups, nullptr, 0, &needed) ||
      ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return false;
  std::vector<BYTE> buffer(needed);
  if (!::GetTokenInformation(token, TokenGroups, buffer.data(), needed, &needed)) return false;
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  return GroupsListAdministrators(groups->Groups, groups->GroupCount);
}

}  // namespace

bool GroupsListAdministrators(const SID_AND_ATTRIBUTES* groups, std::size_t count) {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  kv::AllocatedSid administrators;
  if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                  0, 0, 0, administrators.Receive()))
    return false;
  for (std::size_t i = 0; i < count; ++i) {
    if (::EqualSid(groups[i].Sid, administrators.Get())) return true;
  }
  return false;
}

std::string GetWindowsVersionName() {
  OSVERSIONINFOA info;
  return QueryWindowsVersion(info) ? WindowsVersionNameOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                                                         info.szCSDVersion)
                                    : WindowsVersionNames().back();
}

bool IsWindowsNT() {
  OSVERSIONINFOA info;
  return QueryWindowsVersion(info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool IsAdministrator() {
  if (!IsWindowsNT() || seam::RestrictedAccountSimulated()) return false;
  kv::KernelHandle token;
  if (!::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.Receive())) {
    if (::GetLastError() != ERROR_NO_TOKEN) return false;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return false;
  }
  return TokenListsAdministrators(token.Get());
}

std::string GetProfilesDirectory() {
  const char* const keyPath = GetWindowsVersionName() == "Windows XP" || IsWindowsNT()
                                  ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList"
                                  : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProfileList";
  std::string result;
  if (kv::RegKey key = OpenMachineKey(keyPath, false)) {
    // Only the system drive is put in; no other variable is expanded.
    result = ReplaceAll(ReadRegString(key.Get(), "ProfilesDirectory"), "%SystemDrive%", GetWindowsDir().substr(0, 2),
                        true);
  }
  // Blank means unusable; anything else is returned as read, untrimmed.
  for (unsigned char c : result)
    if (c > ' ') return result;
  return kProfilesFallback;
}

std::string GetUserLoginName() {
  char buffer[kLoginNameBuffer] = {};
  DWORD size = kLoginNameBuffer - 1;
  if (!::GetUserNameA(buffer, &size) || size == 0 || buffer[0] == '\0') return "All Users";
  return buffer;
}

std::string GetWindowsDir() {
  char buffer[kWindowsDirBuffer] = {};
  const UINT length = ::GetWindowsDirectoryA(buffer, kWindowsDirBuffer);
  if (length == 0 || length >= kWindowsDirBuffer) return {};
  return std::string(buffer, length);
}

std::string GetSpecialFolder(int csidl) {
  kv::Pidl pidl;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, pidl.Receive()))) return {};
  char buffer[kSpecialFolderBuffer] = {};
  if (!::SHGetPathFromIDListA(pidl.Get(), buffer)) return {};
  return buffer;
}
