// Unit Funinstl: the uninstall window f_Uninstal and the uninstall run behind
// its buttons. "&Weiter >>" removes the installed files, the uninstall
// registration, the program group and the shortcuts and, after a last
// question, the program directory with the running uninstaller; "&Beenden"
// ends the program at once. Started with "/s", the same run goes without the
// window and without a question (UninstallUnattended).
//
// Modal results: OK when the run has completed (CopyErrors set when a listed
// file of the program directory, or the directory the user agreed to remove,
// is still there); Abort when a failure stopped it (the default error box has
// shown it); Cancel when the window was closed by its title bar.
#pragma once

#include "system/form.h"
#include "system/step_tree.h"
#include "uninstall/program_dir.h"

#include <string>

// What the run leaves to whoever started it: a person in front of its
// windows, or an administrator who said "/s" and is not there.
class UninstallAnswers {
public:
  // A person watches: the progress window shows each file, and the run
  // pauses after each so that it can be read.
  virtual bool Watched() const = 0;
  // Steps 13 and 14: what becomes of the program directory.
  virtual ProgramDirFate FateOfProgramDir(const std::string& programDir) = 0;

protected:
  ~UninstallAnswers() = default;
};

// Steps 4 to 15 of the run, after the first question: removes the listed
// files, the uninstall registration, the program group and the shortcuts,
// then deals with the program directory as the answers say. CopyErrors tells
// whether anything listed stayed.
void RemoveInstallation(StepTree& steps, UninstallAnswers& answers);

// The run for "/s": no window, no question, no closing message; the program
// directory goes only when nothing of the user's is in it. A failure that
// stops the run ends the program with exit code 1 instead of showing a box.
void UninstallUnattended(StepTree& steps);

class Tf_Uninstal : public form::Form<Tf_Uninstal>, private UninstallAnswers {
public:
  Tf_Uninstal(HWND owner, StepTree& steps);

private:
  static const form::Control<Tf_Uninstal> kControls[];

  void FormCreate() override;
  void Button1Click();
  void Button2Click();
  bool Watched() const override { return true; }
  // Asks before the program directory goes, listing everything in it.
  ProgramDirFate FateOfProgramDir(const std::string& programDir) override;

  StepTree& steps_;

  HWND Bevel1 = nullptr;
  HWND Image1 = nullptr;
  HWND Label1 = nullptr;
  HWND lbInfo = nullptr;
  HWND Button1 = nullptr;
  HWND Button2 = nullptr;
};
