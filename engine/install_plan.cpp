#include "engine/install_plan.h"

#include "engine/ascii_case.h"
#include "engine/compressed_name.h"
#include "system/Kv_tools.h"

namespace {

// The files listed for one Windows version. Its key is matched as the
// profile functions match keys: without regard to letter case, the first
// line wins.
std::vector<std::string> SystemFiles(const InstallList& list, const std::string& versionName) {
  std::vector<std::string> names;
  for (const auto& [key, value] : list.systemDepended) {
    if (AsciiLowerCase(key) != AsciiLowerCase(versionName)) continue;
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
  if (name.find(':') != std::string::npos) return true;
  if (!name.empty() && (name.front() == '\\' || name.front() == '/')) return true;
  std::string::size_type start = 0;
  for (;;) {
    const std::string::size_type end = name.find_first_of("\\/", start);
    const std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!part.empty() && part.find_first_not_of(". ") == std::string::npos) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

InstallPlan PlanInstall(const InstallList& list, const std::string& installPath, const std::string& windowsDir,
                        const std::string& windowsVersionName) {
  const std::string installDir = AddBackslash(installPath);
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
  }
  for (const std::string& name : list.windowsFiles) add(name, name, AddBackslash(windowsDir)).shared = true;
  for (const std::string& name : SystemFiles(list, windowsVersionName)) add(name, name, installDir);
  // The setup program, looked up under this name whatever the letter case of
  // its own, stays behind as the uninstaller.
  add("Setup.exe", "Uninstal.exe", installDir);
  return plan;
}

FileTurn TurnOf(const PlannedFile& file, bool sampleDatabaseExists) {
  if (file.step == PlannedFile::Step::Refuse) return FileTurn::Refuse;
  return file.sample && sampleDatabaseExists ? FileTurn::KeepSample : FileTurn::Place;
}
