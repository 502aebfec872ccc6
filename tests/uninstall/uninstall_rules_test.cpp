// The uninstaller's decisions on plain values: which listed files and which
// directory may go, which registry names address one entry, and the
// self-removal script's lines.
#include "engine/program_group.h"
#include "tests/support/print_enums.h"
#include "uninstall/listed_files.h"
#include "uninstall/program_dir.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall_entries.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

namespace {

const char kLocal[] = "C:\\Dokumente und Einstellungen\\Hans\\Lokale Einstellungen";
const ProtectedFolders kGermanXp = {
    {"C:\\WINDOWS", "C:\\WINDOWS\\system32", "C:\\Programme",
     "C:\\Dokumente und Einstellungen\\Hans\\Desktop",
     "C:\\Dokumente und Einstellungen\\Hans\\Startmenü\\Programme", "C:\\DOKUME~1\\Hans\\Desktop",
     std::string(kLocal) + "\\Anwendungsdaten", std::string(kLocal) + "\\Temp"},
    {"C:\\Dokumente und Einstellungen"},
    {"C:\\Programme", "C:\\Programme\\Gemeinsame Dateien"},
};

TEST(ProgramDir, OwnDirectoryUnlessProtected) {
  struct Case {
    const char* what;
    const char* file1;
    std::string ownDir;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"File1 in the own directory keeps its spelling", "c:\\programme\\demo\\demo.exe", "C:\\Programme\\Demo\\",
       "c:\\programme\\demo"},
      {"no File1", "", "C:\\Programme\\Demo\\", "C:\\Programme\\Demo"},
      {"File1 without a directory", "demo.exe", "C:\\Programme\\Demo\\", "C:\\Programme\\Demo"},
      {"File1 in the Windows directory", "c:\\windows\\demo.ini", "C:\\Programme\\Demo\\", "C:\\Programme\\Demo"},
      {"File1 in a subfolder", "c:\\programme\\demo\\bin\\demo.exe", "C:\\Programme\\Demo\\",
       "C:\\Programme\\Demo"},
      {"drive root", "c:\\demo.exe", "C:\\", ""},
      {"another drive's root", "", "D:\\", ""},
      {"share root", "", "\\\\server\\share\\", ""},
      {"folder on a share", "", "\\\\server\\share\\Demo\\", "\\\\server\\share\\Demo"},
      {"Windows directory", "c:\\windows\\demo.exe", "C:\\WINDOWS\\", ""},
      {"system directory", "", "c:\\windows\\system32\\", ""},
      {"a folder holding the desktop", "", "C:\\Dokumente und Einstellungen\\Hans\\", ""},
      {"the Start menu holding the Programs folder", "", "C:\\Dokumente und Einstellungen\\Hans\\Startmenü\\", ""},
      {"desktop by its short name", "", "C:\\DOKUME~1\\Hans\\Desktop\\", ""},
      {"profiles directory", "", "C:\\Dokumente und Einstellungen\\", ""},
      {"another account's profile", "", "C:\\Dokumente und Einstellungen\\All Users\\", ""},
      {"a folder inside a profile", "", "C:\\Dokumente und Einstellungen\\Hans\\Demo\\",
       "C:\\Dokumente und Einstellungen\\Hans\\Demo"},
      {"program-files folder", "", "C:\\Programme\\", ""},
      {"programs folder of another drive", "", "D:\\programme\\", ""},
      {"English programs folder, not the system's", "", "E:\\Program Files\\", ""},
      {"programs folder on a share", "", "\\\\server\\share\\Programme\\", ""},
      {"common files on another drive", "", "D:\\Programme\\Gemeinsame Dateien\\", ""},
      {"a product folder in another drive's programs folder", "", "D:\\Programme\\Demo\\",
       "D:\\Programme\\Demo"},
      {"local application data", "", std::string(kLocal) + "\\Anwendungsdaten\\", ""},
      {"the folder holding the temporary folder", "", std::string(kLocal) + "\\", ""},
      {"temporary folder", "", std::string(kLocal) + "\\TEMP", ""},
      {"a folder inside the temporary folder", "", std::string(kLocal) + "\\Temp\\Demo\\",
       std::string(kLocal) + "\\Temp\\Demo"},
      {"name that merely begins like a protected one", "", "C:\\Windows Tools\\", "C:\\Windows Tools"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ChooseProgramDir(c.file1, c.ownDir, kGermanXp), c.expected);
  }
}

TEST(ProgramDir, FolderComparisons) {
  EXPECT_TRUE(SameFolder("C:\\Programme\\Demo", "c:\\programme\\demo\\"));
  EXPECT_FALSE(SameFolder("C:\\Programme\\Demo", "C:\\Programme\\Demo2"));
  EXPECT_TRUE(IsInsideFolder("C:\\Programme\\Demo\\DEMO.EXE", "c:\\programme\\demo"));
  EXPECT_TRUE(IsInsideFolder("C:\\Programme\\Demo\\bin\\x.dll", "C:\\Programme\\Demo\\"));
  EXPECT_FALSE(IsInsideFolder("C:\\Programme\\Demo", "C:\\Programme\\Demo"));
  EXPECT_FALSE(IsInsideFolder("C:\\Programme\\Demo2\\x.exe", "C:\\Programme\\Demo"));
  EXPECT_FALSE(IsInsideFolder("C:\\x.exe", ""));  // no program directory: nothing is inside
}

// Nobody has seen what is left, so the directory goes only with nothing of the user's in it.
TEST(ProgramDir, UnattendedRunRemovesItOnlyWithNothingOfTheUsersLeft) {
  const std::string dir = "C:\\Programme\\Demo";
  const auto at = [&](const char* name, bool folder = false, bool link = false) {
    return DirEntry{dir + "\\" + name, folder, link};
  };
  const std::pair<std::vector<DirEntry>, bool> cases[] = {
      {{}, true},
      {{at("install1.log"), at("UNINSTAL.EXE"), at("A", true)}, true},  // and empty folders
      {{at("install1.log"), at("Notizen.txt")}, false},                 // a user's file or a listed one in use
      {{at("A", true), at("A\\install1.log")}, false},                  // the log's name deeper down
      {{at("Dokumente", true, true)}, false},                          // a folder link
      {{at("install1.log", false, true)}, false}};                     // a file link under the log's name
  for (const auto& [tree, goes] : cases) {
    SCOPED_TRACE(tree.empty() ? "nothing" : tree.back().path);
    EXPECT_EQ(UnattendedProgramDirFate(tree, dir, "Uninstal.exe"),
              goes ? ProgramDirFate::Goes : ProgramDirFate::KeepsUsersFiles);
  }
}

TEST(ListedFiles, DeletedOnlyInsideTheProgramOrTheWindowsDirectory) {
  using P = ListedFilePlace;
  const ListedFileFolders own = {{"C:\\Programme\\Demo", "C:\\PROGRA~1\\Demo"}, false, {"C:\\WINDOWS"}};
  const ListedFileFolders shortOnly = {{"C:\\PROGRA~1\\DEMO"}, false, {"C:\\WINDOWS"}};
  const ListedFileFolders share = {{"\\\\server\\share\\Demo"}, false, {"C:\\WINDOWS"}};
  const ListedFileFolders shared = {{"C:\\Programme\\"}, true, {"C:\\WINDOWS"}};
  const ListedFileFolders inWindows = {{"C:\\WINDOWS"}, true, {"C:\\WINDOWS"}};
  const ListedFileFolders belowWindows = {{"C:\\WINDOWS\\Demo"}, false, {"C:\\WINDOWS"}};
  struct Case {
    const char* what;
    const ListedFileFolders& folders;
    const char* file;
    const char* shortPath;
    P expected;
  };
  const Case cases[] = {
      {"as the installer writes it", own, "c:\\programme\\demo\\demo.exe", "", P::ProgramDir},
      {"in a subfolder", own, "C:\\Programme\\Demo\\Daten\\kunden.hdb", "", P::ProgramDir},
      {"forward slashes", own, "C:/Programme/Demo/demo.exe", "", P::ProgramDir},
      {"long in the log, found by its short form", shortOnly, "c:\\programme\\demo\\demo.exe",
       "C:\\PROGRA~1\\DEMO\\DEMO.EXE", P::ProgramDir},
      {"Windows directory", own, "c:\\windows\\demo.ini", "", P::WindowsDir},
      {"below the Windows directory", own, "C:\\WINDOWS\\system32\\demo.dll", "", P::WindowsDir},
      {"a share", share, "\\\\SERVER\\share\\demo\\demo.exe", "", P::ProgramDir},
      {"a document", own, "c:\\users\\hans\\documents\\thesis.doc", "", P::Elsewhere},
      {"another product", own, "C:\\Programme\\Andere Firma\\shared.dll", "", P::Elsewhere},
      {"the directory itself", own, "C:\\Programme\\Demo", "", P::Elsewhere},
      {"the directory with a backslash", own, "C:\\Programme\\Demo\\", "", P::Elsewhere},
      {"empty", own, "", "", P::Elsewhere},
      {"not a folder boundary", own, "C:\\Programme\\Demo2\\x.exe", "", P::Elsewhere},
      {"up and out", own, "C:\\Programme\\Demo\\..\\Andere Firma\\shared.dll", "", P::Elsewhere},
      {"up and back in", own, "C:\\Programme\\Demo\\Daten\\..\\demo.exe", "", P::Elsewhere},
      {"up out of the Windows directory", own, "C:\\WINDOWS\\..\\boot.ini", "", P::Elsewhere},
      {"dots and blanks the system trims to dots", own, "C:\\Programme\\Demo\\. .\\x.dll", "", P::Elsewhere},
      {"a doubled backslash", own, "C:\\Programme\\Demo\\\\demo.exe", "", P::Elsewhere},
      {"up, though the short form lies inside", shortOnly, "C:\\PROGRA~1\\DEMO\\X\\..\\..\\y.dll",
       "C:\\PROGRA~1\\DEMO\\Y.DLL", P::Elsewhere},
      {"a short form outside", shortOnly, "c:\\dokumente und einstellungen\\hans\\thesis.doc",
       "C:\\DOKUME~1\\HANS\\THESIS.DOC", P::Elsewhere},
      {"the \\\\?\\ form", own, "\\\\?\\C:\\Programme\\Demo\\demo.exe", "", P::Elsewhere},
      {"a stream", own, "C:\\Programme\\Demo\\demo.exe:Zone.Identifier", "", P::Elsewhere},
      {"directly in a shared program directory", shared, "c:\\programme\\demo.exe", "", P::ProgramDir},
      {"below a shared program directory", shared, "C:\\Programme\\Andere Firma\\shared.dll", "", P::Elsewhere},
      // Files of the Windows directory go by their counts wherever the uninstaller lies.
      {"uninstaller in the Windows directory", inWindows, "c:\\windows\\demo.ini", "", P::WindowsDir},
      {"uninstaller below the Windows directory", belowWindows, "c:\\windows\\demo\\demo.exe", "", P::WindowsDir},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PlaceOfListedFile(c.file, c.shortPath, c.folders), c.expected);
  }
}

// What a run keeps so that running it again finishes the job, and when it
// may say it is done.
TEST(ListedFiles, WhatStaysAndWhetherTheRunIsComplete) {
  using P = ListedFilePlace;
  const ListedFileAfter gone{"c:\\p\\demo.exe", P::ProgramDir, false}, inUse{"c:\\p\\demo.hlp", P::ProgramDir, true},
      othersIni{"c:\\windows\\andere.ini", P::WindowsDir, true}, outside{"c:\\andere\\brief.doc", P::Elsewhere, true},
      outsideGone{"c:\\andere\\alt.txt", P::Elsewhere, false};
  const struct {
    std::vector<ListedFileAfter> listed;
    std::vector<std::string> sharedInUse, staying;
    bool complete;
  } cases[] = {
      {{gone, outsideGone, othersIni}, {}, {}, true},  // a listed Windows file goes by its record alone
      {{gone, inUse}, {}, {"c:\\p\\demo.hlp"}, false},
      {{gone}, {"C:\\WINDOWS\\DEMO.INI"}, {"c:\\windows\\demo.ini"}, false},  // in the log's spelling
      {{gone, outside}, {}, {}, false},  // never this program's to delete: nothing to keep, but not done
      {{inUse, outside}, {"C:\\WINDOWS\\Demo.ini"}, {"c:\\p\\demo.hlp", "c:\\windows\\demo.ini"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.staying));
    const RemovalEnd end = EndOfRemoval(c.listed, c.sharedInUse);
    EXPECT_EQ(end.staying, c.staying);
    EXPECT_EQ(end.complete, c.complete);
  }
}

// The spelling a logged name finds in its folder's listing, as Windows finds
// a name in any case; a folder of a case-sensitive file system (Wine's) may
// hold two spellings, and then the one spelled alike wins.
TEST(ListedFiles, LoggedNamesFindTheirFolderEntry) {
  const FolderNames folder({{"DB000060.BIN", false},
                            {"Übung.TXT", false},
                            {"Readme.txt", false},
                            {"README.TXT", false},
                            {"a.txt", false},
                            {"A.TXT", false},
                            {"Daten", true}});
  const struct {
    const char* logged;
    const char* found;  // nullptr: none
  } cases[] = {
      {"db000060.bin", "DB000060.BIN"},
      {"DB000060.BIN", "DB000060.BIN"},
      {"übung.txt", nullptr},        // beyond ASCII the system decides
      {"Übung.txt", "Übung.TXT"},
      {"readme.txt", "Readme.txt"},  // the first listed of two foldings
      {"README.TXT", "README.TXT"},  // the one spelled alike before it
      {"a.txt", "a.txt"},
      {"A.TXT", "A.TXT"},
      {"a.tx", nullptr},
      {"", nullptr},
      {"daten", "Daten"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.logged);
    const FolderNames::Entry* entry = folder.Find(c.logged);
    ASSERT_EQ(entry != nullptr, c.found != nullptr);
    if (entry) {
      EXPECT_EQ(entry->name, c.found);
    }
  }
  EXPECT_TRUE(folder.Find("daten")->link);
}

TEST(UninstallEntry, NamesThatAddressOneEntry) {
  const std::vector<std::pair<const char*, bool>> cases = {
      {"Demo", true},       {"Demo Manager", true}, {"Firma\\Demo", true}, {"", false},
      {"\\", false},        {"Demo\\", false},      {"\\Demo", false},     {"Firma\\\\Demo", false},
  };
  for (const auto& [name, valid] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(IsUninstallEntryName(name), valid);
  }
}

TEST(ProgramGroup, GroupAndShortcutNamesInsideTheirFolder) {
  const std::vector<std::tuple<const char*, bool, bool>> cases = {  // name, group name, shortcut name
      {"Demo", true, true},      {"Firma\\Demo", true, false}, {"Demo..alt", true, true},   {".Demo", true, true},
      {"", false, false},        {"..", false, false},         {"Demo\\..\\..", false, false},
      {"../Demo", false, false},
      {".", false, false},       {"...", false, false},        {". .", false, false},     {"\\", false, false},
      {"\\Demo", false, false},  {"C:\\Demo", false, false},   {"C:Demo", false, false},  {"Demo:x", false, false},
      {"Firma/Demo", true, false}, {"..\\..\\Hans\\Desktop\\Bank", false, false},
      // A wildcard would make the search for the link find others'.
      {"*", true, false},          {"Demo?", true, false},       {"<Demo>", true, false},   {"\"Demo\"", true, false}};
  for (const auto& [name, group, shortcut] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(IsGroupFolderName(name), group);
    EXPECT_EQ(IsPlainShortcutName(name), shortcut);
  }
}

TEST(Shortcuts, ProfileFolderAccepted) {
  using K = FolderKind;
  const std::string p = "C:\\Dokumente und Einstellungen";
  const std::vector<std::tuple<std::string, K, bool>> cases = {
      {p + "\\Hans", K::Plain, true},           {"c:\\dokumente und einstellungen\\hans", K::Missing, true},
      {p + "\\All Users", K::Link, true},       {p + "\\Hans", K::Link, false},  // Vista's own link; another
      {p + "\\ALL USERS", K::Link, true},
      {p + "\\Hans\\Startmenü", K::Plain, false}, {p + "\\..", K::Plain, false},
      {p + "\\Hans\\..\\Grete", K::Plain, false}, {p, K::Plain, false},
      {p + "2\\Hans", K::Plain, false},         {"", K::Missing, false}};
  for (const auto& [dir, kind, accepted] : cases) {
    SCOPED_TRACE(dir);
    EXPECT_EQ(IsProfileFolder(dir, p, kind), accepted);
  }
}

TEST(Shortcuts, FoldersWhereTheInstallerPutThem) {
  const std::string hans = "C:\\Profile\\Hans", all = "C:\\Profile\\All Users";
  const ShortcutFolders user{"U\\Programs", "U\\Start", "U\\Desktop"}, common{"A\\Programs", "A\\Start", "A\\Desktop"};
  const std::set<std::string> german = {hans,        hans + "\\Startmenü", hans + "\\Startmenü\\Programme",
                                        hans + "\\Desktop", all + "\\Startmenü", "S\\Start",
                                        "S\\Start\\Programme", "S\\Desktop"};
  // Profile "...*": the profile folder is a link.
  const std::vector<std::tuple<const char*, std::string, std::set<std::string>, std::string>> cases = {
      {"German layout", hans, german, hans + "\\Startmenü\\Programme|" + hans + "\\Startmenü|" + hans + "\\Desktop"},
      {"Vista layout", hans, {}, "U\\Programs|U\\Start|U\\Desktop"},
      {"all users, no Programme", all, german, "A\\Programs|" + all + "\\Startmenü|A\\Desktop"},
      {"all users in another letter case, Vista layout", "C:\\Profile\\all users", {},
       "A\\Programs|A\\Start|A\\Desktop"},
      {"no profile", "", german, "S\\Start\\Programme|S\\Start|S\\Desktop"},
      {"a profile that is a link", hans + "*", german, "U\\Programs|U\\Start|U\\Desktop"},
      {"the Start menu not a real folder", hans, {hans, hans + "\\Startmenü\\Programme"},
       "U\\Programs|U\\Start|U\\Desktop"},
      {"no profile folder", hans + "\\..\\..\\Temp", german, "U\\Programs|U\\Start|U\\Desktop"}};
  for (const auto& [what, profile, disk, expected] : cases) {
    SCOPED_TRACE(what);
    const bool link = profile.back() == '*';
    const ShortcutFacts facts{link ? hans : profile, "C:\\Profile", "S\\Start", "S\\Desktop", user, common};
    const ShortcutFolders got = ChooseShortcutFolders(facts, [&, &d = disk](const std::string& path) {
      return link && path == hans ? FolderKind::Link : d.count(path) ? FolderKind::Plain : FolderKind::Missing;
    });
    EXPECT_EQ(got.programs + "|" + got.startMenu + "|" + got.desktop, expected);
  }
  EXPECT_EQ(ChooseShortcutFolders({hans, "C:\\Profile", "", "S\\Desktop", user, common}, [](const std::string&) {
              return FolderKind::Plain;
            }).programs, "") << "no Start menu, nothing";
}

TEST(Shortcuts, OnlyTheProductsLinksAndOnlyThisUninstallersEntry) {
  const std::vector<std::string> demo = {"C:\\Programme\\Demo", "C:\\PROGRA~1\\Demo"};
  const std::vector<std::tuple<LinkFile, bool>> links = {
      {{false, false, "C:\\Programme\\Demo\\demo.exe"}, true},
      {{false, false, "c:\\progra~1\\demo\\Uninstal.exe"}, true},
      {{false, false, "C:\\Windows\\notepad.exe"}, false},   {{false, false, "C:\\Programme\\Demo2\\x.exe"}, false},
      {{false, false, "C:\\Programme\\Demo\\..\\x.exe"}, false}, {{false, false, "C:\\Programme\\Demo"}, false},
      {{false, false, "NOT a shortuct by extension!"}, false}, {{true, false, ""}, false},
      {{false, true, "C:\\Programme\\Demo\\demo.exe"}, false}};
  for (const auto& [file, product] : links) {
    SCOPED_TRACE(file.target);
    EXPECT_EQ(IsProductShortcut(file, demo), product);
  }
  EXPECT_FALSE(IsProductShortcut({false, false, "C:\\Programme\\Demo\\demo.exe"}, {})) << "no program directory";
  const char own[] = "C:\\Programme\\Büro\\Uninstal.exe", ownShort[] = "C:\\PROGRA~1\\BRO~1\\UNINSTAL.EXE";
  const std::vector<std::tuple<const char*, const char*, bool>> entries = {  // UninstallString, its short form
      {own, "", true}, {"c:\\programme\\büro\\UNINSTAL.EXE", "", true}, {ownShort, ownShort, true},
      {"C:\\Programme\\Büro\\..\\Büro\\Uninstal.exe", ownShort, true}, {"C:\\Programme\\Büro\\demo.exe", "", false},
      {"\"C:\\Programme\\Büro\\Uninstal.exe\"", "", false}, {"", "", false}};
  for (const auto& [value, valueShort, ours] : entries) {
    SCOPED_TRACE(value);
    EXPECT_EQ(SameFile(value, valueShort, own, ownShort), ours);
  }
  EXPECT_FALSE(SameFile("C:\\x.exe", "", "C:\\y.exe", "")) << "unknown short forms are no match";
}

TEST(SelfRemovalScript, Lines) {
  EXPECT_EQ(SelfRemovalScriptPath("C:\\TEMP\\$1A2B.TMP"), "C:\\TEMP\\$1A2B.bat");
  EXPECT_EQ(SelfRemovalLines("D:\\Apps\\Tool\\Uninstal.exe", "D:\\Apps\\Tool", "C:\\TEMP\\$1A2B.bat"),
            (std::vector<std::string>{
                ":label1",
                "del \"D:\\Apps\\Tool\\Uninstal.exe\"",
                "if exist \"D:\\Apps\\Tool\\Uninstal.exe\" ping -n 2 127.0.0.1 >nul",
                "if exist \"D:\\Apps\\Tool\\Uninstal.exe\" goto label1",
                "rmdir \"D:\\Apps\\Tool\"",
                "del \"C:\\TEMP\\$1A2B.bat\"",
            }));
  // Blanks, "&", "^", "(", ")" and "!" stay inside the quotes; a "%" would start a variable.
  EXPECT_EQ(SelfRemovalLines("C:\\Mein Tool 100%\\Uninstal.exe", "C:\\Mein Tool 100%",
                             "C:\\Meier & Co (^!) 5%\\$1.bat"),
            (std::vector<std::string>{
                ":label1",
                "del \"C:\\Mein Tool 100%%\\Uninstal.exe\"",
                "if exist \"C:\\Mein Tool 100%%\\Uninstal.exe\" ping -n 2 127.0.0.1 >nul",
                "if exist \"C:\\Mein Tool 100%%\\Uninstal.exe\" goto label1",
                "rmdir \"C:\\Mein Tool 100%%\"",
                "del \"C:\\Meier & Co (^!) 5%%\\$1.bat\"",
            }));
}

}  // namespace
