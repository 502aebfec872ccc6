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

// Everything after the last backslash; the whole text if it has none.
std::string LastPathComponent(const std::string& path);
// The folder proposed when the chosen one fails: the account's profile folder
// plus the last component of the entered path.
std::string FallbackFolderIn(const std::string& accountFolder, const std::string& entered);

// What the directory check needs to know of the disk and the user, asked
// only when the check comes to it: a folder made along the way changes what
// the next question finds.
class DirectoryFacts {
public:
  virtual bool Exists(const std::string& directory) = 0;
  virtual bool Writable(const std::string& directory) = 0;
  virtual void Create(const std::string& directory) = 0;  // with every missing parent
  // "Verzeichnis existiert nicht! Erstellen?"; closing the question is No.
  virtual bool AgreesToCreate() = 0;

protected:
  ~DirectoryFacts() = default;
};

enum class DirectoryVerdict {
  Accepted,          // install into path
  RootRefused,       // three characters or fewer: a drive's root
  CreationDeclined,  // the user would not have the missing folder made
  Unusable,          // path cannot be made or written: warn, and propose FallbackFolderIn
};

struct DirectoryCheck {
  DirectoryVerdict verdict;
  std::string path;  // the directory checked last: the entered one, or the fallback in automatic mode
};

// Next on the directory page: a missing folder is made (asked first unless
// createWithoutAsking); in automatic mode, where nobody can accept a
// proposal, a name the check refuses or a folder that cannot be written is
// replaced at once by the fallback folder, which is made too.
DirectoryCheck CheckInstallDirectory(const std::string& entered, const std::string& accountFolder,
                                     bool createWithoutAsking, bool autoMode, DirectoryFacts& facts);
