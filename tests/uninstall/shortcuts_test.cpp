// Removing the program group and the desktop and Start-menu shortcuts: in the
// profile's German folders where they exist, else in the shell folders the
// installer used, and in both only what leads into the program directory.
#include "engine/shell_link.h"
#include "system/process_values.h"
#include "system/helpers.h"
#include "tests/support/test_files.h"
#include "uninstall/uninstall_entries.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <vector>

namespace {

const char kGroup[] = "KvTest Gruppe";
const char kName[] = "KvTest Demo";

// Where one set of folders lies: the group's parent, the Start menu, the desktop.
struct Folders {
  std::string programs, startMenu, desktop;
  std::string Group() const { return AddBackslash(programs) + kGroup; }
  std::string StartLink() const { return AddBackslash(startMenu) + kName + ".LNK"; }
  std::string DesktopLink() const { return AddBackslash(desktop) + kName + ".LNK"; }
};

Folders ShellFolders(bool common) {
  return common ? Folders{GetSpecialFolder(CSIDL_COMMON_PROGRAMS), GetSpecialFolder(CSIDL_COMMON_STARTMENU),
                          GetSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY)}
                : Folders{GetSpecialFolder(CSIDL_PROGRAMS), GetSpecialFolder(CSIDL_STARTMENU),
                          GetSpecialFolder(CSIDL_DESKTOPDIRECTORY)};
}

Folders GermanFolders(const std::string& profile) {
  return {AddBackslash(profile) + "Startmenü\\Programme", AddBackslash(profile) + "Startmenü",
          AddBackslash(profile) + "Desktop"};
}

void Link(const std::string& link, const std::string& target) {
  ForceDirectories(ExtractFilePath(link));
  CreateShellLink(target, ExtractFileName(link), link, ExtractFilePath(target), SW_SHOW);
  ASSERT_TRUE(FileExists(link)) << link;
}

// The shortcuts an install makes, plus one in the group that leads elsewhere.
void MakeShortcuts(const Folders& f, const std::string& programDir, bool foreignInGroup) {
  Link(f.Group() + "\\" + kName + ".LNK", programDir + "\\demo.exe");
  Link(f.Group() + "\\Programm entfernen.LNK", programDir + "\\Uninstal.exe");
  if (foreignInGroup) Link(f.Group() + "\\Fremd.LNK", "C:\\Fremd\\fremd.exe");
  Link(f.StartLink(), programDir + "\\demo.exe");
  Link(f.DesktopLink(), programDir + "\\demo.exe");
}

void RemoveShortcuts(const Folders& f) {
  DeleteDirTree(f.Group());
  ::DeleteFileA(f.StartLink().c_str());
  ::DeleteFileA(f.DesktopLink().c_str());
}

struct Expected {
  bool groupLinks, foreignLink, groupFolder, startLink, desktopLink;  // still there afterwards
};
constexpr Expected kAllGone{false, false, false, false, false};
constexpr Expected kUntouched{true, true, true, true, true};

void ExpectShortcuts(const Folders& f, const Expected& e, bool foreignMade, const char* where) {
  SCOPED_TRACE(where);
  EXPECT_EQ(FileExists(f.Group() + "\\" + kName + ".LNK"), e.groupLinks);
  EXPECT_EQ(FileExists(f.Group() + "\\Programm entfernen.LNK"), e.groupLinks);
  EXPECT_EQ(FileExists(f.Group() + "\\Fremd.LNK"), e.foreignLink && foreignMade);
  EXPECT_EQ(DirectoryExists(f.Group()), e.groupFolder);
  EXPECT_EQ(FileExists(f.StartLink()), e.startLink);
  EXPECT_EQ(FileExists(f.DesktopLink()), e.desktopLink);
}

TEST(RemoveGroupAndShortcuts, WhereTheInstallerPutThem) {
  kvtest::TempDir temp;
  const std::string programDir = temp.Path() + "Demo";
  // Another account's profile with the German folders.
  const std::string fakeProfile = AddBackslash(GetProfilesDirectory()) + "KvTest Profil";
  const std::string ownProfile = AddBackslash(GetProfilesDirectory()) + GetUserLoginName();
  const std::string allUsers = AddBackslash(GetProfilesDirectory()) + "All Users";
  const Folders german = GermanFolders(fakeProfile);
  const Folders user = ShellFolders(false);
  const Folders common = ShellFolders(true);
  ASSERT_FALSE(DirectoryExists(GermanFolders(ownProfile).startMenu)) << "the prefix has German folders";

  struct Case {
    const char* what;
    std::string group, profile, programDir;
    bool foreignInGroup;
    Expected german, user, common;
  };
  const std::vector<Case> cases = {
      {"German folders: the user's own link stays with the group", kGroup, fakeProfile, programDir, true,
       {false, true, true, false, false}, kUntouched, kUntouched},
      {"German folders: the group folder goes once it is empty", kGroup, fakeProfile, programDir, false, kAllGone,
       kUntouched, kUntouched},
      {"no profile folder: not looked into", kGroup, fakeProfile + "\\..\\KvTest Profil", programDir, true,
       kUntouched, {false, true, true, false, false}, kUntouched},
      {"the user's shell folders: only links into the program", kGroup, ownProfile, programDir, true, kUntouched,
       {false, true, true, false, false}, kUntouched},
      {"the group folder goes once it is empty", kGroup, ownProfile, programDir, false, kUntouched, kAllGone,
       kUntouched},
      {"all users: the common shell folders", kGroup, allUsers, programDir, true, kUntouched, kUntouched,
       {false, true, true, false, false}},
      {"no group name: nothing", "", ownProfile, programDir, true, kUntouched, kUntouched, kUntouched},
      {"no program directory: no link is known as the program's", kGroup, ownProfile, "", true, kUntouched,
       kUntouched, kUntouched},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const Folders* f : {&german, &user, &common}) MakeShortcuts(*f, programDir, c.foreignInGroup);
    RemoveGroupAndShortcuts(c.group, kName, c.profile, c.programDir);
    ExpectShortcuts(german, c.german, c.foreignInGroup, "German folders");
    ExpectShortcuts(user, c.user, c.foreignInGroup, "user's shell folders");
    ExpectShortcuts(common, c.common, c.foreignInGroup, "common shell folders");
    for (const Folders* f : {&german, &user, &common}) RemoveShortcuts(*f);
  }
  DeleteDirTree(fakeProfile);
}

}  // namespace
