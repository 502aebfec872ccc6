// Shell shortcut (".LNK") files through the shell's link objects. Each call
// initialises COM for its thread and releases it again before it returns;
// neither reports a failure.
#pragma once

#include <string>

// Writes the link file, replacing one that exists, with the target, the
// description, the working directory and the show command; arguments, icon
// and hot key stay unset. The link's folder must exist: a link into a missing
// folder, or under a name the file system refuses, is simply not written.
void CreateShellLink(const std::string& target, const std::string& description, const std::string& linkPath,
                     const std::string& workingDir, int showCommand);

// The target path stored in a link file; "" when it cannot be read, and
// "NOT a shortuct by extension!" when the path's extension is not ".LNK"
// (letter case aside).
std::string GetShellLinkTarget(const std::string& linkPath);
