#include "uninstall/uninstall_window.h"

#include "system/helpers.h"
#include "system/dialogs.h"
#include "system/program_end.h"
#include "uninstall/directory_question.h"

#include <exception>

namespace {

using form::Kind;


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

}  // namespace

using C = UninstallWindow;
const form::Control<C> UninstallWindow::kControls[] = {
    {&C::frame_, Kind::Bevel, "", 0, 18, 18, 527, 263},
    {&C::icon_, Kind::Icon, "NOCOMPUTER", 0, 32, 40, 41, 40},
    {&C::prompt_, Kind::Label,
     "Bitte drücken Sie die Taste \"Weiter\" um das Programm zu deinstalieren oder drücken Sie die Taste "
     "\"Beenden\" um den Deinstallationsvorgang abzubrechen.",
     SS_LEFT, 80, 37, 441, 88, &kTextLook},
    {&C::uninstallerPath_, Kind::Label, "", SS_LEFT, 34, 236, 495, 29, &kInfoLook},
    {&C::nextButton_, Kind::Button, "&Weiter >>", 0, 18, 296, 90, 32, &kButtonLook, nullptr, &C::StartRemoval},
    {&C::quitButton_, Kind::Button, "&Beenden", 0, 115, 296, 89, 32, &kButtonLook, nullptr, &C::Quit},
};

UninstallWindow::UninstallWindow(HWND owner, StepTree& steps) : steps_(steps) { Create(kForm, kControls, owner); }

void UninstallWindow::FormCreate() { SetText(uninstallerPath_, GetAppPath()); }

void UninstallWindow::StartRemoval() {
  steps_.SelectStep(stSecurityQuestion);
  if (MessageDlg("Sind Sie sicher, daß Sie das Programm entfernen wollen?", DialogKind::Confirmation,
                 dbYes | dbNo) == IDNO)
    return;
  const EndRunOnFailure endRun(*this);
  Hide();
  const RemovalEnd end = RemoveInstallation(steps_, *this);
  if (end.staying.empty())
    MessageDlg("Das Programm wurde deinstalliert!", DialogKind::Information, dbOK);
  else
    MessageDlg(UnfinishedRemovalText(end.staying), DialogKind::Warning, dbOK);
  SetModalResult(form::mrOK);
}

ProgramDirFate UninstallWindow::FateOfProgramDir(const std::string& programDir) {
  DirectoryQuestion ask(Handle());
  ask.SetQuestion("Soll das Programmverzeichnis " + programDir +
                  " vollständig, d.h. mit evtl. von Ihnen angelegten Unterverzeichnissen und Dateien, gelöscht werden?");
  ask.SetFiles(ProgramDirListing(programDir));
  return ask.ShowModal(Handle()) == form::mrOK ? ProgramDirFate::Goes : ProgramDirFate::Stays;
}

void UninstallWindow::Quit() { EndProgram(ecCancelled); }
