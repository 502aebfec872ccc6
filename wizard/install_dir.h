// Which install directories the wizard accepts by their name alone, before it
// asks the disk whether the directory exists and can be written.
#pragma once

#include <string>

// "c:\programme", "c:\program files" and both with a trailing backslash, in
// any letter case: the live check keeps Next disabled for these.
bool IsRootLikeInstallPath(const std::string& path);

// A drive letter followed by ":\", or a UNC name ("\\server\..."); "/" counts
// as "\" as everywhere in Windows. Anything else names a folder relative to
// whatever directory or drive is current.
bool IsAbsolutePath(const std::string& path);

// The directory check's rule on the name: absolute and not root-like. A
// relative name would be made wherever the program runs and registered as an
// uninstall command nothing can start; the programs folder belongs to every
// product. Either goes the way of a directory that cannot be written.
bool InstallPathNameAccepted(const std::string& path);
