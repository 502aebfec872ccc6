// libFuzzer target for the install plan: any setup list (the first byte
// says whether the sample database is there before the run) planned for the
// Windows version its [SystemDepended] names first. Every file the plan
// places resolves to a path inside its destination directory; and what the
// run places and logs, read back from the log as the uninstaller reads it,
// is judged to lie in the directory it went to, so the uninstaller removes it.
#include "system/ascii_case.h"
#include "engine/install_log.h"
#include "engine/install_plan.h"
#include "fuzz/fuzz_support.h"
#include "system/helpers.h"
#include "uninstall/listed_files.h"

#include <algorithm>
#include <map>

namespace {

using fuzz::Check;

constexpr char kInstallDir[] = "C:\\Programme\\Demo";
constexpr char kWindowsDir[] = "C:\\WINDOWS";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(data, data + size);
  // A zero ends a text for the profile functions; lists hold none.
  if (size == 0 || text.find('\0', 1) != std::string::npos) return 0;
  const InstallList list = ReadInstallList(ProfileOfText(text.substr(1)));
  const std::string version = list.systemDepended.empty() ? "Windows XP" : list.systemDepended.front().first;
  const InstallPlan plan = PlanInstall(list, kInstallDir, kWindowsDir, version);
  const bool sampleDatabaseThere = (data[0] & 1) != 0;

  // The log as the run writes it: one key per placed file, the path lower case.
  std::string log = "[InstalledFiles]\r\n";
  std::map<int, std::pair<std::string, ListedFilePlace>> logged;
  for (const PlannedFile& file : plan.files) {
    // An empty name (a number missing from its section) names the directory
    // itself: the copy fails and asks the user, nothing is placed.
    if (TurnOf(file, sampleDatabaseThere) != FileTurn::Place || file.installedName.empty()) continue;
    // Windows makes no file whose name holds a control character: the copy
    // fails and asks the user, nothing is placed or logged.
    if (std::any_of(file.installedName.begin(), file.installedName.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
      continue;
    const bool programDir = file.destinationDir == AddBackslash(kInstallDir);
    Check(programDir || file.destinationDir == AddBackslash(kWindowsDir), "a file goes to one of the two directories");
    Check(fuzz::ResolvesBelow(file.InstalledPath(), file.destinationDir),
          "a name the plan accepts stays inside its directory", file.InstalledPath());
    const std::string value = AsciiLowerCase(file.InstalledPath());
    log += InstalledFileKey(file.logNumber) + "=" + value + "\r\n";
    logged[file.logNumber] = {value, programDir ? ListedFilePlace::ProgramDir : ListedFilePlace::WindowsDir};
  }

  const std::vector<std::string> listed = ReadNumberedList(ProfileOfText(log), "InstalledFiles", "File");
  const ListedFileFolders folders{{kInstallDir}, false, {kWindowsDir}};
  for (std::size_t i = 0; i < listed.size(); ++i) {
    const auto entry = logged.find(static_cast<int>(i + 1));
    if (entry == logged.end()) continue;
    // The profile functions drop the blanks that end a value, as Windows
    // drops them from the name of the file it makes: the same file.
    const std::string& written = entry->second.first;
    Check(listed[i] == written.substr(0, written.find_last_not_of(' ') + 1),
          "the log reads back as the run wrote it", written);
    Check(PlaceOfListedFile(listed[i], "", folders) == entry->second.second,
          "what the run places and logs, the uninstaller removes", listed[i]);
  }
  return 0;
}
