#include "uninstall/Funinstl.h"

#include "engine/install_log.h"
#include "system/Data.h"
#include "system/Kv_tools.h"
#include "system/dialogs.h"
#include "system/program_end.h"
#include "system/seam.h"
#include "system/setup_list.h"
#include "uninstall/Fprogrs.h"
#include "uninstall/fAsk.h"
#include "uninstall/listed_files.h"
#include "uninstall/program_dir.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall_entries.h"

#include <exception>

namespace {

using form::Kind;

// The step tree's nodes in uninstall mode.
enum Step { stSecurityQuestion = 1, stDeleteFiles = 2, stAskForData = 3, stGoal = 4 };
constexpr unsigned kPauseAfterFileMs = 700;

const form::Design kForm{"Tf_Uninstal", "Deinstallation", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
                         559, 342, {{"MS Sans Serif", 14, true}}};
const form::Look kTextLook{{"Arial", 13}};
const form::Look kInfoLook{{"MS Sans Serif", 13, true}};
const form::Look kButtonLook{{"MS Sans Serif", 15}};

// Ends the modal run with Abort when a failure leaves the run: the error box
// shows it, and the hidden window must not keep the program waiting unseen.
class EndRunOnFailure {
public:
  explicit EndRunOnFailure(form::FormBase& window) : window_(window), exceptions_(std::uncaught_exceptions()) {}
  ~EndRunOnFailure() {
    if (std::uncaught_exceptions() > exceptions_) window_.SetModalResult(form::mrAbort);
  }
  EndRunOnFailure(const EndRunOnFailure&) = delete;
  EndRunOnFailure& operator=(const EndRunOnFailure&) = delete;

private:
  form::FormBase& window_;
  int exceptions_;
};

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

using C = Tf_Uninstal;
const form::Control<C> Tf_Uninstal::kControls[] = {
    {&C::Bevel1, Kind::Bevel, "", 0, 18, 18, 527, 263},
    {&C::Image1, Kind::Icon, "NOCOMPUTER", 0, 32, 40, 41, 40},
    {&C::Label1, Kind::Label,
     "Bitte drücken Sie die Taste \"Weiter\" um das Programm zu deinstalieren oder drücken Sie die Taste "
     "\"Beenden\" um den Deinstallationsvorgang abzubrechen.",
     SS_LEFT, 80, 37, 441, 88, &kTextLook},
    {&C::lbInfo, Kind::Label, "", SS_LEFT, 34, 236, 495, 29, &kInfoLook},
    {&C::Button1, Kind::Button, "&Weiter >>", 0, 18, 296, 90, 32, &kButtonLook, nullptr, &C::Button1Click},
    {&C::Button2, Kind::Button, "&Beenden", 0, 115, 296, 89, 32, &kButtonLook, nullptr, &C::Button2Click},
};

Tf_Uninstal::Tf_Uninstal(HWND owner, StepTree& steps) : steps_(steps) { Create(kForm, kControls, owner); }

void Tf_Uninstal::FormCreate() { SetText(lbInfo, GetAppPath()); }

void Tf_Uninstal::Button1Click() {
  steps_.SelectStep(stSecurityQuestion);
  if (MessageDlg("Sind Sie sicher, daß Sie das Programm entfernen wollen?", DialogKind::Confirmation,
                 dbYes | dbNo) == IDNO)
    return;
  const EndRunOnFailure endRun(*this);
  Hide();
  RemoveInstallation(steps_, *this);
  MessageDlg("Das Programm wurde deinstalliert!", DialogKind::Information, dbOK);
  SetModalResult(form::mrOK);
}

ProgramDirFate Tf_Uninstal::FateOfProgramDir(const std::string& programDir) {
  Tf_Ask ask(Handle());
  ask.SetQuestion("Soll das Programmverzeichnis " + programDir +
                  " vollständig, d.h. mit evtl. von Ihnen angelegten Unterverzeichnissen und Dateien, gelöscht werden?");
  ask.SetFiles(ProgramDirListing(programDir));
  return ask.ShowModal(Handle()) == form::mrOK ? ProgramDirFate::Goes : ProgramDirFate::Stays;
}

void RemoveInstallation(StepTree& steps, UninstallAnswers& answers) {
  const bool watched = answers.Watched();
  const std::string log = ExeDir + "install1.log";
  const std::vector<std::string> files = ReadInstalledFiles(log);
  if (watched) f_Progress->ShowForDeletion(static_cast<int>(files.size()));
  const std::string programDir =
      ChooseProgramDir(files.empty() ? "" : files.front(), ExeDir, SystemProtectedFolders());
  const ListedFileFolders folders = ListedFileFoldersOf(ExeDir, programDir.empty());
  std::vector<std::string> programFiles;  // looked for again at the end

  steps.SelectStep(stDeleteFiles);
  for (const std::string& file : files) {
    if (watched) f_Progress->ShowFile(file);
    const ListedFilePlace place = PlaceOfListedFile(file, folders);
    if (place == ListedFilePlace::Elsewhere) continue;
    if (place == ListedFilePlace::ProgramDir) programFiles.push_back(file);
    RemoveListedFile(file, place);
    if (watched) DelayMs(seam::UninstallPausesSkipped() ? 0 : kPauseAfterFileMs);
  }
  StartMenuFolder = ReadListString(ProfileOf(log), "StartMenu", "Folder", "");
  UserProfileDir = ReadListString(ProfileOf(log), "BenutzerKonto", "UserName", "");
  f_Progress->Hide();

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

void UninstallUnattended(StepTree& steps) {
  UnattendedAnswers answers;
  try {
    steps.SelectStep(stSecurityQuestion);
    RemoveInstallation(steps, answers);
  } catch (...) {
    // Nobody is there to read an error box, and it would keep the run waiting.
    EndProgram(ecFilesGivenUp);
  }
}

void Tf_Uninstal::Button2Click() { EndProgram(ecCancelled); }
