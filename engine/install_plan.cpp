#include "engine/install_plan.h"

#include "system/ascii_case.h"
#include "engine/compressed_name.h"
#include "system/helpers.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

bool SameKey(const std::string& key, const std::string& versionName) {
  return AsciiLowerCase(key) == AsciiLowerCase(versionName);
}

// The files listed for one Windows version. Its key is matched as the
// profile functions match keys: without regard to letter case, the first
// line wins.
std::vector<std::string> SystemFiles(const InstallList& list, const std::string& versionName) {
  std::vector<std::string> names;
  for (const auto& [key, value] : list.systemDepended) {
    if (!SameKey(key, versionName)) continue;
    const int count = CountFields(';', value);
    for (int k = 1; k <= count; ++k) names.push_back(GetField(';', value, k));
    break;
  }
  return names;
}

bool IsSampleFile(const std::string& name) { return AsciiLowerCase(name).find("beispiel.") != std::string::npos; }

}  // namespace

std::string ChecksumValue(const MediumChecksum& checksum) {
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(checksum.crc));
  return std::string(hex) + ' ' + checksum.name;
}

std::optional<MediumChecksum> ParseChecksumValue(const std::string& value) {
  constexpr std::size_t kDigits = 8;
  if (value.size() < kDigits + 2 || value[kDigits] != ' ') return std::nullopt;
  const std::string hex = value.substr(0, kDigits);
  if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return std::nullopt;
  return MediumChecksum{value.substr(kDigits + 1), static_cast<std::uint32_t>(std::strtoul(hex.c_str(), nullptr, 16))};
}

namespace {

// A medium file's name as Windows finds it: letter case aside, "/" or "\\".
std::string MediumNameKey(std::string name) {
  std::replace(name.begin(), name.end(), '/', '\\');
  return AnsiUpperCase(name);
}

}  // namespace

bool SameMediumName(const std::string& a, const std::string& b) { return MediumNameKey(a) == MediumNameKey(b); }

std::string PathLimitFault(const std::string& installedPath) {
  if (installedPath.size() > kMaxFilePath)
    return std::to_string(installedPath.size()) + " characters, more than the " + std::to_string(kMaxFilePath) +
           " Windows takes for a path";
  const std::string folder = ExtractFilePath(installedPath);
  if (folder.size() > kMaxFolderPath + 1)  // with its backslash
    return "its folder has " + std::to_string(folder.size() - 1) + " characters, more than the " +
           std::to_string(kMaxFolderPath) + " Windows takes for a folder";
  return {};
}

InstallList ReadInstallList(const ProfileReader& list) {
  InstallList read{ReadNumberedList(list, "programfiles"), ReadNumberedList(list, "Windows"),
                   ReadListSection(list, "SystemDepended"), {}};
  for (const auto& [key, value] : ReadListSection(list, kChecksumSection)) {
    if (const auto checksum = ParseChecksumValue(value)) read.checksums.push_back(*checksum);
  }
  return read;
}

bool LeavesDestination(const std::string& name) {
  // An empty name is a missing entry, which the copy step reports.
  return !name.empty() && !StaysInsideFolder(name);
}

bool NamesWindowsVersion(const std::string& key) {
  const std::vector<std::string>& names = WindowsVersionNames();
  return std::any_of(names.begin(), names.end(), [&key](const std::string& name) { return SameKey(key, name); });
}

InstallPlan PlanInstall(const InstallList& list, const std::string& installPath, const std::string& windowsDir,
                        const std::string& windowsVersionName) {
  const std::string installDir = AddBackslash(installPath);
  const std::string windows = AddBackslash(windowsDir);
  // Whatever lands in the Windows directory goes by its use count, wherever
  // the list put it: an install directory there holds others' files too.
  const bool installDirShared = SameIgnoringAsciiCase(installDir.substr(0, windows.size()), windows);
  InstallPlan plan;
  // One look-up per file, whatever the length of the list.
  std::map<std::string, std::uint32_t> checksums;
  for (const MediumChecksum& c : list.checksums) checksums.emplace(MediumNameKey(c.name), c.crc);
  auto add = [&plan, &checksums](const std::string& source, const std::string& target,
                                 const std::string& dir) -> PlannedFile& {
    PlannedFile file;
    const auto given = checksums.find(MediumNameKey(source));
    if (given != checksums.end()) file.checksum = given->second;
    file.sourceName = source;
    file.targetName = target;
    file.destinationDir = dir;
    file.installedName = MapCompressedName(target);
    file.logNumber = static_cast<int>(plan.files.size()) + 1;
    if (LeavesDestination(target)) {
      file.step = PlannedFile::Step::Refuse;
    } else if (!PathLimitFault(file.InstalledPath()).empty()) {
      file.step = PlannedFile::Step::TooLong;
    }
    plan.files.push_back(file);
    return plan.files.back();
  };

  for (const std::string& name : list.programFiles) {
    const bool first = plan.files.empty();
    PlannedFile& file = add(name, name, installDir);
    if (first) {
      file.mainProgram = true;
      if (file.step == PlannedFile::Step::Place) plan.mainProgFile = MapCompressedName(installDir + name);
    }
    file.sample = IsSampleFile(name);
    file.shared = installDirShared;
  }
  for (const std::string& name : list.windowsFiles) add(name, name, windows).shared = true;
  for (const std::string& name : SystemFiles(list, windowsVersionName))
    add(name, name, installDir).shared = installDirShared;
  // The setup program, looked up under this name whatever the letter case of
  // its own, stays behind as the uninstaller.
  add("Setup.exe", "Uninstal.exe", installDir);
  return plan;
}

FileTurn TurnOf(const PlannedFile& file, bool sampleDatabaseExists) {
  if (file.step != PlannedFile::Step::Place) return FileTurn::Refuse;
  return file.sample && sampleDatabaseExists ? FileTurn::KeepSample : FileTurn::Place;
}
