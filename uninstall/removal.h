// The removal of an installation: the listed files, the uninstall
// registration, the program group and the shortcuts, then the program
// directory as whoever started it decides. The uninstall window runs it after
// its question; "/s" runs it with no window and no question.
#pragma once

#include "system/step_tree.h"
#include "uninstall/listed_files.h"
#include "uninstall/program_dir.h"

#include <string>

// The step tree's nodes in uninstall mode.
enum UninstallStep { stSecurityQuestion = 1, stDeleteFiles = 2, stAskForData = 3, stGoal = 4 };

// What the run leaves to whoever started it: a person in front of its
// windows, or an administrator who said "/s" and is not there.
class UninstallAnswers {
public:
  // A person watches: the progress window shows each file, and the run
  // pauses after each so that it can be read.
  virtual bool Watched() const = 0;
  // What becomes of the program directory once everything listed is gone.
  virtual ProgramDirFate FateOfProgramDir(const std::string& programDir) = 0;

protected:
  ~UninstallAnswers() = default;
};

// Removes the listed files, releases the use counts this install took, and
// removes the uninstall registration, the program group and the shortcuts,
// then deals with the program directory as the answers say. While a file
// stays (RemovalEnd::staying) the registration, the uninstaller and a log
// of what stays are kept and the directory is not offered. CopyErrors tells
// whether the run is not complete, or anything is left in the directory the
// answers let go.
RemovalEnd RemoveInstallation(StepTree& steps, UninstallAnswers& answers);

// The run for "/s": no window, no question, no closing message; the program
// directory goes only when nothing of the user's is in it. A failure that
// stops the run ends the program with exit code 1 instead of showing a box.
void RemoveUnattended(StepTree& steps);
