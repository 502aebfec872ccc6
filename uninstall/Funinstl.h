// Unit Funinstl: the uninstall window f_Uninstal and the uninstall run behind
// its buttons. "&Weiter >>" removes the installed files, the uninstall
// registration, the program group and the shortcuts and, after a last
// question, the program directory with the running uninstaller; "&Beenden"
// ends the program at once.
//
// Modal results: OK when the run has completed (CopyErrors set when a listed
// file of the program directory, or the directory the user agreed to remove,
// is still there); Abort when a failure stopped it (the default error box has
// shown it); Cancel when the window was closed by its title bar.
#pragma once

#include "system/form.h"
#include "system/step_tree.h"

class Tf_Uninstal : public form::Form<Tf_Uninstal> {
public:
  Tf_Uninstal(HWND owner, StepTree& steps);

private:
  static const form::Control<Tf_Uninstal> kControls[];

  void FormCreate() override;
  void Button1Click();
  void Button2Click();
  // Steps 13 and 14: asks before the program directory goes, and removes it
  // with the running uninstaller when the user agrees (true).
  bool RemoveProgramDir(const std::string& programDir);

  StepTree& steps_;

  HWND Bevel1 = nullptr;
  HWND Image1 = nullptr;
  HWND Label1 = nullptr;
  HWND lbInfo = nullptr;
  HWND Button1 = nullptr;
  HWND Button2 = nullptr;
};
