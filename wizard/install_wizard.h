// The install wizard. Six pages in a fixed order
// (welcome, read-me, agreement, install directory, shortcuts and users, copy
// run), stepped one at a time with Back and Next through one table of pages
// while the shell window's step tree follows; Next on the shortcut page runs
// the install.
#pragma once

#include "engine/copy_install_file.h"
#include "engine/program_group.h"
#include "system/form.h"
#include "system/step_tree.h"
#include "wizard/install_dir.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class InstallWizard : public form::Form<InstallWizard>, public CopyPage {
public:
  // Creates the window (FormCreate runs) owned by the shell window.
  InstallWizard(HWND owner, StepTree& steps);

  // Next, Back and the agreement's radio buttons.
  void GoForward();
  void GoBack();
  void Quit();
  void AcceptAgreement();
  void DeclineAgreement();
  // Automatic mode: Next to the directory page with the agreement accepted,
  // the directory check, then the install run. Ends the program when the
  // check or the run fails, since nobody is there to answer.
  void RunAutomatically();

  std::string ActivePageName() const { return kPages[page_].name; }

private:
  // One row per page, in page order; Next and Back step through the rows.
  struct Page {
    const char* name;
    HWND InstallWizard::*sheet;
    int step;                     // the step tree's node while the page shows
    const char* nextCaption;      // Next's caption once Next has brought the page; nullptr keeps it
    bool (InstallWizard::*leave)();   // Next leaves the page only when this passes
    void (InstallWizard::*arrive)();  // runs once Next has brought the page
  };
  static const Page kPages[];
  static const form::Control<InstallWizard> kControls[];

  void FormCreate() override;
  void FormShow() override;

  void ShowPage(std::size_t index);
  void AwaitAgreement();
  void FocusPath();

  // Install directory page.
  void EnableNextForPath();
  void BrowseForDirectory();
  void ShowMobileHint();
  void ShowMobileControls();
  void WarnNonAdministrator();
  void PrepareShortcutPage();
  bool CheckInstallPath();

  // The install run, its copy page and its end.
  void InstallRun();
  void ShowFiles(const std::string& from, const std::string& to) override;
  void DrawNow() override;
  int Position() const override;
  void Advance();
  void MobileCompletion();
  void CreateProgmanGroup();
  void ReportOutcome(bool mobile);
  void StartMainProgram();

  StepTree& steps_;
  std::size_t page_ = 0;
  bool licenceAccepted_ = false;
  std::string versionName_;
  UninstallEntryFacts entryFacts_;  // gathered by the install run

  HWND pages_ = nullptr;
  HWND backButton_ = nullptr;
  HWND nextButton_ = nullptr;
  HWND quitButton_ = nullptr;

  HWND welcomePage_ = nullptr;
  HWND welcomeHeader_ = nullptr;
  HWND sidePanel_ = nullptr;
  HWND sideLabel_ = nullptr;
  HWND welcomeText_ = nullptr;
  HWND welcomeHint_ = nullptr;

  HWND infoPage_ = nullptr;
  HWND infoHeader_ = nullptr;
  HWND readMeMemo_ = nullptr;
  HWND infoHint_ = nullptr;

  HWND agreementPage_ = nullptr;
  HWND agreementHeader_ = nullptr;
  HWND agreementMemo_ = nullptr;
  HWND acceptButton_ = nullptr;
  HWND declineButton_ = nullptr;

  HWND pathPage_ = nullptr;
  HWND pathHeader_ = nullptr;
  HWND pathLabel_ = nullptr;
  HWND pathEdit_ = nullptr;
  HWND browseButton_ = nullptr;
  HWND createPathBox_ = nullptr;
  HWND mobileModeBox_ = nullptr;
  HWND mobileHint_ = nullptr;
  HWND mobileDriveHint_ = nullptr;
  HWND pathHint_ = nullptr;

  HWND shortcutsPage_ = nullptr;
  HWND shortcutsHeader_ = nullptr;
  HWND linksLabel_ = nullptr;
  HWND programMenuBox_ = nullptr;
  HWND startMenuBox_ = nullptr;
  HWND desktopBox_ = nullptr;
  HWND usersLabel_ = nullptr;
  HWND currentUserButton_ = nullptr;
  HWND allUsersButton_ = nullptr;
  HWND shortcutsHint_ = nullptr;

  HWND copyPage_ = nullptr;
  HWND copyHeader_ = nullptr;
  HWND fromLabel_ = nullptr;
  HWND fromPanel_ = nullptr;
  HWND toLabel_ = nullptr;
  HWND toPanel_ = nullptr;
  HWND copyGauge_ = nullptr;
  // The copy page as it is drawn next: the file last given and the bar.
  static constexpr std::uint32_t kCopyPageIntervalMs = 40;  // 25 times a second
  std::string copyFrom_;
  std::string copyTo_;
  int copyPosition_ = 0;
  CopyPagePacing copyPacing_{kCopyPageIntervalMs};
};

extern std::unique_ptr<InstallWizard> TheInstallWizard;

// The parts of the wizard's decisions that need no window.

// The first "<Prog>" replaced by the program name, at most 255 characters of
// what follows it kept; later markers stay.
std::string ReplaceProgMarker(const std::string& text, const std::string& progName);
// FallbackFolderIn the running account's profile folder.
std::string FallbackFolder(const std::string& entered);
// True when a file can be created in directory (probe "FileTest.txt", or a
// numbered name where that is taken; nothing that was there is touched).
bool DirectoryWritable(const std::string& directory);
// The text of a text file with its lines ended by CR LF, as a memo shows it;
// false when the file cannot be opened.
bool LoadTextFile(const std::string& path, std::string& text);
