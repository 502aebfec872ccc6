// Which install directories the wizard accepts by their name alone, before it
// asks the disk whether the directory exists and can be written.
#pragma once

#include <string>

// The one spelling Windows names a directory by: "/" as "\", a run of
// separators as one (a UNC name keeps its leading two), "." parts dropped and
// ".." taking the part before it, every part without trailing dots and blanks
// (a folder made one level at a time gets its name so), no trailing
// backslash but after a drive ("C:\"). Letter case stays as typed. The log,
// the uninstall entry and the shortcuts carry the path in this form, so the
// uninstaller finds its own directory named as the log names it.
std::string CanonicalInstallPath(const std::string& path);

// "c:\programme" or "c:\program files" in any letter case and any spelling
// of the same folder: the live check keeps Next disabled for these.
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
  // The directory checked last in its canonical form: the entered one, or
  // the fallback in automatic mode.
  std::string path;
};

// Next on the directory page: a missing folder is made (asked first unless
// createWithoutAsking); in automatic mode, where nobody can accept a
// proposal, a name the check refuses or a folder that cannot be written is
// replaced at once by the fallback folder, which is made too.
DirectoryCheck CheckInstallDirectory(const std::string& entered, const std::string& accountFolder,
                                     bool createWithoutAsking, bool autoMode, DirectoryFacts& facts);
