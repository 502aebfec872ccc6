// The confirmation list of the program directory, and the paths and names the
// self-removal script is built from, against real files under Wine.
#include "system/ascii_case.h"
#include "system/helpers.h"
#include "system/handles.h"
#include "system/os_error.h"
#include "system/win.h"
#include "tests/support/print_enums.h"
#include "tests/support/test_files.h"
#include "uninstall/listed_files.h"
#include "uninstall/program_dir.h"
#include "uninstall/self_removal.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <set>

namespace {

using kvtest::WriteBytes;

std::set<std::string> Slice(const std::vector<std::string>& list, std::size_t from, std::size_t to) {
  return {list.begin() + static_cast<std::ptrdiff_t>(std::min(from, list.size())),
          list.begin() + static_cast<std::ptrdiff_t>(std::min(to, list.size()))};
}

// Names that begin with a dot are listed: the deletion removes them too.
TEST(ProgramDirListing, TheDirectoryThenEachLevelThenItsSubfolders) {
  kvtest::TempDir temp;
  const std::string root = temp.Path() + "Demo\\";
  for (const char* dir : {"", "sub\\", "sub\\deeper\\", "sub\\.svn\\", "empty\\", ".git\\"})
    ForceDirectories(root + dir);
  for (const char* file : {"a.txt", ".profile", "sub\\b.txt", "sub\\deeper\\c.txt", "sub\\.svn\\entries",
                           ".git\\config"})
    WriteBytes(root + file, "x");
  ::SetFileAttributesA((root + "a.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

  const std::vector<std::string> list = ProgramDirListing(RemoveBackslash(root));
  ASSERT_EQ(list.size(), 12u);
  EXPECT_EQ(list[0], RemoveBackslash(root));  // the directory itself comes first
  // Within a level the file system's order; each level before its subfolders.
  const std::set<std::string> top = {root + "a.txt", root + ".profile", root + "sub", root + "empty", root + ".git"};
  EXPECT_EQ(Slice(list, 1, 6), top);
  EXPECT_EQ(Slice(list, 6, 12),
            (std::set<std::string>{root + "sub\\b.txt", root + "sub\\deeper", root + "sub\\.svn",
                                   root + "sub\\deeper\\c.txt", root + "sub\\.svn\\entries", root + ".git\\config"}));
  const auto at = [&](const std::string& path) { return std::find(list.begin(), list.end(), root + path); };
  EXPECT_LT(at("sub\\b.txt"), at("sub\\deeper\\c.txt"));

  std::vector<std::string> flat;
  ListDirTree(root + "*.*", false, flat);
  EXPECT_EQ(std::set<std::string>(flat.begin(), flat.end()), top);
}

// The folders the system names are looked up: none of them, nor the shell's
// common-files folder on another drive, is offered; a product folder in them is.
TEST(SystemProtectedFolders, TheShellsFoldersAndTheTemporaryFolderStay) {
  const ProtectedFolders folders = SystemProtectedFolders();
  char temp[MAX_PATH] = {};
  ASSERT_NE(::GetTempPathA(MAX_PATH, temp), 0u);
  const std::vector<std::pair<const char*, std::string>> kept = {
      {"temporary folder", temp},  {"local application data", GetSpecialFolder(CSIDL_LOCAL_APPDATA)},
      {"fonts", GetSpecialFolder(CSIDL_FONTS)},  {"common application data", GetSpecialFolder(CSIDL_COMMON_APPDATA)},
      {"templates", GetSpecialFolder(CSIDL_TEMPLATES)},  {"common files", GetSpecialFolder(CSIDL_PROGRAM_FILES_COMMON)},
      {"common files on drive Z:", "Z:\\Program Files\\Common Files"},
  };
  for (const auto& [what, folder] : kept) {
    SCOPED_TRACE(what);
    ASSERT_GT(folder.size(), 3u) << folder;
    EXPECT_EQ(ChooseProgramDir("", AddBackslash(folder), folders), "");
  }
  const std::string localApp = GetSpecialFolder(CSIDL_LOCAL_APPDATA) + "\\Demo";
  EXPECT_EQ(ChooseProgramDir("", localApp, folders), localApp);
  EXPECT_EQ(ChooseProgramDir("", "Z:\\Program Files\\Demo\\", folders), "Z:\\Program Files\\Demo");
}

// Runs a Unix program until done() holds: only the Unix side can make the
// links Wine shows as junctions. Wine gives no handle of such a process.
bool RunUnix(const std::string& program, std::string line, const std::function<bool()>& done) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!::CreateProcessA(("Z:" + program).c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
    return false;
  for (const DWORD start = ::GetTickCount(); !done(); ::Sleep(20))
    if (::GetTickCount() - start > 10000) return false;
  return true;
}

// A listed file behind a folder link in the program directory lies elsewhere:
// the link leads out of it (Wine shows a file link as the file it names).
// The log's lower-case names find the files as their folders spell them.
TEST(ListedFiles, NothingBehindALinkInTheProgramDirectory) {
  const std::string unixRoot = "/tmp/kvtest-links-" + std::to_string(::GetCurrentProcessId());
  std::string root = "Z:" + unixRoot + "/";
  std::replace(root.begin(), root.end(), '/', '\\');
  const std::string dir = root + "Demo";
  ASSERT_TRUE(ForceDirectories(dir + "\\Daten") && ForceDirectories(root + "Andere"));
  for (const std::string& file : {dir + "\\Daten\\Kunden.HDB", dir + "\\LIESMICH.TXT", root + "Andere\\thesis.doc",
                                  root + "Andere\\Notiz.txt"})
    WriteBytes(file, "x");
  ASSERT_TRUE(RunUnix("/bin/ln", "ln -s " + unixRoot + "/Andere " + unixRoot + "/Demo/Verweis",
                      [&] { return FileExists(dir + "\\Verweis\\thesis.doc"); }));

  const std::string logged = AsciiLowerCase(dir);
  const struct {
    std::string file;
    ListedFilePlace place;
    std::string diskPath;
  } cases[] = {
      {dir + "\\Daten\\Kunden.HDB", ListedFilePlace::ProgramDir, dir + "\\Daten\\Kunden.HDB"},
      {logged + "\\daten\\kunden.hdb", ListedFilePlace::ProgramDir, logged + "\\daten\\Kunden.HDB"},
      {logged + "\\liesmich.txt", ListedFilePlace::ProgramDir, logged + "\\LIESMICH.TXT"},
      {logged + "\\daten\\fehlt.hdb", ListedFilePlace::ProgramDir, logged + "\\daten\\fehlt.hdb"},
      // The second file behind the link is decided by the walk its folder made once.
      {dir + "\\Verweis\\thesis.doc", ListedFilePlace::Elsewhere, ""},
      {logged + "\\verweis\\notiz.txt", ListedFilePlace::Elsewhere, ""},
      {logged + "\\verweis", ListedFilePlace::Elsewhere, ""},
  };
  ListedFileLookup lookup(ListedFileFoldersOf(dir, false));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const LocatedFile located = lookup.Locate(c.file);
    EXPECT_EQ(located.place, c.place);
    if (c.place != ListedFilePlace::Elsewhere) {
      EXPECT_EQ(located.diskPath, c.diskPath);
    }
  }
  EXPECT_TRUE(RunUnix("/bin/rm", "rm -rf " + unixRoot, [&] { return !DirectoryExists(dir); }));
}

TEST(BatchFilePath, OemFormOrShortName) {
  kvtest::TempDir temp;
  const std::string umlaut = temp.Path() + "Büro Demo\\Uninstal.exe";
  const std::string euro = temp.Path() + "Preis€\\Uninstal.exe";
  for (const std::string& path : {umlaut, euro}) {
    ForceDirectories(ExtractFilePath(path));
    WriteBytes(path, "x");
  }
  ASSERT_EQ(::GetOEMCP(), 437u);  // the test prefix; "ü" is 0x81 there, "€" has no form

  std::string expected = umlaut;
  std::replace(expected.begin(), expected.end(), '\xFC', '\x81');
  EXPECT_EQ(BatchFilePath(umlaut), expected);
  EXPECT_EQ(BatchFilePath("C:\\Programme\\Demo"), "C:\\Programme\\Demo");

  const std::string shortForm = BatchFilePath(euro);
  char shortName[MAX_PATH] = {};
  ASSERT_NE(::GetShortPathNameA(euro.c_str(), shortName, MAX_PATH), 0u);
  EXPECT_EQ(shortForm, shortName);
  EXPECT_TRUE(std::none_of(shortForm.begin(), shortForm.end(), [](char c) { return c & 0x80; })) << shortForm;
}

// Sets an environment variable for one scope.
class ScopedEnvironment {
public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    char old[MAX_PATH * 2] = {};
    had_ = ::GetEnvironmentVariableA(name, old, sizeof old) != 0;
    old_ = old;
    ::SetEnvironmentVariableA(name, value.c_str());
  }
  ~ScopedEnvironment() { ::SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

private:
  const char* name_;
  std::string old_;
  bool had_;
};

TEST(MakeTempName, UniqueEmptyFileInTheTemporaryFolder) {
  kvtest::TempDir temp;
  const ScopedEnvironment tmp("TMP", temp.Path());
  const std::string first = MakeTempName();
  const std::string second = MakeTempName();
  EXPECT_NE(first, second);
  for (const std::string& name : {first, second}) {
    SCOPED_TRACE(name);
    // Windows writes four hexadecimal digits; Wine drops leading zeros.
    const std::size_t digits = name.size() - temp.Path().size() - 5;
    ASSERT_GE(digits, 1u);
    ASSERT_LE(digits, 4u);
    EXPECT_EQ(name.compare(0, temp.Path().size() + 1, temp.Path() + "$"), 0);
    EXPECT_TRUE(std::all_of(name.end() - 4 - static_cast<std::ptrdiff_t>(digits), name.end() - 4, ::isxdigit));
    EXPECT_EQ(AnsiUpperCase(ExtractFileExt(name)), ".TMP");
    EXPECT_TRUE(FileExists(name));
  }
}

TEST(MakeTempName, NoTemporaryFolderRaisesWithTheSystemsText) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"missing folder", "C:\\kv-no-such-folder\\"},
      {"folder too long for a name", "C:\\" + std::string(250, 'x') + "\\"},
  };
  for (const auto& [what, folder] : cases) {
    SCOPED_TRACE(what);
    const ScopedEnvironment tmp("TMP", folder);
    try {
      MakeTempName();
      ADD_FAILURE() << "no exception";
    } catch (const EOSError& e) {
      EXPECT_EQ(e.what(), SysErrorMessage(e.Code()));
      EXPECT_FALSE(std::string(e.what()).empty());
    }
  }
}

}  // namespace
