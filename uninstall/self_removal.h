// The self-removal script: a batch file in the temporary directory that the
// uninstaller starts hidden at its end. It deletes the uninstaller's file as
// soon as the program has ended, then the emptied program directory, then
// itself.
#pragma once

#include <string>
#include <vector>

// The script's lines for the program file, its directory and the script's
// own path, each already in the form the command interpreter is to read.
// Between two failed deletions the script pauses for a second (a ping of the
// local host, which cmd and command.com both can run) instead of spinning a
// processor for as long as the uninstaller shows its closing message.
std::vector<std::string> SelfRemovalLines(const std::string& programPath, const std::string& programDir,
                                          const std::string& scriptPath);

// The script's path for a unique temporary name ("C:\TEMP\$1A2B.TMP"): the
// same name with "bat" for its extension's three letters.
std::string SelfRemovalScriptPath(const std::string& tempName);

// Win32 from here.

// A new unique temporary file ("$" + four hex digits + ".TMP" in the
// temporary directory), created empty by the system and left there. Raises
// EOSError when the system can make none.
std::string MakeTempName();
// A path as a batch file names it: in the OEM code page the command
// interpreter reads, or as its short name where a character has no OEM form.
std::string BatchFilePath(const std::string& path);
// Writes the script for programPath (the running program), starts it hidden
// from the temporary folder and returns its path at once, without waiting
// for it. Raises EOSError when the script cannot be written or started (the
// script is then deleted): the run must not report success.
std::string StartSelfRemoval(const std::string& programPath);
