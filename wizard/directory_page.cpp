// The wizard's install-directory page: the live check of the typed path, the
// folder browser, mobile mode, the warning for accounts without administrator
// rights, and the checks Next runs before the shortcut page.
#include "wizard/install_wizard.h"

#include "system/process_values.h"
#include "system/helpers.h"
#include "system/dialogs.h"
#include "system/handles.h"
#include "system/program_end.h"
#include "system/run_log.h"
#include "wizard/install_dir.h"

#include <shlobj.h>

namespace {

bool IsVersionWithAccounts(const std::string& version, bool withVista) {
  return version == "Windows NT" || version == "Windows XP" || version == "Windows 2000" ||
         (withVista && version == "Windows Vista");
}

std::string NonAdministratorWarning(const std::string& version) {
  return "Das Setup-Programm hat festgestellt, dass Sie " + ProgName + " auf ein Betriebsystem (" +
         version + ") installieren " + "möchten, welches über eine Benutzerverwaltung verfügt, " +
         "jedoch besitzen Sie unter dem aktuell verwendeten Benutzerkonto " +
         "keine Administratorenrechte." + "\r\r" +
         "Dies kann evtl. dazu führen, dass sich das Programm nicht " +
         "in das standardmäßig vorgeschlagene Verzeichnis (" + DefaultPath +
         ") installieren lässt " + "(bitte versuchen Sie es aber zunächst)." + "\r\r" +
         "In diesem Falle können Sie das Programm in ein Verzeichnis " +
         "installieren, für das Sie über entsprechende Schreibrechte verfügen, z.B. " + "\"" +
         "Dokumente und Einstellungen" + "\"" + ". Bei Windows XP HOME ist dies die " +
         "einzige Möglichkeit, wenn Sie das Programm für einen Anwender mit " +
         "eingeschränkten Benutzerrechten installieren wollen." + "\r\r" +
         "Unter Windows NT, Windows 2000 und Windows XP Professional können Sie sich aber auch " +
         "als Administrator anmelden, das Programm installieren und dem betreffenden Benutzer " +
         "für das Installationsverzeichnis Lese- und Schreibrechte verleihen.";
}

std::string DirectoryWarning(const std::string& path, bool askAdministrator) {
  std::string text =
      "Konnte Verzeichnis \"" + path +
      "\" nicht erstellen oder in das Verzeichnis kann nicht kopiert werden!" + "\r\r" +
      "Entweder ist das Laufwerkt nicht schreibbereit oder " +
      "es fehlt eine Schreibberechtigung für dieses Laufwerk bzw. " + "für dieses Verzeichnis." +
      "\r" + "\r" + "Bitte installieren Sie das Programm in ein Verzeichnis, für " +
      "das Sie Schreib- und Leserechte besitzen (das Setup-Programm schlägt " +
      "nun einmalig ein anderes Verzeichnis vor).";
  if (askAdministrator) {
    text += std::string("\r\r") + "Oder Sie melden sich als Administrator an, um das Programm " +
            "zu installieren bzw. Sie bitten den Administrator, Ihnen entsprechende " +
            "Berechtigungen zur Installation des Programmes einzuräumen.";
  }
  return text;
}

// The running account's profile folder, where the fallback folder goes.
std::string AccountFolder() { return AddBackslash(GetProfilesDirectory()) + GetUserLoginName(); }

}  // namespace

std::string FallbackFolder(const std::string& entered) { return FallbackFolderIn(AccountFolder(), entered); }

bool DirectoryWritable(const std::string& directory) {
  // Under a name nothing has yet, created only if still new: a file of the
  // user's is neither emptied nor deleted, and one left over from earlier
  // does not make a folder look writable that is not.
  const std::string probe = FreshProbePath(directory, "FileTest", ".txt");
  kv::FileHandle created(CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!created) return false;
  created.Reset();
  DeleteFileA(probe.c_str());
  return true;
}

void InstallWizard::EnableNextForPath() { SetEnabled(nextButton_, !IsRootLikeInstallPath(Text(pathEdit_))); }

void InstallWizard::BrowseForDirectory() {
  const kv::ComScope com;
  char name[MAX_PATH] = {};
  BROWSEINFOA browse{};
  browse.hwndOwner = Handle();
  browse.pszDisplayName = name;
  browse.lpszTitle = "Bitte wählen Sie ein Verzeichnis";
  browse.ulFlags = BIF_RETURNONLYFSDIRS;
  const kv::Pidl chosen(SHBrowseForFolderA(&browse));
  if (!chosen) return;
  char path[MAX_PATH] = {};
  if (!SHGetPathFromIDListA(chosen.Get(), path)) return;
  SetText(pathEdit_, AddBackslash(path) + LastPathComponent(DefaultPath));
}

void InstallWizard::ShowMobileHint() { SetVisible(mobileDriveHint_, Checked(mobileModeBox_)); }

void InstallWizard::ShowMobileControls() {
  if (!MobileOption) return;
  SetVisible(mobileModeBox_, true);
  SetVisible(mobileHint_, true);
  if (!OnlyMobile) return;
  SetChecked(mobileModeBox_, true);
  SetEnabled(mobileModeBox_, false);
  SetVisible(mobileDriveHint_, true);
}

void InstallWizard::WarnNonAdministrator() {
  if (!IsVersionWithAccounts(versionName_, false) || IsAdministrator() ||
      DirectoryWritable(ExtractFilePath(DefaultPath))) {
    return;
  }
  MessageDlg(NonAdministratorWarning(versionName_), DialogKind::Information, dbOK);
}

void InstallWizard::PrepareShortcutPage() {
  const bool mobile = Checked(mobileModeBox_);
  for (HWND box : {desktopBox_, startMenuBox_, programMenuBox_}) {
    SetChecked(box, !mobile);
    SetEnabled(box, !mobile);
  }
  SetVisible(allUsersButton_, !mobile);
  SetVisible(currentUserButton_, !mobile);
  SetText(usersLabel_, mobile ? "Diese Anwendung wird auf einem mobilen Datenträger installiert."
                         : "Diese Anwendung wird installiert für:");
}

bool InstallWizard::CheckInstallPath() {
  PrepareShortcutPage();
  class Disk final : public DirectoryFacts {
  public:
    bool Exists(const std::string& directory) override { return DirectoryExists(directory); }
    bool Writable(const std::string& directory) override { return DirectoryWritable(directory); }
    void Create(const std::string& directory) override { ForceDirectories(directory); }
    bool AgreesToCreate() override {
      return MessageDlg("Verzeichnis existiert nicht!\r\rErstellen?", DialogKind::Confirmation, dbYes | dbNo) ==
             IDYES;
    }
  } disk;
  const std::string entered = Text(pathEdit_);
  // A directory the administrator named is never swapped for another.
  const bool given = !GivenInstallDir.empty();
  const DirectoryCheck check =
      CheckInstallDirectory(entered, AccountFolder(), Checked(createPathBox_), AutoMode && !given, disk);
  if (check.path != entered) SetText(pathEdit_, check.path);
  if (given && check.verdict != DirectoryVerdict::Accepted) {
    LogRun("Verzeichnis nicht verwendbar: " + check.path);
    EndProgram(ecDirectoryUnusable);
  }
  switch (check.verdict) {
    case DirectoryVerdict::Accepted:
      return true;
    case DirectoryVerdict::RootRefused:
      ShowMessage("Das Programm kann nicht in einem Hauptverzeichnis installiert werden. "
                  "Geben Sie bitte einen Namen für ein Unterverzeichnis an!");
      return false;
    case DirectoryVerdict::CreationDeclined:
      return false;
    case DirectoryVerdict::Unusable:
      break;
  }
  MessageDlg(DirectoryWarning(check.path, IsVersionWithAccounts(versionName_, true) && !IsAdministrator()),
             DialogKind::Warning, dbOK);
  SetForegroundWindow(Handle());
  SetText(pathEdit_, FallbackFolder(check.path));
  return false;
}
