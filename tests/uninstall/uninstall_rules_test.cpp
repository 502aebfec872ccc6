// The uninstaller's decisions on plain values: which listed files and which
// directory may go, which registry names address one entry, and the
// self-removal script's lines.
#include "engine/program_group.h"
#include "uninstall/listed_files.h"
#include "uninstall/program_dir.h"
#include "uninstall/self_removal.h"
#include "uninstall/uninstall_entries.h"

#include <gtest/gtest.h>

#include <map>
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

TEST(ListedFiles, DeletedOnlyInsideTheProgramOrTheWindowsDirectory) {
  using P = ListedFilePlace;
  const ListedFileFolders own = {{"C:\\Programme\\Demo", "C:\\PROGRA~1\\Demo"}, false, {"C:\\WINDOWS"}};
  const ListedFileFolders shortOnly = {{"C:\\PROGRA~1\\DEMO"}, false, {"C:\\WINDOWS"}};
  const ListedFileFolders share = {{"\\\\server\\share\\Demo"}, false, {"C:\\WINDOWS"}};
  const ListedFileFolders shared = {{"C:\\Programme\\"}, true, {"C:\\WINDOWS"}};
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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(PlaceOfListedFile(c.file, c.shortPath, c.folders), c.expected);
  }
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

TEST(ProgramGroup, NamesInsideTheProgramsFolder) {
  const std::vector<std::pair<const char*, bool>> cases = {
      {"Demo", true},       {"Firma\\Demo", true}, {"Demo..alt", true},        {".Demo", true},
      {"Autostart", true},  {"", false},           {"..", false},            {"Demo\\..\\..", false},
      {"../Demo", false},   {".", false},          {"...", false},           {". .", false},
      {"\\", false},        {"\\Demo", false},     {"/Demo", false},         {"Demo\\", false},
      {"C:\\Demo", false},  {"C:Demo", false},     {"Demo:Strom", false},    {"Firma\\\\Demo", false},
  };
  for (const auto& [name, valid] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(IsGroupFolderName(name), valid);
  }
}

TEST(Shortcuts, PlainNamesOnly) {
  const std::vector<std::pair<const char*, bool>> cases = {
      {"Demo", true},         {"Demo 2.0", true},   {"..Demo", true},  {"", false},
      {".", false},           {"..", false},        {". .", false},    {"..\\..\\Hans\\Desktop\\Bank", false},
      {"Hans/Desktop", false}, {"C:Bank", false},   {"Demo:x", false}, {"\\Demo", false},
  };
  for (const auto& [name, plain] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(IsPlainShortcutName(name), plain);
  }
}

TEST(Shortcuts, ProfileFolderAccepted) {
  using K = FolderKind;
  const std::string profiles = "C:\\Dokumente und Einstellungen";
  const struct {
    std::string dir;
    K kind;
    bool accepted;
  } cases[] = {
      {profiles + "\\Hans", K::Plain, true},
      {"c:\\dokumente und einstellungen\\hans", K::Plain, true},
      {profiles + "\\Hans", K::Missing, true},
      {profiles + "\\All Users", K::Plain, true},
      {"C:\\Users\\All Users", K::Link, false},  // not below these profiles
      {profiles + "\\All Users", K::Link, true},  // the system's own link of Windows Vista
      {profiles + "\\Hans", K::Link, false},
      {profiles + "\\Hans\\Eigene Dateien", K::Plain, false},
      {profiles + "\\Hans\\", K::Plain, false},
      {profiles + "\\..", K::Plain, false},
      {profiles + "\\Hans\\..\\Grete", K::Plain, false},
      {profiles, K::Plain, false},
      {"C:\\Dokumente und Einstellungen2\\Hans", K::Plain, false},
      {"D:\\Hans", K::Plain, false},
      {"Hans", K::Plain, false},
      {"", K::Missing, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dir);
    EXPECT_EQ(IsProfileFolder(c.dir, profiles, c.kind), c.accepted);
  }
}

TEST(Shortcuts, FoldersWhereTheInstallerPutThem) {
  const std::string hans = "C:\\Dokumente und Einstellungen\\Hans";
  const std::string all = "C:\\Dokumente und Einstellungen\\All Users";
  const ShortcutFolders user{"C:\\U\\Programs", "C:\\U\\Start Menu", "C:\\U\\Desktop"};
  const ShortcutFolders common{"C:\\A\\Programs", "C:\\A\\Start Menu", "C:\\A\\Desktop"};
  const ShortcutFolders germanHans{hans + "\\Startmenü\\Programme", hans + "\\Startmenü", hans + "\\Desktop"};
  const std::map<std::string, FolderKind> classic = {
      {hans, FolderKind::Plain},       {hans + "\\Startmenü", FolderKind::Plain},
      {germanHans.programs, FolderKind::Plain}, {hans + "\\Desktop", FolderKind::Plain},
      {all + "\\Startmenü", FolderKind::Plain}, {all + "\\Desktop", FolderKind::Plain},
      {"C:\\U\\Start Menu", FolderKind::Plain}, {"C:\\U\\Start Menu\\Programme", FolderKind::Plain},
      {"C:\\Desktop", FolderKind::Plain}};
  std::map<std::string, FolderKind> linked = classic;
  linked[hans] = FolderKind::Link;
  std::map<std::string, FolderKind> menuLinked = classic;
  menuLinked[hans + "\\Startmenü"] = FolderKind::Link;
  const std::map<std::string, FolderKind> none;
  const struct {
    const char* what;
    std::string profile;
    const std::map<std::string, FolderKind>& disk;
    bool desktopKnown;
    ShortcutFolders expected;
  } cases[] = {
      {"German layout", hans, classic, true, germanHans},
      {"German layout, no desktop", hans, classic, false, {germanHans.programs, germanHans.startMenu, ""}},
      {"Vista layout: the user's shell folders", hans, none, true, user},
      {"all users, German layout without Programme",
       all, classic, true, {common.programs, all + "\\Startmenü", all + "\\Desktop"}},
      {"all users, Vista layout", all, none, true, common},
      {"no profile: the Start menu's Programme", "", classic, true,
       {"C:\\U\\Start Menu\\Programme", "C:\\U\\Start Menu", "C:\\Desktop"}},
      {"a profile that is a link", hans, linked, true, user},
      {"the Start menu a link: not entered", hans, menuLinked, true, {user.programs, user.startMenu, hans + "\\Desktop"}},
      {"a folder inside a profile", hans + "\\Startmenü", classic, true, user},
      {"elsewhere", "C:\\Temp\\Profil", classic, true, user},
      {"up and out", hans + "\\..\\..\\Temp", classic, true, user},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ShortcutFacts facts{c.profile, "C:\\Dokumente und Einstellungen", "C:\\U\\Start Menu",
                              c.desktopKnown ? "C:\\Desktop" : "", user, common};
    const ShortcutFolders got = ChooseShortcutFolders(facts, [&](const std::string& path) {
      const auto found = c.disk.find(path);
      return found == c.disk.end() ? FolderKind::Missing : found->second;
    });
    EXPECT_EQ(got.programs, c.expected.programs);
    EXPECT_EQ(got.startMenu, c.expected.startMenu);
    EXPECT_EQ(got.desktop, c.expected.desktop);
  }
  const ShortcutFacts noStartMenu{hans, "C:\\Dokumente und Einstellungen", "", "C:\\Desktop", user, common};
  const ShortcutFolders nothing = ChooseShortcutFolders(noStartMenu, [](const std::string&) { return FolderKind::Plain; });
  EXPECT_EQ(nothing.programs + nothing.startMenu + nothing.desktop, "");
}

TEST(Shortcuts, OnlyLinksIntoTheProgramDirectory) {
  const std::vector<std::string> demo = {"C:\\Programme\\Demo", "C:\\PROGRA~1\\Demo"};
  const struct {
    const char* what;
    LinkFile file;
    std::vector<std::string> programDir;
    bool product;
  } cases[] = {
      {"the program", {false, false, "C:\\Programme\\Demo\\demo.exe"}, demo, true},
      {"Programm entfernen", {false, false, "c:\\programme\\demo\\Uninstal.exe"}, demo, true},
      {"by the short form", {false, false, "C:\\PROGRA~1\\DEMO\\DEMO.EXE"}, demo, true},
      {"the user's own start-up link", {false, false, "C:\\Windows\\notepad.exe"}, demo, false},
      {"another product", {false, false, "C:\\Programme\\Demo2\\x.exe"}, demo, false},
      {"up and out", {false, false, "C:\\Programme\\Demo\\..\\Bank\\bank.exe"}, demo, false},
      {"the program directory itself", {false, false, "C:\\Programme\\Demo"}, demo, false},
      {"unreadable", {false, false, ""}, demo, false},
      {"not a .LNK file", {false, false, "NOT a shortuct by extension!"}, demo, false},
      {"a folder", {true, false, ""}, demo, false},
      {"a file link", {false, true, "C:\\Programme\\Demo\\demo.exe"}, demo, false},
      {"no program directory", {false, false, "C:\\Programme\\Demo\\demo.exe"}, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(IsProductShortcut(c.file, c.programDir), c.product);
  }
}

TEST(UninstallEntry, OursOnlyWhenItNamesThisUninstaller) {
  const char kOwn[] = "C:\\Programme\\Büro Demo\\Uninstal.exe";
  const char kOwnShort[] = "C:\\PROGRA~1\\BRODEM~1\\UNINSTAL.EXE";
  const struct {
    const char* what;
    const char* value;
    const char* valueShort;
    bool ours;
  } cases[] = {
      {"as the installer writes it", kOwn, kOwnShort, true},
      {"another letter case", "c:\\programme\\büro demo\\UNINSTAL.EXE", "", true},
      {"its short form", kOwnShort, kOwnShort, true},
      {"the long form, found by its short form", "C:\\Programme\\Buero\\..\\Büro Demo\\Uninstal.exe", kOwnShort, true},
      {"another product's", "C:\\Programme\\Andere\\Uninstal.exe", "C:\\PROGRA~1\\Andere\\UNINSTAL.EXE", false},
      {"another program of the product", "C:\\Programme\\Büro Demo\\demo.exe", "", false},
      {"quoted, with a switch", "\"C:\\Programme\\Büro Demo\\Uninstal.exe\" /s", "", false},
      {"empty", "", "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SameFile(c.value, c.valueShort, kOwn, kOwnShort), c.ours);
  }
  EXPECT_FALSE(SameFile("C:\\x.exe", "", "C:\\y.exe", "")) << "unknown short forms are no match";
}

TEST(SelfRemovalScript, Lines) {
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
