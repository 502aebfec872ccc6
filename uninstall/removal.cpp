// The removal of an installation, watched or unattended.
#include "uninstall/removal.h"

#include "engine/install_log.h"
#include "engine/shared_file.h"
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

RemovalEnd RemoveInstallation(StepTree& steps, UninstallAnswers& answers) {
  const bool watched = answers.Watched();
  const std::string log = ExeDir + "install1.log";
  const std::vector<std::string> files = ReadInstalledFiles(log);
  if (watched) TheProgressWindow->ShowForDeletion(static_cast<int>(files.size()));
  const std::string programDir =
      ChooseProgramDir(files.empty() ? "" : files.front(), ExeDir, SystemProtectedFolders());
  ListedFileLookup lookup(ListedFileFoldersOf(ExeDir, programDir.empty()));
  std::vector<ListedFileAfter> listed;

  steps.SelectStep(stDeleteFiles);
  for (const std::string& file : files) {
    if (watched) TheProgressWindow->ShowFile(file);
    const LocatedFile located = lookup.Locate(file);
    listed.push_back(RemoveListedFile(located));
    if (watched && located.place != ListedFilePlace::Elsewhere)
      DelayMs(seam::UninstallPausesSkipped() ? 0 : kPauseAfterFileMs);
  }
  StartMenuFolder = ReadListString(ProfileOf(log), "StartMenu", "Folder", "");
  UserProfileDir = ReadListString(ProfileOf(log), "BenutzerKonto", "UserName", "");
  const RemovalEnd end = EndOfRemoval(listed, ReleaseRecordedSharedFiles(StartMenuFolder));
  TheProgressWindow->Hide();

  // What stays keeps the means to remove it: the entry, the uninstaller and
  // a log of just what stays.
  const bool finishLater = !end.staying.empty();
  if (finishLater) {
    KeepInLog(log, end.staying);
  } else {
    ForgetSharedFileRecords(StartMenuFolder);
    DeleteUninstallKey(StartMenuFolder);
  }
  RemoveGroupAndShortcuts(GroupName, ShortcutName, UserProfileDir, programDir);

  steps.SelectStep(stAskForData);
  const ProgramDirFate fate =
      programDir.empty() || finishLater ? ProgramDirFate::Stays : answers.FateOfProgramDir(programDir);
  if (fate == ProgramDirFate::Goes) DeleteDirTree(programDir);
  if (fate == ProgramDirFate::KeepsUsersFiles) ::DeleteFileA(log.c_str());
  if (fate != ProgramDirFate::Stays) StartSelfRemoval(GetAppPath());
  // The exit code tells a script what the closing message does not.
  CopyErrors = !end.complete || AnythingLeft(fate == ProgramDirFate::Goes ? programDir : "");
  steps.SelectStep(stGoal);
  return end;
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
