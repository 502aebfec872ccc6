// The command line. Only a first argument "/s" (any case) means anything: it
// selects the automatic install, or in uninstall mode the unattended run.
// After it, and only after it, the switches of an unattended deployment
// follow in any order and letter case, each value with or without quotes.
#pragma once

#include <string>
#include <vector>

// What the command line asks for.
struct CommandLine {
  bool slashS = false;            // the first argument is "/s"
  std::string directory;          // /DIR=path: install there, never in a fallback folder
  bool allUsers = false;          // /ALLUSERS: group and shortcuts for all users
  std::string logFile;            // /LOG=file: a plain-text account of the run
  bool suppressMsgBoxes = false;  // /SUPPRESSMSGBOXES: no box, every question answered soundly
  // The first argument after "/s" the install does not take ("" when it
  // takes them all). An administrator's typo must never install anything,
  // and least of all somewhere else: the run ends with exit code 2.
  std::string rejected;
};

// The command line as the system hands it over, cut into its arguments, the
// program's own path first. Blanks and tabs separate arguments outside
// quotes; a quote opens or closes a quoted stretch and is dropped.
// Backslashes stand for themselves, so a quoted folder may end in one
// ("/DIR=\"C:\Programme\Demo\\"").
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// arguments: without the program's path. The install takes all four
// switches and refuses anything else; the uninstaller, whose "/s" shows
// nothing anyway, takes /LOG and passes over the rest, as it always did.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments, bool installMode);
