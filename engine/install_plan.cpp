#include "engine/install_plan.h"

#include "system/ascii_case.h"
#include "engine/compressed_name.h"
#include "system/helpers.h"

#include <algorithm>

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

InstallList ReadInstallList(const ProfileReader& list) {
  return {ReadNumberedList(list, "programfiles"), ReadNumberedList(list, "Windows"),
          ReadListSection(list, "SystemDepended")};
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
  auto add = [&plan](const std::string& source, const std::string& target, const std::string& dir) -> PlannedFile& {
    PlannedFile file;
    file.sourceName = source;
    file.targetName = target;
    file.destinationDir = dir;
    file.installedName = MapCompressedName(target);
    file.logNumber = static_cast<int>(plan.files.size()) + 1;
    if (LeavesDestination(target)) file.step = PlannedFile::Step::Refuse;
    plan.files.push_back(file);
    return plan.files.back();
  };

  for (const std::string& name : list.programFiles) {
    const bool first = plan.files.empty();
    PlannedFile& file = add(name, name, installDir);
    if (first) {
      file.mainProgram = true;
      if (file.step != PlannedFile::Step::Refuse) plan.mainProgFile = MapCompressedName(installDir + name);
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
  if (file.step == PlannedFile::Step::Refuse) return FileTurn::Refuse;
  return file.sample && sampleDatabaseExists ? FileTurn::KeepSample : FileTurn::Place;
}
