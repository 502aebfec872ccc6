// The removal of an installation, watched or unattended.
#include "uninstall/removal.h"

#include "engine/install_log.h"
#include "system/helpers.h"
#include "system/process_values.h"
#include "system/program_end.h"
#include "system/seam.h"
#include "system/setup_list.h"
#include "uninstall/listed_files.h"
#include "uninstall/progress_window.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall_entries.h"

namespace {

constexpr unsigned kPauseAfterFileMs = 700;

// The answers of an administrator who started the run with "/s" and sees
// none of it: no progress, no pause, and the program directory goes only
// when nothing of the user's is in it, for nobody has seen what is left.
class UnattendedAnswers final : public UninstallAnswers {
public:
  bool Watched() const override { return false; }
  ProgramDirFate FateOfProgramDir(const std::string& programDir) override {
    return UnattendedProgramDirFate(DirTreeEntries(AddBackslash(programDir) + "*.*", true), programDir,
                                    ExtractFileName(GetAppPath()));
  }
};

}  // namespace

void RemoveInstallation(StepTree& steps, UninstallAnswers& answers) {
  const bool watched = answers.Watched();
  const std::string log = ExeDir + "install1.log";
  const std::vector<std::string> files = ReadInstalledFiles(log);
  if (watched) TheProgressWindow->ShowForDeletion(static_cast<int>(files.size()));
  const std::string programDir =
      ChooseProgramDir(files.empty() ? "" : files.front(), ExeDir, SystemProtectedFolders());
  ListedFileLookup lookup(ListedFileFoldersOf(ExeDir, programDir.empty()));
  std::vector<std::string> programFiles;  // looked for again at the end

  steps.SelectStep(stDeleteFiles);
  for (const std::string& file : files) {
    if (watched) TheProgressWindow->ShowFile(file);
    const LocatedFile located = lookup.Locate(file);
    if (located.place == ListedFilePlace::Elsewhere) continue;
    if (located.place == ListedFilePlace::ProgramDir) programFiles.push_back(located.diskPath);
    RemoveListedFile(located);
    if (watched) DelayMs(seam::UninstallPausesSkipped() ? 0 : kPauseAfterFileMs);
  }
  StartMenuFolder = ReadListString(ProfileOf(log), "StartMenu", "Folder", "");
  UserProfileDir = ReadListString(ProfileOf(log), "BenutzerKonto", "UserName", "");
  TheProgressWindow->Hide();

  DeleteUninstallKey(StartMenuFolder);
  RemoveGroupAndShortcuts(GroupName, ShortcutName, UserProfileDir, programDir);

  steps.SelectStep(stAskForData);
  const ProgramDirFate fate = programDir.empty() ? ProgramDirFate::Stays : answers.FateOfProgramDir(programDir);
  if (fate == ProgramDirFate::Goes) DeleteDirTree(programDir);
  if (fate == ProgramDirFate::KeepsUsersFiles) ::DeleteFileA(log.c_str());
  if (fate != ProgramDirFate::Stays) StartSelfRemoval(GetAppPath());
  // The exit code tells a script what the closing message does not.
  CopyErrors = AnythingLeft(programFiles, fate == ProgramDirFate::Goes ? programDir : "");
  steps.SelectStep(stGoal);
}

void RemoveUnattended(StepTree& steps) {
  UnattendedAnswers answers;
  try {
    steps.SelectStep(stSecurityQuestion);
    RemoveInstallation(steps, answers);
  } catch (...) {
    // Nobody is there to read an error box, and it would keep the run waiting.
    EndProgram(ecFilesGivenUp);
  }
}
