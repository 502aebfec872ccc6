// Unit Faktion: the install wizard f_Aktion. Six pages in a fixed order
// (welcome, read-me, agreement, install directory, shortcuts and users, copy
// run), stepped one at a time with Back and Next through one table of pages
// while the shell window's step tree follows; Next on the shortcut page runs
// the install.
#pragma once

#include "engine/copy_install_file.h"
#include "system/form.h"
#include "system/step_tree.h"
#include "wizard/install_dir.h"

#include <cstddef>
#include <memory>
#include <string>

class Tf_Aktion : public form::Form<Tf_Aktion>, public CopyPage {
public:
  // Creates the window (FormCreate runs) owned by the shell window.
  Tf_Aktion(HWND owner, StepTree& steps);

  // Next, Back and the agreement's radio buttons.
  void bnInstalClick();
  void bnBackClick();
  void bnEndClick();
  void rbYesClick();
  void rbNoClick();
  // Automatic mode: Next to the directory page with the agreement accepted,
  // the directory check, then the install run. Ends the program when the
  // check or the run fails, since nobody is there to answer.
  void RunAutomatically();

  std::string ActivePageName() const { return kPages[page_].name; }

private:
  // One row per page, in page order; Next and Back step through the rows.
  struct Page {
    const char* name;
    HWND Tf_Aktion::*sheet;
    int step;                     // the step tree's node while the page shows
    const char* nextCaption;      // Next's caption once Next has brought the page; nullptr keeps it
    bool (Tf_Aktion::*leave)();   // Next leaves the page only when this passes
    void (Tf_Aktion::*arrive)();  // runs once Next has brought the page
  };
  static const Page kPages[];
  static const form::Control<Tf_Aktion> kControls[];

  void FormCreate() override;
  void FormShow() override;

  void ShowPage(std::size_t index);
  void AwaitAgreement();
  void FocusPath();

  // Install directory page.
  void edPathNameChange();
  void bnDirClick();
  void cbMobileModusClick();
  void ShowMobileControls();
  void WarnNonAdministrator();
  void PrepareShortcutPage();
  bool CheckInstallPath();

  // The install run, its copy page and its end.
  void InstallRun();
  void ShowFiles(const std::string& from, const std::string& to) override;
  int Position() const override;
  void Advance();
  void MobileCompletion();
  void CreateProgmanGroup();
  void ReportOutcome(bool mobile);
  void StartMainProgram();

  StepTree& steps_;
  std::size_t page_ = 0;
  bool LicenceAccepted = false;
  std::string versionName_;

  HWND nb1 = nullptr;
  HWND bnBack = nullptr;
  HWND bnInstal = nullptr;
  HWND bnEnd = nullptr;

  HWND Welcome = nullptr;
  HWND hdWelcome = nullptr;
  HWND pnSide = nullptr;
  HWND lbSide = nullptr;
  HWND Label4 = nullptr;
  HWND Label5 = nullptr;

  HWND Info = nullptr;
  HWND hdInfo = nullptr;
  HWND MLiesmich = nullptr;
  HWND lbInfoHint = nullptr;

  HWND BGB = nullptr;
  HWND hdBGB = nullptr;
  HWND Memo1 = nullptr;
  HWND rbYes = nullptr;
  HWND rbNo = nullptr;

  HWND Path = nullptr;
  HWND hdPath = nullptr;
  HWND Label8 = nullptr;
  HWND edPathName = nullptr;
  HWND bnDir = nullptr;
  HWND cbMakePath = nullptr;
  HWND cbMobileModus = nullptr;
  HWND lbMM1 = nullptr;
  HWND lbMM2 = nullptr;
  HWND lbPathNext = nullptr;

  HWND ShortCutsAndUser = nullptr;
  HWND hdShortCuts = nullptr;
  HWND lbLinks = nullptr;
  HWND cbProgMenu = nullptr;
  HWND cbStartmenu = nullptr;
  HWND cbDesktop = nullptr;
  HWND lbUser = nullptr;
  HWND rbAktUser = nullptr;
  HWND rbAllUser = nullptr;
  HWND lbShortCutsNext = nullptr;

  HWND CopyInfo = nullptr;
  HWND hdCopyInfo = nullptr;
  HWND lbFrom = nullptr;
  HWND pnFrom = nullptr;
  HWND lbTo = nullptr;
  HWND pnTo = nullptr;
  HWND Gauge1 = nullptr;
};

extern std::unique_ptr<Tf_Aktion> f_Aktion;

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
