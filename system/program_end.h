// How the process ends. Scripted installs read the exit code, so every way
// out of the program goes through EndProgram with one of these.
#pragma once

enum ExitCode : int {
  ecCompleted = 0,        // the install or uninstall ran to its end
  ecFilesGivenUp = 1,     // installed, but a file was given up; uninstalled, but a listed file
                          // is still there or a count this install took stays (in use); or an
                          // error stopped the run
  ecCancelled = 2,        // "&Beenden", or "Abbrechen" in a retry question
  ecListFileMissing = 3,  // the list file is missing or cannot be read, or the install log lists no file
  ecNoWindow = 4,         // a window of the program could not be created
  ecFolderNotUsable = 5,  // the program's folder has a name the ANSI code page cannot write,
                          // on a volume without short (8.3) names
  ecDirectoryUnusable = 6,  // the directory "/DIR=" names cannot be made or written
  ecRestartNeeded = 3010,   // installed; a file held open is replaced at the next start
                            // (the code deployment tools know)
};

// The code of a run that went to its end: a file given up outweighs one
// that waits for the next start.
ExitCode CompletedRunCode(bool filesGivenUp, bool restartNeeded);
// Enters the end and its code in the run's account (/LOG).
void LogEnd(ExitCode code);

// Ends the process at once: nothing is undone or cleaned up.
[[noreturn]] void EndProgram(ExitCode code);
