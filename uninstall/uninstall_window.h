// The uninstall window: "&Weiter >>" asks once more, then runs the removal
// (removal.h) and closes with a message; "&Beenden" ends the program at once.
//
// Modal results: OK when the run has completed (CopyErrors set when a listed
// file of the program directory, or the directory the user agreed to remove,
// is still there); Abort when a failure stopped it (the default error box has
// shown it); Cancel when the window was closed by its title bar.
#pragma once

#include "system/form.h"
#include "system/step_tree.h"
#include "uninstall/removal.h"

#include <string>

class UninstallWindow : public form::Form<UninstallWindow>, private UninstallAnswers {
public:
  UninstallWindow(HWND owner, StepTree& steps);

private:
  static const form::Control<UninstallWindow> kControls[];

  void FormCreate() override;
  void StartRemoval();
  void Quit();
  bool Watched() const override { return true; }
  // Asks before the program directory goes, listing everything in it.
  ProgramDirFate FateOfProgramDir(const std::string& programDir) override;

  StepTree& steps_;

  HWND frame_ = nullptr;
  HWND icon_ = nullptr;
  HWND prompt_ = nullptr;
  HWND uninstallerPath_ = nullptr;
  HWND nextButton_ = nullptr;
  HWND quitButton_ = nullptr;
};
