// The install run that "&Fertig" on the shortcut page starts: every listed
// file placed in its order, the uninstaller last, then the program group and
// registration, or in mobile mode the marker in the program's INI file.
#include "wizard/install_wizard.h"

#include "engine/copy_install_file.h"
#include "engine/install_plan.h"
#include "engine/install_log.h"
#include "engine/program_group.h"
#include "engine/shared_file.h"
#include "engine/shell_link.h"
#include "system/process_values.h"
#include "system/helpers.h"
#include "system/dialogs.h"
#include "system/run_log.h"
#include "system/setup_list.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

namespace {

// The mobile run's success text: like the registration's, but its hint on
// other users' rights has no "evtl.".
std::string MobileSuccessMessage(const std::string& path, bool rightsHint) {
  std::string text = "Das Programm wurde ordnungsgemäß im Verzeichnis \r\r" + path + "\r\r" +
                     "installiert!" + "\r\r";
  if (rightsHint) {
    text += std::string("Falls Sie das Programm für einen anderen Benutzer ") +
            "ohne Administratorenrechte installieren wollten, müssen " +
            "Sie diesem Benutzer noch Schreib- und Leserechte für das " +
            "Installationsverzeichnis verleihen, falls dieser noch nicht " + "hierrüber verfügt." +
            "\r\r";
  }
  return text + "Soll das Anwendungsprogramm jetzt gestartet werden?";
}

}  // namespace

void InstallWizard::ShowFiles(const std::string& from, const std::string& to) {
  copyFrom_ = from;
  copyTo_ = to;
  if (copyPacing_.Due(GetTickCount())) DrawNow();
}

void InstallWizard::DrawNow() {
  SetText(fromPanel_, copyFrom_);
  SetText(toPanel_, copyTo_);
  SendMessageA(copyGauge_, PBM_SETPOS, static_cast<WPARAM>(copyPosition_), 0);
  UpdateWindow(Handle());
}

int InstallWizard::Position() const { return copyPosition_; }

void InstallWizard::Advance() { ++copyPosition_; }

void InstallWizard::InstallRun() {
  ProcessMessages();
  InstallPath = Text(pathEdit_);

  const ProfileReader list = ProfileOf(GetAppDir() + "Setup.lst");
  GroupName = ReadGroupName(list);
  OldGroup = ReadListString(list, "Group", "Old", "");
  const InstallPlan plan = PlanInstall(ReadInstallList(list), InstallPath, GetWindowsDir(), versionName_);
  MainProgFile = plan.mainProgFile;
  entryFacts_ = UninstallEntryFacts{};
  entryFacts_.version = ReadProductVersion(list);
  entryFacts_.publisher = ReadPublisher(list);
  LogRun("Version: " + (entryFacts_.version.empty() ? "(keine)" : entryFacts_.version));
  LogRun("Verzeichnis: " + InstallPath);
  SendMessageA(copyGauge_, PBM_SETRANGE32, 0, static_cast<LPARAM>(plan.files.size()));
  SendMessageA(copyGauge_, PBM_SETPOS, 0, 0);
  copyPosition_ = 0;

  const std::string programDir = GetAppDir();
  const std::string sampleDatabase = AddBackslash(InstallPath) + kSampleDatabase;
  CopyRun run = StartCopyRun(InstallPath, ProgName, GroupName, StartMenuFolder);
  for (const PlannedFile& file : plan.files) {
    // The bar's position is the file's log number.
    Advance();
    // The disk as it is now: a sample database placed earlier in this run
    // counts.
    switch (TurnOf(file, file.sample && FileExists(sampleDatabase))) {
      case FileTurn::Place: {
        // A shared file's count needs to know what was there before.
        const std::string target = file.InstalledPath();
        const bool existed = file.shared && FileExists(target);
        const CopyOutcome outcome =
            CopyInstallFile(*this, run, file.sourceName, file.targetName, programDir, file.destinationDir, file.checksum);
        if (outcome == CopyOutcome::GivenUp) CopyErrors = true;
        if (outcome == CopyOutcome::Scheduled) RestartNeeded = true;
        if (outcome == CopyOutcome::Placed || outcome == CopyOutcome::Scheduled) {
          // A file that waits for the next start is counted as it will be.
          if (file.shared) CountSharedFile(target, existed, StartMenuFolder, UninstallerPath(InstallPath));
          entryFacts_.installedBytes += FileSizeOf(target);
        }
        break;
      }
      case FileTurn::KeepSample:  // the user's sample data stays as it is
        LogRun("Datei beibehalten (Beispieldaten des Benutzers): " + file.InstalledPath());
        break;
      case FileTurn::Refuse:
        // A name that leads out of its directory would overwrite what belongs
        // to others: never placed, never logged, and the run counts as failed.
        CopyErrors = true;
        DrawNow();
        ShowMessage(GiveUpText(file.destinationDir + file.targetName));
        break;
    }
  }
  // What an earlier version placed and this one no longer ships stays
  // listed, so the uninstaller removes it.
  KeepEarlierLogEntries(run);
  DrawNow();

  if (AllUsersGiven) {
    SetChecked(currentUserButton_, false);
    SetChecked(allUsersButton_, true);
  }
  if (Checked(mobileModeBox_)) {
    MobileCompletion();
  } else {
    CreateProgmanGroup();
  }
  ProcessMessages();
  SetModalResult(form::mrOK);
}

void InstallWizard::MobileCompletion() {
  // Without a main program there is no INI file to mark.
  if (!MainProgFile.empty()) {
    WritePrivateProfileStringA("Optionen", "MobileModus", "1",
                               ChangeFileExt(MainProgFile, ".ini").c_str());
  }
  ReportOutcome(true);
}

void InstallWizard::StartMainProgram() {
  ShellExecuteA(Handle(), "open", MainProgFile.c_str(), "", ExtractFilePath(MainProgFile).c_str(),
                SW_SHOW);
}

void InstallWizard::CreateProgmanGroup() {
  std::string programMenuRoot;
  if (!GroupName.empty()) {
    const AccountFolders account = LookUpAccountFolders(Checked(allUsersButton_));
    if (!account.programs.empty()) {
      const FolderSet folders = ChooseFolderSet(account, GroupName);
      UserProfileDir = folders.userProfileDir;
      programMenuRoot = folders.programMenuRoot;
      CreateDirectoryA(folders.groupFolder.c_str(), nullptr);
      SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHA | SHCNF_FLUSH, account.programs.c_str(), nullptr);

      const std::vector<ShortcutItem> items = ReadShortcutItems(GetAppDir() + "Setup.lst");
      auto link = [](const ShortcutItem& item, const std::string& folder) {
        const std::string linkFile = folder + item.caption + ".LNK";
        CreateShellLink(AddBackslash(InstallPath) + item.file, item.caption, linkFile, InstallPath, SW_SHOW);
        LogRun("Verknüpfung: " + linkFile);
      };
      if (Checked(programMenuBox_)) {
        for (const ShortcutItem& item : items) link(item, folders.groupFolder + "\\");
      }
      Hide();
      steps_.SelectStep(6);
      if (AutoMode) {
        SetChecked(desktopBox_, true);
        SetChecked(startMenuBox_, true);
      }
      // The desktop and the Start menu get the first line's shortcut; a list
      // without lines has none to give.
      if (!items.empty()) {
        if (Checked(desktopBox_)) link(items.front(), folders.desktopFolder);
        if (Checked(startMenuBox_)) {
          const std::string startMenu = StartMenuLinkFolder(folders);
          if (!startMenu.empty()) link(items.front(), startMenu);
        }
      }
    }
    entryFacts_.groupName = GroupName;
    entryFacts_.installPath = InstallPath;
    entryFacts_.mainProgFile = MainProgFile;
    WriteUninstallEntry(StartMenuFolder, entryFacts_);
    steps_.SelectStep(7);
    ReportOutcome(false);
  }
  WriteInstallLogUserAccount(InstallPath, UserProfileDir);
  if (AutoMode) MessageBeep(0xFFFFFFFF);
  // Without a program-menu root there is nowhere to look for earlier groups.
  ClearOldGroups(OldGroup, programMenuRoot, InstallPath, form::ApplicationMainWindow());
}

// The copy run's outcome; the question whether to start the program comes
// only when nobody drives the wizard and the system is not Vista.
void InstallWizard::ReportOutcome(bool mobile) {
  const std::string& path = InstallPath;
  if (CopyErrors) {
    MessageDlg(CopyErrorsMessage(path), DialogKind::Information, dbOK);
    return;
  }
  if (AutoMode) return;
  if (versionName_ == "Windows Vista") {
    MessageDlg(VistaSuccessMessage(path), DialogKind::Information, dbOK);
    return;
  }
  const bool rightsHint = RightsHintApplies(versionName_, IsAdministrator());
  const std::string success =
      mobile ? MobileSuccessMessage(path, rightsHint) : SuccessMessage(path, rightsHint);
  if (MessageDlg(success, DialogKind::Information, dbYes | dbNo, IDYES) == IDYES) {
    StartMainProgram();
  }
}
